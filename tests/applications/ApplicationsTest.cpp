// The applications window and its dialogs, through the real windows with a scripted prompter:
// numbering, adding the marked people, the trainee editor and deleting.
#include "applications/ApplicationRules.h"
#include "applications/ApplicationsWindow.h"
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "shell/RowKeys.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

using Answer = Prompter::Answer;

struct Applications : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();
    ApplicationsWindow* window = nullptr;

    void SetUp() override {
        main.openApplications();
        window = qobject_cast<ApplicationsWindow*>(main.instance("ftrZajavki2023"));
        ASSERT_TRUE(window);
    }

    void setContract(QVariant number) {
        dm.tblConfig->edit();
        dm.field("tblConfigNLPU").setAsString("ГБУЗ «Больница № 3»");
        dm.field("tblConfigKZajavki").setValue(number);
        dm.tblConfig->post();
    }
    void addApplication(double number, int year) {
        applications::createApplication(dm, Generation::current(), number, year);
    }
    qint64 addPerson(const QString& surname, const QVariantList& more = {}) {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString(surname);
        const char* fields[] = {"Name2", "Name3", "DR", "KDoljn", "KSpez", "StajOb", "StajDoljn"};
        for (int i = 0; i < more.size(); ++i)
            dm.tblPersonal->field(fields[i]).setValue(more[i]);
        dm.tblPersonal->post();
        return dm.field("tblPersonalNPP").asInteger();
    }
    void addDetail(Table* t, const char* field, const QVariant& value, const char* field2 = nullptr,
                   const QVariant& value2 = {}) {
        t->append();
        t->field(field).setValue(value);
        if (field2)
            t->field(field2).setValue(value2);
        t->post();
    }
    // Opens the new application dialog with "Создать" and lets `hand` act in it.
    void create(const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect("ftrNewZajavki2023", hand);
        ui::click(window, "SpeedButton1");
    }
    void choose(QDialog& d, int type, const QString& year = {}) {
        ui::click(&d, QString("RadioGroup1Item%1").arg(type));
        if (!year.isEmpty()) {
            ui::clear(&d, "MaskEdit1");
            ui::type(&d, "MaskEdit1", year);
        }
        ui::click(&d, "Button1");
    }
    // Picks a programme as the chooser does for the adding dialog.
    void pickProgramme(QDialog& adding, const QString& code, const QString& kind, int hours,
                       const QString& form) {
        h.app.state.SelKZicl = code;
        h.app.state.SelVidOb = kind;
        h.app.state.SelHours = hours;
        h.app.state.SelFOBUCH = form;
        adding.findChild<QLineEdit*>("Edit1")->setText(code + " " + kind);
        adding.findChild<QLineEdit*>("Edit2")->setText(QString::number(hours));
    }
    void markRow(QDialog& adding, int row) {
        dm.tblPersonal->moveTo(row);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
        QCoreApplication::sendEvent(ui::find(&adding, "DBGrid1"), &release);
    }
    QList<double> numbers(int year) {
        QList<double> out;
        Table& apps = *dm.tblZajavki2023;
        for (int r = 0; r < apps.recordCount(); ++r)
            if (apps.valueAt(r, apps.field("Year").index()).toInt() == year)
                out << apps.valueAt(r, apps.field("KZajavki").index()).toDouble();
        return out;
    }
};

TEST_F(Applications, TheMainApplicationTakesTheContractNumberAndGoesOnToAdding) {
    setContract(116);
    create([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Новая заявка");
        EXPECT_EQ(ui::text(&d, "MaskEdit1"), "2026");
        h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
            EXPECT_EQ(adding.windowTitle(), "Добавление специалистов");
            EXPECT_EQ(ui::text(&adding, "DBEdit1"), "116");
            EXPECT_EQ(ui::text(&adding, "DBEdit2"), "2027");
            ui::click(&adding, "Button3");
        });
        choose(d, 0, "2027");
    });
    EXPECT_EQ(numbers(2027), QList<double>{116});
    EXPECT_EQ(window->countLine(), "заявлено - 0");
}

