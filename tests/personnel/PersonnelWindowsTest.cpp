// The staff register, the personnel card and the training and certificate dialogs, through the
// real windows with a scripted prompter.
#include "data/DataModule.h"
#include "personnel/PersonnelCard.h"
#include "personnel/PersonnelRules.h"
#include "personnel/PersonnelWindow.h"
#include "shell/DateBox.h"
#include "shell/DbGrid.h"
#include "shell/MainWindow.h"
#include "support/GridActions.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

using Answer = Prompter::Answer;

struct Personnel : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();

    void SetUp() override {
        add(dm.tblDoljn, {{"KDoljn", 3}, {"NDoljn", "ВРАЧ-ТЕРАПЕВТ"}});
        add(dm.tblSpez, {{"KSpez", 1}, {"NSpez", "Лечебное дело"}});
        add(dm.tblSpecialty, {{"Name", "Терапия"}});
        add(dm.tblNewZicl, {{"KZicl", "339720123"},
                            {"VidOb", "ПК"},
                            {"Hours", 36},
                            {"NZicl", "Терапия"},
                            {"RealZicl", 1.0},
                            {"Year", 2026}});
    }
    static void add(Table* t, const QList<std::pair<const char*, QVariant>>& values) {
        t->append();
        for (const auto& [field, value] : values)
            t->field(QString::fromLatin1(field)).setValue(value);
        t->post();
    }
    void addPerson(const QString& surname, const QString& name, int npp = 0) {
        add(dm.tblPersonal, {{"Name1", surname},
                             {"Name2", name},
                             {"DR", QDate(1980, 5, 17)},
                             {"KDoljn", 3},
                             {"NDoljn", "ВРАЧ-ТЕРАПЕВТ"},
                             {"KSpez", 1},
                             {"NSpez", "Лечебное дело"},
                             {"StajOb", 2001},
                             {"StajDoljn", 2010}});
        Q_UNUSED(npp);
    }
    PersonnelWindow* openRegister() {
        main.openPersonnel();
        auto* w = qobject_cast<PersonnelWindow*>(main.instance("ftrPersonal"));
        EXPECT_TRUE(w);
        w->activated();
        return w;
    }
    QString current() {
        return dm.field("tblPersonalName1").asString() + " " + dm.field("tblPersonalName2").asString();
    }
    int count(const char* table) {
        auto st = h.app.store->cached(
            QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromLatin1(table)));
        st->step();
        return int(st->int64(0));
    }
    static void release(QWidget* w, int key) {
        QKeyEvent e(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
        QCoreApplication::processEvents();
    }
    static QString focused() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // Opens the card with the register's "Добавить" or "Редакт." and lets `hand` act in it.
    void card(PersonnelWindow* w, const char* button, const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect("ftrMPersonal", [&](QDialog& d) {
            d.activateWindow();
            QCoreApplication::processEvents();
            hand(d);
            if (d.isVisible())
                ui::click(&d, "Button6");
        });
        ui::click(w, button);
    }
    // Fills a new card completely: names, date, the position and specialty as picked, the years.
    void fillCard(QDialog& d, const QString& surname = "сидоров") {
        ui::type(&d, "DBEdit1", surname);
        ui::type(&d, "DBEdit2", "пётр");
        ui::type(&d, "DBEdit4", "01021990");
        dm.field("tblPersonalKDoljn").setAsInteger(3);
        dm.field("tblPersonalNDoljn").setAsString("ВРАЧ-ТЕРАПЕВТ");
        ui::type(&d, "DBEdit6", "Лечебное дело");
        ui::type(&d, "DBEdit7", "2015");
        ui::type(&d, "DBEdit8", "2020");
    }
};

