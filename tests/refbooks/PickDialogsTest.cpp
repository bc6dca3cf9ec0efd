// The pick dialogs of positions, diploma specialties and specialties, through the real windows:
// where a pick goes for each caller code, the modes, and the positions search.
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "spreadsheet/DocumentOpener.h"
#include "support/GridActions.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

using gridActions::doubleClickRow;

struct PickDialogs : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    SharedState& state = h.app.state;
    MainWindow& main = h.mainWindow();
    int posts = 0;

    PickDialogs() {
        for (Dataset* ds : dm.datasets())
            QObject::connect(ds, &Dataset::posted, [this] { ++posts; });
    }

    void fillBooks() {
        const std::pair<int, const char*> positions[] = {{10, "ВРАЧ-ТЕРАПЕВТ"},
                                                         {20, "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"},
                                                         {30, "Заведующий отделением"},
                                                         {40, "ВРАЧ-ХИРУРГ"}};
        for (const auto& [code, name] : positions) {
            dm.tblDoljn->append();
            dm.field("tblDoljnKDoljn").setAsInteger(code);
            dm.field("tblDoljnNDoljn").setAsString(QString::fromUtf8(name));
            dm.tblDoljn->post();
        }
        for (const auto& [code, name] : {std::pair{1, "ЛЕЧЕБНОЕ ДЕЛО"}, std::pair{2, "СЕСТРИНСКОЕ ДЕЛО"}}) {
            dm.tblSpez->append();
            dm.field("tblSpezKSpez").setAsInteger(code);
            dm.field("tblSpezNSpez").setAsString(QString::fromUtf8(name));
            dm.tblSpez->post();
        }
        for (const char* name : {"Терапия", "Сестринское дело"}) {
            dm.tblSpecialty->append();
            dm.field("tblSpecialtyName").setAsString(QString::fromUtf8(name));
            dm.tblSpecialty->post();
        }
        for (Table* t : {dm.tblDoljn, dm.tblSpez, dm.tblSpecialty})
            t->first();
    }

    // One person with a position and a diploma specialty already set.
    void addPerson() {
        dm.tblPersonal->append();
        dm.field("tblPersonalName1").setAsString("ИВАНОВА");
        dm.field("tblPersonalNDoljn").setAsString("СТАРАЯ ДОЛЖНОСТЬ");
        dm.field("tblPersonalKDoljn").setAsInteger(5);
        dm.tblPersonal->post();
        posts = 0;
    }

    int show(const QString& dialog) {
        if (dialog == "ftrDoljn")
            return main.showPositions();
        if (dialog == "ftrSpez")
            return main.showDiplomaSpecialties();
        return main.showSpecialties();
    }

    // Opens `dialog` through its Show… procedure; `hand` acts while it is open.
    int open(const QString& dialog, const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect(dialog, hand);
        return show(dialog);
    }

    // Opens a stand-in for an editing window with its boxes Edit1 and Edit2 and, from it, the
    // dialog; returns what the two boxes hold once the dialog has closed.
    QStringList openFromEditor(const QString& editor, const std::function<void()> openDialog) {
        auto* window = new QDialog(&main);
        window->setObjectName(editor);
        for (const char* name : {"Edit1", "Edit2"})
            (new QLineEdit(window))->setObjectName(name);
        QStringList boxes;
        h.dialogs.expect(editor, [&](QDialog& w) {
            openDialog();
            boxes << ui::text(&w, "Edit1") << ui::text(&w, "Edit2");
            w.close();
        });
        main.showModal(window);
        return boxes;
    }

    static DbGrid* grid(QDialog& d) { return d.findChild<DbGrid*>("DBGrid1"); }

    QStringList editingTables() const {
        QStringList names;
        for (Dataset* ds : dm.datasets())
            if (ds->isEditing())
                names << ds->objectName();
        return names;
    }
};

