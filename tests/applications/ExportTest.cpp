// The export file: its proposed name, its rows read back field by field, the refusals that leave
// everything as it was, the replace question, and the command that exports without windows.
#include "app/Registration.h"
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "core/CommandLine.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxReader.h"
#include "shell/MainWindow.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include <csignal>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

using Answer = Prompter::Answer;

// A disk that is nearly full, as this process sees it: no file may grow past `bytes`. A write
// past the limit fails with "File too large" instead of the process being stopped (SIGXFSZ is
// ignored meanwhile). Both are restored when the limit goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

// A small file system of its own, mounted over `folder` (only root may mount it): a real disk
// that fills up. Unmounted when it goes out of scope.
class SmallDisk {
public:
    SmallDisk(const QString& folder, int kilobytes) : folder_(folder.toStdString()) {
        QDir().mkpath(folder);
        const std::string options = "size=" + std::to_string(kilobytes) + "k";
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Fills the disk until only `bytes` are left.
    void fillUpTo(qint64 bytes) {
        struct statvfs fs {};
        ASSERT_EQ(::statvfs(folder_.c_str(), &fs), 0);
        const qint64 free = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        QFile filler(QString::fromStdString(folder_) + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        ASSERT_EQ(filler.write(QByteArray(free - bytes, 'x')), free - bytes);
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

QByteArray bytesOfFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The command line run in-process, with what it printed.
struct Cli {
    QString root;
    QString outText, errText;
    QTextStream out{&outText}, err{&errText};

    explicit Cli(const QString& rootFolder) : root(rootFolder) {
        registerAllCommands();
        EXPECT_EQ(run({"demo"}), 0) << errText.toStdString();
    }
    int run(QStringList args) {
        outText.clear();
        errText.clear();
        args << "--root" << root;
        const int status = runCommand(CommandLine::parse(args), out, err);
        out.flush();
        err.flush();
        return status;
    }
};

struct Export : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    const Generation& g = Generation::current();
    QWidget* window = nullptr;

    void SetUp() override {
        h.mainWindow().openApplications();
        window = h.mainWindow().instance("ftrZajavki2023");
    }
    void application(double number, int year) { applications::createApplication(dm, g, number, year); }
    void trainee(const QString& surname, const QList<std::pair<const char*, QVariant>>& values = {}) {
        Table& t = *dm.tblSluch2023;
        t.append();
        t.field("Name1").setAsString(surname);
        t.field("Name2").setAsString("ИВАН");
        for (const auto& [field, value] : values)
            t.field(field).setValue(value);
        t.post();
    }
    QString exportPath(const QString& name) { return QDir(h.app.root.exportDir()).filePath(name); }
    QByteArray bytesOf(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void writeOld(const QString& path) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("the old export");
    }
};

TEST_F(Export, TheProposedNameFollowsTheNumberAndYear) {
    struct {
        double number;
        int year;
        bool withTrainee;
        const char* name;
    } cases[] = {{116, 2026, true, "ZES116_2026"},
                 {116.01, 2026, true, "ZES116_01_2026"},
                 {116.1, 2027, true, "ZES116_1_2027"},
                 {117, 2026, false, "ZES_2026"}};
    for (const auto& c : cases) {
        application(c.number, c.year);
        if (c.withTrainee)
            trainee("ИВАНОВ");
        EXPECT_EQ(applications::defaultExportName(dm, g), c.name);
    }
}

TEST_F(Export, TheFileCarriesEveryTraineeThroughTypedReads) {
    application(116.01, 2026);
    trainee("ИВАНОВ", {{"Name3", "ИВАНОВИЧ"},
                       {"KZicl", "ПК-1234"},
                       {"KV", 2},
                       {"DR", QDate(1980, 5, 17)},
                       {"KDoljn", 32767},
                       {"KSpez", 7},
                       {"StajOb", 25.0},
                       {"StajDoljn", 16.5},
                       {"VidOb", "ПК"},
                       {"Hours", 36},
                       {"DateCl", QDate(2027, 1, 31)},
                       {"Specialty", "Терапия"},
                       {"EMAIL", "a@b.ru"},
                       {"SNILS", "112-233-445 95"},
                       {"FOBUCH", "очн"}});
    trainee("ПЕТРОВ"); // no dates, no codes
    h.prompter.expectSaveFile(exportPath("ZES116_01_2026"));
    ui::click(window, "SpeedButton7");
    EXPECT_TRUE(h.prompter.log().contains("save: " + h.app.root.exportDir() + " | ZES116_01_2026"));
    EXPECT_TRUE(h.mainWindow().statusPanel(2).endsWith(
        " — Заявка выгружена в файл " + QDir::toNativeSeparators(exportPath("ZES116_01_2026.db"))))
        << h.mainWindow().statusPanel(2).toStdString();

    const ParadoxTable file = readParadoxTable(exportPath("ZES116_01_2026.db"));
    ASSERT_EQ(file.rows.size(), 2);
    EXPECT_EQ(file.info.codePage, 1251);
    const QVariantList first{116.01,
                             "ИВАНОВ",
                             "ИВАН",
                             "ИВАНОВИЧ",
                             "ПК-1234",
                             2,
                             QDate(1980, 5, 17),
                             32767,
                             7,
                             25.0,
                             16.5,
                             2026,
                             "ПК",
                             36,
                             QDate(2027, 1, 31),
                             "Терапия",
                             "a@b.ru",
                             "112-233-445 95",
                             "очн"};
    EXPECT_EQ(file.rows[0], first);
    const QVariantList& second = file.rows[1];
    EXPECT_EQ(second[6], QDate(1899, 12, 30));  // DR
    EXPECT_EQ(second[7], 0);                    // Doljn
    EXPECT_EQ(second[14], QDate(1899, 12, 30)); // DateCL
    EXPECT_TRUE(second[15].isNull());           // an empty text stays empty
    // The working table holds the same rows, with the same typed values.
    Table& work = *dm.tblTempZ2023;
    work.open();
    ASSERT_EQ(work.recordCount(), 2);
    for (int r = 0; r < 2; ++r, work.next())
        for (int f = 0; f < work.layout().fields.size(); ++f)
            EXPECT_EQ(work.field(f).value(), file.rows[r][f]) << "row " << r << " field " << f;
    work.close();
    // And the data module reads the file back through its export-file table.
    dm.tblZISCH->setPath(exportPath("ZES116_01_2026.db"));
    dm.tblZISCH->open();
    ASSERT_EQ(dm.tblZISCH->recordCount(), 2);
    EXPECT_EQ(dm.field("tblZISCHSNILS").asString(), "112-233-445 95");
    EXPECT_DOUBLE_EQ(dm.field("tblZISCHZajavka").asFloat(), 116.01);
    EXPECT_THROW(dm.tblZISCH->edit(), DbError);
}

TEST_F(Export, AValueTheFileCannotHoldIsRefusedBeforeAnythingIsWritten) {
    struct {
        const char* field;
        QVariant value;
        const char* why;      // the field's caption and the reason
        const char* internal; // the export field's own name, which the user never sees
    } cases[] = {{"KDoljn", 40000, "поле «код должности»: значение 40000 вне диапазона", "Doljn"},
                 {"Name3", "ЛЬВО漢ВИЧ", "поле «отчество»: знак «漢»", "Name3"}};
    for (const auto& c : cases) {
        application(116, 2026 + int(&c - cases));
        trainee("ИВАНОВ");
        trainee("СИДОРОВ", {{c.field, c.value}});
        const QString target = exportPath("ZES116_2026.db");
        writeOld(target);
        h.prompter.expectError(QString("Заявка не выгружена. Слушатель СИДОРОВ ИВАН"));
        ui::click(window, "SpeedButton7");
        const QString shown = h.prompter.log().last();
        EXPECT_TRUE(shown.contains(QString("(строка 2), ") + QString::fromUtf8(c.why)))
            << shown.toStdString();
        EXPECT_FALSE(shown.contains(QString::fromUtf8(c.internal))) << shown.toStdString();
        EXPECT_EQ(bytesOf(target), "the old export"); // the old file stays whole
        dm.tblTempZ2023->open();
        EXPECT_TRUE(dm.tblTempZ2023->isEmpty()); // nor is the working table touched
        dm.tblTempZ2023->close();
    }
}

TEST_F(Export, AnExistingFileIsReplacedOnlyWhenTheUserAgrees) {
    application(116, 2026);
    trainee("ИВАНОВ");
    const QString target = exportPath("ZES116_2026.db");
    writeOld(target);
    h.prompter.expectSaveFile(exportPath("ZES116_2026"))
        .expectAsk("Файл существует!", "Заменить существующий файл на новый?", Answer::Cancel);
    ui::click(window, "SpeedButton7");
    EXPECT_EQ(bytesOf(target), "the old export");

    h.prompter.expectSaveFile(exportPath("ZES116_2026"))
        .expectAsk("Файл существует!", "Заменить существующий файл на новый?", Answer::Ok);
    ui::click(window, "SpeedButton7");
    EXPECT_EQ(readParadoxTable(target).rows.size(), 1);

    // A cancelled dialog writes no file.
    h.prompter.expectSaveFile("");
    ui::click(window, "SpeedButton7");
    EXPECT_EQ(QDir(h.app.root.exportDir()).entryList(QDir::Files), QStringList{"ZES116_2026.db"});
}

TEST_F(Export, AChosenFileWithTheExtensionKeepsItAndIsReplacedOnlyAfterTheQuestion) {
    application(116, 2026);
    trainee("ИВАНОВ");
    // The name the dialog returns, the file written; an existing one is asked about first.
    struct {
        const char* chosen;
        const char* written;
    } cases[] = {{"ZES116_2026.db", "ZES116_2026.db"},
                 {"ZES116_2026.DB", "ZES116_2026.DB"},
                 {"ZES116_2026.Db", "ZES116_2026.Db"},
                 {"ZES116_2026.dbf", "ZES116_2026.dbf.db"}};
    for (const auto& c : cases) {
        const QString written = exportPath(c.written);
        writeOld(written);
        h.prompter.expectSaveFile(exportPath(c.chosen))
            .expectAsk("Файл существует!", "Заменить существующий файл на новый?", Answer::Ok);
        ui::click(window, "SpeedButton7");
        EXPECT_EQ(readParadoxTable(written).rows.size(), 1) << c.chosen;
        EXPECT_FALSE(QFile::exists(written + ".db")) << c.chosen;
        QFile::remove(written);
    }
}

TEST_F(Export, ATargetInTheBaseFolderIsRefused) {
    application(116, 2026);
    trainee("ИВАНОВ");
    const QString store = h.app.root.storeFile();
    for (const QString& chosen :
         {h.app.root.base() + "/ZES116_2026", store, h.app.root.exportDir() + "/../Base/x.db"}) {
        h.prompter.expectSaveFile(chosen).expectError("нельзя записать в папку базы данных Base");
        ui::click(window, "SpeedButton7");
    }
    h.prompter.verify();
    EXPECT_EQ(QDir(h.app.root.base()).entryList({"*.db", "*.DB"}, QDir::Files), QStringList{});
}

TEST_F(Export, AFullDiskLeavesTheOldFileAsItWasAndSaysWhichFile) {
    application(116, 2026);
    for (int i = 0; i < 12; ++i)
        trainee(QString("ИВАНОВ%1").arg(i)); // 2 blocks: the file takes 2 KB + 8 KB
    const QString target = exportPath("ZES116_2026.db");
    writeOld(target);
    // The disk fills up while the user is choosing the file: the working table is filled by then.
    std::unique_ptr<FileSizeLimit> limit;
    h.prompter
        .expectSaveFile(exportPath("ZES116_2026"), [&] { limit = std::make_unique<FileSizeLimit>(4096); })
        .expectAsk("Файл существует!", "Заменить существующий файл на новый?", Answer::Ok)
        .expectError("Заявка не выгружена. Не удалось записать файл «" + QDir::toNativeSeparators(target) +
                     "»");
    ui::click(window, "SpeedButton7");
    const bool limited = limit && limit->ok();
    limit.reset();
    if (!limited)
        GTEST_SKIP() << "the size of written files cannot be limited here";
    h.prompter.verify();
    EXPECT_EQ(bytesOf(target), "the old export");
    EXPECT_EQ(QDir(h.app.root.exportDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"ZES116_2026.db"});
}

TEST_F(Export, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    application(116, 2026);
    trainee("ИВАНОВ");
    const QString missingFolder = h.app.root.exportDir() + "/нет такой папки/ZES";
    h.prompter.expectSaveFile(missingFolder)
        .expectError("Заявка не выгружена. Не удалось записать файл «" +
                     QDir::toNativeSeparators(missingFolder) + ".db»");
    ui::click(window, "SpeedButton7");
    EXPECT_FALSE(QFile::exists(missingFolder + ".db"));
    EXPECT_FALSE(h.prompter.log().last().contains("BDE"));
}

TEST(ExportCommand, AppendsTheExtensionAsTheDialogDoesAndNamesTheFileAsGiven) {
    QTemporaryDir dir;
    Cli cli(dir.path() + "/root");
    // The file name holds what a message template would take for its own place markers.
    const QString given = dir.path() + "/ZES%1_%2";
    ASSERT_EQ(cli.run({"export", "116", "2026", given}), 0) << cli.errText.toStdString();
    const QString written = given + ".db";
    const int trainees = int(readParadoxTable(written).rows.size());
    EXPECT_GT(trainees, 0);
    EXPECT_EQ(cli.outText, QString("Выгружено слушателей: %1 в ").arg(trainees) +
                               QDir::toNativeSeparators(written) + "\n");
    EXPECT_FALSE(QFile::exists(given));

    // With the extension in any case the name stays as it is; an existing file needs --force.
    EXPECT_NE(cli.run({"export", "116", "2026", written}), 0);
    EXPECT_TRUE(cli.errText.contains("--force"));
    EXPECT_EQ(cli.run({"export", "116", "2026", dir.path() + "/upper.DB"}), 0) << cli.errText.toStdString();
    EXPECT_TRUE(QFile::exists(dir.path() + "/upper.DB"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/upper.DB.db"));
}

TEST(ExportCommand, RefusesEveryTargetInTheBaseFolderEvenWithForce) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/root";
    Cli cli(root);
    const QString store = root + "/Base/tovex.sqlite";
    const QByteArray storeBefore = bytesOfFile(store);
    ASSERT_FALSE(storeBefore.isEmpty());
    for (const QString& target : {store, root + "/Base/ZES116_2026.db", root + "/Export/../Base/x.db"}) {
        EXPECT_EQ(cli.run({"export", "116", "2026", target, "--force"}), 1) << target.toStdString();
        EXPECT_TRUE(cli.errText.contains("нельзя записать в папку базы данных Base"))
            << cli.errText.toStdString();
        EXPECT_TRUE(cli.outText.isEmpty());
    }
    EXPECT_EQ(bytesOfFile(store), storeBefore);
    EXPECT_EQ(QDir(root + "/Base").entryList({"*.db"}, QDir::Files), QStringList{});
}

TEST(ExportCommand, AFullDiskFailsLoudlyAndLeavesTheOldFileAsItWas) {
    QTemporaryDir dir;
    Cli cli(dir.path() + "/root");
    SmallDisk disk(dir.path() + "/disk", 64);
    if (!disk.mounted())
        GTEST_SKIP() << "a small file system can be mounted only by root";
    const QString target = dir.path() + "/disk/ZES116_2026.db";
    ASSERT_EQ(cli.run({"export", "116", "2026", target}), 0) << cli.errText.toStdString();
    const QByteArray old = bytesOfFile(target);
    ASSERT_FALSE(old.isEmpty());
    disk.fillUpTo(4096);

    EXPECT_EQ(cli.run({"export", "116", "2026", target, "--force"}), 1);
    EXPECT_TRUE(cli.outText.isEmpty()) << cli.outText.toStdString();
    EXPECT_TRUE(cli.errText.contains("Не удалось записать файл «" + QDir::toNativeSeparators(target) + "»"))
        << cli.errText.toStdString();
    EXPECT_EQ(bytesOfFile(target), old);
    EXPECT_EQ(QDir(dir.path() + "/disk").entryList(QDir::Files | QDir::Hidden),
              (QStringList{"filler", "ZES116_2026.db"}));
}

TEST(ExportCommand, WritesTheFileWithoutWindowsAndRefusesToOverwriteUnasked) {
    registerAllCommands();
    QTemporaryDir dir;
    const QString root = dir.path() + "/root";
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ASSERT_EQ(runCommand(CommandLine::parse({"demo", "--root", root}), out, err), 0) << errText.toStdString();
    const QString file = dir.path() + "/ZES116_2026.db";
    auto run = [&](QStringList args) {
        args << "--root" << root;
        return runCommand(CommandLine::parse(args), out, err);
    };
    EXPECT_EQ(run({"export", "116", "2026", file}), 0) << errText.toStdString();
    const ParadoxTable table = readParadoxTable(file);
    EXPECT_GT(table.rows.size(), 0);
    EXPECT_EQ(table.info.fields.size(), 19);
    EXPECT_NE(run({"export", "116", "2026", file}), 0);
    EXPECT_TRUE(errText.contains("--force"));
    EXPECT_EQ(run({"export", "116", "2026", file, "--force"}), 0);
    EXPECT_NE(run({"export", "999", "2026", dir.path() + "/none.db"}), 0);
    EXPECT_FALSE(QFile::exists(dir.path() + "/none.db"));
}

} // namespace
