// The restore of an application from an export file, through the main window's menu item: the file
// chosen in the Export folder, the summary before anything is written, the question before adding
// trainees a second time, the one transaction, and the round trip of a file our export wrote.
#include "applications/Restore.h"
#include "applications/ApplicationExport.h"
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "data/DataModule.h"
#include "data/paradox/ParadoxWriter.h"
#include "shell/MainWindow.h"
#include "support/StoreFaults.h"
#include "support/WindowHarness.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>

namespace {

using Answer = Prompter::Answer;

// A row of the export layout: Zajavka, Name1, Name2, Name3, Zicl, Kv, DR, Doljn, Spez, Stajg,
// StajgZ, Year, VidOb, Hours, DateCL, Specialty, EMAIL, SNILS, FOBUCH.
QVariantList fileRow(const char* surname, const char* name, int doljn = 5, int spez = 7,
                     double stajg = 20.0) {
    return {116.0,
            QString::fromUtf8(surname),
            QString::fromUtf8(name),
            "",
            "ПК-1",
            1,
            QDate(1985, 3, 2),
            doljn,
            spez,
            stajg,
            10.0,
            2026,
            "ПК",
            36,
            QDate(2027, 6, 30),
            "Терапия",
            "",
            "",
            "очн"};
}

struct Restore : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    const Generation& g = Generation::current();

    void SetUp() override {
        exec("INSERT INTO DOLJNOST VALUES (5, 'ВРАЧ-ТЕРАПЕВТ'), (9, 'МЕДСЕСТРА')");
        exec("INSERT INTO SPEZ VALUES (7, 'ЛЕЧЕБНОЕ ДЕЛО')");
        for (Table* t : {dm.tblDoljn, dm.tblSpez})
            t->reread();
    }

    void exec(const QString& sql) { dm.store().exec(sql); }
    QVariant single(const QString& sql) {
        auto st = dm.store().cached(sql);
        return st->step() ? st->rawValue(0) : QVariant();
    }
    QStringList column(const QString& sql) {
        QStringList out;
        auto st = dm.store().cached(sql);
        while (st->step())
            out << st->rawValue(0).toString();
        return out;
    }
    QString exportPath(const QString& name) { return QDir(h.app.root.exportDir()).filePath(name); }

    qint64 addPerson(const QString& name1, const QString& name2, const QString& name3,
                     const QString& email = {}, const QString& snils = {}) {
        auto st =
            dm.store().cached("INSERT INTO Personal (Name1, Name2, Name3) VALUES (?, ?, ?) RETURNING rowid");
        st->bind(1, name1);
        st->bind(2, name2);
        st->bind(3, name3);
        const qint64 npp = dm.store().insertRow(*st);
        const QString person = QString::number(npp);
        if (!email.isEmpty())
            exec(QString("INSERT INTO PEREMAIL (EMAIL, PersonalKOD) VALUES ('%1', %2)").arg(email, person));
        if (!snils.isEmpty())
            exec(QString("INSERT INTO PERSNILS (SNILS, PersonalKOD) VALUES ('%1', %2)").arg(snils, person));
        dm.tblPersonal->reread();
        return npp;
    }
    void trainee(const QList<std::pair<const char*, QVariant>>& values) {
        Table& t = *dm.tblSluch2023;
        t.append();
        for (const auto& [field, value] : values)
            t.field(field).setValue(value);
        t.post();
    }

    // The file the user picks in the open-file dialog; the prompts after it are scripted on the result.
    ScriptedPrompter& picking(const QString& file) { return h.prompter.expectOpenFile(file); }
    // The menu item, with what the user does in the summary (none: it is not to be shown).
    void restore(ScriptedDialogs::Hand inSummary) {
        if (inSummary)
            h.dialogs.expect("ftrRestore", inSummary);
        h.mainWindow().findChild<QAction*>("N13")->trigger();
        QCoreApplication::processEvents();
    }
    static void accept(QDialog& d) { ui::click(&d, "RestoreButton"); }
    // The outcome message up to what it says of the application row.
    QString outcome(const QString& file, int trainees, int found, int added) {
        return QString("Заявка 116 на 2026 год восстановлена из файла «%1».\nСлушателей добавлено: "
                       "%2.\nСотрудников "
                       "найдено в штатном списке: %3, добавлено в него: %4.")
            .arg(QDir::toNativeSeparators(file), QString::number(trainees), QString::number(found),
                 QString::number(added));
    }

