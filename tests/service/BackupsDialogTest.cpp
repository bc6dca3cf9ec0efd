// "Резервные копии" through the real window: the list of copies, a copy taken, a copy restored
// after the question with every table opened again, and the menu item that opens it.
#include "service/BackupsDialog.h"
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTableWidget>

namespace {

using Answer = Prompter::Answer;

struct BackupsWindow : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();

    void append(const QString& surname) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(surname);
        dm.tblPersonal->post();
    }
    QTableWidget* list(QWidget& w) { return qobject_cast<QTableWidget*>(ui::find(&w, "BackupList")); }
};

TEST_F(BackupsWindow, ListsTheCopiesAndRestoresTheChosenOneAfterTheQuestion) {
    append("ДО");
    h.app.backups().before(backup_action::kCatalogue);
    append("ПОСЛЕ");

    BackupsDialog window(main);
    EXPECT_EQ(window.windowTitle(), "Резервные копии");
    ASSERT_EQ(list(window)->rowCount(), 1);
    const BackupCopy copy = h.app.backups().list()[0];
    const QString when = copy.when.toString("dd.MM.yyyy HH:mm:ss");
    EXPECT_EQ(list(window)->item(0, 0)->text(), when);
    EXPECT_EQ(list(window)->item(0, 1)->text(), "загрузка каталога программ");
    EXPECT_EQ(list(window)->item(0, 2)->text(), BackupsDialog::sizeText(copy.size));

    const QString question =
        "Заменить базу данных копией от " + when +
        " (сделана перед действием «загрузка каталога программ»)? Всё, что изменено после неё, "
        "пропадёт из базы; сама база перед заменой будет сохранена резервной копией.";
    h.prompter.expectConfirm(question, Answer::No);
    ui::click(&window, "RestoreButton");
    EXPECT_EQ(dm.tblPersonal->recordCount(), 2) << "declined: nothing changes";
    EXPECT_EQ(list(window)->rowCount(), 1);

    h.prompter.expectConfirm(question, Answer::Yes)
        .expectInform("База данных восстановлена из копии от " + when + ".");
    ui::click(&window, "RestoreButton");
    h.prompter.verify();
    EXPECT_EQ(h.prompter.beeps(), 2);
    ASSERT_TRUE(dm.tblPersonal->isActive());
    ASSERT_EQ(dm.tblPersonal->recordCount(), 1);
    EXPECT_EQ(dm.field("tblPersonalName1").asString(), "ДО");
    ASSERT_EQ(list(window)->rowCount(), 2);
    EXPECT_EQ(list(window)->item(0, 1)->text(), "восстановление из копии");

    ui::click(&window, "BackupButton");
    ASSERT_EQ(list(window)->rowCount(), 3);
    EXPECT_EQ(list(window)->item(0, 1)->text(), "копия по просьбе пользователя");
    EXPECT_TRUE(main.statusPanel(2).contains("Сделана копия базы: "))
        << "said in the status bar, with the file";
    EXPECT_TRUE(main.statusPanel(2).endsWith(".sqlite")) << main.statusPanel(2).toStdString();
}

// A damaged store the start moved aside is listed among the copies, and restoring it is refused
// before any question.
TEST_F(BackupsWindow, ListsADamagedStoreAndRefusesToRestoreIt) {
    QDir().mkpath(h.app.root.backups());
    QFile damaged(h.app.root.backups() + "/damaged-2027-03-01_08-00-00-000.sqlite");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, '\xA5'));
    damaged.close();
    BackupsDialog window(main);
    ASSERT_EQ(list(window)->rowCount(), 1);
    EXPECT_EQ(list(window)->item(0, 1)->text(), "повреждённая база, убранная из папки Base");
    list(window)->selectRow(0);
    h.prompter.expectInform(
        "Это повреждённая база данных, которую программа убрала из папки Base "
        "01.03.2027 08:00:00: восстановить её нельзя. Она хранится, чтобы специалист мог в неё заглянуть; "
        "выберите другую копию.");
    ui::click(&window, "RestoreButton");
    h.prompter.verify();
    EXPECT_EQ(h.prompter.beeps(), 0);
}

TEST_F(BackupsWindow, OpensFromTheServiceMenuAndAsksForAChoiceOnAnEmptyList) {
    h.dialogs.expect("ftrBackups", [this](QDialog& d) {
        EXPECT_EQ(list(d)->rowCount(), 0);
        h.prompter.expectInform("Выберите в списке копию, которую нужно восстановить.");
        ui::click(&d, "RestoreButton");
        ui::click(&d, "CloseButton");
    });
    main.findChild<QAction*>("BackupsItem")->trigger();
    h.dialogs.verify();
    EXPECT_EQ(BackupsDialog::sizeText(188416), "184 КБ");
    EXPECT_EQ(BackupsDialog::sizeText(5 * 1024 * 1024 + 300000), "5,3 МБ");
}

} // namespace