TEST_F(Personnel, TheSearchFindsTheFirstSurnameAtOrAfterTheTypedText) {
    addPerson("ПЕТРОВ", "ПЁТР");
    addPerson("ИВАНОВА", "АННА");
    addPerson("ИВАНОВ", "ЯКОВ");
    addPerson("ИВАНОВ", "БОРИС");
    PersonnelWindow* w = openRegister();
    EXPECT_EQ(main.statusPanel(1), "Всего - 4");
    const struct {
        const char* typed;
        const char* current;
    } cases[] = {
        {"И", "ИВАНОВ БОРИС"},       {"ИВ", "ИВАНОВ БОРИС"},
        {"ИВАНОВА", "ИВАНОВА АННА"}, {"ЯЯ", "ПЕТРОВ ПЁТР"}, // after every surname: the last person
        {"ив", "ИВАНОВ БОРИС"},                             // small letters find as capitals
        {"", "ИВАНОВ БОРИС"},                               // an empty text: the first person
    };
    for (const auto& c : cases) {
        ui::clear(w, "Edit1");
        ui::type(w, "Edit1", QString::fromUtf8(c.typed));
        EXPECT_EQ(current(), QString::fromUtf8(c.current)) << c.typed;
    }
    // Coming back to the register empties the box and makes the first person current.
    ui::type(w, "Edit1", "П");
    w->activated();
    EXPECT_EQ(ui::text(w, "Edit1"), "");
    EXPECT_EQ(current(), "ИВАНОВ БОРИС");
}

TEST_F(Personnel, TheCardChecksInOrderEachWithItsMessageAndBox) {
    PersonnelWindow* w = openRegister();
    const struct {
        std::function<void(QDialog&)> fill; // what is typed before "Сохранить"
        const char* message;
        const char* box;
    } steps[] = {
        {[](QDialog&) {}, "Не задали Фамилию!", "DBEdit1"},
        {[](QDialog& d) { ui::type(&d, "DBEdit1", "СИДОРОВ"); }, "Не задали имя!", "DBEdit2"},
        {[](QDialog& d) { ui::type(&d, "DBEdit2", "ПЁТР"); }, "Не задали дату рождения!", "DBEdit4"},
        {[](QDialog& d) { ui::type(&d, "DBEdit4", "01021990"); }, "Не задали должность!", "DBEdit5"},
        {[&](QDialog&) { dm.field("tblPersonalNDoljn").setAsString("ВРАЧ"); }, "Не задали специальность!",
         "DBEdit6"},
        // A diploma specialty typed by hand must be one of the book, whatever its letters; the
        // typed name takes the book's code with it.
        {[&](QDialog& d) {
             dm.field("tblPersonalKSpez").setAsInteger(7);
             ui::type(&d, "DBEdit6", "Сестринское дело");
         },
         "Специальности по диплому «Сестринское дело» нет в справочнике. Выберите её из списка кнопкой «...» "
         "или "
         "добавьте в справочник.",
         "DBEdit6"},
        {[](QDialog& d) {
             ui::clear(&d, "DBEdit6");
             ui::type(&d, "DBEdit6", "лечебное  дело");
         },
         "Не задали год начала трудовой деятельности!", "DBEdit7"},
        {[](QDialog& d) { ui::type(&d, "DBEdit7", "1949"); },
         "Неверно задан год начала трудовой деятельности! Столько не работают!", "DBEdit7"},
        {[](QDialog& d) {
             ui::clear(&d, "DBEdit7");
             ui::type(&d, "DBEdit7", "2027");
         },
         "Неверно задан год начала трудовой деятельности! Превышает текущий год!", "DBEdit7"},
        {[](QDialog& d) {
             ui::clear(&d, "DBEdit7");
             ui::type(&d, "DBEdit7", "1950");
         },
         "Не задали год перевода на должность!", "DBEdit8"},
        {[](QDialog& d) { ui::type(&d, "DBEdit8", "1900"); },
         "Неверно задан год перевода на должность! Столько не работают!", "DBEdit8"},
        {[](QDialog& d) {
             ui::clear(&d, "DBEdit8");
             ui::type(&d, "DBEdit8", "2100");
         },
         "Неверно задан год перевода на должность! Превышает текущий год!", "DBEdit8"},
    };
    card(w, "SpeedButton1", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новый сотрудник");
        for (const auto& s : steps) {
            s.fill(d);
            d.activateWindow(); // the click on "Сохранить" brings the card back from a suggestion list
            QApplication::processEvents();
            d.findChild<QTabWidget*>("PageControl1")
                ->setCurrentIndex(2); // the focus must bring its page back
            h.prompter.expectInform(QString::fromUtf8(s.message));
            ui::click(&d, "Button4");
            h.prompter.verify();
            EXPECT_EQ(focused(), s.box) << s.message;
        }
        // The years 1950 and the start-up year themselves pass; the patronymic may stay empty.
        ui::clear(&d, "DBEdit8");
        ui::type(&d, "DBEdit8", "2026");
        ui::click(&d, "Button4");
        EXPECT_EQ(count("Personal"), 1);
    });
    EXPECT_EQ(current(), "СИДОРОВ ПЁТР");
    EXPECT_EQ(dm.field("tblPersonalKSpez").asInteger(), 1);
    EXPECT_EQ(dm.field("tblPersonalNSpez").asString(), "Лечебное дело");
    EXPECT_EQ(main.statusPanel(1), "Всего - 1");
}

