#pragma once
// The parameters dialog `ftrConfig`: the institution's row of Config.db and, read-only, its bank
// details from LPUDETAILS.db.
#include <QDialog>

class TftrMain;

class TftrConfig : public QDialog {
    Q_OBJECT
public:
    explicit TftrConfig(TftrMain& main);

    void Button1Click(); // "Сохранить"
    void Button2Click(); // "Выход"

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void finish(bool close, const QString& focus);

    TftrMain& main_;
    bool closing_ = false;
};

void registerServiceWindows();
