#pragma once
// The training record dialog `ftrTraining`: one row of a person's training (programme code, kind
// of training, hours picked in the programme chooser; the year typed), new or the current one.
#include "shell/EditDialog.h"

class WindowHost;

class TrainingDialog : public EditDialog {
    Q_OBJECT
public:
    explicit TrainingDialog(WindowHost& main);

    void activated() override;
    void pickProgramme(); // "..." picks the programme
    void save();          // "Сохранить"
    void cancel();        // "Отмена"

protected:
    // Esc and the close box discard what was not saved, as "Отмена" does.
    void leaveByUser() override { cancel(); }

private:
    WindowHost& main_;
    QWidget* code_; // the programme's code, picked with "..."
    QWidget* year_;
};
