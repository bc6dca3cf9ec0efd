// The start-up window: the tables opened in order with their progress texts, a table that fails
// reported by its text while the rest still open, and the year taken from the clock.
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/SqliteStore.h"
#include "shell/MainWindow.h"
#include "shell/StartupTables.h"
#include "shell/StartupWindow.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QLabel>

namespace {

QStringList allProgressTexts() {
    QStringList out;
    for (const StartupTable& t : startupTables())
        out << t.progress;
    return out;
}

// Starts the program's main window and lets the start-up window run to its end.
void startUp(AppHarness& h, int delayMs, const std::function<void(StartupWindow&)>& whileOpen = {}) {
    MainWindow& w = h.mainWindow();
    w.setStartupDelay(delayMs);
    h.dialogs.expect("ftrAvtoriz", [&](QDialog& d) {
        auto& startup = static_cast<StartupWindow&>(d);
        EXPECT_EQ(startup.windowTitle(), "Заявки на переподготовку персонала");
        EXPECT_EQ(ui::text(&d, "Label1"), "Версия 3.0.0.3 (2026)");
        if (whileOpen)
            whileOpen(startup);
        EXPECT_TRUE(waitUntil([&] { return startup.isDone(); }));
        QStringList shown = startup.progressShown();
        EXPECT_EQ(shown, allProgressTexts());
        EXPECT_EQ(ui::text(&d, "StatusBar1"), "Открытие tblSluchSnils");
    });
    w.show();
    EXPECT_TRUE(waitUntil([&] { return w.isStartedUp() && h.app.DM; }));
    w.hide();
}

TEST(Startup, OpensTheTablesInOrderAfterThePause) {
    AppHarness h(false);
    startUp(h, 10);
    EXPECT_EQ(h.app.state.CurYear, 2026);
    ASSERT_EQ(startupTables().size(), 22);
    for (const StartupTable& t : startupTables())
        EXPECT_TRUE(h.dm().dataset(t.object)->isActive()) << t.object.toStdString();
    EXPECT_FALSE(h.dm().qNewZicl->isActive()); // queries are opened by their users
}

TEST(Startup, AMissingTableIsReportedByItsTextAndTheRestStillOpen) {
    AppHarness h(false);
    h.app.store->exec("DROP TABLE SLUCHEMAIL");
    h.app.store.reset();
    h.app.store = SqliteStore::open(h.app.root.storeFile()); // re-read the layouts
    h.prompter.expectInform("Ошибка при открытии tblSLEmail");
    startUp(h, 0);
    EXPECT_FALSE(h.dm().tblSlEmail->isActive());
    EXPECT_TRUE(h.dm().tblPerSnils->isActive());
    EXPECT_TRUE(h.dm().tblSluchSnils->isActive());
    EXPECT_THROW(h.dm().tblSlEmail->first(), DbError); // the closed table keeps failing
}

TEST(Startup, ClosingTheWindowEarlyOpensTheTablesAtOnce) {
    AppHarness h(false);
    startUp(h, 60'000, [](StartupWindow& startup) {
        EXPECT_FALSE(startup.isDone());
        startup.close();
    });
    EXPECT_TRUE(h.dm().tblPersonal->isActive());
}

} // namespace
