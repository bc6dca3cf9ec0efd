// The parameters dialog through the real window: the checks, the save, the exit question, the
// contract number box, and a store whose settings or bank details table did not open.
#include "service/ConfigDialog.h"
#include "data/DataModule.h"
#include "data/ServerSettings.h"
#include "data/SqliteStore.h"
#include "shell/MainWindow.h"
#include "shell/StartupTables.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>

namespace {

struct ConfigDialog : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();

    // Opens the dialog through the menu's procedure; `hand` acts while it is open.
    void open(const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect("ftrConfig", hand);
        h.mainWindow().showSettings();
    }
    void fill(QDialog& d, const char* name, const char* boss, const char* user, const char* number) {
        ui::type(&d, "DBEdit1", name);
        ui::type(&d, "DBEdit2", boss);
        ui::type(&d, "DBEdit3", user);
        ui::type(&d, "DBEdit5", number);
    }
    void storeRow() {
        dm.tblConfig->append();
        dm.field("tblConfigNLPU").setAsString("ГБУЗ «Больница № 3»");
        dm.field("tblConfigBoss").setAsString("Петров П.П.");
        dm.field("tblConfigUser").setAsString("Иванова И.И.");
        dm.field("tblConfigKZajavki").setAsInteger(116);
        dm.tblConfig->post();
    }
};

TEST_F(ConfigDialog, SaveOnAnEmptyTableMakesTheOneRow) {
    open([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Параметры");
        fill(d, "ГБУЗ «Больница № 3»", "Петров П.П.", "Иванова И.И.", "116");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_EQ(dm.tblConfig->recordCount(), 1);
    EXPECT_EQ(dm.field("tblConfigKZajavki").asInteger(), 116);
    EXPECT_EQ(dm.field("tblConfigNLPU").asString(), "ГБУЗ «Больница № 3»");
    EXPECT_EQ(dm.field("tblConfigPhone").asString(), ""); // the telephone may stay empty
}

TEST_F(ConfigDialog, EachCheckShowsItsMessageAndKeepsTheDialogOpen) {
    struct Case {
        const char* name;
        const char* boss;
        const char* user;
        const char* number;
        const char* message;
        const char* focus;
    } cases[] = {
        {"", "Б", "И", "1", "Не задали название организации!", "DBEdit1"},
        {"Н", "", "И", "1", "Не задали руководителя!", "DBEdit2"},
        {"Н", "Б", "", "1", "Не задали исполнителя!", "DBEdit3"},
        {"Н", "Б", "И", "", "Не задали номер договора!", "DBEdit5"},
    };
    for (const Case& c : cases) {
        h.prompter.expectInform(QString::fromUtf8(c.message));
        open([&](QDialog& d) {
            d.activateWindow();
            fill(d, c.name, c.boss, c.user, c.number);
            ui::click(&d, "Button1");
            EXPECT_TRUE(d.isVisible()) << c.message;
            EXPECT_EQ(dm.tblConfig->state(), Dataset::State::Insert); // the row stays as typed
            EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                                  : "",
                      c.focus);
            d.done(QDialog::Rejected);
        });
        dm.tblConfig->cancel();
    }
    EXPECT_TRUE(dm.tblConfig->isEmpty());
}

TEST_F(ConfigDialog, TheTelephoneIsTypedAsPeopleWriteItAndKeptAsItsDigits) {
    storeRow();
    open([&](QDialog& d) {
        ui::type(&d, "DBEdit4", "8 (495) 123-45-67");
        EXPECT_EQ(ui::text(&d, "DBEdit4"), "8 (495) 123-45-67") << "nothing typed is cut off";
        ui::click(&d, "Button1");
        ui::click(&d, "Button2");
    });
    EXPECT_EQ(dm.field("tblConfigPhone").asString(), "84951234567") << "the digits fit the field";
    EXPECT_TRUE(h.mainWindow().statusPanel(2).endsWith(" — Параметры сохранены"));
    EXPECT_EQ(dm.field("tblConfigPhone").displayText(), "8 (495) 123-45-67");
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "DBEdit4"), "8 (495) 123-45-67");
        d.close();
    });
}