    // Application 116 for 2026 as the adding dialog leaves it, exported by "Выгрузить" to
    // ZES116_2026.db; then the application and its trainees are deleted again, and so are the
    // people the restore is to add. The register keeps ИВАНОВ with his old e-mail, SNILS and
    // certificate, and a "Петров Пётр Петрович" in small letters that the file's ПЕТРОВ is not.
    QString exportedApplication(QList<QVariantList>* rows) {
        const qint64 ivanov = addPerson("ИВАНОВ", "ИВАН", "ИВАНОВИЧ", "old@mail.ru", "001-001-999 00");
        exec(QString("INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES ('2025-01-01', 'Хирургия', %1)")
                 .arg(ivanov));
        addPerson("Петров", "Пётр", "Петрович");
        applications::createApplication(dm, g, 116, 2026);
        trainee({{"Name1", "ИВАНОВ"},
                 {"Name2", "ИВАН"},
                 {"Name3", "ИВАНОВИЧ"},
                 {"KZicl", "ПК-1234"},
                 {"KV", 2},
                 {"DR", QDate(1980, 5, 17)},
                 {"KDoljn", 5},
                 {"KSpez", 7},
                 {"StajOb", 25.0},
                 {"StajDoljn", 16.0},
                 {"VidOb", "ПК"},
                 {"Hours", 36},
                 {"DateCl", QDate(2027, 1, 31)},
                 {"Specialty", "Терапия"},
                 {"EMAIL", "ivanov@new.ru"},
                 {"SNILS", "112-233-445 95"},
                 {"FOBUCH", "очн"}});
        for (const char* programme : {"ПК-1", "ПК-2"}) // one person, two programmes
            trainee({{"Name1", "ПЕТРОВ"},
                     {"Name2", "ПЁТР"},
                     {"Name3", "ПЕТРОВИЧ"},
                     {"KZicl", programme},
                     {"KV", 3},
                     {"DR", QDate(1990, 1, 2)},
                     {"KDoljn", 9},
                     {"KSpez", 7},
                     {"StajOb", 10.0},
                     {"StajDoljn", 4.4},
                     {"VidOb", "ПК"},
                     {"Hours", 72},
                     {"DateCl", QDate(2026, 12, 1)},
                     {"Specialty", "Педиатрия"},
                     {"EMAIL", "p@p.ru"},
                     {"SNILS", "987-654-321 83"}});
        trainee({{"Name1", "СИДОРОВ"}, {"Name2", "СИДОР"}}); // no dates, codes or certificate
        *rows = applications::exportRows(dm, g);
        const QString file = exportPath("ZES116_2026.db");
        h.prompter.expectSaveFile(exportPath("ZES116_2026"));
        EXPECT_FALSE(applications::exportApplication(h.app, g).isEmpty());
        exec("DELETE FROM Sluch2023");
        exec("DELETE FROM Zajavki2023");
        for (Table* t : {dm.tblZajavki2023, dm.tblSluch2023})
            t->reread();
        return file;
    }
};

