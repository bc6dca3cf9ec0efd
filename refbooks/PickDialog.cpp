#include "refbooks/PickDialog.h"

#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "refbooks/RefbookWidgets.h"
#include "shell/DbGrid.h"
#include "shell/ErrorGuard.h"
#include "shell/ReadOnlySession.h"
#include "shell/WindowHost.h"
#include "shell/WindowRegistry.h"

#include "core/UserError.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace refbooks {

const PickBook& positionsBook() {
    static const PickBook book{
        QStringLiteral("Должности"),
        QSize(587, 558),
        QStringLiteral("dtsDoljn"),
        {column("KDoljn", QStringLiteral("Код"), 40), column("NDoljn", QStringLiteral("Название"), 500)},
        &SharedState::DoljnCaller,
        &positionTargets,
        &books::positions};
    return book;
}

const PickBook& diplomaSpecialtiesBook() {
    // The name column has no title of its own: the grid heads it with the field's name.
    static const PickBook book{
        QStringLiteral("Специальности по диплому"),
        QSize(478, 433),
        QStringLiteral("dtsSpez"),
        {column("KSpez", QStringLiteral("Код"), 45), column("NSpez", QStringLiteral("Название"), 380)},
        &SharedState::SpezCaller,
        &diplomaSpecialtyTargets,
        &books::diplomaSpecialties};
    return book;
}

const PickBook& specialtiesBook() {
    static const PickBook book{
        QStringLiteral("Специальности"),
        QSize(518, 561),
        QStringLiteral("dtsSpecialty"),
        {column("NPP", QStringLiteral("Код")), column("Name", QStringLiteral("Наименование"), 400)},
        &SharedState::SpecialtyCaller,
        &specialtyTargets,
        &books::specialties};
    return book;
}

} // namespace refbooks

using namespace refbooks;

namespace {
DataSource* sourceOf(WindowHost& main, const QString& name) {
    DataSource* source = main.app().DM->dataSource(name);
    if (!source)
        throw DbError(QStringLiteral("Источник данных %1 не найден в модуле данных").arg(name));
    return source;
}
} // namespace

PickDialog::PickDialog(WindowHost& main, const PickBook& book)
    : ActivatedDialog(main.hostWidget()), main_(main), book_(book), layout_(new QVBoxLayout(this)),
      grid_(new DbGrid(QStringLiteral("DBGrid1"), sourceOf(main, book.source), book.columns, this)),
      editBar_(new QWidget(this)), hint_(makePickHint(this)) {
    setWindowTitle(book.caption);
    // A fixed border; QDialog centres itself over the main window when shown.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(book.size);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    editBar_->setObjectName(QStringLiteral("BookEditBar"));
    auto* bar = new QHBoxLayout(editBar_);
    bar->setContentsMargins(6, 4, 6, 4);
    const auto barButton = [&](const char* name, const QString& caption, const QString& tip,
                               void (PickDialog::*handler)()) {
        auto* b = new QPushButton(caption, editBar_);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        bar->addWidget(b);
        return b;
    };
    barButton("AddEntry", QStringLiteral("Добавить…"), QStringLiteral("Добавить запись в справочник (Ins)"),
              &PickDialog::addEntry);
    renameButton_ = barButton("RenameEntry", QStringLiteral("Переименовать…"),
                              QStringLiteral("Переименовать текущую запись (F2)"), &PickDialog::renameEntry);
    deleteButton_ = barButton("DeleteEntry", QStringLiteral("Удалить"),
                              QStringLiteral("Удалить текущую запись (Delete)"), &PickDialog::deleteEntry);
    bar->addStretch();
    layout_->addWidget(grid_, 1);
    layout_->addWidget(editBar_);
    layout_->addWidget(hint_);
    // Any double click in the grid picks, also one below the last row or on an empty list.
    grid_->viewport()->installEventFilter(this);
    grid_->installEventFilter(this);
    read_only::markChanging(this, {"AddEntry", "DeleteEntry"});
}

std::optional<books::Entry> PickDialog::currentEntry() const {
    Dataset& rows = *grid_->dataset();
    if (!rows.isActive() || rows.isEmpty())
        return std::nullopt;
    const books::Book& book = book_.entries();
    return books::Entry{rows.field(QString::fromLatin1(book.codeField)).asInteger(),
                        rows.field(QString::fromLatin1(book.nameField)).asString()};
}

void PickDialog::addEntry() {
    runGuarded([this] {
        const books::Book& book = book_.entries();
        const QString name = main_.app().prompter.askText(QStringLiteral("Новая запись: ") + book_.caption,
                                                          QString::fromUtf8(book.caption) + u':', QString());
        if (name.trimmed().isEmpty())
            return;
        books::add(*main_.app().DM, book, name);
    });
    grid_->setFocus();
}

