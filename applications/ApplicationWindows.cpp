#include "applications/ApplicationWindows.h"

#include "applications/AddTraineesDialog.h"
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "applications/MovingDialog.h"
#include "applications/NewApplicationDialog.h"
#include "applications/RestoreDialog.h"
#include "applications/TraineeCertificateDialog.h"
#include "applications/TraineeEditor.h"
#include "applications/TrainingPlanDialog.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "refbooks/PickRules.h"
#include "shell/Showcase.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"

#include <QDir>

namespace applications {

int showNewApplication(WindowHost& main, const Generation& g) {
    auto* dialog = new NewApplicationDialog(main, g);
    dialog->setObjectName(g.newDialogInstance);
    bool addNext = false;
    QObject::connect(dialog, &QDialog::finished, [&addNext, dialog] { addNext = dialog->goesOnToAdding(); });
    const int result = main.showModal(dialog);
    // A new or found application goes straight on to the adding dialog.
    if (addNext)
        showAddTrainees(main, g);
    return result;
}

int showAddTrainees(WindowHost& main, const Generation& g) {
    // The register's marks are one clerk's at a time, from the dialog's opening to its closing.
    const MarkingTurn turn(main.app().DM->store());
    if (!turn.held()) {
        main.app().prompter.inform(kMarksBusy);
        return QDialog::Rejected;
    }
    auto* dialog = new AddTraineesDialog(main, g);
    dialog->setObjectName(g.insertInstance);
    return main.showModal(dialog);
}

int showTraineeEditor(WindowHost& main, const Generation& g) {
    auto* dialog = new TraineeEditor(main, g);
    dialog->setObjectName(g.editorInstance);
    return main.showModal(dialog);
}

int showPlan(WindowHost& main) {
    return main.showModal(new TrainingPlanDialog(main));
}

int showMoving(WindowHost& main, const Generation& g) {
    auto* dialog = new MovingDialog(main, g);
    dialog->setObjectName(QStringLiteral("ftrMoving"));
    return main.showModal(dialog);
}

int showTraineeCertificate(WindowHost& main, const Generation& g) {
    auto* dialog = new TraineeCertificateDialog(main, g);
    dialog->setObjectName(QStringLiteral("ftrMSLSertif"));
    return main.showModal(dialog);
}

} // namespace applications

namespace {

// The summary of a restore as the showcase draws it: the file of application 116 for 2026 with
// twelve trainees, three of whose people the register lacks, the application either missing or
// holding the trainees of an earlier restore.
applications::RestorePlan showcaseRestorePlan(WindowHost& m, bool restoredBefore) {
    applications::RestorePlan plan;
    plan.file = m.app().root.exportDir() + QStringLiteral("/ZES116_2026.db");
    applications::RestoreApplication a;
    a.number = 116;
    a.year = 2026;
    a.fileTrainees = 12;
    a.exists = restoredBefore;
    a.heldTrainees = restoredBefore ? 12 : 0;
    plan.applications << a;
    plan.foundPeople = restoredBefore ? 12 : 9;
    if (!restoredBefore)
        for (const char* name :
             {"ВОРОНИНА ЕЛЕНА СЕРГЕЕВНА", "ГУСЕВ АНДРЕЙ ПАВЛОВИЧ", "ЯКОВЛЕВА ОЛЬГА ИГОРЕВНА"})
            plan.newPeople << applications::RestorePerson{{}, {}, {}, {}, QString::fromUtf8(name)};
    // What the file replaces in the register, as the summary lists it.
    if (!restoredBefore)
        plan.changes = {{QStringLiteral("МИХАЙЛОВ СЕРГЕЙ ИВАНОВИЧ"), QStringLiteral("e-mail"),
                         QStringLiteral("mikhailov@mail.ru"), QStringLiteral("s.mikhailov@hospital.ru")},
                        {QStringLiteral("ОРЛОВА АННА ПЕТРОВНА"), QStringLiteral("СНИЛС"),
                         QStringLiteral("112-233-445 95"), QStringLiteral("112-233-445 96")}};
    return plan;
}

// The generation's windows and dialogs in the showcase, on its current application and trainee;
// the new application dialog also at its confirmation of an additional application.
void registerShowcases(const Generation& g) {
    // The current generation's windows each have their section; the archives' share one.
    const bool current = &g == &Generation::current();
    const auto archive = QStringLiteral("archives");
    windows::registerHelp(g.windowInstance, current ? QStringLiteral("applications") : archive);
    windows::registerHelp(g.newDialogInstance, current ? QStringLiteral("new-application") : archive);
    windows::registerHelp(g.insertInstance, current ? QStringLiteral("add-trainees") : archive);
    windows::registerHelp(g.editorInstance, current ? QStringLiteral("trainee") : archive);
    windows::registerShowcase(g.windowInstance, [&g](WindowHost& m) { return new ApplicationsWindow(m, g); });
    windows::registerShowcase(g.newDialogInstance,
                              [&g](WindowHost& m) { return new NewApplicationDialog(m, g); });
    windows::registerShowcase(
        g.newDialogInstance,
        [&g](WindowHost& m) {
            auto* dialog = new NewApplicationDialog(m, g);
            dialog->chooseAdditional(g.years.latest); // a year the generation makes applications for
            dialog->confirm();
            return dialog;
        },
        QStringLiteral("confirm"));
    windows::registerShowcase(g.insertInstance, [&g](WindowHost& m) { return new AddTraineesDialog(m, g); });
    windows::registerShowcase(g.editorInstance, [&g](WindowHost& m) { return new TraineeEditor(m, g); });
    if (g.certificateRows)
        windows::registerShowcase(QStringLiteral("ftrMSLSertif"),
                                  [&g](WindowHost& m) { return new TraineeCertificateDialog(m, g); });
}

// What the reference books and the programme chooser write when a generation's window opened them:
// a trainee keeps a position's or a diploma specialty's code (its editor shows the name in its own
// box), a specialty's name in the certificate row where the generation keeps one, else in the
// trainee row, a programme's code, kind, hours and the generation's programme attribute (the form
// of study or the type of study); the adding dialog takes the programme into the shared Sel…
// variables.
refbooks::PickTargets pickTargetsOf(const Generation& g) {
    using refbooks::BoxCopy;
    const QString editor = g.editorInstance;
    refbooks::PickTargets t;
    t.positions = {{g.callers.position,
                    g.trainees.table,
                    {{fld::KDoljn, fld::KDoljn}},
                    BoxCopy{editor, QStringLiteral("Edit1"), QStringLiteral("NDoljn")}}};
    t.diplomaSpecialties = {{g.callers.diplomaSpecialty,
                             g.trainees.table,
                             {{fld::KSpez, fld::KSpez}},
                             BoxCopy{editor, QStringLiteral("Edit2"), QStringLiteral("NSpez")}}};
    if (g.certificateRows)
        t.specialties = {
            {g.callers.specialty, g.certificateRows.table, {{fld::Name, fld::Name}}, std::nullopt}};
    else
        t.specialties = {
            {g.callers.specialty, g.trainees.table, {{fld::Specialty, fld::Name}}, std::nullopt}};
    t.programmeTables = {{g.callers.programmeForEditing,
                          g.trainees.table,
                          {{fld::KZicl, fld::KZicl},
                           {fld::VidOb, fld::VidOb},
                           {fld::Hours, fld::Hours},
                           {g.programmeAttribute, g.programmeAttribute}},
                          std::nullopt}};
    t.programmeAdding = {{g.callers.programmeForAdding, g.insertInstance,
                          g.programmeAttribute == QLatin1String("FOBUCH")
                              ? refbooks::AddingTarget::Extra::FOBUCH
                              : refbooks::AddingTarget::Extra::TypeOb}};
    return t;
}

} // namespace

