// "План обучения на год" through the real window: the plan shown, filtered and counted, people
// marked and added to an application after the summary question, printed, and opened from the
// menu and from the applications window.
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "applications/TrainingPlanDialog.h"
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "spreadsheet/DocumentOpener.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <QTableView>

namespace {

using Answer = Prompter::Answer;

struct PlanWindow : ::testing::Test {
    AppHarness h; // today is 15.03.2026, so the plan is for 2027 by default
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();

    void SetUp() override {
        programme("T-1", "Терапия");
        programme("S-1", "Сестринское дело");
        const qint64 doctor = person("ВРАЧЕВ", "ВРАЧ-ТЕРАПЕВТ");
        certificate(doctor, QDate(2027, 5, 1), "Терапия");
        const qint64 nurse = person("СЕСТРИНА", "МЕДИЦИНСКАЯ СЕСТРА");
        certificate(nurse, QDate(2026, 1, 10), "Сестринское дело");
        const qint64 later = person("ПОЗДНЕВ", "ВРАЧ-ТЕРАПЕВТ");
        certificate(later, QDate(2030, 1, 1), "Терапия");
        for (Dataset* ds : dm.datasets())
            if (ds->isActive())
                ds->reread();
    }
    void TearDown() override { setDocumentOpener({}); }

    qint64 insert(const QString& sql, const QVariantList& values) {
        auto st = h.app.store->cached(sql + " RETURNING rowid");
        for (int i = 0; i < values.size(); ++i)
            st->bind(i + 1, values[i]);
        return h.app.store->insertRow(*st);
    }
    qint64 person(const QString& surname, const QString& position) {
        return insert(
            "INSERT INTO Personal (Name1, Name2, Name3, DR, NDoljn) VALUES (?, 'ИВАН', 'ИВАНОВИЧ', ?, ?)",
            {surname, QDate(1980, 1, 2), position});
    }
    void certificate(qint64 who, const QDate& end, const QString& specialty) {
        insert("INSERT INTO Sertif (DateCL, Name, PersonalKOD) VALUES (?, ?, ?)", {end, specialty, who});
    }
    void programme(const QString& code, const QString& specialty) {
        insert("INSERT INTO NewZicl2023 (KZicl, VidOb, Hours, NZicl, RealZicl, \"Year\", SPECIALY, FOBUCH) "
               "VALUES (?, 'ПК', 36, ?, 1, 2027, ?, 'очная')",
               {code, "Программа " + code, specialty});
    }
    qint64 count(const QString& sql) {
        auto st = h.app.store->cached(sql);
        st->step();
        return st->int64(0);
    }
    int copies(const QString& action) {
        int n = 0;
        for (const BackupCopy& c : h.app.backups().list())
            n += c.action == action;
        return n;
    }
};

TEST_F(PlanWindow, ShowsWhoNeedsTrainingColouredFilteredAndCounted) {
    TrainingPlanDialog plan(main);
    EXPECT_EQ(plan.windowTitle(), "План обучения на год");
    EXPECT_EQ(qobject_cast<QSpinBox*>(ui::find(&plan, "YearBox"))->value(), 2027);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel0"), "Всего - 2");
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 0");

    PlanModel& model = plan.model();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "СЕСТРИНА") << "the earliest end first";
    EXPECT_EQ(model.index(0, PlanModel::DaysLeft).data().toInt(), -64);
    EXPECT_EQ(model.index(0, PlanModel::DaysLeft).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0xE5, 0x39, 0x35))
        << "ended: red, as in the register";
    EXPECT_EQ(model.index(0, PlanModel::End).data(Qt::ToolTipRole).toString(),
              "Срок истёк 64 дня назад, 10.01.2026");
    EXPECT_EQ(model.index(1, PlanModel::Quarter).data().toInt(), 1);
    EXPECT_EQ(model.index(1, PlanModel::Programme).data().toString(), "T-1 ПК, 36 ч. — Программа T-1");

    // A click on a title orders by that column, a second click the other way; the plan's own order
    // until then.
    auto* view = qobject_cast<QTableView*>(ui::find(&plan, "PlanGrid"));
    EXPECT_TRUE(view->isSortingEnabled());
    view->sortByColumn(PlanModel::DaysLeft, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "ВРАЧЕВ");
    view->sortByColumn(PlanModel::Surname, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "СЕСТРИНА");
    view->sortByColumn(PlanModel::Surname, Qt::AscendingOrder);
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "ВРАЧЕВ");
    model.sort(-1);
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "СЕСТРИНА");

    auto* position = qobject_cast<QComboBox*>(ui::find(&plan, "PositionBox"));
    position->setCurrentIndex(position->findText("ВРАЧ-ТЕРАПЕВТ"));
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel0"), "Всего - 1");
    EXPECT_EQ(model.index(0, PlanModel::Surname).data().toString(), "ВРАЧЕВ");
    auto* specialty = qobject_cast<QComboBox*>(ui::find(&plan, "SpecialtyBox"));
    specialty->setCurrentIndex(specialty->findText("Сестринское дело"));
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel0"), "Всего - 0");
    position->setCurrentIndex(0);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel0"), "Всего - 1");

    auto* grid = qobject_cast<QTableView*>(ui::find(&plan, "PlanGrid"));
    grid->setCurrentIndex(model.index(0, PlanModel::Surname));
    ui::key(&plan, "PlanGrid", Qt::Key_Space);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 1");
    ui::key(&plan, "PlanGrid", Qt::Key_Space);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 0");
}

