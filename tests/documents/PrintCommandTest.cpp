// zajavki print on a demonstration root: the document written where asked, the notice of a trainee
// left out on standard error with the document written all the same, the number with a comma, an
// existing file replaced only with --force, an unknown application refused, nothing written into
// the Base folder, and a full disk failing the command with the old file kept.
#include "support/FileSizeLimit.h"
#include "support/XlsxReader.h"

#include "app/Registration.h"
#include "core/CommandLine.h"
#include "core/RootPaths.h"
#include "data/SqliteStore.h"
#include "data/Table.h"
#include "service/DemoRoot.h"
#include "support/Printers.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct PrintCommand : ::testing::Test {
    QTemporaryDir dir;
    QString root = dir.filePath("root");
    QString outText, errText;

    void SetUp() override {
        registerDocumentCommands();
        const RootPaths paths(root);
        ASSERT_TRUE(paths.makeFolders());
        demo::fill(*SqliteStore::open(paths.storeFile()), QDate(2026, 3, 15));
    }
    int run(QStringList args) {
        outText.clear();
        errText.clear();
        QTextStream out(&outText), err(&errText);
        args << "--root" << root;
        return runCommand(CommandLine::parse(args), out, err);
    }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static std::string shown(const XlsxReader& book, const std::string& ref) {
        const XlsxReader::Cell c = book.cell(ref);
        return c.type == "s" ? c.text : c.value;
    }
};

