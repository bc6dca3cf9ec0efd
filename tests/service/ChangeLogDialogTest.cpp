// "Журнал изменений" through the real window: the clerks' changes, newest first, chosen by the
// person typed with the keys, the clerk and the dates; a date that is no date is refused.
#include "service/ChangeLogDialog.h"
#include "core/DateText.h"
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QTableView>

namespace {

struct ChangeLogWindow : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();

    void SetUp() override {
        addPerson("ЁЛКИНА", "АННА");
        addPerson("ПЕТРОВ", "ОЛЕГ");
        dm.tblPersonal->first();
        dm.tblPersonal->edit();
        dm.field("tblPersonalNDoljn").setAsString("ВРАЧ-ТЕРАПЕВТ");
        dm.tblPersonal->post();
    }
    void addPerson(const QString& surname, const QString& name) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(surname);
        dm.field("tblPersonalName2").setAsString(name);
        dm.tblPersonal->post();
    }
    static QAbstractItemModel* rows(QWidget& w) {
        return qobject_cast<QTableView*>(ui::find(&w, "LogGrid"))->model();
    }
    static QStringList column(QWidget& w, int c) {
        QStringList values;
        for (int r = 0; r < rows(w)->rowCount(); ++r)
            values << rows(w)->index(r, c).data().toString();
        return values;
    }
};

TEST_F(ChangeLogWindow, ShowsTheChangesNewestFirstAndChoosesByPersonClerkAndDate) {
    ChangeLogDialog window(main);
    window.show();
    QAbstractItemModelTester tester(rows(window), QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(window.windowTitle(), "Журнал изменений");
    EXPECT_EQ(column(window, 2), (QStringList{"изменение", "добавление", "добавление"}));
    EXPECT_EQ(column(window, 4), (QStringList{"ЁЛКИНА АННА", "ПЕТРОВ ОЛЕГ", "ЁЛКИНА АННА"}));
    EXPECT_EQ(column(window, 5)[0], "должность: — → «ВРАЧ-ТЕРАПЕВТ»");
    EXPECT_EQ(ui::text(&window, "CountLabel"), "Показано: 3 изменения");

    ui::type(&window, "PersonFilter", "елкин");
    ui::key(&window, "PersonFilter", Qt::Key_Return); // Enter shows
    EXPECT_EQ(column(window, 4), (QStringList{"ЁЛКИНА АННА", "ЁЛКИНА АННА"}));

    auto* clerk = qobject_cast<QComboBox*>(ui::find(&window, "ClerkFilter"));
    ASSERT_EQ(clerk->count(), 2); // "все" and the one clerk
    clerk->setCurrentIndex(1);
    // The log keeps the real time of each change.
    ui::type(&window, "FromDate", QDate::currentDate().addDays(1).toString("ddMMyyyy"));
    ui::click(&window, "ShowButton");
    EXPECT_EQ(rows(window)->rowCount(), 0) << "the changes were made today";
    EXPECT_EQ(ui::text(&window, "CountLabel"), "Изменений нет");
}

TEST_F(ChangeLogWindow, ADateThatIsNoDateOrAnEmptyPeriodIsRefusedAndTheListStays) {
    ChangeLogDialog window(main);
    ui::type(&window, "FromDate", "31022026");
    const QString problem = datetext::problem(ui::text(&window, "FromDate"));
    ASSERT_FALSE(problem.isEmpty());
    h.prompter.expectInform(problem);
    ui::click(&window, "ShowButton");
    EXPECT_EQ(rows(window)->rowCount(), 3);

    ui::clear(&window, "FromDate");
    ui::type(&window, "FromDate", "10032026");
    ui::type(&window, "ToDate", "01032026");
    h.prompter.expectInform("Дата «с» позже даты «по»: укажите промежуток заново.");
    ui::click(&window, "ShowButton");
    EXPECT_EQ(rows(window)->rowCount(), 3);
    h.prompter.verify();
}

TEST_F(ChangeLogWindow, OpensFromTheServiceMenu) {
    h.dialogs.expect("ftrChangeLog", [](QDialog& d) {
        EXPECT_EQ(rows(d)->rowCount(), 3);
        ui::click(&d, "CloseButton");
    });
    main.findChild<QAction*>("ChangeLogItem")->trigger();
    h.dialogs.verify();
}

} // namespace