TEST_F(Restore, AFileOurExportWroteRebuildsTheApplicationAndThePeopleBehindIt) {
    QList<QVariantList> exported;
    const QString file = exportedApplication(&exported);
    ASSERT_EQ(exported.size(), 4);

    h.prompter.expectOpenFile(""); // cancelled: nothing happens
    h.mainWindow().findChild<QAction*>("N13")->trigger();
    EXPECT_EQ(h.prompter.log().last(), "open: " + h.app.root.exportDir());

    picking(file).expectInform(outcome(file, 4, 1, 2) + "\nЗаменено e-mail и СНИЛС в штатном списке: 2." +
                               "\nСоздана заявка 116 на 2026 год.");
    restore([](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "ApplicationLabel"), "Заявка 116 на 2026 год: в файле 4 слушателя.");
        // What the file replaces in the register is listed before anything is written.
        EXPECT_EQ(ui::text(&d, "ChangesLabel"), "В штатном списке будут заменены значения (2):");
        auto* changes = d.findChild<QListWidget*>("ChangesList");
        ASSERT_TRUE(changes);
        ASSERT_EQ(changes->count(), 2);
        EXPECT_EQ(changes->item(0)->text(), "ИВАНОВ ИВАН ИВАНОВИЧ: e-mail «old@mail.ru» → «ivanov@new.ru»");
        EXPECT_EQ(changes->item(1)->text(),
                  "ИВАНОВ ИВАН ИВАНОВИЧ: СНИЛС «001-001-999 00» → «112-233-445 95»");
        EXPECT_EQ(ui::text(&d, "FoundLabel"), "Найдено в штатном списке: 1 сотрудник.");
        auto* people = d.findChild<QListWidget*>("NewPeopleList");
        ASSERT_TRUE(people);
        ASSERT_EQ(people->count(), 2);
        EXPECT_EQ(people->item(0)->text(), "ПЕТРОВ ПЁТР ПЕТРОВИЧ");
        EXPECT_EQ(people->item(1)->text(), "СИДОРОВ СИДОР");
        EXPECT_EQ(d.findChild<QWidget*>("HeldLabel"), nullptr);
        EXPECT_TRUE(d.findChild<QCheckBox*>("CreateApplicationBox")->isChecked());
        accept(d);
    });
    h.prompter.verify();

    // The application exists again, is current, and holds the exported trainees unchanged.
    ASSERT_TRUE(applications::locateApplication(dm, g, 116, 2026));
    EXPECT_EQ(applications::exportRows(dm, g), exported);
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 4);

    // Each trainee is linked to its person: the one found, or the one added (once for ПЕТРОВ).
    const QStringList people =
        column("SELECT Name1 || ' ' || Name2 || ' ' || COALESCE(Name3, '') || ' ' || NPP "
               "FROM Personal ORDER BY NPP");
    ASSERT_EQ(people, (QStringList{"ИВАНОВ ИВАН ИВАНОВИЧ 1", "Петров Пётр Петрович 2",
                                   "ПЕТРОВ ПЁТР ПЕТРОВИЧ 3", "СИДОРОВ СИДОР  4"}));
    EXPECT_EQ(column("SELECT KodPersonal FROM Sluch2023 ORDER BY NPP"), (QStringList{"1", "3", "3", "4"}));

    // The person found takes the file's e-mail and SNILS in place of the old ones; the certificate stays.
    EXPECT_EQ(column("SELECT EMAIL FROM PEREMAIL WHERE PersonalKOD = 1"), QStringList{"ivanov@new.ru"});
    EXPECT_EQ(column("SELECT SNILS FROM PERSNILS WHERE PersonalKOD = 1"), QStringList{"112-233-445 95"});
    EXPECT_EQ(column("SELECT DateCL || ' ' || Name FROM Sertif WHERE PersonalKOD = 1"),
              QStringList{"2025-01-01 Хирургия"});

    // A person added: codes with their names, start years from this year, e-mail, SNILS, certificate.
    EXPECT_EQ(column("SELECT DR || '|' || KDoljn || '|' || NDoljn || '|' || KSpez || '|' || NSpez || '|' || "
                     "StajOb || '|' || StajDoljn FROM Personal WHERE NPP = 3"),
              QStringList{"1990-01-02|9|МЕДСЕСТРА|7|ЛЕЧЕБНОЕ ДЕЛО|2016|2022"});
    EXPECT_EQ(column("SELECT EMAIL FROM PEREMAIL WHERE PersonalKOD = 3"), QStringList{"p@p.ru"});
    EXPECT_EQ(column("SELECT SNILS FROM PERSNILS WHERE PersonalKOD = 3"), QStringList{"987-654-321 83"});
    EXPECT_EQ(column("SELECT DateCL || ' ' || Name FROM Sertif WHERE PersonalKOD = 3"),
              QStringList{"2026-12-01 Педиатрия"});
    // Empty stays empty: no certificate, e-mail or SNILS row, no birth date, no start year for one
    // the file names without them.
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sertif WHERE PersonalKOD = 4").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM PEREMAIL WHERE PersonalKOD = 4").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM PERSNILS WHERE PersonalKOD = 4").toInt(), 0);
    EXPECT_TRUE(single("SELECT DR FROM Personal WHERE NPP = 4").isNull());
    EXPECT_TRUE(single("SELECT StajOb FROM Personal WHERE NPP = 4").isNull());
    EXPECT_TRUE(single("SELECT DateCl FROM Sluch2023 WHERE KodPersonal = 4").isNull());

    // The open datasets show what was written.
    EXPECT_EQ(dm.tblPersonal->recordCount(), 4);
    ASSERT_TRUE(dm.tblPersonal->locate("NPP", {3}));
    EXPECT_EQ(dm.tblPerEmail->field("EMAIL").asString(), "p@p.ru");
    EXPECT_EQ(dm.tblSertif->field("Name").asString(), "Педиатрия");
}

