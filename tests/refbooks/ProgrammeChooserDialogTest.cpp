// The programme chooser through the real window: the mode by caller code, the filter by main
// specialty, the contingent of the current programme and where a pick goes.
#include "data/DataModule.h"
#include "shell/MainWindow.h"
#include "shell/WindowRegistry.h"
#include "spreadsheet/DocumentOpener.h"
#include "support/GridActions.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

using gridActions::clickRow;
using gridActions::doubleClickRow;

const QString kApostrophe = QStringLiteral("Д'Арсонвализация и физиотерапия");

struct ChooserDialog : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    SharedState& state = h.app.state;
    MainWindow& main = h.mainWindow();

    ChooserDialog() {
        struct Programme {
            const char* code;
            const char* kind;
            const char* type;
            int hours;
            const char* name;
            const char* contingent;
            QString specialty;
            const char* form;
        } const programmes[] = {
            {"ПК-001", "ПК", "Б", 36, "Терапия: избранные вопросы", "Врачи-терапевты", "Терапия", "Д"},
            {"ПП-0123456789AB", "ПП", "П", 504, "Физиотерапия", "Медицинские сестры", kApostrophe, "ОЗ"},
            {"ПК-003", "ПК", "Б", 144, "Хирургия", "Врачи-хирурги", "Хирургия", "ОЧ"},
        };
        double real = 1;
        for (const Programme& p : programmes) {
            dm.tblNewZicl->append();
            dm.field("tblNewZiclKZicl").setAsString(QString::fromUtf8(p.code));
            dm.field("tblNewZiclVidOb").setAsString(QString::fromUtf8(p.kind));
            dm.field("tblNewZiclTypeOb").setAsString(QString::fromUtf8(p.type));
            dm.field("tblNewZiclHours").setAsInteger(p.hours);
            dm.field("tblNewZiclNZicl").setAsString(QString::fromUtf8(p.name));
            dm.field("tblNewZiclContingent").setAsString(QString::fromUtf8(p.contingent));
            dm.field("tblNewZiclSPECIALY").setAsString(p.specialty);
            dm.field("tblNewZiclADDSPECIALTY").setAsString("Общая врачебная практика");
            dm.field("tblNewZiclFOBUCH").setAsString(QString::fromUtf8(p.form));
            dm.field("tblNewZiclRealZicl").setAsFloat(real++);
            dm.field("tblNewZiclYear").setAsInteger(2026);
            dm.tblNewZicl->post();
        }
        for (const QString& name : {QStringLiteral("Терапия"), kApostrophe, QStringLiteral("Хирургия"),
                                    QStringLiteral("Эндоскопия")}) {
            dm.tblSpecialty->append();
            dm.field("tblSpecialtyName").setAsString(name);
            dm.tblSpecialty->post();
        }
        dm.reloadNewZicl(DataModule::defaultNewZiclSql()); // as the opener does
        // What earlier picks left in the shared variables.
        state.SelKZicl = "прежний";
        state.SelVidOb = "ПВ";
        state.SelTypeOb = "Т";
        state.SelFOBUCH = "Ф";
        state.SelHours = 7;
    }

    int open(const std::function<void(QDialog&)>& hand) {
        h.dialogs.expect("ftrZicl", hand);
        return main.showProgrammeChooser();
    }
    static DbGrid* grid(QDialog& d) { return d.findChild<DbGrid*>("DBGrid1"); }
    static QComboBox* specialties(QDialog& d) { return d.findChild<QComboBox*>("ComboBox1"); }
    static void chooseSpecialty(QDialog& d, const QString& name) {
        specialties(d)->setCurrentIndex(specialties(d)->findText(name));
    }
    QString sel() const {
        return QStringList{state.SelKZicl, state.SelVidOb, state.SelTypeOb, state.SelFOBUCH,
                           QString::number(state.SelHours)}
            .join('|');
    }
};