TEST_F(PickDialogs, EachDialogShowsItsBookAsDescribed) {
    fillBooks();
    const struct {
        const char* dialog;
        const char* caption;
        QSize size;
        QStringList headers;
        QList<int> widths; // 0: fitted to the title and the values
    } cases[] = {
        {"ftrDoljn", "Должности", {587, 558}, {"Код", "Название"}, {40, 500}},
        {"ftrSpez", "Специальности по диплому", {478, 433}, {"Код", "Название"}, {45, 380}},
        {"ftrSpecialty", "Специальности", {518, 561}, {"Код", "Наименование"}, {0, 400}},
    };
    for (const auto& c : cases) {
        open(c.dialog, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(d.size(), c.size);
            EXPECT_EQ(d.minimumSize(), d.maximumSize()) << "the border is fixed";
            DbGrid* g = grid(d);
            ASSERT_TRUE(g);
            QStringList headers;
            QList<int> widths;
            for (int col = 0; col < g->model()->columnCount(); ++col) {
                headers << g->model()->headerData(col, Qt::Horizontal).toString();
                widths << (g->isFitted(col) ? 0 : g->columnWidth(col));
            }
            EXPECT_EQ(headers, c.headers);
            EXPECT_EQ(widths, c.widths);
            EXPECT_EQ(g->editTriggers(), QAbstractItemView::NoEditTriggers);
            EXPECT_EQ(g->model()->rowCount(), g->dataset()->recordCount());
            d.close();
        });
    }
    // The rows in the table's own order, the mixed-case name as stored.
    open("ftrDoljn", [&](QDialog& d) {
        EXPECT_EQ(grid(d)->cellText(2, 1), "Заведующий отделением");
        EXPECT_EQ(grid(d)->cellText(3, 0), "40");
        EXPECT_EQ(ui::find(&d, "Edit1")->toolTip(), "Введите часть названия для поиска");
        EXPECT_EQ(ui::find(&d, "Edit1")->width(), 177);
        EXPECT_EQ(ui::find(&d, "SpeedButton1")->toolTip(), "Начать поиск");
        EXPECT_EQ(ui::find(&d, "SpeedButton2")->toolTip(), "Продолжить поиск");
        EXPECT_EQ(ui::find(&d, "SpeedButton3")->toolTip(), "Печать");
        for (const char* b : {"SpeedButton1", "SpeedButton2", "SpeedButton3"}) {
            auto* button = static_cast<QToolButton*>(ui::find(&d, b));
            EXPECT_FALSE(button->icon().isNull()) << b;
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << b;
        }
        d.close();
    });
}

