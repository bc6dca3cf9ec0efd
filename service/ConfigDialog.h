#pragma once
// The parameters dialog `ftrConfig`: the institution's row of Config.db and, read-only, its bank
// details from LPUDETAILS.db.
#include <QDialog>

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

    WindowHost& main_;
    bool closing_ = false;
};

void registerServiceWindows();