TEST_F(ChooserDialog, OpeningSetsTheListTheStripAndTheExportByCallerCode) {
    const struct {
        int code;
        bool strip;
        bool exportButton;
        const char* count; // the opener left the list filtered to one specialty
    } cases[] = {
        {0, false, true, "Всего - 1"}, {2, true, false, "Всего - 1"},  {3, true, false, "Всего - 1"},
        {4, true, false, "Всего - 1"}, {6, true, false, "Всего - 1"},  {7, true, false, "Всего - 1"},
        {8, true, true, "Всего - 1"},  {10, true, false, "Всего - 3"},
    };
    for (const auto& c : cases) {
        const std::string label = "code " + std::to_string(c.code);
        state.ZiclCaller = quint8(c.code);
        dm.qNewZicl->setFilterConditions({{"SPECIALY", "Хирургия"}});
        dm.qNewZicl->setFiltered(true);
        open([&](QDialog& d) {
            EXPECT_EQ(ui::find(&d, "Panel1")->isVisible(), c.strip) << label;
            EXPECT_EQ(ui::find(&d, "SpeedButton1")->isVisible(), c.exportButton) << label;
            EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), c.count) << label;
            EXPECT_EQ(ui::text(&d, "Memo1"), c.code == 10 ? "Врачи-терапевты" : "Врачи-хирурги") << label;
            QComboBox* list = specialties(d);
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items << list->itemText(i);
            EXPECT_EQ(items, (QStringList{"Терапия", kApostrophe, "Хирургия", "Эндоскопия"})) << label;
            EXPECT_EQ(list->currentIndex(), -1) << label;
            EXPECT_EQ(list->currentText(), "") << label;
            EXPECT_FALSE(list->isEditable());
            EXPECT_EQ(d.focusWidget(), grid(d)) << label;
            d.close();
        });
    }
    // The export button lists the programmes shown as a workbook.
    state.ZiclCaller = 0;
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    open([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(),
                  "Дополнительные профессиональные программы и программы профессионального обучения");
        EXPECT_EQ(d.size(), QSize(1042, 567));
        EXPECT_EQ(grid(d)->width(), 713);
        QStringList headers;
        for (int col = 0; col < grid(d)->model()->columnCount(); ++col)
            headers << grid(d)->model()->headerData(col, Qt::Horizontal).toString();
        EXPECT_EQ(headers,
                  (QStringList{"КодПрогр.", "ВидОб", "ОбъемЧас.", "ФормаОбуч", "Год", "Наименование"}));
        EXPECT_EQ(grid(d)->columnWidth(5), 430);
        // The legend explains the forms the list has, by the codes the grid shows.
        EXPECT_EQ(ui::text(&d, "Memo2"),
                  "Формы обучения:\n"
                  "Д — очно-заочная, без выезда слушателей в образовательную организацию\n"
                  "ОЗ — очно-заочная, с выездом слушателей на время очной части\n"
                  "ОЧ — очная, с выездом слушателей в образовательную организацию");
        EXPECT_EQ(ui::text(&d, "DBEdit1"), "Терапия");
        EXPECT_EQ(ui::text(&d, "DBMemo1"), "Общая врачебная практика");
        ui::click(&d, "SpeedButton1");
        d.close();
    });
    setDocumentOpener({});
    EXPECT_EQ(opened, QStringList{QDir(h.app.root.documents()).filePath("Программы обучения.xlsx")});
}