TEST_F(PickDialogs, APickWritesTheRowIntoTheCallersTableAndBoxAndCloses) {
    fillBooks();
    addPerson();
    using Fields = QList<std::pair<const char*, const char*>>;
    const struct Case {
        const char* dialog;
        quint8 SharedState::*caller;
        int code;
        const char* table;
        Dataset::State state; // an existing row is edited, an empty view gets a new row
        Fields fields;
        const char* editor; // the editing window whose box shows the name, or ""
        const char* box;
        const char* boxText;
    } cases[] = {
        {"ftrDoljn",
         &SharedState::DoljnCaller,
         1,
         "tblPersonal",
         Dataset::State::Edit,
         {{"NDoljn", "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"}, {"KDoljn", "20"}, {"Name1", "ИВАНОВА"}},
         "",
         "",
         ""},
        {"ftrDoljn",
         &SharedState::DoljnCaller,
         6,
         "tblSluch",
         Dataset::State::Insert,
         {{"KDoljn", "20"}},
         "ftrMZajavki",
         "Edit1",
         "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"},
        {"ftrDoljn",
         &SharedState::DoljnCaller,
         7,
         "tblSluch2021",
         Dataset::State::Insert,
         {{"KDoljn", "20"}},
         "ftrMZajavki2021",
         "Edit1",
         "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"},
        {"ftrDoljn",
         &SharedState::DoljnCaller,
         8,
         "tblSluch2023",
         Dataset::State::Insert,
         {{"KDoljn", "20"}},
         "ftrMZajavki2023",
         "Edit1",
         "МЕДИЦИНСКАЯ СЕСТРА ПАЛАТНАЯ"},
        {"ftrSpez",
         &SharedState::SpezCaller,
         1,
         "tblPersonal",
         Dataset::State::Edit,
         {{"NSpez", "СЕСТРИНСКОЕ ДЕЛО"}, {"KSpez", "2"}, {"NDoljn", "СТАРАЯ ДОЛЖНОСТЬ"}},
         "",
         "",
         ""},
        {"ftrSpez",
         &SharedState::SpezCaller,
         6,
         "tblSluch",
         Dataset::State::Insert,
         {{"KSpez", "2"}},
         "ftrMZajavki",
         "Edit2",
         "СЕСТРИНСКОЕ ДЕЛО"},
        {"ftrSpez",
         &SharedState::SpezCaller,
         7,
         "tblSluch2021",
         Dataset::State::Insert,
         {{"KSpez", "2"}},
         "ftrMZajavki2021",
         "Edit2",
         "СЕСТРИНСКОЕ ДЕЛО"},
        {"ftrSpez",
         &SharedState::SpezCaller,
         8,
         "tblSluch2023",
         Dataset::State::Insert,
         {{"KSpez", "2"}},
         "ftrMZajavki2023",
         "Edit2",
         "СЕСТРИНСКОЕ ДЕЛО"},
        {"ftrSpecialty",
         &SharedState::SpecialtyCaller,
         7,
         "tblSluch2021",
         Dataset::State::Insert,
         {{"Specialty", "Сестринское дело"}},
         "",
         "",
         ""},
        {"ftrSpecialty",
         &SharedState::SpecialtyCaller,
         8,
         "tblSluch2023",
         Dataset::State::Insert,
         {{"Specialty", "Сестринское дело"}},
         "",
         "",
         ""},
        {"ftrSpecialty",
         &SharedState::SpecialtyCaller,
         11,
         "tblSertif",
         Dataset::State::Insert,
         {{"Name", "Сестринское дело"}},
         "",
         "",
         ""},
        {"ftrSpecialty",
         &SharedState::SpecialtyCaller,
         12,
         "tblSLSertif",
         Dataset::State::Insert,
         {{"Name", "Сестринское дело"}},
         "",
         "",
         ""},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.dialog) + " code " + std::to_string(c.code);
        state.*c.caller = quint8(c.code);
        int result = -1;
        auto pick = [&] {
            result = open(c.dialog, [&](QDialog& d) {
                doubleClickRow(grid(d), 1);
                EXPECT_FALSE(d.isVisible()) << label;
            });
        };
        QStringList boxes;
        if (*c.editor)
            boxes = openFromEditor(c.editor, pick);
        else
            pick();
        EXPECT_EQ(result, QDialog::Accepted) << label;

        EXPECT_EQ(editingTables(), QStringList{c.table}) << label;
        Dataset* target = dm.dataset(c.table);
        EXPECT_EQ(target->state(), c.state) << label;
        for (const auto& [field, value] : c.fields)
            EXPECT_EQ(target->field(field).asString(), QString::fromUtf8(value)) << label << " " << field;
        if (*c.editor) {
            const QString other = QString::fromLatin1(c.box) == "Edit1" ? boxes.value(1) : boxes.value(0);
            EXPECT_EQ(boxes.value(QString::fromLatin1(c.box) == "Edit1" ? 0 : 1),
                      QString::fromUtf8(c.boxText))
                << label;
            EXPECT_EQ(other, "") << label;
        }
        EXPECT_EQ(posts, 0) << label << ": the opener saves the row";
        EXPECT_EQ(main.instance(c.dialog), nullptr) << label;
        target->cancel();
        state.*c.caller = 0;
    }
}

