#pragma once
// "О программе" (`ftrAbout`): the version and its date, the licence, the data folder, where the
// data are kept and the version of their layout, and who made the program.
#include <QDialog>

struct AppContext;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(AppContext& app, QWidget* parent = nullptr);
};