TEST_F(ChooserDialog, TheFilterTakesASpecialtyWithAnApostropheAndCancelBringsEveryRowBack) {
    open([&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "Memo1"), "Врачи-терапевты");
        chooseSpecialty(d, kApostrophe);
        ui::click(&d, "Button1");
        ASSERT_EQ(grid(d)->model()->rowCount(), 1);
        EXPECT_EQ(grid(d)->cellText(0, 0), "ПП-0123456789AB");
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 1");
        EXPECT_EQ(ui::text(&d, "Memo1"), "Медицинские сестры") << "the contingent follows the current row";

        chooseSpecialty(d, "Эндоскопия");
        ui::click(&d, "Button1");
        EXPECT_EQ(grid(d)->model()->rowCount(), 0);
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 0");
        EXPECT_EQ(ui::text(&d, "Memo1"), "") << "no programme, no contingent";

        ui::click(&d, "Button2");
        EXPECT_EQ(grid(d)->model()->rowCount(), 3);
        EXPECT_FALSE(ui::text(&d, "Memo1").isEmpty());
        EXPECT_EQ(ui::text(&d, "Memo1"), dm.field("qNewZiclContingent").asString())
            << "the current programme's";
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 3");
        EXPECT_EQ(specialties(d)->currentIndex(), -1);
        EXPECT_EQ(specialties(d)->currentText(), "");

        chooseSpecialty(d, "Хирургия");
        ui::click(&d, "Button1");
        EXPECT_TRUE(dm.qNewZicl->isFiltered());
        d.close(); // the close box
    });
    EXPECT_FALSE(dm.qNewZicl->isFiltered()) << "no other window sees the chooser's filter";
    EXPECT_EQ(dm.qNewZicl->recordCount(), 3);
}

TEST_F(ChooserDialog, TheContingentFollowsTheCurrentProgrammeOnClicksAndKeys) {
    open([&](QDialog& d) {
        DbGrid* g = grid(d);
        clickRow(g, 2);
        EXPECT_EQ(ui::text(&d, "Memo1"), "Врачи-хирурги");

        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(g, &up);
        EXPECT_EQ(ui::text(&d, "Memo1"), "Медицинские сестры") << "on the key press";

        dm.qNewZicl->first(); // moved by other means: the memo waits for the grid
        EXPECT_EQ(ui::text(&d, "Memo1"), "Медицинские сестры");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QCoreApplication::sendEvent(g, &release);
        EXPECT_EQ(ui::text(&d, "Memo1"), "Врачи-терапевты") << "on the key release";

        ui::key(&d, "DBGrid1", Qt::Key_Down);
        EXPECT_EQ(ui::text(&d, "Memo1"), "Медицинские сестры");
        d.close();
    });
}

TEST_F(ChooserDialog, APickGoesWhereTheCallerCodeSays) {
    using Fields = QList<std::pair<const char*, const char*>>;
    const struct Case {
        int code;
        const char* adding; // the adding dialog whose boxes show the programme, or ""
        const char* table;  // the table whose row takes it, or ""
        Fields fields;
        const char* sel; // SelKZicl|SelVidOb|SelTypeOb|SelFOBUCH|SelHours afterwards
    } cases[] = {
        {2, "ftrInsertSluch", "", {}, "ПП-0123456789AB|ПП|П|Ф|504"},
        {3, "ftrInsertSluch2021", "", {}, "ПП-0123456789AB|ПП|П|Ф|504"},
        {4, "ftrInsertSluch2023", "", {}, "ПП-0123456789AB|ПП|Т|ОЗ|504"},
        // The older trainee table keeps six characters of the code.
        {6,
         "",
         "tblSluch",
         {{"KZicl", "ПП-012"}, {"VidOb", "ПП"}, {"Hours", "504"}, {"TypeOb", "П"}},
         "прежний|ПВ|Т|Ф|7"},
        {7,
         "",
         "tblSluch2021",
         {{"KZicl", "ПП-0123456789AB"}, {"VidOb", "ПП"}, {"Hours", "504"}, {"TypeOb", "П"}},
         "прежний|ПВ|Т|Ф|7"},
        {8,
         "",
         "tblSluch2023",
         {{"KZicl", "ПП-0123456789AB"}, {"VidOb", "ПП"}, {"Hours", "504"}, {"FOBUCH", "ОЗ"}},
         "прежний|ПВ|Т|Ф|7"},
        {10, "", "tblTrained", {{"KZicl", "ПП-012"}, {"VidOb", "ПП"}, {"Hours", "504"}}, "прежний|ПВ|Т|Ф|7"},
    };
    const QString before = sel();
    for (const Case& c : cases) {
        const std::string label = "code " + std::to_string(c.code);
        state.ZiclCaller = quint8(c.code);
        int result = -1;
        auto pick = [&] {
            result = open([&](QDialog& d) {
                chooseSpecialty(d, kApostrophe);
                ui::click(&d, "Button1");
                doubleClickRow(grid(d), 0);
                EXPECT_FALSE(d.isVisible()) << label;
            });
        };
        QStringList boxes;
        if (*c.adding) {
            auto* adding = new QDialog(&main);
            adding->setObjectName(c.adding);
            for (const char* name : {"Edit1", "Edit2"})
                (new QLineEdit(adding))->setObjectName(name);
            h.dialogs.expect(c.adding, [&](QDialog& w) {
                pick();
                boxes << ui::text(&w, "Edit1") << ui::text(&w, "Edit2");
                w.close();
            });
            main.showModal(adding);
            EXPECT_EQ(boxes, (QStringList{"ПП-0123456789AB ПП", "504"})) << label;
        } else {
            pick();
        }
        EXPECT_EQ(result, QDialog::Accepted) << label;
        EXPECT_FALSE(dm.qNewZicl->isFiltered()) << label;
        EXPECT_EQ(sel(), QString::fromUtf8(c.sel)) << label;
        for (Dataset* ds : dm.datasets())
            EXPECT_EQ(ds->isEditing(), ds->objectName() == c.table)
                << label << " " << ds->objectName().toStdString();
        if (*c.table) {
            Dataset* target = dm.dataset(c.table);
            for (const auto& [field, value] : c.fields)
                EXPECT_EQ(target->field(field).asString(), QString::fromUtf8(value)) << label << " " << field;
            target->cancel();
        }
        state.SelKZicl = "прежний";
        state.SelVidOb = "ПВ";
        state.SelTypeOb = "Т";
        state.SelFOBUCH = "Ф";
        state.SelHours = 7;
    }
    EXPECT_EQ(sel(), before);
}