TEST_F(Personnel, ADiplomaSpecialtyKeptFromBeforeStaysUntilChangedAndATypedOneTakesTheBooksCode) {
    addPerson("ИВАНОВ", "ЯКОВ");
    dm.tblPersonal->edit();
    dm.field("tblPersonalNSpez").setAsString("Зубоврачебное дело"); // an imported name the book lacks
    dm.field("tblPersonalKSpez").setAsInteger(12);
    dm.tblPersonal->post();
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::type(&d, "DBEdit3", "ИВАНОВИЧ");
        ui::click(&d, "Button4"); // saved: the old name is not the change
        ui::click(&d, "Button6");
    });
    EXPECT_EQ(dm.field("tblPersonalName3").asString(), "ИВАНОВИЧ");
    EXPECT_EQ(dm.field("tblPersonalNSpez").asString(), "Зубоврачебное дело");
    // The name the issue saw stored with a wrong code: typed over, it takes the book's code.
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::clear(&d, "DBEdit6");
        ui::type(&d, "DBEdit6", "ЛЕЧЕБНОЕ ДЕЛО");
        ui::click(&d, "Button4");
        ui::click(&d, "Button6");
    });
    EXPECT_EQ(dm.field("tblPersonalNSpez").asString(), "Лечебное дело");
    EXPECT_EQ(dm.field("tblPersonalKSpez").asInteger(), 1);
}

TEST_F(Personnel, KeysRaiseNamesToCapitalsAndMoveTheFocusAndTheButtonsFollowTheRowsState) {
    addPerson("ИВАНОВ", "ЯКОВ");
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton1", [&](QDialog& d) {
        ui::type(&d, "DBEdit1", "сидоров");
        release(ui::find(&d, "DBEdit1"), Qt::Key_Return);
        EXPECT_EQ(ui::text(&d, "DBEdit1"), "СИДОРОВ");
        EXPECT_EQ(dm.field("tblPersonalName1").asString(), "СИДОРОВ");
        EXPECT_EQ(focused(), "DBEdit2");
        release(ui::find(&d, "DBEdit4"), Qt::Key_Down); // from the date: the position on the first page
        EXPECT_EQ(focused(), "DBEdit5");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::No);
    });
    EXPECT_EQ(count("Personal"), 1) << "the new row was not kept";

    card(w, "SpeedButton2", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Редактирование сотрудника");
        EXPECT_TRUE(ui::find(&d, "Button4")->isEnabled());
        release(ui::find(&d, "DBEdit1"), Qt::Key_Return); // an unchanged row: nothing to save
        EXPECT_FALSE(ui::find(&d, "Button4")->isEnabled());
        EXPECT_FALSE(ui::find(&d, "Button5")->isEnabled());
        ui::type(&d, "DBEdit3", "и");
        EXPECT_FALSE(ui::find(&d, "Button4")->isEnabled()) << "typing alone does not change them";
        release(ui::find(&d, "DBEdit3"), Qt::Key_Left);
        EXPECT_TRUE(ui::find(&d, "Button4")->isEnabled());
        EXPECT_TRUE(ui::find(&d, "Button5")->isEnabled());
        EXPECT_EQ(ui::text(&d, "DBEdit3"), "И");
        ui::click(&d, "Button5"); // "Отмена" discards the change; the card stays open
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(ui::text(&d, "DBEdit3"), "");
    });
}

