#include "service/ConfigDialog.h"
#include "service/ChangeLogDialog.h"

#include "service/BackupsDialog.h"
#include "service/FirstRunDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/ServerSettings.h"
#include "service/ConfigEditor.h"
#include "shell/ActionButton.h"
#include "shell/DbEdit.h"
#include "shell/ErrorGuard.h"
#include "shell/ReadOnlySession.h"
#include "shell/Showcase.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

DbEdit* boundRow(QFormLayout* form, const QString& label, const QString& name, DataSource* source,
                 const QString& field, QWidget* parent) {
    auto* box = new DbEdit(name, source, field, parent);
    auto* caption = new QLabel(label, parent);
    caption->setBuddy(box);
    form->addRow(caption, box);
    return box;
}

} // namespace

ConfigDialog::ConfigDialog(WindowHost& main) : QDialog(main.hostWidget()), main_(main) {
    DataModule& dm = *main.app().DM;
    setWindowTitle(QStringLiteral("Параметры"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel1"));
    auto* topForm = new QFormLayout(top);
    boundRow(topForm, QStringLiteral("Название организации"), QStringLiteral("DBEdit1"), dm.dtsConfig, "NLPU",
             top);
    boundRow(topForm, QStringLiteral("Руководитель"), QStringLiteral("DBEdit2"), dm.dtsConfig, "Boss", top);
    boundRow(topForm, QStringLiteral("Исполнитель"), QStringLiteral("DBEdit3"), dm.dtsConfig, "User", top);
    boundRow(topForm, QStringLiteral("Телефон"), QStringLiteral("DBEdit4"), dm.dtsConfig, "Phone", top);

    auto* contract = new QWidget(this);
    contract->setObjectName(QStringLiteral("Panel2"));
    auto* contractRow = new QHBoxLayout(contract);
    auto* contractLabel = new QLabel(QStringLiteral("Номер договора с ТОВЕКС "), contract);
    QFont bold = contractLabel->font();
    bold.setBold(true);
    contractLabel->setFont(bold);
    auto* number = new DbEdit(QStringLiteral("DBEdit5"), dm.dtsConfig, "KZajavki", contract);
    number->setFixedWidth(89);
    contractLabel->setBuddy(number);
    auto* note = new QLabel(QStringLiteral("(необходим для формирования заявок)"), contract);
    note->setStyleSheet(QStringLiteral("color: red;"));
    contractRow->addWidget(contractLabel);
    contractRow->addWidget(number);
    contractRow->addWidget(note);
    contractRow->addStretch();

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto* details = new QWidget(pages);
    details->setObjectName(QStringLiteral("TabSheet1"));
    auto* detailsForm = new QFormLayout(details);
    const struct {
        const char* label;
        const char* box;
        const char* field;
    } bank[] = {{"Адрес", "DBEdit6", "ADRESS"},
                {"ИНН", "DBEdit7", "INN"},
                {"КПП", "DBEdit8", "KPP"},
                {"БИК", "DBEdit9", "BIK"},
                {"Расчетный счет", "DBEdit10", "RCH"},
                {"Лицевой счет", "DBEdit11", "LCH"},
                {"Банк", "DBEdit12", "BANK"}};
    for (const auto& b : bank) {
        DbEdit* box = boundRow(detailsForm, QString::fromUtf8(b.label), QString::fromLatin1(b.box),
                               dm.dtsLPUDetails, QString::fromLatin1(b.field), details);
        box->setEnabled(false); // the bank details are never written here
    }
    pages->addTab(details, QStringLiteral("Реквизиты:"));
    pages->addTab(buildServerPage(pages), QStringLiteral("Сервер базы данных"));

    // The boxes of a table that did not open at start-up take no typing; a line says why.
    for (DbEdit* box : findChildren<DbEdit*>())
        if (!box->link()->dataset()->isActive())
            box->setEnabled(false);
    auto* unavailable = new QLabel(ConfigEditor::unavailableNote(dm), this);
    unavailable->setObjectName(QStringLiteral("LabelUnavailable"));
    unavailable->setStyleSheet(QStringLiteral("color: red;"));
    unavailable->setWordWrap(true);
    unavailable->setVisible(!unavailable->text().isEmpty());

    auto* saveButton = makeDefault(
        actionButton(this, QStringLiteral("Button1"), QStringLiteral("Сохранить"), [this] { save(); }));
    auto* leaveButton =
        actionButton(this, QStringLiteral("Button2"), QStringLiteral("Выход"), [this] { leave(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(leaveButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(contract);
    layout->addWidget(pages);
    layout->addWidget(unavailable);
    layout->addLayout(buttons);
    // A fixed size: about 503 × 393, more where the contents need it.
    setFixedSize(sizeHint().expandedTo(QSize(503, 393)));
    read_only::markChanging(this, {"Button1"});
}

void ConfigDialog::finish(bool close, const QString& focus) {
    if (close) {
        closing_ = true;
        accept();
    } else if (QWidget* box = findChild<QWidget*>(focus)) {
        box->setFocus();
    }
}

QWidget* ConfigDialog::buildServerPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("ServerPage"));
    auto* form = new QFormLayout(page);
    useServer_ = new QCheckBox(QStringLiteral("Работать с базой данных на сервере PostgreSQL"), page);
    useServer_->setObjectName(QStringLiteral("UseServer"));
    form->addRow(useServer_);
    auto box = [&](const char* name, const QString& label) {
        auto* edit = new QLineEdit(page);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(label, edit);
        return edit;
    };
    host_ = box("ServerHost", QStringLiteral("Сервер"));
    port_ = box("ServerPort", QStringLiteral("Порт"));
    port_->setValidator(new QIntValidator(1, 65535, port_));
    port_->setMaximumWidth(80);
    database_ = box("ServerDatabase", QStringLiteral("База данных"));
    user_ = box("ServerUser", QStringLiteral("Пользователь"));
    auto* note =
        new QLabel(QStringLiteral("Пароль программа не хранит: он спрашивается при входе или берётся из "
                                  "файла ~/.pgpass. Новые настройки действуют со следующего запуска."),
                   page);
    note->setWordWrap(true);
    form->addRow(note);

    shownServer_ = ServerSettings::load(main_.app().root);
    useServer_->setChecked(shownServer_.use);
    host_->setText(shownServer_.host);
    port_->setText(QString::number(shownServer_.port));
    database_->setText(shownServer_.database);
    user_->setText(shownServer_.user);
    const auto follow = [this] {
        for (QLineEdit* e : {host_, port_, database_, user_})
            e->setEnabled(useServer_->isChecked());
    };
    connect(useServer_, &QCheckBox::toggled, this, follow);
    follow();
    return page;
}

ServerSettings ConfigDialog::typedServer() const {
    ServerSettings s;
    s.use = useServer_->isChecked();
    s.host = host_->text().trimmed();
    s.port = port_->text().toInt();
    s.database = database_->text().trimmed();
    s.user = user_->text().trimmed();
    return s;
}

void ConfigDialog::save() {
    const ServerSettings server = typedServer();
    QTabWidget* pages = findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    ServerSettings::Setting fault = ServerSettings::Setting::None;
    if (const QString problem = server.problem(&fault); !problem.isEmpty()) {
        pages->setCurrentIndex(1);
        main_.app().prompter.inform(problem);
        (fault == ServerSettings::Setting::Host   ? host_
         : fault == ServerSettings::Setting::Port ? port_
                                                  : database_)
            ->setFocus();
        return;
    }
    ConfigEditor::Outcome outcome;
    if (!runGuarded([&] { outcome = ConfigEditor(*main_.app().DM, main_.app().prompter).save(); }))
        return;
    if (outcome.close && !(server == shownServer_)) {
        // Settings that could not be written keep the dialog open with what was typed.
        if (!runGuarded([&] { server.save(main_.app().root); })) {
            pages->setCurrentIndex(1);
            return;
        }
        shownServer_ = server;
        main_.app().prompter.inform(server.use
                                        ? QStringLiteral("Настройки сервера базы данных сохранены. Программа "
                                                         "будет работать с сервером после перезапуска.")
                                        : QStringLiteral("Программа будет работать с базой данных в своей "
                                                         "папке после перезапуска."));
    }
    if (outcome.close)
        main_.reportDone(QStringLiteral("Параметры сохранены"));
    finish(outcome.close, outcome.focus);
}

void ConfigDialog::leave() {
    ConfigEditor::Outcome outcome;
    if (runGuarded([&] { outcome = ConfigEditor(*main_.app().DM, main_.app().prompter).exit(); }))
        finish(outcome.close, outcome.focus);
}

// The close box (and Esc) leave as "Выход" does, asking about unsaved changes.
void ConfigDialog::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        event->ignore();
        leave();
        return;
    }
    QDialog::closeEvent(event);
}

void ConfigDialog::reject() {
    if (closing_)
        QDialog::reject();
    else
        leave();
}

void registerServiceWindows() {
    windows::registerDialog(QStringLiteral("ShowConfig"),
                            [](WindowHost& main) { return new ConfigDialog(main); });
    windows::registerHelp(QStringLiteral("ftrConfig"), QStringLiteral("settings"));
    windows::registerHelp(QStringLiteral("ftrBackups"), QStringLiteral("backups"));
    windows::registerHelp(QStringLiteral("ftrChangeLog"), QStringLiteral("change-log"));
    windows::registerHelp(QStringLiteral("ftrFirstRun"), QStringLiteral("first-start"));
    windows::registerShowcase(QStringLiteral("ftrConfig"),
                              [](WindowHost& main) { return new ConfigDialog(main); });
    // The server page, filled in.
    windows::registerShowcase(
        QStringLiteral("ftrConfig"),
        [](WindowHost& main) {
            ServerSettings{true, QStringLiteral("srv.hospital.local"), 5432, QStringLiteral("zajavki"),
                           QStringLiteral("ivanova")}
                .save(main.app().root);
            auto* dialog = new ConfigDialog(main);
            dialog->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
            return dialog;
        },
        QStringLiteral("server"));
    windows::registerAction(QStringLiteral("ShowBackups"),
                            [](WindowHost& main) { main.showModal(new BackupsDialog(main)); });
    // The copies list with two copies taken before it opens.
    windows::registerShowcase(QStringLiteral("ftrBackups"), [](WindowHost& main) {
        main.app().backups().before(backup_action::kDaily);
        main.app().backups().before(backup_action::kCatalogue);
        return new BackupsDialog(main);
    });
    windows::registerAction(QStringLiteral("ShowChangeLog"),
                            [](WindowHost& main) { main.showModal(new ChangeLogDialog(main)); });
    // The log after a person was added and corrected.
    windows::registerShowcase(QStringLiteral("ftrChangeLog"), [](WindowHost& main) {
        Store& store = *main.app().store;
        store.exec(
            QStringLiteral("INSERT INTO Personal (Name1, Name2, Name3, DR, NDoljn) VALUES ('СМИРНОВА', "
                           "'ОЛЬГА', 'ПЕТРОВНА', '1985-04-12', 'МЕДИЦИНСКАЯ СЕСТРА')"));
        store.exec(QStringLiteral("UPDATE Personal SET NDoljn = 'СТАРШАЯ МЕДИЦИНСКАЯ СЕСТРА' WHERE Name1 = "
                                  "'СМИРНОВА' AND Name2 = 'ОЛЬГА'"));
        return new ChangeLogDialog(main);
    });
    // The first-run window, for a root that has no database yet.
    windows::registerShowcase(QStringLiteral("ftrFirstRun"), [](WindowHost& m) {
        return new FirstRunDialog(RootPaths(m.app().root.root() + QStringLiteral("/new-root")), m.app().clock,
                                  m.app().prompter);
    });
}
