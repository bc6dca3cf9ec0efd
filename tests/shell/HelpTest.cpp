// The user's manual and its window: sections read from the Markdown headings, the search, links and
// pictures that lead somewhere, a section for every window, and F1 opening the active window's.
#include "app/Registration.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/Manual.h"
#include "shell/Showcase.h"
#include "shell/WindowRegistry.h"
#include "support/Printers.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

void write(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// A manual of two pages, with what the reader must not take for a heading.
struct SmallManual {
    QTemporaryDir dir;
    SmallManual() {
        write(dir.filePath("pages.txt"), "# comment\nfirst.md\n\nsecond.md\n");
        write(dir.filePath("first.md"), "# Первый раздел {#first}\n\nПро ёлку и [второй](#second).\n\n"
                                        "## Без имени\n\n```\n# не заголовок\n```\n");
        write(dir.filePath("second.md"),
              "# Второй раздел {#second}\n\nПро ЕЛКУ и сертификаты. ![Окно](images/w.png)\n"
              "[никуда](#nowhere)\n");
    }
};

TEST(Manual, ReadsSectionsFromTheHeadings) {
    SmallManual small;
    const Manual manual(small.dir.path());
    EXPECT_EQ(manual.pages(), (QStringList{"first.md", "second.md"}));
    QStringList titles;
    for (const Manual::Section& s : manual.sections())
        titles << s.id + "|" + s.title + "|" + s.page + "|" + QString::number(s.level);
    EXPECT_EQ(titles, (QStringList{"first|Первый раздел|first.md|1", "|Без имени|first.md|2",
                                   "second|Второй раздел|second.md|1"}))
        << "a # inside a code block is no heading";
    EXPECT_TRUE(manual.markdown("first.md").startsWith("# Первый раздел\n")) << "the name is taken out";
    EXPECT_EQ(manual.brokenLinks(), QStringList{"nowhere"});
    EXPECT_EQ(manual.pictures(), QStringList{"images/w.png"});
}

TEST(Manual, SearchFindsEveryWordWhateverTheCaseAndYo) {
    SmallManual small;
    const Manual manual(small.dir.path());
    const struct {
        const char* query;
        QStringList found;
    } cases[] = {
        {"ёлку", {"first", "second"}}, // "ёлку" and "ЕЛКУ" both
        {"Елку", {"first", "second"}},
        {"ЁЛКУ сертификаты", {"second"}},
        {"ВТОРОЙ", {"first", "second"}}, // a link's text and a title
        {"самолёт", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        QStringList ids;
        for (const Manual::Section& s : manual.search(QString::fromUtf8(c.query)))
            ids << s.id;
        EXPECT_EQ(ids, c.found) << c.query;
    }
}

// The manual built into the program: its links and pictures lead somewhere, its names are unique.
TEST(Manual, TheProgramsManualIsWhole) {
    const Manual& manual = Manual::instance();
    ASSERT_GE(manual.pages().size(), 10);
    EXPECT_EQ(manual.brokenLinks(), QStringList());
    for (const QString& picture : manual.pictures())
        EXPECT_TRUE(QFile::exists(manual.folder() + "/" + picture)) << picture.toStdString();
    QSet<QString> ids;
    for (const Manual::Section& s : manual.sections()) {
        if (s.id.isEmpty())
            continue;
        EXPECT_FALSE(ids.contains(s.id)) << s.id.toStdString() << " twice";
        ids.insert(s.id);
    }
    for (const char* id : {"main", "changes", "about", "help", "register", "applications", "command-line"})
        EXPECT_TRUE(manual.section(QString::fromLatin1(id))) << id;
}

// F1 reaches a section from every window and dialog of the program.
TEST(Manual, EveryWindowNamesASectionOfTheManual) {
    registerAllWindows();
    for (const windows::Showcase& s : windows::showcases()) {
        const QString section = windows::helpSection(s.objectName);
        EXPECT_FALSE(section.isEmpty()) << s.objectName.toStdString() << " names no section";
        EXPECT_TRUE(section.isEmpty() || Manual::instance().section(section))
            << s.objectName.toStdString() << " names " << section.toStdString() << ", which the manual lacks";
    }
}

TEST(HelpWindow, ShowsASectionSearchesAndFollowsLinks) {
    HelpWindow window(Manual::instance());
    window.show();
    EXPECT_TRUE(window.showSection("plan"));
    EXPECT_EQ(window.currentSection(), "plan");
    auto* text = window.findChild<QTextBrowser*>("HelpText");
    EXPECT_TRUE(text->toPlainText().contains("План обучения на год"));
    EXPECT_FALSE(window.showSection("no-such-section"));
    auto* contents = window.findChild<QTreeWidget*>("HelpContents");
    ASSERT_TRUE(contents->currentItem());
    EXPECT_EQ(contents->currentItem()->text(0), "План обучения на год");

    // Typed into the search box: the sections holding the words; a click shows one.
    ui::type(&window, "HelpSearch", "ПРОБЕЛ");
    auto* results = window.findChild<QListWidget*>("HelpResults");
    EXPECT_TRUE(results->isVisible());
    EXPECT_FALSE(contents->isVisible());
    QStringList found;
    for (int i = 0; i < results->count(); ++i)
        found << results->item(i)->text();
    EXPECT_TRUE(found.contains("Добавление слушателей")) << found.join(", ").toStdString();
    results->setCurrentRow(found.indexOf("Добавление слушателей"));
    EXPECT_EQ(window.currentSection(), "add-trainees");
    window.findChild<QLineEdit*>("HelpSearch")->clear();
    EXPECT_TRUE(contents->isVisible());

    emit text->anchorClicked(QUrl("#backups"));
    EXPECT_EQ(window.currentSection(), "backups");
}

// F1 in the register opens the register's section; in a modal dialog, the dialog's own, in a help
// window the dialog owns, which takes the keys while the dialog is open.
TEST(HelpWindow, F1OpensTheSectionOfTheActiveWindow) {
    registerAllWindows();
    AppHarness h(true, true);
    MainWindow& main = h.mainWindow();
    main.skipStartUp();
    main.show();
    main.openPersonnel();
    QMdiSubWindow* sub = main.mdiArea()->activeSubWindow();
    ASSERT_TRUE(sub);
    QWidget* grid = sub->widget()->findChild<QWidget*>("DBGrid1");
    QTest::keyClick(grid ? grid : sub->widget(), Qt::Key_F1);
    auto* help = main.findChild<HelpWindow*>();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->currentSection(), "register");
    help->close();

    QDialog dialog(&main);
    dialog.setObjectName("ftrDoljn");
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* box = new QLineEdit(&dialog);
    dialog.show();
    QTest::keyClick(box, Qt::Key_F1);
    auto* dialogsHelp = dialog.findChild<HelpWindow*>();
    ASSERT_TRUE(dialogsHelp);
    EXPECT_EQ(dialogsHelp->currentSection(), "positions");
    EXPECT_TRUE(dialogsHelp->isVisible());
}

} // namespace