TEST_F(Personnel, RightStepsOnOnlyFromTheEndAndTheListsOpenFromTheKeyboard) {
    addPerson("ИВАНОВ", "ЯКОВ");
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton2", [&](QDialog& d) {
        for (const auto& [from, next] : {std::pair{"DBEdit1", "DBEdit2"}, std::pair{"DBEdit4", "DBEdit5"}}) {
            auto* box = d.findChild<QLineEdit*>(from);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Home);
            QTest::keyClick(box, Qt::Key_Right);
            EXPECT_EQ(focused(), from) << "the caret moves within the box first";
            EXPECT_EQ(box->cursorPosition(), 1) << from;
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClick(box, Qt::Key_Right);
            EXPECT_EQ(focused(), next) << from;
        }
        // Tab goes from each box to its "..." and then on.
        ui::find(&d, "DBEdit5")->setFocus();
        for (const char* next : {"SpeedButton1", "DBEdit6", "SpeedButton2", "DBEdit7"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(focused(), next);
        }
        // F4 and Alt+Down open the lists from the boxes.
        h.dialogs.expect("ftrDoljn", [](QDialog& list) { list.close(); });
        QTest::keyClick(ui::find(&d, "DBEdit5"), Qt::Key_F4);
        h.dialogs.expect("ftrSpez", [](QDialog& list) { list.close(); });
        QTest::keyClick(ui::find(&d, "DBEdit6"), Qt::Key_Down, Qt::AltModifier);
        h.dialogs.verify();
        ui::click(&d, "Button6");
    });
}

TEST_F(Personnel, TheRegistersGridsAnswerInsEnterAndDelete) {
    addPerson("ИВАНОВ", "ЯКОВ");
    add(dm.tblSertif, {{"Name", "Терапия"}, {"DateCL", QDate(2027, 1, 1)}});
    PersonnelWindow* w = openRegister();
    auto* people = w->findChild<QAbstractItemView*>("DBGrid1");
    h.dialogs.expect("ftrMPersonal", [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новый сотрудник");
        ui::click(&d, "Button6");
    });
    QTest::keyClick(people, Qt::Key_Insert);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
        h.dialogs.expect("ftrMPersonal", [](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Редактирование сотрудника");
            ui::click(&d, "Button6");
        });
        QTest::keyClick(people, key);
    }
    h.prompter.expectAsk("Удаление", "Удалить сотрудника ИВАНОВ Я. вместе с 1 сертификатом?", Answer::No);
    QTest::keyClick(people, Qt::Key_Delete);
    auto* certificates = w->findChild<QAbstractItemView*>("DBGrid3");
    h.prompter.expectAsk("Удаление", "Удалить сертификат «Терапия» (действует до 01.01.2027)?", Answer::No);
    QTest::keyClick(certificates, Qt::Key_Delete);
    h.dialogs.verify();
    EXPECT_EQ(count("Personal"), 1);
    EXPECT_EQ(count("Sertif"), 1);
}