TEST_F(Restore, RestoringAgainAsksFirstAndNoKeepsTheApplicationAsItIs) {
    QList<QVariantList> exported;
    const QString file = exportedApplication(&exported);
    h.mainWindow().openApplications();
    auto* window = qobject_cast<ApplicationsWindow*>(h.mainWindow().instance("ftrZajavki2023"));
    ASSERT_TRUE(window);
    picking(file).expectInform(outcome(file, 4, 1, 2) + "\nЗаменено e-mail и СНИЛС в штатном списке: 2." +
                               "\nСоздана заявка 116 на 2026 год.");
    restore(accept);
    h.prompter.verify();
    ASSERT_EQ(single("SELECT COUNT(*) FROM Sluch2023").toInt(), 4);
    EXPECT_EQ(window->countLine(), "заявлено - 4")
        << "the open applications window counts the restored trainees";
    ASSERT_EQ(h.app.backups().list().size(), 1) << "a copy of the store before the restore";
    EXPECT_EQ(h.app.backups().list()[0].action, "restore-application");

    // Cancelled in the summary: no question, nothing written.
    picking(file);
    restore([](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "FoundLabel"), "Найдено в штатном списке: 3 сотрудника.");
        EXPECT_EQ(ui::text(&d, "NewPeopleLabel"), "Новых сотрудников в файле нет.");
        EXPECT_EQ(
            ui::text(&d, "HeldLabel"),
            "В заявке 116 на 2026 год уже есть 4 слушателя. Слушатели из файла добавятся к ним; если этот "
            "файл уже восстанавливали, те же слушатели окажутся в заявке дважды.");
        EXPECT_EQ(d.findChild<QWidget*>("CreateApplicationBox"), nullptr);
        ui::click(&d, "CancelButton");
    });
    const QString question =
        "Слушатели из файла будут добавлены к тем, что уже есть: в заявке 116 на 2026 год их "
        "уже 4. Если этот файл уже восстанавливали, те же слушатели окажутся в заявке дважды. "
        "Всё равно восстановить?";
    // Accepted, then No to the question, whose safe answer Enter gives.
    picking(file).expectAsk("Восстановление заявки", question, Answer::No);
    restore(accept);
    EXPECT_EQ(h.prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo);
    h.prompter.verify();
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sluch2023").toInt(), 4);
    EXPECT_EQ(h.app.backups().list().size(), 1) << "no copy when nothing is written";

    // Yes: the trainees are there twice, their people once.
    picking(file)
        .expectAsk("Восстановление заявки", question, Answer::Yes)
        .expectInform(outcome(file, 4, 3, 0));
    restore(accept);
    h.prompter.verify();
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sluch2023").toInt(), 8);
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 8);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Personal").toInt(), 4);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sertif").toInt(), 2)
        << "none for СИДОРОВ, whom the file gives none";
}

TEST_F(Restore, WithoutTheApplicationCreatedTheTraineesWaitForIt) {
    const QString file = exportPath("ZES116_2026.db");
    writeParadoxTable(file, layouts::tempZ2023(), {fileRow("ИВАНОВ", "ИВАН")});
    picking(file).expectInform(
        outcome(file, 1, 0, 1) +
        "\nЗаявки 116 на 2026 год нет в списке заявок: её слушатели появятся в окне заявок, когда "
        "заявку с этим номером и годом создадут.");
    restore([](QDialog& d) {
        d.findChild<QCheckBox*>("CreateApplicationBox")->setChecked(false);
        accept(d);
    });
    EXPECT_EQ(single("SELECT COUNT(*) FROM Zajavki2023").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sluch2023 WHERE KZajavki = 116 AND \"Year\" = 2026").toInt(), 1);
}

TEST_F(Restore, CodesTheReferenceBooksLackGiveEmptyNames) {
    const QString file = exportPath("ZES116_2026.db");
    writeParadoxTable(file, layouts::tempZ2023(),
                      {fileRow("ИВАНОВ", "ИВАН", 77, 88), fileRow("ПЕТРОВ", "ПЁТР", 9, 7)});
    // Whatever rows the books stand on, a code they lack names nothing.
    ASSERT_TRUE(dm.tblDoljn->locate("KDoljn", {9}));
    ASSERT_TRUE(dm.tblSpez->locate("KSpez", {7}));
    const applications::RestorePlan plan = applications::planRestore(dm, file);
    applications::writeRestore(dm, plan, true);
    EXPECT_EQ(
        column("SELECT KDoljn || '|' || COALESCE(NDoljn, '') || '|' || KSpez || '|' || COALESCE(NSpez, '') "
               "FROM Personal ORDER BY NPP"),
        (QStringList{"77||88|", "9|МЕДСЕСТРА|7|ЛЕЧЕБНОЕ ДЕЛО"}));
}