// "Сервер базы данных": typed with the keys, checked, kept in the folder for the next start.
TEST_F(ConfigDialog, TheServerPageIsCheckedAndKeptInTheFolderForTheNextStart) {
    storeRow();
    open([&](QDialog& d) {
        EXPECT_FALSE(ui::find(&d, "ServerHost")->isEnabled()) << "the folder's own database at first";
        ui::click(&d, "UseServer");
        ui::type(&d, "ServerHost", "srv.hospital.local");
        ui::clear(&d, "ServerPort");
        ui::type(&d, "ServerPort", "5433");
        h.prompter.expectInform("Укажите базу данных на сервере (её имя сообщает администратор).");
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), ui::find(&d, "ServerDatabase"));
        ui::type(&d, "ServerDatabase", "zajavki");
        ui::type(&d, "ServerUser", "ivanova");
        h.prompter.expectInform("Настройки сервера базы данных сохранены. Программа будет работать с "
                                "сервером после перезапуска.");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    h.prompter.verify();
    EXPECT_EQ(ServerSettings::startUrl({}, h.app.root),
              "host='srv.hospital.local' port=5433 dbname='zajavki' user='ivanova'");
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "ServerDatabase"), "zajavki") << "shown as kept";
        ui::click(&d, "Button2");
    });
}

// Server settings that cannot be written are told, and the dialog stays open with what was typed.
TEST_F(ConfigDialog, ServerSettingsThatCannotBeWrittenKeepTheDialogOpen) {
    storeRow();
    ASSERT_TRUE(QDir(h.app.root.root()).mkdir("server.ini")); // a folder where the file would go
    open([&](QDialog& d) {
        ui::click(&d, "UseServer");
        ui::type(&d, "ServerHost", "srv");
        ui::type(&d, "ServerDatabase", "zajavki");
        h.prompter.expectError("Не удалось записать настройки сервера");
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(ui::text(&d, "ServerHost"), "srv");
        ui::click(&d, "Button2");
    });
    h.prompter.verify();
}

TEST_F(ConfigDialog, SaveWithNothingChangedWritesNothing) {
    storeRow();
    bool wrote = false;
    QObject::connect(dm.tblConfig, &Dataset::posted, [&] { wrote = true; });
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "DBEdit5"), "116");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(wrote);
}

TEST_F(ConfigDialog, ExitAsksAboutUnsavedChanges) {
    storeRow();
    // Yes saves without the checks, even with the executor emptied.
    h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Prompter::Answer::Yes);
    open([&](QDialog& d) {
        ui::clear(&d, "DBEdit3");
        ui::type(&d, "DBEdit4", "84951234567");
        ui::click(&d, "Button2");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(h.prompter.log().first(), "beep");
    EXPECT_EQ(dm.field("tblConfigPhone").asString(), "84951234567");
    EXPECT_EQ(dm.field("tblConfigUser").asString(), "");

    // No discards.
    h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Prompter::Answer::No);
    open([&](QDialog& d) {
        ui::type(&d, "DBEdit2", "ов");
        ui::click(&d, "Button2");
    });
    EXPECT_EQ(dm.field("tblConfigBoss").asString(), "Петров П.П.");
    EXPECT_EQ(dm.tblConfig->state(), Dataset::State::Browse);

    // Without changes, no question at all; the close box behaves as "Выход".
    open([&](QDialog& d) { d.close(); });
    h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Prompter::Answer::No);
    open([&](QDialog& d) {
        ui::type(&d, "DBEdit1", "!");
        d.close();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(dm.field("tblConfigNLPU").asString(), "ГБУЗ «Больница № 3»");
}

TEST_F(ConfigDialog, TheContractNumberTakesOnlyAWholeNumberThatFits) {
    storeRow();
    h.prompter.expectError("вне допустимого диапазона");
    open([&](QDialog& d) {
        ui::clear(&d, "DBEdit5");
        ui::type(&d, "DBEdit5", "4x0000"); // letters are not taken by the box
        EXPECT_EQ(ui::text(&d, "DBEdit5"), "40000");
        ui::focusOut(&d, "DBEdit5");
        EXPECT_EQ(dm.field("tblConfigKZajavki").asInteger(), 116); // the value is not taken
        ui::clear(&d, "DBEdit5");
        ui::type(&d, "DBEdit5", "-32768");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(dm.field("tblConfigKZajavki").asInteger(), -32768);
}

TEST_F(ConfigDialog, TheBankDetailsAreShownAndCannotBeTyped) {
    dm.tblLPUDETAILS->append();
    dm.field("tblLPUDETAILSINN").setAsString("7701234567");
    dm.tblLPUDETAILS->post();
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "DBEdit7"), "7701234567");
        EXPECT_FALSE(ui::find(&d, "DBEdit7")->isEnabled());
        ui::click(&d, "Button2");
    });
}

