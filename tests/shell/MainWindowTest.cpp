// The main window: its menu, toolbar and status bar, and the find-or-create rule of child windows.
#include "shell/MainWindow.h"
#include "shell/WindowRegistry.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

namespace {

TEST(MainWindow, ShowsItsCaptionMenuToolbarAndStatusBar) {
    AppHarness h;
    MainWindow& w = h.mainWindow();
    EXPECT_EQ(w.windowTitle(), "\"Заявки\"");

    struct Item {
        const char* name;
        const char* text;
        bool enabled;
    } items[] = {{"N2", "Выход", true},
                 {"N4", "Должности", true},
                 {"N5", "Специальности по диплому", true},
                 {"N8", "Программы обучения по гос.заданию", false},
                 {"N10", "Программы обучения по непрер. мед.образованию", false},
                 {"N9", "Специальности", true},
                 {"N7", "Параметры", true},
                 {"N13", "Восстановление заявки", true},
                 {"ArchiveZajavkiItem", "Архив заявок до 2021 года", true},
                 {"ArchiveZajavki2021Item", "Архив заявок на 2022 год", true}};
    for (const Item& i : items) {
        auto* a = w.findChild<QAction*>(i.name);
        ASSERT_TRUE(a) << i.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(i.text));
        EXPECT_EQ(a->isEnabled(), i.enabled) << i.name;
    }

    struct Button {
        const char* name;
        const char* caption;
        int width;
        bool enabled, visible;
    } buttons[] = {{"SpeedButton2", "Персонал", 145, true, true},
                   {"SpeedButton1", "Программы", 152, true, true},
                   {"SpeedButton3", "Заявки до 2021 года", 145, false, false},
                   {"SpeedButton5", "Заявки на 2022 год", 150, false, false},
                   {"SpeedButton4", "Заявки на обучение", 195, true, true}};
    w.resize(800, 600); // the program shows it maximized
    w.show();
    for (const Button& b : buttons) {
        auto* tb = w.findChild<QToolButton*>(b.name);
        ASSERT_TRUE(tb) << b.name;
        EXPECT_EQ(tb->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(tb->width(), b.width);
        EXPECT_EQ(tb->height(), 22);
        EXPECT_EQ(tb->isEnabled(), b.enabled) << b.name;
        EXPECT_EQ(tb->isVisible(), b.visible) << b.name;
    }
    EXPECT_TRUE(w.findChild<QToolButton*>("SpeedButton4")->font().bold());

    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(w.findChild<QWidget*>(QString("StatusBar1Panel%1").arg(i))->width(), 150);
    EXPECT_GT(w.findChild<QWidget*>("StatusBar1Panel2")->width(), 150)
        << "the last panel takes the width left";
    EXPECT_EQ(w.findChild<QLabel*>("StorePanel")->text(), "База данных в папке программы");
    w.setStatusPanel(1, "Всего - 3");
    EXPECT_EQ(w.statusPanel(1), "Всего - 3");
    w.reportDone("Параметры сохранены");
    EXPECT_TRUE(w.statusPanel(2).endsWith(" — Параметры сохранены"));
    EXPECT_EQ(w.statusPanel(2).size(), QString("14:05 — Параметры сохранены").size()) << "the time first";
    w.hide();
}

// A stand-in for the staff register, counting its activations.
class FakeRegister : public QWidget, public ActivatedWindow {
public:
    int activations = 0;
    void activated() override { ++activations; }
};

TEST(MainWindow, FindsAChildWindowAgainByItsCaption) {
    AppHarness h;
    int made = 0;
    windows::registerChild("OpenPersonal", [&](WindowHost&) {
        ++made;
        return new FakeRegister;
    });
    MainWindow& w = h.mainWindow();
    w.setStartupDelay(0);
    w.show();
    ui::click(&w, "SpeedButton2");
    ui::click(&w, "SpeedButton2");
    EXPECT_EQ(made, 1);
    ASSERT_EQ(w.mdiArea()->subWindowList().size(), 1);
    QMdiSubWindow* sub = w.mdiArea()->subWindowList().first();
    EXPECT_EQ(sub->widget()->windowTitle(), "Персонал");
    EXPECT_EQ(w.instance("ftrPersonal"), sub->widget());
    EXPECT_TRUE(sub->isMaximized());

    sub->close(); // closing only minimizes
    EXPECT_TRUE(sub->isMinimized());
    ui::click(&w, "SpeedButton2");
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_EQ(w.mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(w.findChild<QToolButton*>("SpeedButton2")->isChecked()); // the last pressed stays down
    windows::registerChild("OpenPersonal", nullptr);
    w.hide();
}

TEST(MainWindow, AWindowNotYetAvailableIsExplained) {
    AppHarness h;
    windows::registerChild("OpenProgr", nullptr);
    MainWindow& w = h.mainWindow();
    h.prompter.expectInform("Окно «Программы обучения» пока недоступно");
    w.openProgrammes();
    EXPECT_TRUE(w.mdiArea()->subWindowList().isEmpty());
}

} // namespace
