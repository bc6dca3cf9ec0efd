// Every window and dialog of the showcase (shell/Showcase.h), opened on the demonstration data at
// its normal size, checked for what a user sees wrong at first sight: a label beside another box
// than its own, widgets lying over each other, titles and captions cut off, grid values cut off,
// empty grids, picture buttons without a picture, and boxes that take more characters than their
// field keeps. A window joins by being registered; nothing here names a window.
#include "app/Registration.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "shell/MainWindow.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

// A widget's rectangle in the window's coordinates.
QRect placeIn(QWidget* window, QWidget* w) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

QString describe(QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        text = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        text = group->title();
    QString out = QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
    if (!text.isEmpty())
        out += QStringLiteral(" «") + text + QStringLiteral("»");
    return out;
}

template <typename T> QList<T*> visible(QWidget* window) {
    QList<T*> out;
    for (T* w : window->findChildren<T*>())
        if (w->isVisibleTo(window) && w->window() == window)
            out << w;
    return out;
}

// A label stands on its box's row, to its left, or right above it.
QStringList labelsBesideTheirBoxes(QWidget* window) {
    QStringList faults;
    for (QLabel* label : visible<QLabel>(window)) {
        QWidget* box = label->buddy();
        if (!box || !box->isVisibleTo(window))
            continue;
        const QRect l = placeIn(window, label), b = placeIn(window, box);
        const bool sameRow = std::abs(l.center().y() - b.center().y()) <= b.height() / 2;
        const bool beside = sameRow && l.right() <= b.left();
        const bool above = l.bottom() <= b.top() && b.top() - l.bottom() <= b.height() &&
                           l.left() < b.right() && l.right() > b.left();
        if (!beside && !above)
            faults << describe(label) + QStringLiteral(" is not beside or above its box ") + describe(box);
    }
    return faults;
}

// Controls whose children are parts the control places itself.
bool placesItsOwnParts(QWidget* w) {
    return qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QTabBar*>(w) ||
           qobject_cast<QTabWidget*>(w) || qobject_cast<QMenuBar*>(w) || qobject_cast<QAbstractButton*>(w) ||
           qobject_cast<QMdiSubWindow*>(w);
}

// No two visible widgets with the same parent cover one another.
QStringList noOverlaps(QWidget* window) {
    QStringList faults;
    QList<QWidget*> parents{window};
    parents << window->findChildren<QWidget*>();
    for (QWidget* parent : parents) {
        if (!parent->isVisibleTo(window) || parent->window() != window || placesItsOwnParts(parent))
            continue;
        QList<QWidget*> children;
        for (QWidget* c : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!c->isWindow() && c->isVisibleTo(window) && !c->size().isEmpty())
                children << c;
        for (int i = 0; i < children.size(); ++i)
            for (int j = i + 1; j < children.size(); ++j)
                if (children[i]->geometry().intersects(children[j]->geometry()))
                    faults << describe(children[i]) + QStringLiteral(" overlaps ") + describe(children[j]);
    }
    return faults;
}

QString plainText(const QString& caption) {
    QString text = caption;
    text.remove(u'&');
    return text;
}