TEST_F(ConfigDialog, TypingStopsAtTheFieldsWidth) {
    // What the user sees is what is stored: the box takes no more than the field keeps.
    const QString boss = QString(30, u'Ж');
    open([&](QDialog& d) {
        fill(d, "ГБУЗ «Больница № 3»", "", "Иванова И.И.", "116");
        ui::type(&d, "DBEdit2", boss);
        EXPECT_EQ(ui::text(&d, "DBEdit2"), boss.left(25));
        ui::click(&d, "Button1");
    });
    EXPECT_EQ(dm.field("tblConfigBoss").asString(), boss.left(25));
}

TEST_F(ConfigDialog, ALongBankNameShowsItsBeginningInADialogOfFixedSize) {
    const QString bank =
        "ОТДЕЛЕНИЕ ТУЛА БАНКА РОССИИ//УФК по Тульской области г. Тула, корреспондентский счёт "
        "40102810445370000059";
    dm.tblLPUDETAILS->append();
    dm.field("tblLPUDETAILSBANK").setAsString(bank);
    dm.tblLPUDETAILS->post();
    open([&](QDialog& d) {
        auto* box = qobject_cast<QLineEdit*>(ui::find(&d, "DBEdit12"));
        EXPECT_EQ(box->text(), bank);
        EXPECT_EQ(box->cursorPosition(), 0);
        EXPECT_EQ(d.minimumSize(), d.maximumSize());
        EXPECT_GE(d.width(), 503);
        EXPECT_GE(d.height(), 393);
        EXPECT_FALSE(ui::find(&d, "LabelUnavailable")->isVisible());
        ui::click(&d, "Button2");
    });
}

// The dialog over a store whose table `broken` cannot be opened at start-up.
struct BrokenConfigDialog : ::testing::Test {
    AppHarness h{false};

    void breakTable(const char* table, const char* startupError) {
        h.app.store->exec(QStringLiteral("DROP TABLE ") + table);
        h.app.store.reset();
        h.app.store = SqliteStore::open(h.app.root.storeFile()); // re-read the layouts
        h.app.createDataModule();
        QStringList failed;
        openStartupTables(
            h.dm(), [](const StartupTable&) {},
            [&](const StartupTable& t, const QString&) { failed << t.error; });
        EXPECT_EQ(failed, QStringList{startupError});
    }
    void open(const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect("ftrConfig", hand);
        h.mainWindow().showSettings();
    }
};

TEST_F(BrokenConfigDialog, WithoutItsTableTheDialogSaysSoAndAlwaysCloses) {
    breakTable("Config", "Ошибка при открытии tblConfig");
    const std::function<void(QDialog&)> ways[] = {
        [](QDialog& d) { ui::click(&d, "Button2"); },
        [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](QDialog& d) { d.close(); },
    };
    for (const auto& leave : ways) {
        open([&](QDialog& d) {
            EXPECT_TRUE(ui::text(&d, "LabelUnavailable").contains("Параметры организации недоступны"));
            EXPECT_FALSE(ui::find(&d, "DBEdit1")->isEnabled());
            EXPECT_FALSE(ui::find(&d, "DBEdit5")->isEnabled());
            EXPECT_FALSE(ui::find(&d, "DBEdit7")->isEnabled()); // the bank details, as always
            leave(d);
            EXPECT_FALSE(d.isVisible());
        });
    }
    h.prompter.expectInform(
        "Параметры организации сохранить нельзя: их таблица не открылась при запуске программы. "
        "Перезапустите программу; если ошибка повторится, обратитесь к администратору.");
    open([&](QDialog& d) {
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        ui::click(&d, "Button2");
        EXPECT_FALSE(d.isVisible());
    });
}

TEST_F(BrokenConfigDialog, WithoutTheBankDetailsTheSettingsAreSavedAndTheMissingDetailsNamed) {
    breakTable("LPUDETAILS", "Ошибка при открытии tblLPUDETAILS");
    h.prompter.expectInform("Параметры организации сохранены. Банковские реквизиты не сохранены: их таблица "
                            "не открылась при запуске "
                            "программы.");
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "LabelUnavailable"),
                  "Банковские реквизиты недоступны: их таблица не открылась при запуске программы.");
        ui::type(&d, "DBEdit1", "ГБУЗ «Больница № 3»");
        ui::type(&d, "DBEdit2", "Петров П.П.");
        ui::type(&d, "DBEdit3", "Иванова И.И.");
        ui::type(&d, "DBEdit5", "116");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(h.dm().tblConfig->state(), Dataset::State::Browse);
    EXPECT_EQ(h.dm().field("tblConfigKZajavki").asInteger(), 116);
}

} // namespace
