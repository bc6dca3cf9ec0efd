#pragma once
// The variables the windows share for the whole run: today's year, the mode flags of the editing
// dialogs, the caller codes of the shared pick dialogs, the programme last picked in the chooser
// and the switch that silences the delete confirmation.
#include <QHash>
#include <QString>
#include <QtGlobal>

// A person's choice in the training plan: marked, with the programme code and quarter chosen.
struct PlanChoice {
    QString programme;
    int quarter = 1;
};

struct SharedState {
    quint16 CurYear = 0;

    // Mode flags: 0 makes a new row, 1 edits the current one.
    quint8 PersonalMode = 0;
    quint8 TrainedMode = 0;
    quint8 SertifMode = 0;

    // Caller codes: who opened a shared dialog, and so where its pick goes (0: browsing only).
    quint8 DoljnCaller = 0;
    quint8 SpezCaller = 0;
    quint8 SpecialtyCaller = 0;
    quint8 SLSertifCaller = 0;
    quint8 ZiclCaller = 0;

    // The programme last picked for an adding dialog.
    QString SelKZicl;
    QString SelVidOb;
    QString SelTypeOb;
    QString SelFOBUCH;
    qint32 SelHours = 0;

    // 1: rows are deleted without the data module's question.
    quint8 SilentDelete = 0;

    // The training plan's marks, by year and person, kept while the program runs: closing the
    // plan's window loses none of them.
    QHash<int, QHash<qint64, PlanChoice>> PlanMarks;
};