TEST_F(Personnel, DeleteInTheDateBoxEmptiesTheBirthDateInOneStep) {
    addPerson("ИВАНОВ", "ЯКОВ");
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton2", [&](QDialog& d) {
        auto* date = d.findChild<QLineEdit*>("DBEdit4");
        date->setFocus();
        date->setCursorPosition(4);
        QTest::keyClick(date, Qt::Key_Delete);
        EXPECT_TRUE(dm.field("tblPersonalDR").isNull());
        EXPECT_EQ(date->text(), "..");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::No);
    });
    EXPECT_EQ(dm.field("tblPersonalDR").asDate(), QDate(1980, 5, 17)) << "answered No: the date stays";
}

TEST_F(Personnel, SavingMakesTheEmailAndSnilsRowsAndExitAsksForEveryChangedBox) {
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton1", [&](QDialog& d) {
        fillCard(d);
        ui::type(&d, "Edit1", "sidorov@hosp.ru");
        ui::click(&d, "Button4");
        EXPECT_TRUE(d.isVisible()) << "the card stays open after saving";
    });
    EXPECT_EQ(current(), "СИДОРОВ ПЁТР");
    EXPECT_TRUE(main.statusPanel(2).endsWith(" — Сотрудник СИДОРОВ П. сохранён"))
        << main.statusPanel(2).toStdString();
    EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(), "sidorov@hosp.ru");
    EXPECT_EQ(dm.field("tblPerSnilsSNILS").asString(), personnel::emptySnils());
    EXPECT_EQ(ui::text(w, "DBEdit2"), "") << "the side panel shows no SNILS, not its separators";
    EXPECT_EQ(count("PERSNILS"), 1);

    // Only the e-mail or the SNILS box changed: "Выход" asks all the same; "Нет" keeps nothing,
    // "Да" stores the value.
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        card(w, "SpeedButton2", [&](QDialog& d) {
            EXPECT_EQ(ui::text(&d, "Edit1"), "sidorov@hosp.ru");
            ui::clear(&d, "Edit1");
            ui::type(&d, "Edit1", "other@hosp.ru");
            h.prompter.expectConfirm("Запись не сохранена. Сохранить?", answer);
            ui::click(&d, "Button6");
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(),
                  answer == Answer::Yes ? "other@hosp.ru" : "sidorov@hosp.ru");
        if (answer == Answer::Yes) {
            // put back for what follows
            dm.tblPerEmail->edit();
            dm.field("tblPerEmailEMAIL").setAsString("sidorov@hosp.ru");
            dm.tblPerEmail->post();
        }
    }
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::type(&d, "MaskEdit1", "11223344595");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::Yes);
        ui::click(&d, "Button6");
    });
    EXPECT_EQ(dm.field("tblPerSnilsSNILS").asString(), "112-233-445 95");

    // "Отмена" puts a changed box back; with nothing to cancel it closes the card.
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::clear(&d, "Edit1");
        ui::type(&d, "Edit1", "third@hosp.ru");
        ui::click(&d, "Button5");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(ui::text(&d, "Edit1"), "sidorov@hosp.ru");
        ui::click(&d, "Button5");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(), "sidorov@hosp.ru");

    // A changed surname: No discards it; Yes with an empty surname keeps the card open; Yes saves.
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::type(&d, "DBEdit3", "ИВАНОВИЧ");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::No);
        ui::click(&d, "Button6");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(dm.field("tblPersonalName3").asString(), "");
    card(w, "SpeedButton2", [&](QDialog& d) {
        ui::clear(&d, "DBEdit1");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::Yes)
            .expectInform("Не задали Фамилию!");
        ui::click(&d, "Button6");
        EXPECT_TRUE(d.isVisible());
        ui::type(&d, "DBEdit1", "петров");
        h.prompter.expectConfirm("Запись не сохранена. Сохранить?", Answer::Yes);
        d.close(); // the close box behaves as "Выход"
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(current(), "ПЕТРОВ ПЁТР");
}

