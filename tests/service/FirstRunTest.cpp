// The first start on a root without a database: the first-run window's three ways to begin, and
// an import that fails leaving no database behind.
#include "service/FirstRun.h"
#include "core/Clock.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/SqliteStore.h"
#include "service/FirstRunDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>

namespace {

struct FirstRun : ::testing::Test {
    QTemporaryDir dir;
    RootPaths root{dir.filePath("TOVEX-Training")};
    FixedClock clock{QDate(2026, 3, 15)};
    ScriptedPrompter prompter;
    QTemporaryDir oldBase;

    int count(const char* table) {
        auto store = SqliteStore::open(root.storeFile());
        auto st =
            store->cached(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromLatin1(table)));
        st->step();
        return int(st->int64(0));
    }
    // The database's files; the lock file the making of the database holds is no part of them.
    QStringList baseFiles() const {
        QStringList files = QDir(root.base()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll("zajavki.lock");
        return files;
    }
    void writeOldTable(const char* file, const char* layout, const QList<QVariantList>& rows) {
        writeParadoxTable(QDir(oldBase.path()).filePath(QString::fromLatin1(file)), *layouts::find(layout),
                          rows);
    }
};

TEST_F(FirstRun, ANewRootIsRecognisedAndNothingIsMadeUntilAChoice) {
    EXPECT_TRUE(firstrun::isNewRoot(root));
    FirstRunDialog window(root, clock, prompter);
    window.show();
    EXPECT_TRUE(ui::text(&window, "FolderLabel").contains(QDir::toNativeSeparators(root.root())));
    ui::click(&window, "ExitButton");
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(QFileInfo::exists(root.root())) << "closing the window must make nothing";
}

TEST_F(FirstRun, DemoAndEmptyMakeTheDatabaseAndCloseTheWindow) {
    {
        FirstRunDialog window(root, clock, prompter);
        window.show();
        ui::click(&window, "DemoButton");
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(firstrun::isNewRoot(root));
    EXPECT_GT(count("Personal"), 10);
    EXPECT_EQ(baseFiles(), QStringList{"tovex.sqlite"});

    RootPaths other(dir.filePath("other"));
    FirstRunDialog window(other, clock, prompter);
    window.show();
    ui::click(&window, "EmptyButton");
    EXPECT_EQ(window.result(), QDialog::Accepted);
    root = other;
    EXPECT_EQ(count("Personal"), 0);
}

TEST_F(FirstRun, AnEmptyDatabaseStartsWithTheStarterBooksUnlessTheClerkDeclines) {
    for (const bool starter : {true, false}) {
        root = RootPaths(dir.filePath(starter ? "with" : "without"));
        FirstRunDialog window(root, clock, prompter);
        window.show();
        auto* check = window.findChild<QCheckBox*>("StarterBooksCheck");
        ASSERT_TRUE(check && check->isVisible());
        EXPECT_TRUE(check->isChecked()) << "offered by default";
        check->setChecked(starter);
        ui::click(&window, "EmptyButton");
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_EQ(count("Personal"), 0);
        for (const char* book : {"DOLJNOST", "SPEZ", "Specialty"})
            EXPECT_EQ(count(book) > 0, starter) << book;
    }
}

TEST_F(FirstRun, ImportsTheOldTablesWithAReportPerTable) {
    writeOldTable("PERSONAL.DB", "Personal",
                  {{5,
                    "АНДРЕЕВ",
                    "ИВАН",
                    "ПЕТРОВИЧ",
                    QDate(1980, 5, 17),
                    3,
                    "ВРАЧ-ТЕРАПЕВТ",
                    1,
                    "Лечебное дело",
                    2001,
                    2010,
                    {}}});
    writeOldTable("DOLJNOST.DB", "DOLJNOST", {{3, "ВРАЧ-ТЕРАПЕВТ"}, {4, "МЕДСЕСТРА"}});
    FirstRunDialog window(root, clock, prompter);
    window.show();
    prompter.expectOpenDirectory(""); // cancelled: nothing happens
    ui::click(&window, "ImportButton");
    EXPECT_TRUE(firstrun::isNewRoot(root));

    prompter.expectOpenDirectory(oldBase.path());
    ui::click(&window, "ImportButton");
    const QString report = window.findChild<QPlainTextEdit*>("ReportMemo")->toPlainText();
    EXPECT_TRUE(report.contains("Personal.DB: прочитано 1, записано 1")) << report.toStdString();
    EXPECT_TRUE(report.contains("DOLJNOST.DB: прочитано 2, записано 2")) << report.toStdString();
    const auto* bar = window.findChild<QProgressBar*>("ProgressBar1");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(ui::find(&window, "OpenButton")->isVisible());
    EXPECT_FALSE(ui::find(&window, "ImportButton")->isVisible());
    ui::click(&window, "OpenButton");
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(count("Personal"), 1);
    EXPECT_EQ(count("DOLJNOST"), 2);
}

TEST_F(FirstRun, AnImportThatFailsLeavesNoDatabaseAndTheChoiceOpen) {
    QFile notATable(QDir(oldBase.path()).filePath("Personal.DB"));
    ASSERT_TRUE(notATable.open(QIODevice::WriteOnly));
    notATable.write("this is no Paradox table");
    notATable.close();
    FirstRunDialog window(root, clock, prompter);
    window.show();
    prompter.expectOpenDirectory(oldBase.path()).expectError("Personal.DB");
    ui::click(&window, "ImportButton");
    prompter.verify();
    EXPECT_TRUE(firstrun::isNewRoot(root));
    EXPECT_FALSE(QFileInfo::exists(root.root())) << "the folders the attempt made are gone";
    EXPECT_TRUE(ui::find(&window, "DemoButton")->isEnabled());
    EXPECT_TRUE(window.isVisible());
    const QString report = window.findChild<QPlainTextEdit*>("ReportMemo")->toPlainText();
    EXPECT_TRUE(report.contains("Причина: ") && report.contains("Personal.DB")) << report.toStdString();
    EXPECT_FALSE(window.findChild<QProgressBar*>("ProgressBar1")->isVisible());
    window.close();
}

TEST_F(FirstRun, AFolderWithoutTablesIsDescribedWithWhatItHoldsAndWhatIsLookedFor) {
    for (const char* name : {"readme.txt", "staff.xlsx"}) {
        QFile f(QDir(oldBase.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FirstRunDialog window(root, clock, prompter);
    window.show();
    prompter.expectOpenDirectory(oldBase.path())
        .expectError("Найдены файлы (не таблицы программы): readme.txt, staff.xlsx");
    ui::click(&window, "ImportButton");
    prompter.verify();
    const QString report = window.findChild<QPlainTextEdit*>("ReportMemo")->toPlainText();
    for (const char* part : {"нет ни одной таблицы прежней программы", "readme.txt", "Personal.DB",
                             "DOLJNOST.DB", "Sluch2023.db"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(part))) << part << "\n" << report.toStdString();
    EXPECT_FALSE(QFileInfo::exists(root.root()));

    QTemporaryDir empty;
    prompter.expectOpenDirectory(empty.path()).expectError("Папка пуста.");
    ui::click(&window, "ImportButton");
    EXPECT_FALSE(QFileInfo::exists(root.root()));
    window.close();
}

} // namespace