TEST_F(Applications, AdditionalApplicationsCountInHundredths) {
    setContract(116);
    addApplication(116, 2026);
    QStringList shown;
    for (int i = 0; i < 10; ++i) {
        create([&](QDialog& d) {
            choose(d, 1);
            EXPECT_TRUE(ui::find(&d, "Panel3")->isVisible());
            EXPECT_FALSE(ui::find(&d, "Panel1")->isVisible());
            shown << ui::text(&d, "Edit2");
            EXPECT_EQ(ui::text(&d, "Edit3"), "2026");
            h.dialogs.expect("ftrInsertSluch2023", [](QDialog& adding) { ui::click(&adding, "Button3"); });
            ui::click(&d, "Button3");
        });
    }
    EXPECT_EQ(shown, (QStringList{"116,01", "116,02", "116,03", "116,04", "116,05", "116,06", "116,07",
                                  "116,08", "116,09", "116,1"}));
    EXPECT_EQ(numbers(2026).size(), 11);
    EXPECT_DOUBLE_EQ(numbers(2026).last(), 116.1);

    // "Нет" writes nothing.
    create([&](QDialog& d) {
        choose(d, 1);
        ui::click(&d, "Button4");
    });
    EXPECT_EQ(numbers(2026).size(), 11);
}

TEST_F(Applications, AnAdditionalApplicationWithoutAMainOneIsBuiltOnTheContractNumber) {
    setContract(116);
    h.prompter.expectInform("Нет основной заявки на этот год!");
    create([&](QDialog& d) {
        choose(d, 1, "2027");
        EXPECT_EQ(ui::text(&d, "Edit2"), "116,01");
        h.dialogs.expect("ftrInsertSluch2023", [](QDialog& adding) { ui::click(&adding, "Button3"); });
        ui::click(&d, "Button3");
    });
    EXPECT_EQ(numbers(2027), QList<double>{116.01});
}

TEST_F(Applications, AnExistingMainApplicationIsOfferedForViewing) {
    setContract(116);
    addApplication(116, 2026);
    addApplication(117, 2027);
    h.prompter.expectAsk("Такая заявка уже есть!", "Хотите просмотреть заявку?", Answer::No);
    create([&](QDialog& d) {
        choose(d, 0);
        EXPECT_TRUE(d.isVisible()); // back to the year box
        d.done(QDialog::Rejected);
    });
    h.prompter.expectAsk("Такая заявка уже есть!", "Хотите просмотреть заявку?", Answer::Yes);
    create([&](QDialog& d) {
        h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
            EXPECT_EQ(ui::text(&adding, "DBEdit1"), "116"); // the existing application is current
            ui::click(&adding, "Button3");
        });
        choose(d, 0);
    });
    EXPECT_EQ(numbers(2026), QList<double>{116});
}

TEST_F(Applications, CreatingNeedsTheContractNumberAndATypeAndAYear) {
    h.prompter.expectConfirm("Не задан номер договора с ТОВЕКС. Перейти к заданию? ", Answer::Yes);
    h.dialogs.expect("ftrConfig", [](QDialog& d) { d.done(QDialog::Rejected); });
    ui::click(window, "SpeedButton1");
    h.prompter.expectConfirm("Не задан номер договора с ТОВЕКС. Перейти к заданию? ", Answer::No);
    ui::click(window, "SpeedButton1");

    setContract(116);
    h.prompter.expectInform("Не выбрали тип заявки!");
    h.prompter.expectError("неверное значение года");
    create([&](QDialog& d) {
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        choose(d, 0, "20");
        EXPECT_TRUE(d.isVisible());
        d.done(QDialog::Rejected);
    });
    EXPECT_TRUE(dm.tblZajavki2023->isEmpty());
}

