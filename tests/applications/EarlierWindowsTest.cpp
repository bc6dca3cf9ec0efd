// The windows of the two earlier generations: opened from the "Сервис" menu, they show their
// applications with the current trainee's details beside them and print them, every other button
// disabled; their dialogs, built for when the buttons are enabled, work on the generation's own
// tables and detail rows; the moving dialog refuses what it cannot do and copies.
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "applications/ApplicationWindows.h"
#include "data/DataModule.h"
#include "shell/DateBox.h"
#include "shell/DbGrid.h"
#include "shell/MainWindow.h"
#include "shell/WindowRegistry.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

using Answer = Prompter::Answer;

struct EarlierWindows : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();

    void SetUp() override {
        // Reference rows for the code 0 an empty code reads as, so that the editor finds them.
        dm.tblDoljn->append();
        dm.field("tblDoljnKDoljn").setAsInteger(0);
        dm.field("tblDoljnNDoljn").setAsString("ВРАЧ");
        dm.tblDoljn->post();
        dm.tblSpez->append();
        dm.field("tblSpezKSpez").setAsInteger(0);
        dm.field("tblSpezNSpez").setAsString("Лечебное дело");
        dm.tblSpez->post();
    }

    ApplicationsWindow* open(const Generation& g) {
        const char* item = g.kind == Generation::Kind::Base ? "ArchiveZajavkiItem" : "ArchiveZajavki2021Item";
        auto* action = main.findChild<QAction*>(item);
        EXPECT_TRUE(action && action->isEnabled()) << item;
        if (action)
            action->trigger();
        return qobject_cast<ApplicationsWindow*>(main.instance(g.windowInstance));
    }
    // A trainee of the current application, with a certificate, e-mail and SNILS where given.
    void trainee(const Generation& g, const QString& surname, const QString& email = {},
                 const QDate& certificate = {}, const QString& snils = {}) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(surname);
        dm.tblPersonal->post();
        auto detail = [](Table* t, const QList<std::pair<const char*, QVariant>>& values) {
            t->append();
            for (const auto& [field, value] : values)
                t->field(field).setValue(value);
            t->post();
        };
        if (!email.isEmpty())
            detail(dm.tblPerEmail, {{"EMAIL", email}});
        if (certificate.isValid())
            detail(dm.tblSertif, {{"DateCL", certificate}, {"Name", "Терапия"}});
        if (!snils.isEmpty())
            detail(dm.tblPerSnils, {{"SNILS", snils}});
        applications::toggleMark(dm);
        h.app.state.SelKZicl = "123456";
        h.app.state.SelVidOb = "ПК";
        h.app.state.SelTypeOb = "Б";
        h.app.state.SelHours = 144;
        applications::addMarkedPeople(dm, g, h.app.state, 1);
        applications::clearMarks(dm);
    }
};

TEST_F(EarlierWindows, TheServiceMenuOpensTheArchivesWhichShowAndPrintTheirApplicationsOnly) {
    main.show();
    for (const Generation* g : {&Generation::base(), &Generation::y2021()}) {
        SCOPED_TRACE(g->windowInstance.toStdString());
        applications::createApplication(dm, *g, 116, 2020);
        trainee(*g, "ИВАНОВ");
        trainee(*g, "ПЕТРОВ");
        ApplicationsWindow* window = open(*g);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), windows::childCaption(g->openProcedure));
        EXPECT_EQ(window->countLine(), "заявлено - 2");
        for (const char* button :
             {"SpeedButton1", "SpeedButton3", "SpeedButton2", "SpeedButton4", "SpeedButton5", "SpeedButton7"})
            EXPECT_FALSE(ui::find(window, button)->isEnabled()) << button;
        EXPECT_TRUE(ui::find(window, "SpeedButton6")->isEnabled());
        // The moving button belongs to the 2021 window, disabled as the others.
        auto* moving = window->findChild<QAbstractButton*>("SpeedButton8");
        EXPECT_EQ(moving != nullptr, g->offersMoving);
        if (moving) {
            EXPECT_EQ(moving->text(), "Перемещение");
            EXPECT_FALSE(moving->isEnabled());
        }
        // The trainee grid's nine columns.
        auto* grid = qobject_cast<DbGrid*>(ui::find(window, "DBGrid2"));
        ASSERT_TRUE(grid);
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(titles, (QStringList{"Заявка", "Уч. год",
                                       g->kind == Generation::Kind::Base ? "КодПрогр." : "КодПрогр", "ВидОб",
                                       "ОбъемЧас.", "Кварт.", "Фамилия", "Имя", "Отчество"}));
        // Opened again from the menu: the same window.
        EXPECT_EQ(open(*g), window);
    }
    // The toolbar's own buttons for them stay hidden.
    QWidget* toolbar = ui::find(&main, "ToolBar1");
    for (const char* button : {"SpeedButton3", "SpeedButton5"})
        EXPECT_FALSE(ui::find(toolbar, button)->isVisible()) << button;
    main.hide();
}

