#include "personnel/PersonnelWindows.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "personnel/CertificateDialog.h"
#include "personnel/PersonnelCard.h"
#include "personnel/PersonnelRules.h"
#include "personnel/PersonnelWindow.h"
#include "personnel/TrainingDialog.h"
#include "shell/DbGrid.h"
#include "shell/Showcase.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"

namespace personnel {

namespace {

int show(WindowHost& main, QDialog* dialog, const char* instance) {
    dialog->setObjectName(QString::fromLatin1(instance));
    return main.showModal(dialog);
}

} // namespace

int showCard(WindowHost& main) {
    return show(main, new PersonnelCard(main), "ftrMPersonal");
}
int showTraining(WindowHost& main) {
    return show(main, new TrainingDialog(main), "ftrTraining");
}
int showCertificate(WindowHost& main) {
    return show(main, new CertificateDialog(main), "ftrMSertif");
}

void writePeopleCount(WindowHost& main) {
    const Table& people = *main.app().DM->tblPersonal;
    main.setStatusPanel(1, QStringLiteral("Всего - %1").arg(people.isActive() ? people.recordCount() : 0));
}

std::optional<RowColours> certificateColours(CertificateState state) {
    switch (state) {
    case CertificateState::Ended:
        return RowColours{QColor(0xE5, 0x39, 0x35), Qt::white};
    case CertificateState::EndingSoon:
        return RowColours{QColor(0xFF, 0xA7, 0x26), Qt::black};
    default:
        return std::nullopt;
    }
}

void colourCertificates(DbGrid& grid, WindowHost& main) {
    Dataset* certificates = grid.dataset();
    const Clock& clock = main.app().clock;
    auto endOf = [certificates](int row) {
        const Field* f = certificates->findField(fld::DateCL);
        return f && certificates->isActive() ? certificates->valueAt(row, f->index()).toDate() : QDate();
    };
    grid.datasetModel()->setRowColours(
        [endOf, &clock](int row) { return certificateColours(certificateState(endOf(row), clock.today())); });
    grid.datasetModel()->setRowToolTip(
        [endOf, &clock](int row) { return certificateHint(endOf(row), clock.today()); });
}

const DetailRows& DetailRows::training() {
    static const DetailRows rows{&DataModule::tblTrained, &SharedState::TrainedMode, showTraining};
    return rows;
}

const DetailRows& DetailRows::certificates() {
    static const DetailRows rows{&DataModule::tblSertif, &SharedState::SertifMode, showCertificate};
    return rows;
}

void addDetail(WindowHost& main, const DetailRows& rows) {
    AppContext& app = main.app();
    app.state.*rows.mode = 0;
    (app.DM.get()->*rows.table)->append();
    rows.show(main);
}

void editDetail(WindowHost& main, const DetailRows& rows) {
    main.app().state.*rows.mode = 1;
    rows.show(main);
}

void deleteDetail(WindowHost& main, const DetailRows& rows) {
    AppContext& app = main.app();
    app.state.SilentDelete = 0;
    (app.DM.get()->*rows.table)->remove();
}

} // namespace personnel

void registerPersonnelWindows() {
    windows::registerChild(QStringLiteral("OpenPersonal"),
                           [](WindowHost& main) { return new PersonnelWindow(main); });

    // In the showcase: the register, the card of a new and of an existing person (each on the page
    // a clerk sees first), and the two detail dialogs on the current person's rows.
    windows::registerHelp(QStringLiteral("ftrPersonal"), QStringLiteral("register"));
    windows::registerHelp(QStringLiteral("ftrMPersonal"), QStringLiteral("person-card"));
    windows::registerHelp(QStringLiteral("ftrTraining"), QStringLiteral("training"));
    windows::registerHelp(QStringLiteral("ftrMSertif"), QStringLiteral("certificates"));
    windows::registerShowcase(QStringLiteral("ftrPersonal"),
                              [](WindowHost& m) { return new PersonnelWindow(m); });
    windows::registerShowcase(QStringLiteral("ftrMPersonal"), [](WindowHost& m) {
        m.app().state.PersonalMode = 1;
        m.app().DM->tblPersonal->first();
        return new PersonnelCard(m);
    });
    windows::registerShowcase(
        QStringLiteral("ftrMPersonal"),
        [](WindowHost& m) {
            m.app().state.PersonalMode = 0;
            m.app().DM->tblPersonal->append();
            return new PersonnelCard(m);
        },
        QStringLiteral("new"));
    windows::registerShowcase(QStringLiteral("ftrTraining"), [](WindowHost& m) {
        m.app().state.TrainedMode = 1;
        m.app().DM->tblPersonal->first();
        return new TrainingDialog(m);
    });
    windows::registerShowcase(QStringLiteral("ftrMSertif"), [](WindowHost& m) {
        m.app().state.SertifMode = 1;
        m.app().DM->tblPersonal->first();
        return new CertificateDialog(m);
    });
}
