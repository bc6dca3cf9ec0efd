#include "service/FirstRunDialog.h"
#include "core/SystemText.h"

#include "core/Clock.h"
#include "core/Prompter.h"
#include "core/UserError.h"
#include "service/FirstRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLinkButton>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Where the old program kept its tables, offered first in the folder dialog.
QString oldBaseFolder() {
#ifdef Q_OS_WIN
    const QString old = QStringLiteral("C:/TOVEX-Training/Base");
#else
    const QString old = QDir::homePath() + QStringLiteral("/TOVEX-Training/Base");
#endif
    return QDir(old).exists() ? old : QDir::homePath();
}

} // namespace

FirstRunDialog::FirstRunDialog(RootPaths root, Clock& clock, Prompter& prompter, QWidget* parent)
    : QDialog(parent), root_(std::move(root)), clock_(clock), prompter_(prompter) {
    setObjectName(QStringLiteral("ftrFirstRun"));
    setWindowTitle(QStringLiteral("Заявки на переподготовку: новая папка программы"));

    auto* heading = new QLabel(QStringLiteral("В этой папке программы ещё нет базы данных"), this);
    heading->setObjectName(QStringLiteral("HeadingLabel"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);

    auto* where = new QLabel(this);
    where->setObjectName(QStringLiteral("FolderLabel"));
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->setText(
        QStringLiteral("Данные программы будут храниться в папке\n%1\n\n"
                       "База данных — в её папке Base, шаблоны печатных форм — в Templates, файлы "
                       "выгрузки заявок — в Export, заполненные документы — в Documents. Если папка "
                       "указана по ошибке, закройте это окно и запустите программу с нужной папкой.")
            .arg(QDir::toNativeSeparators(root_.root())));

    auto choice = [this](const char* name, const QString& caption, const QString& description,
                         void (FirstRunDialog::*handler)()) {
        auto* b = new QCommandLinkButton(caption, description, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QCommandLinkButton::clicked, this, handler);
        choices_ << b;
        return b;
    };
    choice("ImportButton", QStringLiteral("Загрузить таблицы прежней программы…"),
           QStringLiteral("Выберите её папку Base с файлами .db: сотрудники, справочники, каталог программ, "
                          "параметры и заявки перейдут в новую базу."),
           &FirstRunDialog::importOldTables);
    choice("DemoButton", QStringLiteral("Заполнить демонстрационными данными"),
           QStringLiteral("Около сорока сотрудников, справочники, каталог программ и одна заявка — чтобы "
                          "попробовать программу."),
           &FirstRunDialog::fillDemo);
    choice("EmptyButton", QStringLiteral("Начать с пустой базы"),
           QStringLiteral(
               "Без сотрудников и заявок. Каталог программ учебного центра можно будет загрузить позже."),
           &FirstRunDialog::startEmpty);
    starterBooks_ =
        new QCheckBox(QStringLiteral("Заполнить справочники должностей и специальностей по номенклатуре "
                                     "Минздрава России (их можно будет изменить)"),
                      this);
    starterBooks_->setObjectName(QStringLiteral("StarterBooksCheck"));
    starterBooks_->setChecked(true);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setVisible(false);
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("ReportMemo"));
    report_->setReadOnly(true);
    report_->setVisible(false);

    exit_ = new QPushButton(QStringLiteral("Выход"), this);
    exit_->setObjectName(QStringLiteral("ExitButton"));
    exit_->setAutoDefault(false);
    connect(exit_, &QPushButton::clicked, this, &QDialog::reject);
    open_ = new QPushButton(QStringLiteral("Открыть программу"), this);
    open_->setObjectName(QStringLiteral("OpenButton"));
    open_->setVisible(false);
    connect(open_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(open_);
    buttons->addWidget(exit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(where);
    layout->addSpacing(8);
    for (QCommandLinkButton* b : choices_)
        layout->addWidget(b);
    auto* starterRow = new QHBoxLayout;
    starterRow->addSpacing(40); // under the empty database's caption
    starterRow->addWidget(starterBooks_, 1);
    layout->addLayout(starterRow);
    layout->addWidget(progress_);
    layout->addWidget(report_, 1);
    layout->addLayout(buttons);
    resize(560, sizeHint().height());
}

void FirstRunDialog::setChoicesEnabled(bool on) {
    for (QCommandLinkButton* b : choices_)
        b->setEnabled(on);
    exit_->setEnabled(on);
}

bool FirstRunDialog::make(const std::function<QString()>& how, QString* report) {
    setChoicesEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    try {
        const QString text = how();
        if (report)
            *report = text;
    } catch (const std::exception& e) {
        error = exceptionText(e);
    }
    failure_ = error;
    QApplication::restoreOverrideCursor();
    setChoicesEnabled(true);
    if (error.isEmpty())
        return true;
    prompter_.error(error);
    return false;
}

void FirstRunDialog::importOldTables() {
    const QString folder =
        prompter_.openDirectory(QStringLiteral("Папка Base прежней программы"), oldBaseFolder());
    if (folder.isEmpty())
        return;
    progress_->setValue(0);
    progress_->setVisible(true);
    report_->setVisible(true);
    report_->clear();
    QString report;
    const bool done = make(
        [&] {
            return firstrun::importOld(root_, {folder}, [this](int done, int total, const QString& file) {
                progress_->setMaximum(total);
                progress_->setValue(done);
                progress_->setFormat(file.isEmpty() ? QStringLiteral("%p%")
                                                    : QStringLiteral("%1 — %p%").arg(file));
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        },
        &report);
    if (!done) {
        progress_->setVisible(false);
        report_->setPlainText(
            QStringLiteral("Ничего не загружено: база данных не создана, в папке программы ничего "
                           "не осталось.\n\nПричина: %1\n\nИсправьте её и загрузите снова или "
                           "выберите другой способ.")
                .arg(failure_));
        return;
    }
    report_->setPlainText(
        QStringLiteral("Загружено из %1:\n%2").arg(QDir::toNativeSeparators(folder), report));
    for (QCommandLinkButton* b : choices_)
        b->setVisible(false);
    exit_->setVisible(false);
    open_->setVisible(true);
    open_->setDefault(true);
    open_->setFocus();
}

void FirstRunDialog::fillDemo() {
    if (make([this] { return firstrun::fillDemo(root_, clock_.today()); }))
        accept();
}

void FirstRunDialog::startEmpty() {
    if (make([this] { return firstrun::createEmpty(root_, starterBooks_->isChecked()); }))
        accept();
}