TEST_F(PickDialogs, APickFromAnEmptyListWritesEmptyValues) {
    addPerson();
    state.DoljnCaller = 1;
    EXPECT_EQ(open("ftrDoljn", [&](QDialog& d) { doubleClickRow(grid(d), -1); }), QDialog::Accepted);
    EXPECT_EQ(dm.tblPersonal->state(), Dataset::State::Edit);
    EXPECT_EQ(dm.field("tblPersonalNDoljn").asString(), "");
    EXPECT_EQ(dm.field("tblPersonalKDoljn").value(), QVariant(0)) << "the code becomes 0, not empty";
}

TEST_F(PickDialogs, TheModeFollowsTheCallerCodeAndOnlyPickingCodesPick) {
    fillBooks();
    addPerson();
    const struct {
        const char* dialog;
        quint8 SharedState::*caller;
        int code;
        bool strip;
        bool print; // positions only
        bool picks;
    } cases[] = {
        {"ftrDoljn", &SharedState::DoljnCaller, 0, false, true, false},
        {"ftrDoljn", &SharedState::DoljnCaller, 1, true, false, true},
        {"ftrDoljn", &SharedState::DoljnCaller, 8, true, false, true},
        {"ftrDoljn", &SharedState::DoljnCaller, 5, true, true, false}, // no window uses 5: as created
        {"ftrSpez", &SharedState::SpezCaller, 0, false, false, false},
        {"ftrSpez", &SharedState::SpezCaller, 7, true, false, true},
        {"ftrSpecialty", &SharedState::SpecialtyCaller, 0, false, false, false},
        {"ftrSpecialty", &SharedState::SpecialtyCaller, 11, true, false, true},
        {"ftrSpecialty", &SharedState::SpecialtyCaller, 1, true, false, false},
    };
    for (const auto& c : cases) {
        const std::string label = std::string(c.dialog) + " code " + std::to_string(c.code);
        state.*c.caller = quint8(c.code);
        open(c.dialog, [&](QDialog& d) {
            EXPECT_EQ(ui::find(&d, "Panel1")->isVisible(), c.strip) << label;
            EXPECT_EQ(ui::text(&d, "Panel1"), "Для выбора сделайте двойной \"щелчок\" по левой кнопке мыши");
            if (QString(c.dialog) == "ftrDoljn") {
                EXPECT_EQ(ui::find(&d, "SpeedButton3")->isVisible(), c.print) << label;
            }
            EXPECT_EQ(d.focusWidget(), grid(d)) << label;
            if (!c.picks) {
                doubleClickRow(grid(d), 1);
                EXPECT_TRUE(d.isVisible()) << label;
                EXPECT_EQ(editingTables(), QStringList{}) << label;
            }
            d.close();
        });
        state.*c.caller = 0;
    }
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(dm.field("tblPersonalNDoljn").asString(), "СТАРАЯ ДОЛЖНОСТЬ");
}

TEST_F(PickDialogs, ThePositionsSearchFindsCapitalNamesFromSmallLetters) {
    fillBooks();
    open("ftrDoljn", [&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "Edit1"), "");
        ui::find(&d, "Edit1")->setFocus();
        ui::type(&d, "Edit1", "врач");
        ui::click(&d, "SpeedButton1");
        EXPECT_EQ(dm.tblDoljn->recNo(), 0);
        EXPECT_EQ(d.focusWidget(), grid(d));
        EXPECT_EQ(grid(d)->currentIndex().row(), 0);

        ui::click(&d, "SpeedButton2");
        EXPECT_EQ(dm.field("tblDoljnNDoljn").asString(), "ВРАЧ-ХИРУРГ");

        // After the last match: the message, and the last match stays current.
        h.prompter.expectInform("Запись не найдена");
        ui::click(&d, "SpeedButton2");
        EXPECT_EQ(dm.tblDoljn->recNo(), 3);

        // A name stored in mixed case is not found: the search looks for capitals.
        ui::clear(&d, "Edit1");
        ui::type(&d, "Edit1", "заведующий");
        h.prompter.expectInform("Запись не найдена");
        ui::click(&d, "SpeedButton1");
        EXPECT_EQ(dm.tblDoljn->recNo(), 3);

        // An empty box accepts no row.
        ui::clear(&d, "Edit1");
        h.prompter.expectInform("Запись не найдена");
        ui::click(&d, "SpeedButton1");
        EXPECT_EQ(dm.tblDoljn->recNo(), 3);

        // The middle of a name is found as well.
        ui::type(&d, "Edit1", "сестра пал");
        ui::click(&d, "SpeedButton1");
        EXPECT_EQ(dm.tblDoljn->recNo(), 1);
        h.prompter.verify();

        QStringList opened;
        setDocumentOpener([&opened](const QString& path) {
            opened << path;
            return true;
        });
        ui::click(&d, "SpeedButton3");
        setDocumentOpener({});
        EXPECT_EQ(opened, QStringList{QDir(h.app.root.documents()).filePath("Должности.xlsx")});
        d.close();
    });
}

} // namespace