TEST_F(ChooserDialog, BrowsingPicksNothingAndAnEmptyListPicksNothing) {
    state.ZiclCaller = 0;
    EXPECT_EQ(open([&](QDialog& d) {
                  doubleClickRow(grid(d), 1);
                  EXPECT_TRUE(d.isVisible());
                  d.close();
              }),
              QDialog::Rejected);
    EXPECT_EQ(sel(), "прежний|ПВ|Т|Ф|7");

    // With no programme shown a double click writes nothing, neither into a row nor into the
    // adding dialog's boxes, and the chooser stays open for another choice.
    for (int code : {8, 4}) {
        state.ZiclCaller = quint8(code);
        EXPECT_EQ(open([&](QDialog& d) {
                      chooseSpecialty(d, "Эндоскопия");
                      ui::click(&d, "Button1");
                      doubleClickRow(grid(d), -1);
                      EXPECT_TRUE(d.isVisible());
                      d.close();
                  }),
                  QDialog::Rejected)
            << code;
    }
    EXPECT_EQ(dm.tblSluch2023->state(), Dataset::State::Browse);
    EXPECT_TRUE(dm.tblSluch2023->isEmpty());
    EXPECT_EQ(sel(), "прежний|ПВ|Т|Ф|7");
}

TEST_F(ChooserDialog, TheCatalogueMenuItemsBrowseTheLoadedOrTheWholeList) {
    dm.reloadNewZicl({"SELECT * FROM NewZicl2023", "WHERE Hours > :p_hours", "ORDER BY RealZicl"},
                     {{"p_hours", 100}});
    state.ZiclCaller = 4;
    h.dialogs.expect("ftrZicl", [&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 2");
        EXPECT_FALSE(ui::find(&d, "Panel1")->isVisible());
        d.close();
    });
    windows::action("N10")(main);
    EXPECT_EQ(state.ZiclCaller, 0);

    state.ZiclCaller = 4;
    h.dialogs.expect("ftrZicl", [&](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "StatusBar1Panel0"), "Всего - 3");
        EXPECT_FALSE(ui::find(&d, "Panel1")->isVisible());
        d.close();
    });
    windows::action("N8")(main);
    EXPECT_EQ(state.ZiclCaller, 0);
}

} // namespace