// Every caption, title and column title shows whole.
QStringList textsFit(QWidget* window) {
    QStringList faults;
    auto cut = [&](QWidget* w, int needed) {
        if (w->width() < needed)
            faults << describe(w) +
                          QStringLiteral(" is %1 wide, its text needs %2").arg(w->width()).arg(needed);
    };
    for (QLabel* label : visible<QLabel>(window)) {
        if (label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        if (!label->wordWrap())
            cut(label, label->minimumSizeHint().width());
        else if (label->height() < label->heightForWidth(label->width()))
            faults << describe(label) + QStringLiteral(" has lines cut off below");
    }
    for (QAbstractButton* button : visible<QAbstractButton>(window)) {
        if (button->text().isEmpty())
            continue;
        if (qobject_cast<QToolButton*>(button) || qobject_cast<QRadioButton*>(button)) {
            cut(button, button->sizeHint().width());
        } else if (qobject_cast<QPushButton*>(button)) {
            // The text and the button's frame; the style's minimum width is no part of the text.
            QStyle* style = button->style();
            const int frame = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                              2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            cut(button, button->fontMetrics().horizontalAdvance(plainText(button->text())) + icon + frame);
        }
    }
    for (QGroupBox* group : visible<QGroupBox>(window))
        cut(group, group->minimumSizeHint().width());
    for (QToolBar* bar : visible<QToolBar>(window))
        if (auto* more = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
            more && more->isVisible())
            faults << describe(bar) + QStringLiteral(" hides buttons it has no room for");
    for (DbGrid* grid : visible<DbGrid>(window)) {
        QHeaderView* header = grid->horizontalHeader();
        for (int c = 0; c < header->count(); ++c) {
            if (header->sectionSize(c) < header->sectionSizeHint(c))
                faults << describe(grid) + QStringLiteral(": the title of column %1 «%2» is cut (%3 of %4)")
                                               .arg(QString::number(c),
                                                    grid->model()->headerData(c, Qt::Horizontal).toString(),
                                                    QString::number(header->sectionSize(c)),
                                                    QString::number(header->sectionSizeHint(c)));
        }
    }
    return faults;
}

// A grid shows the demonstration rows, and a column without a width of its own shows its values
// whole (up to the widest a fitted column may grow).
QStringList gridsShowTheirRows(QWidget* window) {
    QStringList faults;
    for (DbGrid* grid : visible<DbGrid>(window)) {
        const int rows = grid->model()->rowCount();
        if (rows == 0) {
            faults << describe(grid) + QStringLiteral(" shows no rows");
            continue;
        }
        int last = grid->rowAt(grid->viewport()->height() - 1);
        if (last < 0)
            last = rows - 1;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (!grid->isFitted(c) || grid->columnWidth(c) >= DbGrid::kMaxFittedWidth)
                continue;
            for (int r = std::max(grid->rowAt(0), 0); r <= last; ++r) {
                if (grid->cellWidthHint(r, c) > grid->columnWidth(c)) {
                    faults << describe(grid) + QStringLiteral(": «") + grid->cellText(r, c) +
                                  QStringLiteral("» is cut in column ") + QString::number(c);
                    break;
                }
            }
        }
    }
    return faults;
}

// A button that shows only a picture has one.
QStringList pictureButtonsHavePictures(QWidget* window) {
    QStringList faults;
    for (QToolButton* button : visible<QToolButton>(window))
        if (button->text().isEmpty() && button->icon().isNull() && button->arrowType() == Qt::NoArrow &&
            !button->defaultAction())
            faults << describe(button) + QStringLiteral(" has neither text nor picture");
    return faults;
}

// A dialog fits the smallest screen, its buttons with it; a window's least size fits its place.
QStringList fitsTheScreen(QWidget* window) {
    QStringList faults;
    const QSize room = qobject_cast<QDialog*>(window)       ? windows::kLargestDialog
                       : qobject_cast<QMainWindow*>(window) ? windows::kMainWindowSize
                                                            : windows::kChildWindowSize;
    const QSize size = window->size().expandedTo(window->minimumSize());
    if (size.width() > room.width() || size.height() > room.height())
        faults << QStringLiteral("%1 is %2×%3, more than the %4×%5 it has on a 1280×768 screen")
                      .arg(describe(window))
                      .arg(size.width())
                      .arg(size.height())
                      .arg(room.width())
                      .arg(room.height());
    for (QAbstractButton* button : visible<QAbstractButton>(window)) {
        const QRect r = placeIn(window, button);
        if (!QRect(QPoint(0, 0), room).contains(r))
            faults << describe(button) + QStringLiteral(" lies outside the screen");
    }
    return faults;
}

// A box stops the typing where its field ends, so what the user sees is what is stored.
QStringList boxesStopAtTheirFieldsWidth(QWidget* window) {
    QStringList faults;
    for (DbEdit* box : visible<DbEdit>(window)) {
        const Field* f = box->link()->field();
        if (f && f->type() == FieldType::Alpha && box->maxLength() > std::max(f->size(), f->typedWidth))
            faults << describe(box) + QStringLiteral(" takes %1 characters, its field keeps %2")
                                          .arg(box->maxLength())
                                          .arg(f->size());
    }
    for (DbMemo* memo : visible<DbMemo>(window)) {
        const Field* f = memo->link()->field();
        if (f && f->type() == FieldType::Alpha && memo->maxLength() != f->size())
            faults << describe(memo) +
                          QStringLiteral(" does not stop at its field's %1 characters").arg(f->size());
    }
    return faults;
}

