#pragma once
// "Сервис" / "Восстановление заявки": the export file is chosen in the Export folder, what the
// restore will write is shown before anything is written (the application, its trainees, the
// people found in the register and those to be added), an application that already holds
// trainees is asked about, and the outcome is told in one message.
#include "applications/Restore.h"

#include <QDialog>

class QCheckBox;
class WindowHost;

// The summary of a planned restore; "Восстановить" accepts.
class RestoreDialog : public QDialog {
    Q_OBJECT
public:
    explicit RestoreDialog(const applications::RestorePlan& plan, QWidget* parent = nullptr);

    // Whether the application rows the store lacks are to be created first (offered when one is
    // missing, and checked then).
    bool createsMissingApplications() const;

private:
    QCheckBox* create_ = nullptr;
};

namespace applications {
// The whole restore; true when the file was restored.
bool restoreApplication(WindowHost& main);
} // namespace applications