TEST_F(Personnel, AWrongSnilsOrEmailIsAskedAboutWithNoAsTheDefault) {
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton1", [&](QDialog& d) {
        fillCard(d);
        ui::type(&d, "MaskEdit1", "1122334");
        h.prompter.expectInform(personnel::snilsRefusal(personnel::snilsFromBox("112-233-4__ __")));
        ui::click(&d, "Button4");
        h.prompter.verify();
        EXPECT_EQ(count("Personal"), 0);
        EXPECT_EQ(focused(), "MaskEdit1");

        ui::click(&d, "Button10");
        ui::type(&d, "MaskEdit1", "11223344596");
        ui::type(&d, "Edit1", "sidorov-hosp.ru");
        const QString snilsQuestion =
            "СНИЛС 112-233-445 96 не проходит проверку контрольного числа. Сохранить как есть?";
        h.prompter.expectAsk("Новый сотрудник", snilsQuestion, Answer::No);
        ui::click(&d, "Button4");
        EXPECT_EQ(h.prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo);
        EXPECT_EQ(count("Personal"), 0);
        EXPECT_EQ(focused(), "MaskEdit1");

        h.prompter.expectAsk("Новый сотрудник", snilsQuestion, Answer::Yes)
            .expectAsk("Новый сотрудник", personnel::emailQuestion("sidorov-hosp.ru"), Answer::Yes);
        ui::click(&d, "Button4");
        EXPECT_EQ(h.prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo);
    });
    EXPECT_EQ(dm.field("tblPerSnilsSNILS").asString(), "112-233-445 96");
    EXPECT_EQ(dm.field("tblPerEmailEMAIL").asString(), "sidorov-hosp.ru");
}

TEST_F(Personnel, ATrainingRowOfANewPersonWaitsForThePersonToBeSaved) {
    PersonnelWindow* w = openRegister();
    card(w, "SpeedButton1", [&](QDialog& d) {
        ui::type(&d, "DBEdit1", "СИДОРОВ");
        h.prompter.expectInform("Не задали имя!");
        ui::click(&d, "Button1"); // training "Добавить": the person is saved first, and cannot be yet
        h.prompter.verify();
        EXPECT_EQ(count("Trained"), 0);

        fillCard(d, QString());
        h.dialogs.expect("ftrTraining", [&](QDialog& t) {
            EXPECT_EQ(t.windowTitle(), "Новая запись");
            h.prompter.expectInform("Не выбрали код программы!");
            ui::click(&t, "Button1");
            h.prompter.verify();
            h.dialogs.expect("ftrZicl", [&](QDialog& chooser) {
                gridActions::doubleClickRow(chooser.findChild<DbGrid*>("DBGrid1"), 0);
            });
            ui::click(&t, "SpeedButton1");
            EXPECT_EQ(h.app.state.ZiclCaller, 10);
            EXPECT_EQ(ui::text(&t, "DBEdit1"), "339720") << "the code keeps its first six characters";
            EXPECT_EQ(ui::text(&t, "DBEdit3"), "36");
            h.prompter.expectInform("Не задан год обучения!");
            ui::click(&t, "Button1");
            h.prompter.verify();
            ui::type(&t, "DBEdit4", "2024");
            ui::click(&t, "Button1");
            EXPECT_FALSE(t.isVisible());
        });
        ui::click(&d, "Button1");
    });
    EXPECT_EQ(count("Personal"), 1);
    ASSERT_EQ(count("Trained"), 1);
    EXPECT_EQ(dm.field("tblTrainedKod_Personal").asInteger(), dm.field("tblPersonalNPP").asInteger());
    EXPECT_EQ(dm.field("tblTrainedKZicl").asString(), "339720");
    EXPECT_EQ(dm.field("tblTrainedYear").asInteger(), 2024);
}