TEST_F(Applications, MarkedPeopleAreAddedInRegisterOrderWithASnapshotOfTheirData) {
    setContract(116);
    addApplication(116, 2026);

    const qint64 b = addPerson("БОРИСОВ", {"ИВАН", "ПЕТРОВИЧ", QDate(1980, 5, 17), 3, 7, 2001, 2010});
    addDetail(dm.tblSertif, "Name", "Терапия", "DateCL", QDate(2027, 1, 31));
    addDetail(dm.tblSertif, "Name", "Кардиология", "DateCL", QDate(2028, 2, 1));
    addDetail(dm.tblPerEmail, "EMAIL", "b@example.ru");
    addDetail(dm.tblPerSnils, "SNILS", "112-233-445 95");
    addPerson("АНДРЕЕВА", {"АННА"}); // no birth date, codes, years, certificate, e-mail or SNILS
    addPerson("ВОЛКОВ", {"ОЛЕГ"});
    Q_UNUSED(b);
    // A mark left over from an earlier opening is cleared when the dialog opens.
    dm.tblPersonal->locate("Name1", {"ВОЛКОВ"});
    applications::toggleMark(dm);

    h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
        for (int r = 0; r < dm.tblPersonal->recordCount(); ++r)
            EXPECT_FALSE(
                applications::isMarked(dm.tblPersonal->valueAt(r, dm.tblPersonal->field("PR").index())));
        pickProgramme(adding, "ПК-1234", "ПК", 36, "очн");
        ui::clear(&adding, "Edit3");
        ui::type(&adding, "Edit3", "3");
        markRow(adding, 1); // БОРИСОВ, marked first
        markRow(adding, 0); // АНДРЕЕВА
        ui::click(&adding, "Button2");
        EXPECT_FALSE(adding.isVisible());
    });
    ui::click(window, "SpeedButton2");
    EXPECT_EQ(window->countLine(), "заявлено - 2");

    Table& s = *dm.tblSluch2023;
    ASSERT_EQ(s.recordCount(), 2);
    s.first();
    EXPECT_EQ(s.field("Name1").asString(), "АНДРЕЕВА"); // register order
    EXPECT_EQ(s.field("DR").asDate(), QDate(1899, 12, 30));
    EXPECT_EQ(s.field("KDoljn").asInteger(), 0);
    EXPECT_TRUE(s.field("StajOb").isNull()) << "no start year, no years of service (not the year itself)";
    EXPECT_TRUE(s.field("DateCl").isNull());
    EXPECT_EQ(s.field("EMAIL").asString(), "");
    s.next();
    EXPECT_EQ(s.field("Name1").asString(), "БОРИСОВ");
    EXPECT_EQ(s.field("Name3").asString(), "ПЕТРОВИЧ");
    EXPECT_EQ(s.field("DR").asDate(), QDate(1980, 5, 17));
    EXPECT_EQ(s.field("KDoljn").asInteger(), 3);
    EXPECT_EQ(s.field("KSpez").asInteger(), 7);
    EXPECT_DOUBLE_EQ(s.field("StajOb").asFloat(), 25);
    EXPECT_DOUBLE_EQ(s.field("StajDoljn").asFloat(), 16);
    EXPECT_EQ(s.field("DateCl").asDate(), QDate(2027, 1, 31)); // the first certificate
    EXPECT_EQ(s.field("Specialty").asString(), "Терапия");
    EXPECT_EQ(s.field("EMAIL").asString(), "b@example.ru");
    EXPECT_EQ(s.field("SNILS").asString(), "112-233-445 95");
    EXPECT_EQ(s.field("KZicl").asString(), "ПК-1234");
    EXPECT_EQ(s.field("FOBUCH").asString(), "очн");
    EXPECT_EQ(s.field("Hours").asInteger(), 36);
    EXPECT_EQ(s.field("KV").asInteger(), 3);
    EXPECT_DOUBLE_EQ(s.field("KZajavki").asFloat(), 116);
    EXPECT_EQ(s.field("Year").asInteger(), 2026);
    EXPECT_FALSE(dm.tblPersonal->isFiltered());
}

TEST_F(Applications, APersonAlreadyInAnApplicationOfTheYearIsAddedOnlyOnTheClerksWord) {
    setContract(116);
    addApplication(116, 2026);
    addPerson("БОРИСОВ", {"ИВАН", "ПЕТРОВИЧ", QDate(1980, 5, 17)});
    addPerson("ВОЛКОВ", {"ОЛЕГ"});
    const auto addBoth = [&](std::function<void()> answer) {
        h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
            pickProgramme(adding, "ПК-1", "ПК", 36, "очн");
            ui::clear(&adding, "Edit3");
            ui::type(&adding, "Edit3", "2");
            markRow(adding, 0);
            markRow(adding, 1);
            answer();
            ui::click(&adding, "Button2");
            if (adding.isVisible())
                ui::click(&adding, "Button3");
        });
        ui::click(window, "SpeedButton2");
    };
    addBoth([] {});
    ASSERT_EQ(dm.tblSluch2023->recordCount(), 2);

    // A supplementary application of the same year: both are named with the application they are in.
    addApplication(116.01, 2026);
    const QString question =
        "Уже есть в заявках 2026 года:\nБОРИСОВ И. П. — в заявке № 116\nВОЛКОВ О. — в заявке № 116"
        "\n\nДобавить их ещё раз?";
    addBoth([&] { h.prompter.expectAsk("Добавление специалистов", question, Prompter::Answer::No); });
    EXPECT_EQ(h.prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo);
    EXPECT_TRUE(dm.tblSluch2023->isEmpty()) << "nothing added to 116,01";
    addBoth([&] { h.prompter.expectAsk("Добавление специалистов", question, Prompter::Answer::Yes); });
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 2);
}