TEST_F(EarlierWindows, ThePanelShowsTheCurrentTraineesDetailRows) {
    const Generation& g = Generation::base();
    applications::createApplication(dm, g, 116, 2020);
    trainee(g, "ИВАНОВ", "i@mail.ru", QDate(2023, 4, 5));
    trainee(g, "ПЕТРОВ");
    ApplicationsWindow* window = open(g);
    ASSERT_TRUE(window);
    // What a box shows, without the separators of a date box's mask.
    auto shown = [&](int box) {
        QString text = ui::text(window, QString("DBEdit%1").arg(box));
        return text == ".." ? QString() : text;
    };
    // E-mail, certificate date, certificate specialty, total service, service in the specialty.
    dm.tblSluch->first();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown(1), "i@mail.ru");
    EXPECT_EQ(shown(2), "05.04.2023");
    EXPECT_EQ(shown(3), "Терапия");
    dm.tblSluch->next();
    QCoreApplication::processEvents();
    for (int box : {1, 2, 3})
        EXPECT_EQ(shown(box), "") << box;
}

TEST_F(EarlierWindows, TheBaseNewApplicationDialogProposesTheStartUpYearAndRefusesLaterOnes) {
    dm.tblConfig->append();
    dm.field("tblConfigKZajavki").setAsInteger(116);
    dm.tblConfig->post();
    const Generation& g = Generation::base();
    h.prompter.expectInform("Заявки создаются только по 2020 год!");
    h.dialogs.expect("ftrNewZajavka", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новая заявка");
        EXPECT_EQ(ui::text(&d, "MaskEdit1"), "2026");
        ui::click(&d, "RadioGroup1Item0");
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible()); // refused: the dialog stays
        ui::clear(&d, "MaskEdit1");
        ui::type(&d, "MaskEdit1", "2020");
        h.dialogs.expect("ftrInsertSluch", [](QDialog& adding) {
            EXPECT_EQ(adding.windowTitle(), "Добавление специалистов");
            EXPECT_EQ(ui::text(&adding, "DBEdit2"), "2020");
            ui::click(&adding, "Button3");
        });
        ui::click(&d, "Button1");
    });
    applications::showNewApplication(main, g);
    EXPECT_TRUE(applications::locateApplication(dm, g, 116, 2020));
    EXPECT_TRUE(dm.tblZajavki2023->isEmpty());

    h.dialogs.expect("ftrNewZajavka2021", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новая Заявка ");
        auto* year = d.findChild<QLineEdit*>("MaskEdit1");
        EXPECT_EQ(year->text(), "2022");
        EXPECT_TRUE(year->isReadOnly());
        ui::click(&d, "Button2");
    });
    applications::showNewApplication(main, Generation::y2021());
}

TEST_F(EarlierWindows, TheMovingDialogRefusesWhatItCannotDoAndMovesOrCopies) {
    const Generation& g = Generation::y2021();
    applications::createApplication(dm, g, 116, 2022);
    trainee(g, "ИВАНОВ", {}, {}, "112-233-445 95");
    ApplicationsWindow* window = open(g);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->countLine(), "заявлено - 1");

    // Only applications of this year and later are offered: there is none.
    h.prompter.expectInform("Нет заявок текущего или следующих лет: слушателя некуда переместить или "
                            "скопировать. Сначала создайте такую заявку.");
    h.prompter.expectInform("Нет заявок текущего или следующих лет: слушателя некуда переместить или "
                            "скопировать. Сначала создайте такую заявку.");
    h.dialogs.expect("ftrMoving", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Перемещение или копирование слушателя в заявках");
        EXPECT_EQ(ui::text(&d, "DBEdit1"), "ИВАНОВ");
        ui::click(&d, "Button1");
        ui::click(&d, "Button3");
        EXPECT_TRUE(d.isVisible());
        ui::click(&d, "Button2");
    });
    window->moveTrainee(); // the handler of the disabled button
    EXPECT_EQ(dm.tblSluch2021->recordCount(), 1);

    // "Копирование": a copy in the application chosen, with a SNILS row of its own.
    applications::createApplication(dm, g, 117, 2026);
    applications::locateApplication(dm, g, 116, 2022);
    h.dialogs.expect("ftrMoving", [&](QDialog& d) { ui::click(&d, "Button3"); });
    window->moveTrainee();
    EXPECT_EQ(window->countLine(), "заявлено - 1");
    EXPECT_EQ(dm.field("tblSluchSnilsSNILS").asString(), "112-233-445 95");

    // "Перемещение": the trainee leaves its application; the count line says so.
    h.dialogs.expect("ftrMoving", [&](QDialog& d) { ui::click(&d, "Button1"); });
    window->moveTrainee();
    EXPECT_EQ(window->countLine(), "заявлено - 0");
    applications::locateApplication(dm, g, 117, 2026);
    EXPECT_EQ(dm.tblSluch2021->recordCount(), 2);
    EXPECT_EQ(dm.tblSluchSnils->recordCount(), 1);

    // No trainee in the application: nothing to move.
    applications::locateApplication(dm, g, 116, 2022);
    h.prompter.expectInform("В текущей заявке нет слушателя, которого можно переместить или скопировать. "
                            "Выберите заявку и слушателя в окне заявок.");
    h.dialogs.expect("ftrMoving", [&](QDialog& d) {
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        ui::click(&d, "Button2");
    });
    window->moveTrainee();
    EXPECT_TRUE(dm.tblSluch2021->isEmpty());
}

