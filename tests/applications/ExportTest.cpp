// The export file: its proposed name, its rows read back field by field, the refusals that leave
// everything as it was, the replace question, and the command that exports without windows.
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/paradox/ParadoxReader.h"
#include "core/CommandLine.h"
#include "core/Commands.h"
#include "shell/MainWindow.h"
#include "support/WindowHarness.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Answer = Prompter::Answer;

struct Export : ::testing::Test {
    AppHarness h;
    TDM& dm = h.dm();
    const Generation& g = Generation::current();
    QWidget* window = nullptr;

    void SetUp() override {
        h.mainWindow().OpenZajavki2023();
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
    trainee("ИВАНОВ", {{"Name3", "ИВАНОВИЧ"}, {"KZicl", "ПК-1234"}, {"KV", 2}, {"DR", QDate(1980, 5, 17)},
                       {"KDoljn", 32767}, {"KSpez", 7}, {"StajOb", 25.0}, {"StajDoljn", 16.5}, {"VidOb", "ПК"},
                       {"Hours", 36}, {"DateCl", QDate(2027, 1, 31)}, {"Specialty", "Терапия"},
                       {"EMAIL", "a@b.ru"}, {"SNILS", "112-233-445 95"}, {"FOBUCH", "очн"}});
    trainee("ПЕТРОВ"); // no dates, no codes
    h.prompter.expectSaveFile(exportPath("ZES116_01_2026"));
    ui::click(window, "SpeedButton7");
    EXPECT_TRUE(h.prompter.log().contains("save: " + h.app.root.exportDir() + " | ZES116_01_2026"));

    const ParadoxTable file = readParadoxTable(exportPath("ZES116_01_2026.db"));
    ASSERT_EQ(file.rows.size(), 2);
    EXPECT_EQ(file.info.codePage, 1251);
    const QVariantList first{116.01, "ИВАНОВ", "ИВАН", "ИВАНОВИЧ", "ПК-1234", 2, QDate(1980, 5, 17), 32767, 7, 25.0,
                             16.5, 2026, "ПК", 36, QDate(2027, 1, 31), "Терапия", "a@b.ru", "112-233-445 95", "очн"};
    EXPECT_EQ(file.rows[0], first);
    const QVariantList& second = file.rows[1];
    EXPECT_EQ(second[6], QDate(1899, 12, 30));  // DR
    EXPECT_EQ(second[7], 0);                    // Doljn
    EXPECT_EQ(second[14], QDate(1899, 12, 30)); // DateCL
    EXPECT_TRUE(second[15].isNull());           // an empty text stays empty
    // The working table holds the same rows.
    dm.tblTempZ2023->open();
    EXPECT_EQ(dm.tblTempZ2023->recordCount(), 2);
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
        const char* why;
    } cases[] = {{"KDoljn", 40000, "Doljn"}, {"Name3", "ЛЬВО漢ВИЧ", "Name3"}};
    for (const auto& c : cases) {
        application(116, 2026 + int(&c - cases));
        trainee("ИВАНОВ");
        trainee("СИДОРОВ", {{c.field, c.value}});
        const QString target = exportPath("ZES116_2026.db");
        writeOld(target);
        h.prompter.expectError(QString("Слушатель СИДОРОВ ИВАН"));
        ui::click(window, "SpeedButton7");
        EXPECT_TRUE(h.prompter.log().last().contains(c.why)) << h.prompter.log().last().toStdString();
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

    // A name typed with the extension gets it once more; a cancelled dialog writes no file.
    h.prompter.expectSaveFile(exportPath("ZES116_2026.db")).expectSaveFile("");
    ui::click(window, "SpeedButton7");
    ui::click(window, "SpeedButton7");
    EXPECT_TRUE(QFile::exists(exportPath("ZES116_2026.db.db")));
    EXPECT_EQ(QDir(h.app.root.exportDir()).entryList(QDir::Files).size(), 2);
}

TEST_F(Export, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    application(116, 2026);
    trainee("ИВАНОВ");
    const QString missingFolder = h.app.root.exportDir() + "/нет такой папки/ZES";
    h.prompter.expectSaveFile(missingFolder).expectError("При копировании таблицы BDE сгенерировал ошибку");
    ui::click(window, "SpeedButton7");
    EXPECT_FALSE(QFile::exists(missingFolder + ".db"));
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