TEST_F(PlanWindow, AddsTheMarkedToTheChosenApplicationAfterTheSummary) {
    TrainingPlanDialog plan(main);
    applications::createApplication(dm, Generation::current(), 116, 2027);
    applications::createApplication(dm, Generation::current(), 116.01, 2027);
    plan.setYear(2028);
    plan.setYear(2027);
    auto* application = qobject_cast<QComboBox*>(ui::find(&plan, "ApplicationBox"));
    ASSERT_EQ(application->count(), 2);
    EXPECT_EQ(application->itemText(1), "116,01");

    h.prompter.expectInform(
        "Не отмечен ни один сотрудник. Отметьте сотрудников флажком или клавишей «Пробел».");
    ui::click(&plan, "AddButton");

    ui::click(&plan, "MarkAllButton");
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 2");
    plan.model().setData(plan.model().index(1, PlanModel::Quarter), 3, Qt::EditRole);
    const QString question =
        "В заявку № 116 на 2027 год будут добавлены 2 сотрудника (программ: 2).\n\nДобавить?";
    h.prompter.expectAsk("План обучения на год", question, Answer::No);
    ui::click(&plan, "AddButton");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Sluch2023"), 0);
    EXPECT_EQ(copies("plan"), 0);

    h.prompter.expectAsk("План обучения на год", question, Answer::Yes)
        .expectInform("В заявку № 116 на 2027 год добавлено: 2 сотрудника.");
    ui::click(&plan, "AddButton");
    h.prompter.verify();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Sluch2023 WHERE KZajavki = 116 AND \"Year\" = 2027"), 2);
    EXPECT_EQ(count("SELECT KV FROM Sluch2023 WHERE Name1 = 'ВРАЧЕВ'"), 3);
    EXPECT_EQ(copies("plan"), 1) << "a copy of the store before the adding";
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel0"), "Всего - 0") << "the plan is made again";
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 2) << "the application's trainees show them";
}