void registerApplicationWindows() {
    for (const Generation* generation : Generation::all()) {
        const Generation& g = *generation;
        refbooks::addPickTargets(pickTargetsOf(g));
        windows::registerChild(g.openProcedure,
                               [&g](WindowHost& main) { return new ApplicationsWindow(main, g); });
        windows::registerAction(QStringLiteral("ExportApplication") + g.windowInstance,
                                [&g](WindowHost& main) {
                                    const QString file = applications::exportApplication(main.app(), g);
                                    if (!file.isEmpty())
                                        main.reportDone(QStringLiteral("Заявка выгружена в файл ") +
                                                        QDir::toNativeSeparators(file));
                                });
    }
    windows::registerAction(QStringLiteral("ShowPlan"),
                            [](WindowHost& main) { applications::showPlan(main); });
    windows::registerAction(QStringLiteral("N13"),
                            [](WindowHost& main) { applications::restoreApplication(main); });
    // The main window's ShowMoving serves the window that has the moving button.
    windows::registerDialog(QStringLiteral("ShowMoving"),
                            [](WindowHost& main) { return new MovingDialog(main, Generation::y2021()); });

    for (const Generation* generation : Generation::all())
        registerShowcases(*generation);
    // The moving dialog on the current generation's trainee: its applications of this year are
    // those the dialog lists.
    windows::registerHelp(QStringLiteral("ftrMoving"), QStringLiteral("move-trainee"));
    windows::registerHelp(QStringLiteral("ftrRestore"), QStringLiteral("restore-application"));
    windows::registerHelp(QStringLiteral("ftrPlan"), QStringLiteral("plan"));
    windows::registerHelp(QStringLiteral("ftrMSLSertif"), QStringLiteral("archives"));
    windows::registerShowcase(QStringLiteral("ftrMoving"),
                              [](WindowHost& m) { return new MovingDialog(m, Generation::current()); });
    windows::registerShowcase(QStringLiteral("ftrRestore"),
                              [](WindowHost& m) { return new RestoreDialog(showcaseRestorePlan(m, false)); });
    windows::registerShowcase(
        QStringLiteral("ftrRestore"),
        [](WindowHost& m) { return new RestoreDialog(showcaseRestorePlan(m, true)); },
        QStringLiteral("again"));
    // The plan for the year of the current application, with its first three people marked.
    windows::registerShowcase(QStringLiteral("ftrPlan"), [](WindowHost& m) {
        const Table& applications = *((*m.app().DM).*Generation::current().applications.table);
        auto* plan = new TrainingPlanDialog(m, int(applications.field(fld::Year).asInteger()));
        for (int row = 0; row < std::min(3, plan->model().rowCount()); ++row)
            plan->model().toggleMark(row);
        return plan;
    });
}