TEST_F(Personnel, CertificatesTakeTodayOrTheChangedDate) {
    addPerson("ИВАНОВ", "ЯКОВ");
    PersonnelWindow* w = openRegister();
    // A new certificate with a picked specialty and the picker untouched: today's date.
    h.dialogs.expect("ftrMSertif", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новый сертификат");
        EXPECT_EQ(d.findChild<DateBox*>("DateTimePicker1")->date(), h.clock.today());
        h.dialogs.expect("ftrSpecialty", [&](QDialog& s) {
            gridActions::doubleClickRow(s.findChild<DbGrid*>("DBGrid1"), 0);
        });
        ui::click(&d, "SpeedButton1");
        EXPECT_EQ(h.app.state.SpecialtyCaller, 11);
        ui::click(&d, "Button1");
    });
    ui::click(w, "SpeedButton7");
    ASSERT_EQ(count("Sertif"), 1);
    EXPECT_EQ(dm.field("tblSertifDateCL").asDate(), h.clock.today());
    EXPECT_EQ(dm.field("tblSertifName").asString(), "Терапия");

    // Only the date changed, typed over the whole box: stored. An impossible date is refused on
    // "ОК" and the dialog stays. Nothing changed: nothing written.
    h.dialogs.expect("ftrMSertif", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Редактирование сертификата");
        auto* date = d.findChild<DateBox*>("DateTimePicker1");
        date->setFocus();
        QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(date, "31.02.2031");
        h.prompter.expectError("Такой даты нет: «31.02.2031»");
        ui::click(&d, "Button1");
        h.prompter.verify();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(dm.field("tblSertifDateCL").asDate(), h.clock.today());
        QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(date, "31.01.2031");
        ui::click(&d, "Button1");
    });
    ui::click(w, "SpeedButton8");
    EXPECT_EQ(dm.field("tblSertifDateCL").asDate(), QDate(2031, 1, 31));
    h.dialogs.expect("ftrMSertif", [&](QDialog& d) { ui::click(&d, "Button1"); });
    ui::click(w, "SpeedButton8");
    EXPECT_FALSE(dm.tblSertif->isEditing());
    EXPECT_EQ(dm.field("tblSertifDateCL").asDate(), QDate(2031, 1, 31));

    // In the register's grid a certificate that has ended is red, with the days in its tooltip.
    dm.tblSertif->edit();
    dm.field("tblSertifDateCL").setAsDate(QDate(2026, 3, 1));
    dm.tblSertif->post();
    auto* grid = w->findChild<DbGrid*>("DBGrid3");
    EXPECT_EQ(grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0xE5, 0x39, 0x35));
    EXPECT_EQ(grid->model()->index(0, 1).data(Qt::ToolTipRole).toString(),
              "Срок истёк 14 дней назад, 01.03.2026");
}

TEST_F(Personnel, DeletingAPersonAsksOnceAndTakesEveryRowOfTheirs) {
    addPerson("ИВАНОВ", "ЯКОВ");
    add(dm.tblTrained, {{"KZicl", "111"}, {"Year", 2020}});
    add(dm.tblSertif, {{"Name", "Терапия"}, {"DateCL", QDate(2027, 1, 1)}});
    addPerson("ПЕТРОВ", "ПЁТР");
    PersonnelWindow* w = openRegister();
    dm.tblPersonal->first();
    h.prompter.expectAsk("Удаление",
                         "Удалить сотрудника ИВАНОВ Я. вместе с 1 сертификатом и 1 записью о переподготовке?",
                         Answer::No);
    ui::click(w, "SpeedButton3");
    EXPECT_EQ(count("Personal"), 2);
    h.prompter.expectAsk("Удаление",
                         "Удалить сотрудника ИВАНОВ Я. вместе с 1 сертификатом и 1 записью о переподготовке?",
                         Answer::Yes);
    ui::click(w, "SpeedButton3");
    EXPECT_EQ(count("Personal"), 1);
    EXPECT_EQ(count("Trained"), 0);
    EXPECT_EQ(count("Sertif"), 0);
    EXPECT_EQ(current(), "ПЕТРОВ ПЁТР");
    EXPECT_EQ(main.statusPanel(1), "Всего - 1");
}

} // namespace
