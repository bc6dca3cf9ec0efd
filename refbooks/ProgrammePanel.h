#pragma once
// What the current programme of the catalogue query is for, beside a list of programmes (the
// catalogue window and the chooser): its main specialty and additional specialties, which follow
// the current programme at once, and its contingent, which the window copies in at the moments it
// chooses (showContingent()).
#include <QWidget>

class QPlainTextEdit;
class DataModule;

class ProgrammePanel : public QWidget {
    Q_OBJECT
public:
    // `contingentHeight`: 0 lets the contingent take the room left.
    ProgrammePanel(DataModule& dm, int contingentHeight, QWidget* parent);
    // An empty block above the strips, to line them up with the list beside them.
    void setTopSpace(int height);
    void showContingent();

private:
    DataModule& dm_;
    QPlainTextEdit* contingent_;
    class QSpacerItem* top_;
};