TEST_F(Applications, ATraineeIsMovedFromTheWindowByItsButtonMenuAndKeys) {
    addApplication(116, 2026);
    addDetail(dm.tblSluch2023, "Name1", "ИВАНОВ");
    addApplication(117, 2026);
    applications::locateApplication(dm, Generation::current(), 116, 2026);
    window->writeCountLine();
    auto* trainees = qobject_cast<QAbstractItemView*>(ui::find(window, "DBGrid2"));

    // The context menu lists the toolbar's actions with their keys, moving among them.
    std::unique_ptr<QMenu> menu(rowMenu(trainees));
    ASSERT_TRUE(menu);
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            items << a->text() + (a->shortcut().isEmpty() ? QString() : " " + a->shortcut().toString());
    EXPECT_EQ(items, (QStringList{"Добавить Ins", "Редактр. F2", "Удалить Del", "Перемещение",
                                  "Печать заявки", "Выгрузить"}));

    EXPECT_TRUE(ui::find(window, "SpeedButton8")->isEnabled());
    h.dialogs.expect("ftrMoving", [&](QDialog& d) { ui::click(&d, "Button1"); });
    ui::click(window, "SpeedButton8");
    EXPECT_EQ(window->countLine(), "заявлено - 0");
    applications::locateApplication(dm, Generation::current(), 117, 2026);
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 1);

    // Enter opens the trainee, Delete asks to delete it, Ins adds.
    trainees->setFocus();
    h.prompter.answerUnscripted(Prompter::Answer::Ok, {}); // the editor's notes on the book codes
    h.dialogs.expect("ftrMZajavki2023", [](QDialog& d) { ui::click(&d, "Button2"); });
    QTest::keyClick(trainees, Qt::Key_Return);
    h.dialogs.verify();
    h.prompter.verify();
    h.prompter.expectAsk("Удаление", "Удалить слушателя ИВАНОВ из заявки № 117 за 2026 год?",
                         Prompter::Answer::No);
    QTest::keyClick(trainees, Qt::Key_Delete);
    h.dialogs.expect("ftrInsertSluch2023", [](QDialog& d) { ui::click(&d, "Button3"); });
    QTest::keyClick(trainees, Qt::Key_Insert);
    h.dialogs.verify();
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 1);
}

TEST_F(Applications, TheAddingDialogRefusesWhatItCannotAdd) {
    setContract(116);
    h.prompter.expectInform(
        "Нет заявки, в которую можно добавить специалистов. Сначала создайте заявку кнопкой «Создать».");
    ui::click(window, "SpeedButton2");

    addApplication(116, 2026);
    addPerson("АНДРЕЕВА");
    h.prompter.expectInform("Не выбрали программу обучения!")
        .expectInform("Квартал года задаётся целым числом от 1 до 4")
        .expectInform("Квартал года задаётся целым числом от 1 до 4")
        .expectInform("Не выбран ни один специалист!");
    h.dialogs.expect("ftrInsertSluch2023", [&](QDialog& adding) {
        ui::click(&adding, "Button2");
        pickProgramme(adding, "ПК-1", "ПК", 18, "ДОТ");
        markRow(adding, 0);
        for (const char* bad : {"5", "x"}) {
            ui::clear(&adding, "Edit3");
            ui::type(&adding, "Edit3", bad);
            ui::click(&adding, "Button2");
        }
        EXPECT_TRUE(dm.tblSluch2023->isEmpty()); // nothing written
        ui::clear(&adding, "Edit3");
        ui::type(&adding, "Edit3", "3");
        QWidget* upDown = ui::find(&adding, "UpDown1");
        for (int i = 0; i < 2; ++i) // steps on from what was typed, and stops at 4
            ui::click(upDown, "Up");
        EXPECT_EQ(ui::text(&adding, "Edit3"), "4");
        markRow(adding, 0); // unmarked again: stored as one blank
        EXPECT_EQ(dm.field("tblPersonalPR").asString(), " ");
        ui::click(&adding, "Button2");
        EXPECT_TRUE(adding.isVisible());
        ui::click(&adding, "Button3");
    });
    ui::click(window, "SpeedButton2");
    EXPECT_TRUE(dm.tblSluch2023->isEmpty());
}