namespace {

// Presses a key on the dialog's grid, as the clerk does with the list in front of them.
void press(QDialog& d, Qt::Key key) {
    QTest::keyClick(d.findChild<DbGrid*>("DBGrid1"), key);
}

} // namespace

TEST_F(PickDialogs, TheClerkAddsRenamesAndDeletesEntriesOfEachBook) {
    fillBooks();
    // One person and one trainee refer to "ВРАЧ-ТЕРАПЕВТ" (10) and "ЛЕЧЕБНОЕ ДЕЛО" (1); a
    // certificate to "Терапия".
    dm.tblPersonal->append();
    dm.field("tblPersonalName1").setAsString("ИВАНОВА");
    dm.field("tblPersonalKDoljn").setAsInteger(10);
    dm.field("tblPersonalNDoljn").setAsString("ВРАЧ-ТЕРАПЕВТ");
    dm.field("tblPersonalKSpez").setAsInteger(1);
    dm.field("tblPersonalNSpez").setAsString("ЛЕЧЕБНОЕ ДЕЛО");
    dm.tblPersonal->post();
    dm.tblSluch2023->append();
    dm.field("tblSluch2023KDoljn").setAsInteger(10);
    dm.field("tblSluch2023KSpez").setAsInteger(1);
    dm.tblSluch2023->post();
    dm.tblSertif->append();
    dm.field("tblSertifName").setAsString("Терапия");
    dm.field("tblSertifPersonalKOD").setAsInteger(dm.field("tblPersonalNPP").asInteger());
    dm.tblSertif->post();

    const struct {
        const char* dialog;
        Table* DataModule::*book;
        const char* field; // the book's name field
        const char* entryWord;
        const char* used; // an entry something refers to
        const char* usedCount;
        const char* free;      // an entry nothing refers to
        const char* added;     // typed into "Добавить…"
        const char* addedAs;   // as the book keeps it
        const char* duplicate; // the same as an entry, in other letters and spaces
        const char* renamed;
        const char* registerCopy; // the register's field that follows a renamed entry
    } cases[] = {
        {"ftrDoljn", &DataModule::tblDoljn, "NDoljn", "должность", "ВРАЧ-ТЕРАПЕВТ",
         "сотрудники — 1, слушатели заявок — 1", "ВРАЧ-ХИРУРГ", "врач-педиатр участковый",
         "ВРАЧ-ПЕДИАТР УЧАСТКОВЫЙ", "  врач-хирург ", "ВРАЧ-ТЕРАПЕВТ УЧАСТКОВЫЙ", "tblPersonalNDoljn"},
        {"ftrSpez", &DataModule::tblSpez, "NSpez", "специальность по диплому", "ЛЕЧЕБНОЕ ДЕЛО",
         "сотрудники — 1, слушатели заявок — 1", "СЕСТРИНСКОЕ ДЕЛО", "Педиатрия", "Педиатрия",
         "сестринское  дело", "Лечебное дело", "tblPersonalNSpez"},
        {"ftrSpecialty", &DataModule::tblSpecialty, "Name", "специальность", "Терапия",
         "сертификаты сотрудников — 1", "Сестринское дело", "Неонатология", "Неонатология",
         "СЕСТРИНСКОЕ ДЕЛО", "Терапия (взрослые)", "tblSertifName"},
    };
    for (const auto& c : cases) {
        const std::string label = c.dialog;
        Table& book = *(dm.*c.book);
        const auto locate = [&](const char* name) { return book.locate(c.field, {QString::fromUtf8(name)}); };
        const auto name = [&] { return book.field(c.field).asString(); };
        open(c.dialog, [&](QDialog& d) {
            for (const char* button : {"AddEntry", "RenameEntry", "DeleteEntry"})
                EXPECT_TRUE(ui::find(&d, button)->isVisible()) << label << ' ' << button;
            const int before = book.recordCount();
            // Ins adds; the new entry becomes the current row.
            h.prompter.expectText("", QString::fromUtf8(c.added));
            press(d, Qt::Key_Insert);
            EXPECT_EQ(book.recordCount(), before + 1) << label;
            EXPECT_EQ(name(), QString::fromUtf8(c.addedAs)) << label;
            // A name the book has, in other letters and spaces, is refused.
            h.prompter.expectText("", QString::fromUtf8(c.duplicate)).expectError("уже есть в справочнике");
            ui::click(&d, "AddEntry");
            EXPECT_EQ(book.recordCount(), before + 1) << label;

            // F2 renames the current entry; the register follows.
            ASSERT_TRUE(locate(c.used)) << label;
            h.prompter.expectText(QString::fromUtf8(c.used), QString::fromUtf8(c.renamed));
            press(d, Qt::Key_F2);
            EXPECT_EQ(name(), QString::fromUtf8(c.renamed)) << label;
            EXPECT_EQ(dm.field(c.registerCopy).asString(), QString::fromUtf8(c.renamed)) << label;

            // Delete: refused with the count while anything refers to the entry, without a question.
            h.prompter.expectError(QString::fromUtf8(c.usedCount));
            press(d, Qt::Key_Delete);
            EXPECT_EQ(book.recordCount(), before + 1) << label;
            // An entry nobody refers to: asked, with "Нет" as Enter's answer, then deleted on "Да".
            ASSERT_TRUE(locate(c.free)) << label;
            const QString question = QStringLiteral("Удалить из справочника: %1 «%2»?")
                                         .arg(QString::fromUtf8(c.entryWord), QString::fromUtf8(c.free));
            h.prompter.expectAsk("Удаление", question, Prompter::Answer::No);
            press(d, Qt::Key_Delete);
            EXPECT_EQ(h.prompter.lastAskButtons(), Prompter::Buttons::YesNoDefaultNo) << label;
            EXPECT_EQ(book.recordCount(), before + 1) << label;
            h.prompter.expectAsk("Удаление", question, Prompter::Answer::Yes);
            ui::click(&d, "DeleteEntry");
            EXPECT_EQ(book.recordCount(), before) << label;
            EXPECT_FALSE(locate(c.free)) << label;
            d.close();
        });
        h.prompter.verify();
    }
}

TEST_F(PickDialogs, APickingListAddsButNeitherRenamesNorDeletes) {
    fillBooks();
    state.DoljnCaller = 1;
    open("ftrDoljn", [&](QDialog& d) {
        EXPECT_TRUE(ui::find(&d, "AddEntry")->isVisible());
        EXPECT_FALSE(ui::find(&d, "RenameEntry")->isVisible());
        EXPECT_FALSE(ui::find(&d, "DeleteEntry")->isVisible());
        const int before = dm.tblDoljn->recordCount();
        press(d, Qt::Key_Delete);
        press(d, Qt::Key_F2);
        EXPECT_EQ(dm.tblDoljn->recordCount(), before);
        d.close();
    });
    state.DoljnCaller = 0;
}