void PickDialog::renameEntry() {
    runGuarded([this] {
        const auto entry = currentEntry();
        if (!entry)
            return;
        const books::Book& book = book_.entries();
        const QString name =
            main_.app().prompter.askText(QStringLiteral("Переименование: ") + book_.caption,
                                         QString::fromUtf8(book.caption) + u':', entry->name);
        if (name.trimmed().isEmpty() || name == entry->name)
            return;
        books::rename(*main_.app().DM, book, entry->code, name);
    });
    grid_->setFocus();
}

void PickDialog::deleteEntry() {
    runGuarded([this] {
        const auto entry = currentEntry();
        if (!entry)
            return;
        const books::Book& book = book_.entries();
        DataModule& dm = *main_.app().DM;
        if (const QString refusal = books::removalRefusal(dm, book, *entry); !refusal.isEmpty())
            throw UserError(refusal); // before the question: nothing to ask about
        const QString question = QStringLiteral("Удалить из справочника: %1 «%2»?")
                                     .arg(QString::fromUtf8(book.caption).toLower(), entry->name);
        if (!main_.app().prompter.confirmDeleting(question))
            return;
        books::remove(dm, book, *entry);
    });
    grid_->setFocus();
}

void PickDialog::addTopWidget(QWidget* widget) {
    layout_->insertWidget(0, widget);
}

bool PickDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::MouseButtonDblClick)
        gridDoubleClicked();
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert) {
            addEntry();
            return true;
        }
        if (key == Qt::Key_F2 && renameButton_->isVisible()) {
            renameEntry();
            return true;
        }
        if (key == Qt::Key_Delete && deleteButton_->isVisible()) {
            deleteEntry();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            findTarget(book_.targets(), main_.app().state.*book_.caller)) {
            gridDoubleClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PickDialog::activated() {
    const int code = main_.app().state.*book_.caller;
    Mode mode = Mode::Unknown;
    if (code == 0)
        mode = Mode::Browsing;
    else if (findTarget(book_.targets(), code))
        mode = Mode::Picking;
    if (mode != Mode::Unknown)
        hint_->setVisible(mode == Mode::Picking);
    renameButton_->setVisible(mode == Mode::Browsing);
    deleteButton_->setVisible(mode == Mode::Browsing);
    adjustToMode(mode);
    grid_->setFocus();
}

void PickDialog::gridDoubleClicked() {
    const PickTarget* target = findTarget(book_.targets(), main_.app().state.*book_.caller);
    if (!target)
        return; // browsing only, or a code no window uses: the list stays open
    const bool written =
        runGuarded([&] { writePick(*main_.app().DM, *grid_->dataset(), *target, boxWriter(main_)); });
    if (written)
        accept();
}

// ---------------------------------------------------------------- positions

PositionsDialog::PositionsDialog(WindowHost& main) : PickDialog(main, positionsBook()) {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setFixedHeight(30); // keeps its height when the print button is hidden
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);

    searchBox_ = new QLineEdit(bar);
    searchBox_->setObjectName(QStringLiteral("Edit1"));
    searchBox_->setFixedWidth(177);
    searchBox_->setToolTip(QStringLiteral("Введите часть названия для поиска"));
    QToolButton* start = makePictureButton(QStringLiteral("SpeedButton1"), Picture::Search,
                                           QStringLiteral("Начать поиск"), bar);
    QToolButton* next = makePictureButton(QStringLiteral("SpeedButton2"), Picture::SearchNext,
                                          QStringLiteral("Продолжить поиск"), bar);
    auto* separator = new QFrame(bar);
    separator->setObjectName(QStringLiteral("ToolButton1"));
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    print_ = makePictureButton(QStringLiteral("SpeedButton3"), Picture::Print, QStringLiteral("Печать"), bar);

    row->addWidget(searchBox_);
    row->addWidget(start);
    row->addWidget(next);
    row->addSpacing(4);
    row->addWidget(separator);
    row->addSpacing(4);
    row->addWidget(print_);
    row->addStretch();
    addTopWidget(bar);

    connect(start, &QToolButton::clicked, this, &PositionsDialog::findFirst);
    connect(next, &QToolButton::clicked, this, &PositionsDialog::findNext);
    connect(print_, &QToolButton::clicked, this, &PositionsDialog::printList);
}

void PositionsDialog::adjustToMode(Mode mode) {
    searchBox_->clear();
    // The list is printed only when browsing.
    if (mode != Mode::Unknown)
        print_->setVisible(mode == Mode::Browsing);
}

void PositionsDialog::search(bool fromNext) {
    runGuarded([&] {
        if (!findPosition(*main_.app().DM, searchBox_->text(), fromNext))
            main_.app().prompter.inform(QStringLiteral("Запись не найдена"));
    });
    grid()->setFocus();
}

void PositionsDialog::findFirst() {
    search(false);
}
void PositionsDialog::findNext() {
    search(true);
}

void PositionsDialog::printList() {
    if (windows::Action print = windows::action(QStringLiteral("PrintPositionsList")))
        print(main_);
    else
        main_.app().prompter.inform(QStringLiteral("Печать списка должностей пока недоступна"));
}