TEST_F(Applications, TheEditorUpperCasesNamesOnlyWhenSomethingChanged) {
    addApplication(116, 2026);
    dm.tblDoljn->append();
    dm.field("tblDoljnKDoljn").setAsInteger(3);
    dm.field("tblDoljnNDoljn").setAsString("ВРАЧ-ТЕРАПЕВТ");
    dm.tblDoljn->post();
    dm.tblSluch2023->append();
    dm.field("tblSluch2023Name1").setAsString("иванов");
    dm.field("tblSluch2023KDoljn").setAsInteger(3);
    dm.field("tblSluch2023KSpez").setAsInteger(9);
    dm.tblSluch2023->post();

    // Nothing changed: nothing stored, no capitals.
    h.prompter.expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "Edit1"), "ВРАЧ-ТЕРАПЕВТ");
        EXPECT_EQ(ui::text(&d, "Edit2"), "");
        ui::click(&d, "Button1");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023Name1").asString(), "иванов");

    // Only the quarter changed: the names are stored in capitals too.
    h.prompter.expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        ui::clear(&d, "DBEdit8");
        ui::type(&d, "DBEdit8", "2");
        ui::type(&d, "DBEdit2", "пётр");
        ui::click(&d, "Button1");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023Name1").asString(), "ИВАНОВ");
    EXPECT_EQ(dm.field("tblSluch2023Name2").asString(), "ПЁТР");
    EXPECT_EQ(dm.field("tblSluch2023KV").asInteger(), 2);

    // "Отмена" throws the changes away.
    h.prompter.expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        ui::type(&d, "DBEdit3", "ИВАНОВИЧ");
        ui::click(&d, "Button2");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023Name3").asString(), "");
    EXPECT_EQ(dm.tblSluch2023->state(), Dataset::State::Browse);
}

TEST_F(Applications, TheEditorTakesAQuarterFromOneToFourOnly) {
    addApplication(116, 2026);
    dm.tblSluch2023->append();
    dm.field("tblSluch2023Name1").setAsString("ИВАНОВ");
    dm.field("tblSluch2023KV").setAsInteger(2);
    dm.tblSluch2023->post();
    h.prompter.answerUnscripted(Prompter::Answer::Ok, {}); // the editor's notes on the book codes
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        for (const char* typed : {"5", "0", "9"}) {
            ui::clear(&d, "DBEdit8");
            ui::type(&d, "DBEdit8", typed);
            const qsizetype before = h.prompter.log().size();
            ui::click(&d, "Button1");
            EXPECT_TRUE(
                h.prompter.log().mid(before).contains("inform: Квартал года задаётся целым числом от 1 до 4"))
                << typed;
            EXPECT_TRUE(d.isVisible()) << typed;
            EXPECT_EQ(QApplication::focusWidget()->objectName(), "DBEdit8") << typed;
        }
        ui::clear(&d, "DBEdit8");
        ui::type(&d, "DBEdit8", "4");
        ui::click(&d, "Button1");
        EXPECT_FALSE(d.isVisible());
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023KV").asInteger(), 4);
}

TEST_F(Applications, TheEditorOnAnEmptyListMakesANewTraineeOfTheApplication) {
    addApplication(116, 2026);
    h.prompter.expectInform("Not doljn").expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        ui::type(&d, "DBEdit1", "новиков");
        ui::click(&d, "Button1");
    });
    ui::click(window, "SpeedButton4");
    ASSERT_EQ(dm.tblSluch2023->recordCount(), 1);
    EXPECT_EQ(dm.field("tblSluch2023Name1").asString(), "НОВИКОВ");
    EXPECT_DOUBLE_EQ(dm.field("tblSluch2023KZajavki").asFloat(), 116);
}

