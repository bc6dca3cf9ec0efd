#include "shell/HelpWindow.h"

#include "shell/Manual.h"
#include "shell/WindowRegistry.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kSectionRole = Qt::UserRole;
// The pictures are windows drawn at their full size; the page shows them no wider than this.
constexpr int kPictureWidth = 720;

// The page's text: its pictures from the manual's folder, scaled to the page.
class ManualText : public QTextBrowser {
public:
    ManualText(const Manual& manual, QWidget* parent) : QTextBrowser(parent), manual_(manual) {}

    QVariant loadResource(int type, const QUrl& name) override {
        if (type != QTextDocument::ImageResource)
            return QTextBrowser::loadResource(type, name);
        QImage picture(manual_.folder() + u'/' + name.path());
        if (picture.width() > kPictureWidth)
            picture = picture.scaledToWidth(kPictureWidth, Qt::SmoothTransformation);
        return picture;
    }

private:
    const Manual& manual_;
};

} // namespace

HelpWindow::HelpWindow(const Manual& manual, QWidget* parent)
    : QWidget(parent, Qt::Window), manual_(manual), searchBox_(new QLineEdit(this)),
      contents_(new QTreeWidget(this)), results_(new QListWidget(this)), text_(new ManualText(manual, this)) {
    setObjectName(QStringLiteral("ftrHelp"));
    setWindowTitle(QStringLiteral("Руководство пользователя"));
    searchBox_->setObjectName(QStringLiteral("HelpSearch"));
    searchBox_->setPlaceholderText(QStringLiteral("Поиск по руководству"));
    searchBox_->setClearButtonEnabled(true);
    contents_->setObjectName(QStringLiteral("HelpContents"));
    contents_->setHeaderHidden(true);
    results_->setObjectName(QStringLiteral("HelpResults"));
    results_->hide();
    text_->setObjectName(QStringLiteral("HelpText"));
    text_->setOpenLinks(false);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(searchBox_);
    sideLayout->addWidget(contents_);
    sideLayout->addWidget(results_);
    auto* split = new QSplitter(this);
    split->addWidget(side);
    split->addWidget(text_);
    split->setStretchFactor(1, 1);
    split->setSizes({280, 760});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);
    resize(1060, 680);

    fillContents();
    connect(searchBox_, &QLineEdit::textChanged, this, &HelpWindow::search);
    auto open = [this](const QString& id) {
        if (!id.isEmpty())
            showSection(id);
    };
    connect(contents_, &QTreeWidget::currentItemChanged, this, [open](QTreeWidgetItem* item) {
        open(item ? item->data(0, kSectionRole).toString() : QString());
    });
    connect(results_, &QListWidget::currentItemChanged, this,
            [open](QListWidgetItem* item) { open(item ? item->data(kSectionRole).toString() : QString()); });
    connect(text_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    if (!manual_.sections().isEmpty())
        showSection(manual_.sections().first().id);
}

void HelpWindow::fillContents() {
    QList<QTreeWidgetItem*> levels;
    for (const Manual::Section& s : manual_.sections()) {
        if (s.level > 2) // the contents show chapters and their sections
            continue;
        while (levels.size() >= s.level)
            levels.removeLast();
        auto* item = levels.isEmpty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(levels.last());
        item->setText(0, s.title);
        item->setData(0, kSectionRole, s.id);
        levels << item;
    }
    contents_->expandAll();
}

void HelpWindow::search(const QString& text) {
    const bool searching = !text.trimmed().isEmpty();
    results_->clear();
    if (searching) {
        const QList<Manual::Section> found = manual_.search(text);
        for (const Manual::Section& s : found) {
            if (s.id.isEmpty())
                continue;
            auto* item = new QListWidgetItem(s.title, results_);
            item->setData(kSectionRole, s.id);
        }
        if (results_->count() == 0)
            new QListWidgetItem(QStringLiteral("Ничего не найдено"), results_);
    }
    results_->setVisible(searching);
    contents_->setVisible(!searching);
}

bool HelpWindow::showSection(const QString& id) {
    const Manual::Section* section = manual_.section(id);
    if (!section)
        return false;
    showPage(section->page);
    section_ = id;
    // The heading's block: the page scrolled to put it at the top.
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == section->level &&
            block.text().trimmed() == section->title) {
            QTextCursor at(block);
            text_->setTextCursor(at);
            const qreal top = text_->document()->documentLayout()->blockBoundingRect(block).top();
            text_->verticalScrollBar()->setValue(int(top));
            break;
        }
    }
    // The contents follow, without coming back here.
    const QSignalBlocker quiet(contents_);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it)
        if ((*it)->data(0, kSectionRole).toString() == id)
            contents_->setCurrentItem(*it);
    return true;
}

void HelpWindow::showPage(const QString& page) {
    if (page == page_)
        return;
    page_ = page;
    text_->document()->setMarkdown(manual_.markdown(page));
    text_->document()->setTextWidth(text_->viewport()->width());
}

void HelpWindow::followLink(const QUrl& url) {
    if (url.scheme().isEmpty() && url.path().isEmpty() && !url.fragment().isEmpty()) {
        showSection(url.fragment());
        return;
    }
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
        url.scheme() == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

namespace help {

QString sectionFor(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            // The main window: the child window open in it, else the main window's own section.
            if (auto* mdi = qobject_cast<QMdiArea*>(main->centralWidget()))
                if (QMdiSubWindow* sub = mdi->activeSubWindow(); sub && sub->widget())
                    if (const QString section = windows::helpSection(sub->widget()->objectName());
                        !section.isEmpty())
                        return section;
        }
        if (const QString section = windows::helpSection(w->objectName()); !section.isEmpty())
            return section;
    }
    return QStringLiteral("main");
}

HelpWindow* show(QWidget* owner, const QString& section) {
    static QPointer<HelpWindow> shared;
    QWidget* modal = QApplication::activeModalWidget();
    HelpWindow* window = nullptr;
    if (modal && modal != owner) {
        window = modal->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
        if (!window) {
            window = new HelpWindow(Manual::instance(), modal);
            window->setAttribute(Qt::WA_DeleteOnClose);
        }
    } else {
        if (!shared)
            shared = new HelpWindow(Manual::instance(), owner);
        window = shared;
    }
    // Shown first, so that the page is laid out at the window's width before it scrolls.
    window->show();
    if (!window->showSection(section))
        window->showSection(QStringLiteral("main"));
    window->raise();
    window->activateWindow();
    return window;
}

namespace {

class F1Key : public QObject {
public:
    explicit F1Key(QWidget* owner) : QObject(owner), owner_(owner) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        // The widget the key went to: the one with the focus, in the window that is active.
        auto* target = static_cast<QWidget*>(watched);
        if (qobject_cast<HelpWindow*>(target->window()))
            return true; // F1 in the help window itself: it is open already
        show(owner_, sectionFor(target));
        return true;
    }

private:
    QWidget* owner_;
};

} // namespace

void installF1Key(QWidget* owner) {
    qApp->installEventFilter(new F1Key(owner));
}

} // namespace help