TEST_F(PrintCommand, WritesTheDemonstrationApplicationWhereAsked) {
    const QString file = dir.filePath("Заявка.xlsx");
    ASSERT_EQ(run({"print", "116", "2026", file}), 0) << errText.toStdString();
    EXPECT_EQ(errText, "");
    EXPECT_TRUE(outText.contains("слушателей: 7")) << outText.toStdString();
    const XlsxReader book = XlsxReader::fromFile(file);
    EXPECT_EQ(shown(book, "A5"), "ЗАЯВКА № 116     на   2026  год  ");
    EXPECT_EQ(shown(book, "A11"), "ГБУЗ «Городская больница № 3»");
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(shown(book, refName(13 + k, 1)), std::to_string(k));
    EXPECT_EQ(shown(book, "A21"), "");
    EXPECT_EQ(book.style(book.cell("Q20").style).sides,
              (std::array<std::string, 4>{"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(shown(book, "E25"), "Ф.И.О. руководителя");
    EXPECT_EQ(shown(book, "E32"), "тел.:  88312345678");
    // The document is not put into the root's Documents folder.
    EXPECT_TRUE(QDir(RootPaths(root).documents()).isEmpty());
}

TEST_F(PrintCommand, ATraineeLeftOutIsNoticedOnStandardErrorAndTheDocumentIsWritten) {
    QString name;
    {
        auto store = SqliteStore::open(RootPaths(root).storeFile());
        Table trainees(*store, "tblSluch2023", "Sluch2023");
        trainees.open();
        trainees.moveTo(2);
        trainees.edit();
        trainees.field("KDoljn").setAsInteger(9999);
        trainees.post();
        name = trainees.field("Name1").asString() + "  " + trainees.field("Name2").asString() + "  " +
               trainees.field("Name3").asString();
    }
    // Either decimal separator is taken in the number.
    const QString file = dir.filePath("part.xlsx");
    ASSERT_EQ(run({"print", "116,0", "2026", file}), 0) << errText.toStdString();
    EXPECT_EQ(errText, "не найдена должность - " + name + "\n");
    EXPECT_TRUE(outText.contains("слушателей: 2")) << outText.toStdString();
    const XlsxReader book = XlsxReader::fromFile(file);
    EXPECT_EQ(shown(book, "A16"), "3");
    EXPECT_EQ(shown(book, "J16"), "");
    EXPECT_EQ(shown(book, "E20"), "Ф.И.О. руководителя");
}

TEST_F(PrintCommand, ReplacesAFileOnlyWithForceAndRefusesAnUnknownApplication) {
    const QString file = dir.filePath("old.xlsx");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old file");
    }
    EXPECT_EQ(run({"print", "116.0", "2026", file}), 1);
    EXPECT_TRUE(errText.contains("--force")) << errText.toStdString();
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the old file");
    kept.close();

    ASSERT_EQ(run({"print", "116.0", "2026", file, "--force"}), 0) << errText.toStdString();
    EXPECT_EQ(shown(XlsxReader::fromFile(file), "A14"), "1");

    const QString none = dir.filePath("none.xlsx");
    EXPECT_EQ(run({"print", "117", "2026", none}), 1);
    EXPECT_EQ(errText, "Заявки 117 на 2026 год нет\n");
    EXPECT_FALSE(QFile::exists(none));
    EXPECT_EQ(run({"print", "116", "2026"}), 2);
}

TEST_F(PrintCommand, TheMessageShowsAFileNameWithPlaceholdersAsItIs) {
    const QString file = dir.filePath("q %1 %2 7.xlsx");
    ASSERT_EQ(run({"print", "116", "2026", file}), 0) << errText.toStdString();
    EXPECT_EQ(outText, "Заявка записана в " + QDir::toNativeSeparators(file) + ", слушателей: 7\n");
}

TEST_F(PrintCommand, NothingIsWrittenIntoTheBaseFolderEvenWithForce) {
    const RootPaths paths(root);
    const QByteArray store = bytesOf(paths.storeFile());
    // The command's own lock file aside, nothing appears in the folder.
    QFile::remove(paths.base() + "/zajavki.lock");
    auto files = [&paths] {
        QStringList list =
            QDir(paths.base()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        list.removeAll("zajavki.lock");
        return list;
    };
    const QStringList before = files();
    const QString link = dir.filePath("into-base");
    ASSERT_TRUE(QFile::link(paths.base(), link));
    for (const QString& target : {paths.storeFile(), paths.base() + "/Заявка.xlsx", link + "/tovex.sqlite",
                                  paths.base() + "/../Base/x.xlsx"}) {
        SCOPED_TRACE(target.toStdString());
        EXPECT_EQ(run({"print", "116", "2026", target, "--force"}), 1);
        EXPECT_EQ(errText, RootPaths::insideBaseMessage(target) + "\n");
        EXPECT_EQ(outText, "");
    }
    EXPECT_EQ(bytesOf(paths.storeFile()), store);
    EXPECT_EQ(files(), before);
}

// Not even --force writes a document or an export file over the copies of the store, into their
// folder, or over any other database, whatever its name.
TEST_F(PrintCommand, NeitherPrintNorExportWritesOverACopyOrAnyDatabaseEvenWithForce) {
    registerApplicationCommands();
    const RootPaths paths(root);
    ASSERT_TRUE(QDir().mkpath(paths.backups()));
    const QString copy = paths.backups() + "/tovex_2026-03-15_10-00-00-000_manual.sqlite";
    const QString database = dir.filePath("staff.db");
    const QString disguised = dir.filePath("disguised.xlsx");
    for (const QString& path : {copy, database, disguised})
        ASSERT_TRUE(QFile::copy(paths.storeFile(), path));
    const QString intoCopies = "Файл «%1» нельзя записать в папку резервных копий Backup";
    const QString overDatabase = "Файл «%1» — это база данных";
    struct Case {
        QString command, target, refusal;
    };
    const Case cases[] = {
        {"print", copy, intoCopies},
        {"print", paths.backups() + "/Заявка.xlsx", intoCopies},
        {"print", disguised, overDatabase},
        {"print", database, overDatabase},
        {"export", paths.backups() + "/ZES116_2026.db", intoCopies},
        {"export", database, overDatabase},
    };
    const QByteArray before = bytesOf(copy);
    for (const Case& c : cases) {
        SCOPED_TRACE((c.command + " " + c.target).toStdString());
        EXPECT_EQ(run({c.command, "116", "2026", c.target, "--force"}), 1);
        EXPECT_TRUE(errText.startsWith(c.refusal.arg(QDir::toNativeSeparators(c.target))))
            << errText.toStdString();
        EXPECT_EQ(outText, "");
    }
    for (const QString& path : {copy, database, disguised})
        EXPECT_EQ(bytesOf(path), before) << path.toStdString();
    EXPECT_EQ(QDir(paths.backups()).entryList(QDir::Files), QStringList{QFileInfo(copy).fileName()});
}

TEST_F(PrintCommand, AFullDiskFailsTheCommandAndKeepsTheOldFile) {
    const QString file = dir.filePath("old.xlsx");
    ASSERT_EQ(run({"print", "116", "2026", file}), 0) << errText.toStdString();
    const QByteArray old = bytesOf(file);
    int status = 0;
    {
        // Room for half the document only.
        FileSizeLimit full(rlim_t(old.size() / 2));
        if (!full.active())
            GTEST_SKIP() << "the file size limit cannot be set here";
        status = run({"print", "116", "2026", file, "--force"});
    }
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errText.startsWith("Не удалось записать файл «" + QDir::toNativeSeparators(file) + "»"))
        << errText.toStdString();
    EXPECT_EQ(outText, "");
    EXPECT_EQ(bytesOf(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.xlsx"});
}

} // namespace