TEST_F(Applications, TheEditorWithoutAnyApplicationIsRefused) {
    // A trainee saved there would belong to no application and be seen by no window.
    h.prompter.expectInform(
        "Нет заявки, слушателя которой можно редактировать. Сначала создайте заявку кнопкой «Создать».");
    ui::click(window, "SpeedButton4");
    EXPECT_TRUE(dm.tblSluch2023->isEmpty());
    EXPECT_EQ(dm.tblSluch2023->state(), Dataset::State::Browse);
}

TEST_F(Applications, TheEditorKeepsEveryTypedCharacter) {
    addApplication(116, 2026);
    addDetail(dm.tblSluch2023, "Name1", "иванов");
    // Typing stops at the field's width: what the box shows is what is stored.
    h.prompter.expectInform("Not doljn").expectInform("Not Spez");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        ui::type(&d, "DBEdit14", "112-233-445 95 и ещё");
        EXPECT_EQ(ui::text(&d, "DBEdit14"), "112-233-445 95");
        ui::click(&d, "Button1");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023SNILS").asString(), "112-233-445 95");

    // A name that grows in capitals beyond the field (ß becomes SS) is not cut: the editor says
    // so and keeps the row as typed.
    const QString name = QString(24, u'a') + "ß";
    h.prompter.expectInform("Not doljn")
        .expectInform("Not Spez")
        .expectInform(
            "Фамилия заглавными буквами займёт больше 25 знаков и не поместится целиком. Сократите запись.");
    h.dialogs.expect("ftrMZajavki2023", [&](QDialog& d) {
        d.activateWindow();
        ui::clear(&d, "DBEdit1");
        ui::type(&d, "DBEdit1", name);
        ui::click(&d, "Button1");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
                  "DBEdit1");
        ui::click(&d, "Button2");
    });
    ui::click(window, "SpeedButton4");
    EXPECT_EQ(dm.field("tblSluch2023Name1").asString(), "ИВАНОВ"); // as the first save stored it
}

TEST_F(Applications, DeletingATraineeOrAWholeApplicationAsksFirst) {
    addApplication(116, 2026);
    for (const char* name : {"А", "Б", "В"})
        addDetail(dm.tblSluch2023, "Name1", QString::fromUtf8(name));
    addApplication(117, 2026);
    addDetail(dm.tblSluch2023, "Name1", "Г");
    dm.tblZajavki2023->first();
    window->writeCountLine();

    h.prompter.expectAsk("Удаление", "Удалить слушателя А из заявки № 116 за 2026 год?", Answer::No);
    ui::click(window, "SpeedButton5");
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 3);
    EXPECT_EQ(window->countLine(), "заявлено - 3");

    h.prompter.expectAsk("Удаление", "Удалить слушателя А из заявки № 116 за 2026 год?", Answer::Yes);
    ui::click(window, "SpeedButton5");
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 2);
    EXPECT_EQ(window->countLine(), "заявлено - 2");

    h.prompter.expectAsk("Удаление", "Удалить заявку № 116 за 2026 год вместе с 2 слушателями?", Answer::No);
    ui::click(window, "SpeedButton3");
    EXPECT_EQ(dm.tblZajavki2023->recordCount(), 2);
    EXPECT_TRUE(h.app.backups().list().isEmpty()) << "no copy for a declined deletion";

    h.prompter.expectAsk("Удаление", "Удалить заявку № 116 за 2026 год вместе с 2 слушателями?", Answer::Yes);
    ui::click(window, "SpeedButton3");
    EXPECT_EQ(dm.tblZajavki2023->recordCount(), 1);
    ASSERT_EQ(h.app.backups().list().size(), 1) << "a copy of the store before the deletion";
    EXPECT_EQ(h.app.backups().list()[0].action, "delete-application");
    EXPECT_EQ(h.app.state.SilentDelete, 1);
    EXPECT_EQ(window->countLine(), "заявлено - 2"); // not rewritten until the next click
    EXPECT_EQ(dm.field("tblZajavki2023KZajavki").asInteger(), 117);
    EXPECT_EQ(dm.tblSluch2023->recordCount(), 1); // the other application keeps its trainee
    auto st = h.app.store->cached("SELECT COUNT(*) FROM Sluch2023");
    st->step();
    EXPECT_EQ(st->int64(0), 1);
}

} // namespace