TEST_F(EarlierWindows, TheBaseEditorKeepsTheCertificateAndTheEmailInRowsOfTheirOwn) {
    const Generation& g = Generation::base();
    applications::createApplication(dm, g, 116, 2020);
    trainee(g, "ИВАНОВ");
    main.show();
    h.dialogs.expect("ftrMZajavki", [&](QDialog& d) {
        // Enter steps on from the names.
        d.activateWindow();
        ui::find(&d, "DBEdit1")->setFocus();
        ui::key(&d, "DBEdit1", Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "DBEdit2");
        ui::key(&d, "DBEdit4", Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "DBEdit7");

        // The certificate dialog makes the row the trainee has not had, with the date shown.
        h.dialogs.expect("ftrMSLSertif", [&](QDialog& c) {
            EXPECT_EQ(h.app.state.SLSertifCaller, 6);
            EXPECT_EQ(c.findChild<DateBox*>("DateTimePicker1")->date(), QDate(2026, 3, 15));
            ui::click(&c, "Button1");
        });
        ui::click(&d, "SpeedButton4");
        EXPECT_EQ(ui::text(&d, "DBEdit11"), "15.03.2026");
        // "Удалить" empties the row and keeps it.
        ui::click(&d, "Button3");
        EXPECT_EQ(ui::text(&d, "DBEdit11"), ""); // a read-only empty date box shows nothing
        ui::type(&d, "DBEdit13", "ivanov@mail.ru");
        ui::click(&d, "Button1");
    });
    applications::showTraineeEditor(main, g);
    ASSERT_EQ(dm.tblSLSertif->recordCount(), 1);
    EXPECT_TRUE(dm.field("tblSLSertifDateCL").isNull());
    EXPECT_EQ(dm.field("tblSlEmailEMAIL").asString(), "ivanov@mail.ru");
    EXPECT_EQ(dm.tblSlEmail->recordCount(), 1);
    main.hide();
}

TEST_F(EarlierWindows, TheCertificateOfATraineeNotYetSavedIsRefused) {
    // With no trainee in the application the editor starts a new one: its certificate would
    // belong to no trainee.
    const Generation& g = Generation::base();
    applications::createApplication(dm, g, 116, 2020);
    const QString refusal = "Сертификат записывается к сохранённому слушателю. Сохраните слушателя кнопкой "
                            "«Сохранить» и откройте его снова.";
    h.prompter.expectInform(refusal).expectInform(refusal);
    h.dialogs.expect("ftrMZajavki", [&](QDialog& d) {
        ui::type(&d, "DBEdit1", "новиков");
        ui::click(&d, "SpeedButton4");
        ui::click(&d, "Button3");
        ui::click(&d, "Button2");
    });
    applications::showTraineeEditor(main, g);
    EXPECT_TRUE(dm.tblSluch->isEmpty());
    EXPECT_EQ(dm.tblSLSertif->recordCount(), 0);
    auto st = h.app.store->cached("SELECT COUNT(*) FROM SLSertif");
    st->step();
    EXPECT_EQ(st->int64(0), 0);
}

TEST_F(EarlierWindows, The2021EditorKeepsTheSnilsInARowOfItsOwnAndDiscardsItOnCancel) {
    const Generation& g = Generation::y2021();
    applications::createApplication(dm, g, 116, 2022);
    trainee(g, "ИВАНОВ");
    ASSERT_EQ(dm.tblSluchSnils->recordCount(), 1);
    h.dialogs.expect("ftrMZajavki2021", [&](QDialog& d) {
        for (QLabel* label : d.findChildren<QLabel*>())
            EXPECT_FALSE(label->text().startsWith("(форма заполнения")); // no hint in this generation
        ui::type(&d, "DBEdit14", "112-233-445 95");
        ui::click(&d, "Button2");
    });
    applications::showTraineeEditor(main, g);
    EXPECT_TRUE(dm.field("tblSluchSnilsSNILS").isNull());
    EXPECT_EQ(dm.tblSluchSnils->state(), Dataset::State::Browse);

    h.dialogs.expect("ftrMZajavki2021", [&](QDialog& d) {
        ui::type(&d, "DBEdit14", "112-233-445 95");
        ui::click(&d, "Button1");
    });
    applications::showTraineeEditor(main, g);
    EXPECT_EQ(dm.field("tblSluchSnilsSNILS").asString(), "112-233-445 95");
    EXPECT_EQ(dm.field("tblSluch2021Name1").asString(), "ИВАНОВ");
}

} // namespace
