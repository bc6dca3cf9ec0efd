#pragma once
// The training record dialog `ftrTraining`: one row of a person's training (programme code, kind
// of training, hours picked in the programme chooser; the year typed), new or the current one.
#include <QDialog>

class TftrMain;

class TftrTraining : public QDialog {
    Q_OBJECT
public:
    explicit TftrTraining(TftrMain& main);

    void FormActivate();
    void SpeedButton1Click(); // "..." picks the programme
    void Button1Click();      // "Сохранить"
    void Button2Click();      // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void reject() override;

private:
    TftrMain& main_;
    bool activated_ = false;
    bool closing_ = false;
};
