#pragma once
// The parameters dialog `ftrConfig`: the institution's row of Config.db, read-only its bank details
// from LPUDETAILS.db, and the database server the folder's program works with.
#include "data/ServerSettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class WindowHost;

class ConfigDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfigDialog(WindowHost& main);

    void save();  // "Сохранить"
    void leave(); // "Выход"

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void finish(bool close, const QString& focus);
    // "Сервер базы данных": where the folder's program finds the server, kept in the folder.
    QWidget* buildServerPage(QWidget* parent);
    ServerSettings typedServer() const;

    WindowHost& main_;
    bool closing_ = false;
    QCheckBox* useServer_ = nullptr;
    QLineEdit *host_ = nullptr, *port_ = nullptr, *database_ = nullptr, *user_ = nullptr;
    ServerSettings shownServer_;
};

void registerServiceWindows();