TEST_F(Restore, AFailureHalfWayLeavesNothingWrittenAndNamesTheRow) {
    const qint64 ivanov = addPerson("ИВАНОВ", "ИВАН", "", "old@mail.ru");
    const QString file = exportPath("ZES116_2026.db");
    QVariantList ivanovRow = fileRow("ИВАНОВ", "ИВАН");
    ivanovRow[16] = "new@mail.ru";
    writeParadoxTable(file, layouts::tempZ2023(),
                      {ivanovRow, fileRow("ПЕТРОВ", "ПЁТР"), fileRow("СИДОРОВ", "СИДОР")});
    // The store refuses the third trainee, as a full disk would, after everything before it was written.
    refuseWrites(dm.store(), "Sluch2023", "INSERT", "NEW.Name1 = 'СИДОРОВ'");
    picking(file).expectError("Заявка не восстановлена, в базе данных ничего не изменено. Файл «" +
                              QDir::toNativeSeparators(file) +
                              "», строка 3 (СИДОРОВ СИДОР), таблица «слушатели заявки»: ");
    restore(accept);
    h.prompter.verify();
    EXPECT_EQ(single("SELECT COUNT(*) FROM Zajavki2023").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sluch2023").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Personal").toInt(), 1);
    EXPECT_EQ(column(QString("SELECT EMAIL FROM PEREMAIL WHERE PersonalKOD = %1").arg(ivanov)),
              QStringList{"old@mail.ru"});
    EXPECT_EQ(single("SELECT COUNT(*) FROM PERSNILS").toInt() + single("SELECT COUNT(*) FROM Sertif").toInt(),
              0);
    // And the open datasets show the store as it is.
    EXPECT_EQ(dm.tblPersonal->recordCount(), 1);
    EXPECT_EQ(dm.tblZajavki2023->recordCount(), 0);
    EXPECT_EQ(dm.tblPerEmail->field("EMAIL").asString(), "old@mail.ru");
}

// Values no office has (an application numbered 1e308 or -116, the year 0, quarter 99, years of
// service 1e300) refuse the file before the summary, naming the row and the field; nothing, no
// application either, is made.
TEST_F(Restore, ValuesOutOfTheirBoundsRefuseTheFileBeforeTheSummary) {
    const TableLayout& layout = layouts::tempZ2023();
    struct Case {
        const char* field;
        QVariant value;
        QString fault;
    };
    const Case cases[] = {
        {"Year", 0, "значения нет"}, // an empty year: no application of any year
        {"Year", -5, "значение -5 вне допустимых пределов (1900–2100)"},
        {"Year", 32767, "значение 32767 вне допустимых пределов (1900–2100)"},
        {"Zajavka", 1e308, "значение 1e+308 вне допустимых пределов (0,01–99999)"},
        {"Zajavka", -116.0, "значение -116 вне допустимых пределов (0,01–99999)"},
        {"Kv", 99, "значение 99 вне допустимых пределов (0–4)"},
        {"Hours", -36, "значение -36 вне допустимых пределов (0–10000)"},
        {"Stajg", 1e300, "значение 1e+300 вне допустимых пределов (0–100)"},
        {"StajgZ", -1.0, "значение -1 вне допустимых пределов (0–100)"},
    };
    const QString file = exportPath("ZES116_2026.db");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value.toString().toStdString());
        QVariantList bad = fileRow("ПЕТРОВ", "ПЁТР");
        bad[layout.fieldIndex(c.field)] =
            c.value.toInt() == 0 && QString(c.field) == "Year" ? QVariant() : c.value;
        writeParadoxTable(file, layout, {fileRow("ИВАНОВ", "ИВАН"), bad});
        picking(file).expectError("Заявка не восстановлена, ничего не записано. Файл «" +
                                  QDir::toNativeSeparators(file) + "», строка 2 (ПЕТРОВ ПЁТР), поле «");
        restore(nullptr);
        h.prompter.verify();
        EXPECT_TRUE(h.prompter.log().last().contains(c.fault)) << h.prompter.log().last().toStdString();
        QFile::remove(file);
    }
    EXPECT_EQ(single("SELECT COUNT(*) FROM Zajavki2023").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Personal").toInt(), 0);
}

