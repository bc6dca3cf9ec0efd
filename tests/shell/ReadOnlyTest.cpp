// A clerk whose server role may only read: everything is shown, every control that changes data is
// disabled, and a change tried all the same is refused before it reaches the server.
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/PgStore.h"
#include "data/Table.h"
#include "shell/MainWindow.h"
#include "shell/ReadOnlySession.h"
#include "shell/StartupTables.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace {

struct ReadOnlyClerk : ::testing::Test {
    RolesToDrop roles;
    ServerStoreDatabase database;
    const QString reader = "reader_" + QString::fromUtf8(database.database.name());
    std::unique_ptr<AppHarness> h;

    void SetUp() override {
        roles.names << reader;
        auto admin = PgStore::open(database.url());
        admin->exec("INSERT INTO Personal (Name1, Name2) VALUES ('ИВАНОВ', 'ИВАН')");
        admin->exec(PgStore::serverUserSql(reader, true));
        h = std::make_unique<AppHarness>(false);
        h->app.serverUrl = database.url() + " user=" + reader;
        h->app.openStore();
        h->app.state.CurYear = 2026;
        h->app.createDataModule();
        openStartupTables(
            *h->app.DM, [](const StartupTable&) {},
            [](const StartupTable& t, const QString& why) {
                ADD_FAILURE() << t.object.toStdString() << ": " << why.toStdString();
            });
    }
    void TearDown() override {
        h.reset();
        read_only::enforce(false);
    }
};

TEST_F(ReadOnlyClerk, SeesEverythingWithEveryChangingControlDisabled) {
    MainWindow& main = h->mainWindow();
    main.show();
    EXPECT_TRUE(ui::text(&main, "StorePanel").endsWith("только просмотр"));
    EXPECT_FALSE(main.findChild<QAction*>("LoadCatalogueItem")->isEnabled());
    EXPECT_FALSE(main.findChild<QAction*>("N13")->isEnabled());
    EXPECT_TRUE(main.findChild<QAction*>("PlanItem")->isEnabled()) << "looking is allowed";

    main.openPersonnel();
    QWidget* register_ = main.instance("ftrPersonal");
    ASSERT_TRUE(register_);
    ASSERT_TRUE(waitUntil([&] { return register_->isVisible(); }));
    EXPECT_EQ(h->dm().field("tblPersonalName1").asString(), "ИВАНОВ");
    for (const char* name :
         {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton7", "SpeedButton9"}) {
        SCOPED_TRACE(name);
        QWidget* button = ui::find(register_, name);
        EXPECT_FALSE(button->isEnabled());
        button->setEnabled(true); // as the window does when rows appear
        EXPECT_FALSE(button->isEnabled());
    }
}

TEST_F(ReadOnlyClerk, AChangeTriedAllTheSameIsRefusedWithTheReason) {
    Table& people = *h->dm().tblPersonal;
    EXPECT_TRUE(people.isReadOnly());
    for (const auto& change : std::initializer_list<std::function<void()>>{
             [&] { people.append(); }, [&] { people.edit(); }, [&] { people.remove(); }}) {
        try {
            change();
            ADD_FAILURE() << "changed";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().startsWith("Вам разрешён только просмотр данных"))
                << e.message().toStdString();
        }
    }
    EXPECT_FALSE(people.isEditing());
}

} // namespace