QList<QString> showcaseNames() {
    registerAllWindows();
    QList<QString> names;
    for (const windows::Showcase& s : windows::showcases())
        names << s.name();
    return names;
}

class WindowLayout : public ::testing::TestWithParam<QString> {};

TEST_P(WindowLayout, ShowsEverythingWholeAndInItsPlace) {
    AppHarness h(true, true);
    const windows::Showcase* showcase = windows::findShowcase(GetParam());
    ASSERT_TRUE(showcase);
    std::unique_ptr<QWidget> window = windows::openShowcase(*showcase, h.mainWindow());
    ASSERT_TRUE(window->isVisible());
    EXPECT_FALSE(window->windowTitle().isEmpty());
    for (const auto& check : {labelsBesideTheirBoxes, noOverlaps, textsFit, gridsShowTheirRows,
                              pictureButtonsHavePictures, boxesStopAtTheirFieldsWidth, fitsTheScreen}) {
        const QStringList faults = check(window.get());
        EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, WindowLayout, ::testing::ValuesIn(showcaseNames()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             QString name = info.param;
                             name.replace(u'-', u'_');
                             return name.toStdString();
                         });

// Enter presses the dialog's own "yes": a dialog that has one makes it the default button.
TEST(WindowShowcase, EnterPressesEachDialogsOwnYes) {
    const std::pair<const char*, const char*> defaults[] = {
        {"ftrConfig", "Button1"},
        {"ftrTraining", "Button1"},
        {"ftrMSertif", "Button1"},
        {"ftrMSLSertif", "Button1"},
        {"ftrNewZajavki2023", "Button1"},
        {"ftrNewZajavki2023-confirm", "Button3"},
        {"ftrInsertSluch2023", "Button2"},
        {"ftrMZajavki2023", "Button1"},
        {"ftrLoadCatalogue", "CancelButton"},
        {"ftrRestore", "CancelButton"},
    };
    registerAllWindows();
    for (const auto& [name, button] : defaults) {
        AppHarness h(true, true);
        h.prompter.answerUnscripted(Prompter::Answer::No, {});
        const windows::Showcase* showcase = windows::findShowcase(QString::fromLatin1(name));
        ASSERT_TRUE(showcase) << name;
        std::unique_ptr<QWidget> window = windows::openShowcase(*showcase, h.mainWindow());
        QStringList found;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->isDefault() && b->isVisibleTo(window.get()))
                found << b->objectName();
        EXPECT_EQ(found, QStringList{QString::fromLatin1(button)}) << name;
    }
}

// Esc closes every dialog, or cancels it (a question about unsaved changes answered "Нет").
TEST(WindowShowcase, EscClosesEveryDialog) {
    registerAllWindows();
    QStringList open;
    for (const windows::Showcase& showcase : windows::showcases()) {
        AppHarness h(true, true);
        h.prompter.answerUnscripted(Prompter::Answer::No, {});
        std::unique_ptr<QWidget> window = windows::openShowcase(showcase, h.mainWindow());
        if (!qobject_cast<QDialog*>(window.get()))
            continue;
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        if (window->isVisible())
            open << showcase.name();
    }
    EXPECT_TRUE(open.isEmpty()) << open.join(", ").toStdString();
}

TEST(WindowShowcase, HoldsEveryWindowOfTheProgram) {
    const QList<QString> names = showcaseNames();
    for (const char* name : {"ftrMain",
                             "ftrAvtoriz",
                             "ftrConfig",
                             "ftrDoljn",
                             "ftrSpez",
                             "ftrSpecialty",
                             "ftrZicl",
                             "ftrZajavki2023",
                             "ftrNewZajavki2023",
                             "ftrInsertSluch2023",
                             "ftrMZajavki2023",
                             "ftrZajavki",
                             "ftrNewZajavka",
                             "ftrInsertSluch",
                             "ftrMZajavki",
                             "ftrMSLSertif",
                             "ftrZajavki2021",
                             "ftrNewZajavka2021",
                             "ftrInsertSluch2021",
                             "ftrMZajavki2021",
                             "ftrMoving"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
}

} // namespace