TEST_F(PlanWindow, MarksOutliveTheWindowAndClearingTakesTheHiddenOnesToo) {
    {
        TrainingPlanDialog plan(main);
        ui::click(&plan, "MarkAllButton");
        plan.model().setData(plan.model().index(1, PlanModel::Quarter), 3, Qt::EditRole);
    }
    TrainingPlanDialog plan(main);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 2") << "kept while the program runs";
    EXPECT_EQ(plan.model().index(1, PlanModel::Quarter).data().toInt(), 3);

    // A filter hides one marked person: the question says so; "Снять отметки" clears both.
    applications::createApplication(dm, Generation::current(), 116, 2027);
    plan.setYear(2028);
    plan.setYear(2027);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 2") << "kept across a change of year";
    auto* position = qobject_cast<QComboBox*>(ui::find(&plan, "PositionBox"));
    position->setCurrentIndex(position->findText("ВРАЧ-ТЕРАПЕВТ"));
    h.prompter.expectAsk("План обучения на год",
                         "В заявку № 116 на 2027 год будут добавлены 2 сотрудника (программ: 2).\n"
                         "Из них скрыто фильтром: 1.\n\nДобавить?",
                         Answer::No);
    ui::click(&plan, "AddButton");
    ui::click(&plan, "UnmarkButton");
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 0");
    position->setCurrentIndex(0);
    EXPECT_EQ(ui::text(&plan, "StatusBar1Panel1"), "отмечено - 0");
}

TEST_F(PlanWindow, WithoutAnApplicationOfTheYearTheMainOneIsOfferedThere) {
    TrainingPlanDialog plan(main);
    ui::click(&plan, "MarkAllButton");
    // Without the contract number there is no main application to make: the parameters are named.
    h.prompter.expectInform("На 2027 год нет ни одной заявки, а номер договора с учебным центром не задан. "
                            "Задайте его в «Параметрах», затем добавьте сотрудников из плана.");
    ui::click(&plan, "AddButton");
    dm.tblConfig->append();
    dm.field("tblConfigKZajavki").setAsInteger(116);
    dm.tblConfig->post();
    const QString offer = "На 2027 год нет ни одной заявки. Создать основную заявку № 116 на 2027 год и "
                          "добавить в неё отмеченных?";
    h.prompter.expectAsk("План обучения на год", offer, Answer::No);
    ui::click(&plan, "AddButton");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Zajavki2023"), 0);
    h.prompter.expectAsk("План обучения на год", offer, Answer::Yes)
        .expectAsk("План обучения на год",
                   "В заявку № 116 на 2027 год будут добавлены 2 сотрудника (программ: 2).\n\nДобавить?",
                   Answer::Yes)
        .expectInform("В заявку № 116 на 2027 год добавлено: 2 сотрудника.");
    ui::click(&plan, "AddButton");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Sluch2023 WHERE KZajavki = 116 AND \"Year\" = 2027"), 2);
}

TEST_F(PlanWindow, PrintsThePlanShownAndOpensFromTheMenuAndTheApplicationsWindow) {
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    {
        TrainingPlanDialog plan(main);
        ui::click(&plan, "PrintButton");
    }
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QDir(h.app.root.documents()).filePath("План обучения на 2027 год.xlsx"));
    // Saved but not opened: information, not an error.
    setDocumentOpener([](const QString&) { return false; });
    h.prompter.answerUnscripted(Prompter::Answer::Ok, {});
    {
        TrainingPlanDialog plan(main);
        ui::click(&plan, "PrintButton");
    }
    ASSERT_FALSE(h.prompter.log().isEmpty());
    EXPECT_TRUE(h.prompter.log().last().startsWith("inform: Документ сохранён в файле"))
        << h.prompter.log().last().toStdString();
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });

    h.dialogs.expect("ftrPlan", [](QDialog& d) { ui::click(&d, "CloseButton"); });
    main.findChild<QAction*>("PlanItem")->trigger();
    main.openApplications();
    h.dialogs.expect("ftrPlan", [](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 2");
        d.reject();
    });
    ui::click(main.instance("ftrZajavki2023"), "PlanButton");
    h.dialogs.verify();
}

} // namespace