// An empty e-mail or SNILS in the file replaces no stored one and makes no empty row; years of
// service counted from no start year (the year itself, as earlier exports carry them) come back
// empty.
TEST_F(Restore, EmptyValuesReplaceNothingAndStayEmpty) {
    const qint64 ivanov = addPerson("ИВАНОВ", "ИВАН", "", "old@mail.ru", "001-001-999 00");
    const qint64 petrov = addPerson("ПЕТРОВ", "ПЁТР", "");
    const QString file = exportPath("ZES116_2026.db");
    QVariantList noYears = fileRow("СИДОРОВ", "СИДОР", 5, 7, 2026.0);
    noYears[layouts::tempZ2023().fieldIndex("StajgZ")] = 2026.0;
    writeParadoxTable(file, layouts::tempZ2023(),
                      {fileRow("ИВАНОВ", "ИВАН"), fileRow("ПЕТРОВ", "ПЁТР"), noYears});
    picking(file).expectInform(outcome(file, 3, 2, 1) + "\nСоздана заявка 116 на 2026 год.");
    restore([](QDialog& d) {
        EXPECT_EQ(d.findChild<QWidget*>("ChangesList"), nullptr) << "nothing stored is replaced";
        accept(d);
    });
    h.prompter.verify();
    EXPECT_EQ(column(QString("SELECT EMAIL FROM PEREMAIL WHERE PersonalKOD = %1").arg(ivanov)),
              QStringList{"old@mail.ru"});
    EXPECT_EQ(column(QString("SELECT SNILS FROM PERSNILS WHERE PersonalKOD = %1").arg(ivanov)),
              QStringList{"001-001-999 00"});
    EXPECT_EQ(single(QString("SELECT COUNT(*) FROM PEREMAIL WHERE PersonalKOD = %1").arg(petrov)).toInt(), 0);
    EXPECT_EQ(single(QString("SELECT COUNT(*) FROM PERSNILS WHERE PersonalKOD = %1").arg(petrov)).toInt(), 0);
    EXPECT_TRUE(single("SELECT StajOb FROM Sluch2023 WHERE Name1 = 'СИДОРОВ'").isNull());
    EXPECT_TRUE(single("SELECT StajDoljn FROM Sluch2023 WHERE Name1 = 'СИДОРОВ'").isNull());
    EXPECT_TRUE(single("SELECT StajOb FROM Personal WHERE Name1 = 'СИДОРОВ'").isNull());
}

TEST_F(Restore, AFileThatCannotBeRestoredIsRefusedBeforeTheSummary) {
    const QString dir = h.app.root.exportDir();
    QFile junk(dir + "/junk.db");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(3000, 'x'));
    junk.close();
    writeParadoxTable(dir + "/far.db", layouts::tempZ2023(),
                      {fileRow("ИВАНОВ", "ИВАН"), fileRow("ПЕТРОВ", "ПЁТР", 5, 7, 100000.0)});
    writeParadoxTable(dir + "/old.db", layouts::tempZ(), {});
    struct {
        QString file;
        QString error;
    } cases[] = {
        {dir + "/missing.db",
         "Заявка не восстановлена. Файл " + QDir::toNativeSeparators(dir + "/missing.db") + " не найден."},
        {dir + "/junk.db", "Заявка не восстановлена. "},
        {dir + "/old.db", "не подходит: в нём нет поля «дата рождения»"},
        // A start year of 2026 − 100000 fits no register row: the row, the person and the file's field.
        {dir + "/far.db", "Заявка не восстановлена, ничего не записано. Файл «" +
                              QDir::toNativeSeparators(dir + "/far.db") +
                              "», строка 2 (ПЕТРОВ ПЁТР), поле «общемедицинский стаж»: "},
    };
    for (const auto& c : cases) {
        picking(c.file).expectError(c.error);
        restore(nullptr);
        h.prompter.verify();
    }
    EXPECT_EQ(single("SELECT COUNT(*) FROM Personal").toInt(), 0);
    EXPECT_EQ(single("SELECT COUNT(*) FROM Sluch2023").toInt(), 0);

    // A file without trainees: nothing to do, and said so.
    writeParadoxTable(dir + "/empty.db", layouts::tempZ2023(), {});
    picking(dir + "/empty.db")
        .expectInform("В файле «" + QDir::toNativeSeparators(dir + "/empty.db") +
                      "» нет слушателей: восстанавливать нечего.");
    restore(nullptr);
}

} // namespace
