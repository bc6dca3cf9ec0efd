#include "applications/RestoreDialog.h"

#include "applications/ApplicationWindows.h"
#include "core/Plural.h"
#include "data/AppContext.h"
#include "shell/WindowHost.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using applications::RestoreApplication;
using applications::RestorePlan;

QLabel* wrapped(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QString applicationLine(const RestoreApplication& a) {
    return QStringLiteral("Заявка %1: в файле %2.")
        .arg(a.title(), counted(a.fileTrainees, "слушатель", "слушателя", "слушателей"));
}

QString missingText(const RestorePlan& plan) {
    const QStringList missing = plan.missingTitles();
    return missing.size() == 1
               ? QStringLiteral(
                     "Заявки %1 нет в списке заявок: без неё восстановленные слушатели не будут видны в "
                     "окне заявок.")
                     .arg(missing.first())
               : QStringLiteral(
                     "Заявок %1 нет в списке заявок: без них восстановленные слушатели не будут видны в "
                     "окне заявок.")
                     .arg(missing.join(QStringLiteral(", ")));
}

QString heldText(const RestorePlan& plan) {
    QStringList held;
    for (const RestoreApplication& a : plan.applications)
        if (a.heldTrainees > 0)
            held << QStringLiteral("В заявке %1 уже есть %2.")
                        .arg(a.title(), counted(a.heldTrainees, "слушатель", "слушателя", "слушателей"));
    return held.join(u' ') + QStringLiteral(" Слушатели из файла добавятся к ним; если этот файл уже "
                                            "восстанавливали, те же слушатели окажутся в заявке дважды.");
}

} // namespace

RestoreDialog::RestoreDialog(const RestorePlan& plan, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ftrRestore"));
    setWindowTitle(QStringLiteral("Восстановление заявки"));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(wrapped(QStringLiteral("Файл: ") + QDir::toNativeSeparators(plan.file),
                              QStringLiteral("FileLabel"), this));
    QStringList applications;
    for (const RestoreApplication& a : plan.applications)
        applications << applicationLine(a);
    QLabel* application = wrapped(applications.join(u'\n'), QStringLiteral("ApplicationLabel"), this);
    QFont bold = application->font();
    bold.setBold(true);
    application->setFont(bold);
    layout->addWidget(application);

    layout->addWidget(wrapped(QStringLiteral("Найдено в штатном списке: %1.")
                                  .arg(counted(plan.foundPeople, "сотрудник", "сотрудника", "сотрудников")),
                              QStringLiteral("FoundLabel"), this));
    if (!plan.newPeople.isEmpty()) {
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("NewPeopleList"));
        list->addItems(plan.newPeopleNames());
        list->setSelectionMode(QAbstractItemView::NoSelection); // a list to read, nothing to pick
        QLabel* added =
            wrapped(QStringLiteral("Будут добавлены в штатный список: %1:")
                        .arg(counted(plan.newPeople.size(), "сотрудник", "сотрудника", "сотрудников")),
                    QStringLiteral("NewPeopleLabel"), this);
        added->setBuddy(list);
        layout->addWidget(added);
        layout->addWidget(list, 1);
    } else {
        layout->addWidget(wrapped(QStringLiteral("Новых сотрудников в файле нет."),
                                  QStringLiteral("NewPeopleLabel"), this));
    }

    if (!plan.changes.isEmpty()) {
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("ChangesList"));
        for (const applications::RestoreChange& c : plan.changes)
            list->addItem(QStringLiteral("%1: %2 «%3» → «%4»").arg(c.person, c.what, c.before, c.after));
        list->setSelectionMode(QAbstractItemView::NoSelection);
        QLabel* changed = wrapped(QStringLiteral("В штатном списке будут заменены значения (%1):")
                                      .arg(QString::number(plan.changes.size())),
                                  QStringLiteral("ChangesLabel"), this);
        changed->setBuddy(list);
        layout->addWidget(changed);
        layout->addWidget(list, 1);
    }

    if (plan.addsTwice()) {
        QLabel* held = wrapped(heldText(plan), QStringLiteral("HeldLabel"), this);
        held->setStyleSheet(QStringLiteral("color: #b00000;"));
        layout->addWidget(held);
    }
    if (plan.lacksApplication()) {
        layout->addWidget(wrapped(missingText(plan), QStringLiteral("MissingLabel"), this));
        create_ = new QCheckBox(this);
        create_->setObjectName(QStringLiteral("CreateApplicationBox"));
        const QStringList missing = plan.missingTitles();
        create_->setText(missing.size() == 1 ? QStringLiteral("Создать заявку ") + missing.first()
                                             : QStringLiteral("Создать эти заявки"));
        create_->setChecked(true);
        layout->addWidget(create_);
    }

    const bool lists = !plan.newPeople.isEmpty() || !plan.changes.isEmpty();
    if (!lists)
        layout->addStretch(1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* restore = buttons->addButton(QStringLiteral("Восстановить"), QDialogButtonBox::AcceptRole);
    restore->setObjectName(QStringLiteral("RestoreButton"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setDefault(true);
    cancel->setFocus(); // Enter cancels, and the list shows no cursor until the user moves into it
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, lists ? 420 + (plan.newPeople.isEmpty() || plan.changes.isEmpty() ? 0 : 140) : 240);
}

bool RestoreDialog::createsMissingApplications() const {
    return create_ && create_->isChecked();
}

namespace applications {

bool restoreApplication(WindowHost& main) {
    AppContext& app = main.app();
    const DataModule& dm = *app.DM;
    const QString caption = QStringLiteral("Восстановление заявки");
    QDir().mkpath(app.root.exportDir());
    const QString file = app.prompter.openFileName(
        caption, app.root.exportDir(), QStringLiteral("Файлы выгрузки (*.db *.DB);;Все файлы (*)"));
    if (file.isEmpty())
        return false;
    const RestorePlan plan = planRestore(dm, file);
    if (plan.isEmpty()) {
        app.prompter.inform(QStringLiteral("В файле «%1» нет слушателей: восстанавливать нечего.")
                                .arg(QDir::toNativeSeparators(file)));
        return false;
    }

    auto* dialog = new RestoreDialog(plan);
    bool createMissing = false;
    QObject::connect(dialog, &QDialog::finished,
                     [&createMissing, dialog] { createMissing = dialog->createsMissingApplications(); });
    if (main.showModal(dialog) != QDialog::Accepted)
        return false;
    if (plan.addsTwice() && app.prompter.ask(caption, restoreAgainQuestion(plan), Prompter::Icon::Question,
                                             Prompter::Buttons::YesNoDefaultNo) != Prompter::Answer::Yes)
        return false;

    // What the restore writes can be had back from the copy taken first.
    app.backups().before(backup_action::kRestoreApplication);
    const RestoreOutcome outcome = writeRestore(dm, plan, createMissing);
    // The restored application becomes the current one, so the applications window shows it.
    const RestoreApplication& first = plan.applications.first();
    if (dm.tblZajavki2023->isActive())
        dm.tblZajavki2023->locate(QStringLiteral("KZajavki;Year"), {first.number, first.year});
    emit app.DM->traineesWritten();
    app.prompter.inform(restoreOutcomeText(plan, outcome));
    return true;
}

} // namespace applications
