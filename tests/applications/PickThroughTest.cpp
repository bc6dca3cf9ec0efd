// The applications dialogs with the real pick dialogs: the chooser offers the programmes the
// opener loaded and hands the pick back by caller code; the position and specialty dialogs fill
// the editor.
#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "shell/DbGrid.h"
#include "shell/MainWindow.h"
#include "support/GridActions.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>

namespace {

struct PickThrough : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    QWidget* window = nullptr;

    void SetUp() override {
        h.mainWindow().openApplications();
        window = h.mainWindow().instance("ftrZajavki2023");
        applications::createApplication(dm, Generation::current(), 116, 2026);
        struct {
            const char* code;
            int year;
            int hours;
            const char* form;
        } programmes[] = {
            {"ПК-26", 2026, 36, "очн"}, {"ПК-27", 2027, 72, "ДОТ"}, {"ПК-25", 2025, 18, "заочн"}};
        double real = 1;
        for (const auto& p : programmes) {
            dm.tblNewZicl->append();
            dm.field("tblNewZiclKZicl").setAsString(p.code);
            dm.field("tblNewZiclVidOb").setAsString("ПК");
            dm.field("tblNewZiclTypeOb").setAsString("Б");
            dm.field("tblNewZiclHours").setAsInteger(p.hours);
            dm.field("tblNewZiclYear").setAsInteger(p.year);
            dm.field("tblNewZiclFOBUCH").setAsString(p.form);
            dm.field("tblNewZiclRealZicl").setAsFloat(real++);
            dm.tblNewZicl->post();
        }
    }
    static DbGrid* grid(QDialog& d) { return d.findChild<DbGrid*>("DBGrid1"); }
};

TEST_F(PickThrough, TheAddingDialogOffersItsYearAndTakesThePick) {
    h.app.state.SelTypeOb = "Т";
    h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
        h.dialogs.expect("ftrZicl", [&](QDialog& chooser) {
            EXPECT_EQ(grid(chooser)->model()->rowCount(), 1); // the application's year only
            gridActions::doubleClickRow(grid(chooser), 0);
        });
        ui::click(&adding, "Button1");
        EXPECT_EQ(h.app.state.ZiclCaller, 4);
        EXPECT_EQ(ui::text(&adding, "Edit1"), "ПК-26 ПК");
        EXPECT_EQ(ui::text(&adding, "Edit2"), "36");
        ui::click(&adding, "Button3");
    });
    ui::click(window, "SpeedButton2");
    EXPECT_EQ(h.app.state.SelFOBUCH, "очн");
    EXPECT_EQ(h.app.state.SelTypeOb, "Т"); // left as it was
}

TEST_F(PickThrough, AnEmptyChooserGivesTheAddingDialogNoProgramme) {
    applications::createApplication(dm, Generation::current(), 116, 2030); // no programmes of its year
    h.prompter.expectInform("Не выбрали программу обучения!");
    h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
        h.dialogs.expect("ftrZicl", [&](QDialog& chooser) {
            EXPECT_EQ(grid(chooser)->model()->rowCount(), 0);
            gridActions::doubleClickRow(grid(chooser), -1);
            EXPECT_TRUE(chooser.isVisible()); // nothing to pick: the chooser stays open
            chooser.close();
        });
        ui::click(&adding, "Button1");
        EXPECT_EQ(ui::text(&adding, "Edit1"), "");
        EXPECT_EQ(ui::text(&adding, "Edit2"), "");
        ui::click(&adding, "Button2");
        EXPECT_TRUE(adding.isVisible());
        ui::click(&adding, "Button3");
    });
    ui::click(window, "SpeedButton2");
    EXPECT_TRUE(dm.tblSluch2023->isEmpty());
}

TEST_F(PickThrough, TheEditorOffersEarlierYearsAndPicksIntoTheRow) {
    dm.tblDoljn->append();
    dm.field("tblDoljnKDoljn").setAsInteger(5);
    dm.field("tblDoljnNDoljn").setAsString("МЕДСЕСТРА");
    dm.tblDoljn->post();
    dm.tblSluch2023->append();
    dm.field("tblSluch2023Name1").setAsString("ИВАНОВ");
    dm.tblSluch2023->post();

    h.prompter.expectInform("Not doljn").expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& editor) {
        h.dialogs.expect("ftrZicl", [&](QDialog& chooser) {
            EXPECT_EQ(grid(chooser)->model()->rowCount(),
                      2); // 2026 and earlier, the application's year first
            EXPECT_EQ(grid(chooser)->cellText(0, 4), "2026");
            // One of another year is asked about first: "Нет" keeps the chooser open.
            const QString question =
                "Программа ПК-25 — из каталога 2025 года, а заявка — на 2026 год. Выбрать её всё равно?";
            h.prompter.expectAsk(chooser.windowTitle(), question, Prompter::Answer::No);
            gridActions::doubleClickRow(grid(chooser), 1);
            EXPECT_TRUE(chooser.isVisible());
            h.prompter.expectAsk(chooser.windowTitle(), question, Prompter::Answer::Yes);
            gridActions::doubleClickRow(grid(chooser), 1);
        });
        ui::click(&editor, "SpeedButton1");
        EXPECT_EQ(ui::text(&editor, "DBEdit5"), "ПК-25");
        h.dialogs.expect("ftrDoljn",
                         [&](QDialog& positions) { gridActions::doubleClickRow(grid(positions), 0); });
        ui::click(&editor, "SpeedButton2");
        EXPECT_EQ(ui::text(&editor, "Edit1"), "МЕДСЕСТРА");
        ui::click(&editor, "Button1");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023KZicl").asString(), "ПК-25");
    EXPECT_EQ(dm.field("tblSluch2023FOBUCH").asString(), "заочн");
    EXPECT_EQ(dm.field("tblSluch2023Hours").asInteger(), 18);
    EXPECT_EQ(dm.field("tblSluch2023KDoljn").asInteger(), 5);
    EXPECT_EQ(dm.tblSluch2023->state(), Dataset::State::Browse);
}

} // namespace
