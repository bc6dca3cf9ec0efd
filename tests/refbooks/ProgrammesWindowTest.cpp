// The programme catalogue window through the real window with a scripted prompter: the filter by
// specialty and year, "отмена", the contingent memo's moments, the list printed, and the centre's
// new catalogue loaded after its summary.
#include "refbooks/ProgrammesWindow.h"
#include "data/DataModule.h"
#include "data/paradox/ParadoxWriter.h"
#include "shell/DbGrid.h"
#include "shell/MainWindow.h"
#include "spreadsheet/DocumentOpener.h"
#include "support/GridActions.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QListWidget>

namespace {

struct Programmes : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    MainWindow& main = h.mainWindow();
    ProgrammesWindow* window = nullptr;

    void SetUp() override {
        for (const char* s :
             {"Терапия", "Педиатрия", "Акушерство и гинекология", "Детская хирургия 'острая'"}) {
            dm.tblSpecialty->append();
            dm.field("tblSpecialtyName").setAsString(QString::fromUtf8(s));
            dm.tblSpecialty->post();
        }
        add("101", 2026, "Терапия", "Участковые терапевты");
        add("102", 2027, "Терапия", "Терапевты стационара");
        add("201", 2026, "Педиатрия", "Педиатры");
        add("301", 2027, "Детская хирургия 'острая'", "Хирурги");
        add("401", 2027, "100% хирургия", "Все хирурги");
        main.openProgrammes();
        window = qobject_cast<ProgrammesWindow*>(main.instance("ftrProgr"));
        ASSERT_TRUE(window);
        window->activated();
    }
    void TearDown() override { setDocumentOpener({}); }
    void add(const char* code, int year, const char* specialty, const char* contingent) {
        Table& t = *dm.tblNewZicl;
        t.append();
        t.field("KZicl").setAsString(code);
        t.field("VidOb").setAsString("ПК");
        t.field("Hours").setAsInteger(36);
        t.field("Year").setAsInteger(year);
        t.field("NZicl").setAsString(QString("Программа ") + code);
        t.field("SPECIALY").setAsString(QString::fromUtf8(specialty));
        t.field("Contingent").setAsString(QString::fromUtf8(contingent));
        t.field("RealZicl").setAsFloat(QString(code).toDouble());
        t.post();
    }
    QStringList shown() {
        auto* grid = window->findChild<DbGrid*>("DBGrid1");
        QStringList codes;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            codes << grid->cellText(row, 0);
        return codes;
    }
    void setFilter(const char* specialty, const char* year) {
        window->findChild<QComboBox*>("ComboBox1")->setEditText(QString::fromUtf8(specialty));
        auto* years = window->findChild<QComboBox*>("ComboBox2");
        years->setCurrentIndex(years->findData(QString::fromUtf8(year)));
        ui::click(window, "Button1");
    }
    QString count() { return ui::text(window, "StatusBar1Panel0"); }
};

TEST_F(Programmes, TheFilterComparesTheTypedTextsAsValues) {
    EXPECT_EQ(shown(), (QStringList{"101", "102", "201", "301", "401"}));
    EXPECT_EQ(count(), "Всего - 5");
    auto* specialties = window->findChild<QComboBox*>("ComboBox1");
    EXPECT_EQ(specialties->count(), 4);
    const struct {
        const char* specialty;
        const char* year;
        QStringList codes;
    } cases[] = {
        {"Терапия", "", {"101", "102"}},
        {"", "2027", {"102", "301", "401"}},
        {"Терапия", "2027", {"102"}},
        {"", "", {"101", "102", "201", "301", "401"}},
        {"Детская хирургия 'острая'", "", {"301"}}, // an apostrophe is an ordinary character
        {"100% хирургия", "", {"401"}},             // so is a percent sign
        {"терапия", "", {}},                        // the specialty is compared as stored
    };
    // The year box offers the catalogue's years, after "все годы".
    auto* years = window->findChild<QComboBox*>("ComboBox2");
    QStringList offered;
    for (int i = 0; i < years->count(); ++i)
        offered << years->itemText(i);
    EXPECT_EQ(offered, (QStringList{"все годы", "2026", "2027"}));
    for (const auto& c : cases) {
        setFilter(c.specialty, c.year);
        EXPECT_EQ(shown(), c.codes) << c.specialty << " / " << c.year;
        EXPECT_EQ(count(), QString("Всего - %1").arg(c.codes.size()));
    }
    setFilter("Терапия", "2027");
    ui::click(window, "Button2");
    EXPECT_EQ(shown().size(), 5);
    EXPECT_EQ(count(), "Всего - 5");
    EXPECT_EQ(specialties->currentText(), "");
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox2")->currentText(), "все годы");
}

TEST_F(Programmes, TheContingentIsAlwaysTheCurrentProgrammes) {
    EXPECT_EQ(ui::text(window, "Memo1"), "Участковые терапевты");
    setFilter("Педиатрия", "");
    EXPECT_EQ(ui::text(window, "DBEdit1"), "Педиатрия");
    EXPECT_EQ(ui::text(window, "Memo1"), "Педиатры") << "the filter's first programme";
    setFilter("Эндоскопия", "");
    EXPECT_EQ(ui::text(window, "Memo1"), "") << "nothing left, nothing shown";
    ui::click(window, "Button2");
    EXPECT_EQ(ui::text(window, "Memo1"), "Участковые терапевты");
    ui::key(window, "DBGrid1", Qt::Key_Down);
    EXPECT_EQ(ui::text(window, "Memo1"), "Терапевты стационара");

    // Coming back empties both boxes and lists everything: the boxes say what the list shows.
    setFilter("Терапия", "2027");
    window->activated();
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox1")->currentText(), "");
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox2")->currentText(), "все годы");
    EXPECT_EQ(shown().size(), 5);
    EXPECT_EQ(main.statusPanel(0), "");
}

TEST_F(Programmes, ThePrintButtonListsTheProgrammesShown) {
    QStringList opened;
    setDocumentOpener([&opened](const QString& path) {
        opened << path;
        return true;
    });
    setFilter("Терапия", "");
    ui::click(window, "SpeedButton1");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QDir(h.app.root.documents()).filePath("Программы обучения.xlsx"));
}

TEST_F(Programmes, TheNewCatalogueIsLoadedAfterItsSummary) {
    QTemporaryDir files;
    const QString file = QDir(files.path()).filePath("NewZicl2023.db");
    TableLayout layout = *layouts::find("NewZicl2023");
    layout.fields[10] = FieldDef{"ADDSPECIALTY", FieldType::Alpha, 150};
    writeParadoxTable(
        file, layout,
        {{1, "101", "ПК", "", 36, "Программа 101", "Участковые терапевты", 101.0, 2026, "Терапия", "", ""},
         {2, "999", "ПК", "", 18, "Новая", "Все", 999.0, 2027, "Терапия", "", ""}});

    h.prompter.expectOpenFile("");
    ui::click(window, "LoadCatalogueButton"); // cancelled in the file dialog
    h.prompter.expectOpenFile(file);
    h.dialogs.expect("ftrLoadCatalogue", [](QDialog& d) {
        EXPECT_EQ(ui::text(&d, "SummaryLabel"),
                  "Загрузка изменит каталог: новых программ: 1, изменённых: 0, исчезнувших: 4.");
        EXPECT_EQ(d.findChild<QListWidget*>("VanishedList")->count(), 4);
        ui::click(&d, "CancelButton");
    });
    ui::click(window, "LoadCatalogueButton");
    EXPECT_EQ(shown().size(), 5) << "declined: the old catalogue stays";
    EXPECT_TRUE(h.app.backups().list().isEmpty()) << "no copy for a declined load";

    h.prompter.expectOpenFile(file).expectInform("Каталог программ загружен: новых программ: 1, изменённых: "
                                                 "0, исчезнувших: 4; программ в каталоге: 2.");
    h.dialogs.expect("ftrLoadCatalogue", [](QDialog& d) { ui::click(&d, "LoadButton"); });
    ui::click(window, "LoadCatalogueButton");
    EXPECT_EQ(shown(), (QStringList{"101", "999"}));
    EXPECT_EQ(count(), "Всего - 2");
    ASSERT_EQ(h.app.backups().list().size(), 1) << "a copy of the store before the load";
    EXPECT_EQ(h.app.backups().list()[0].action, "catalogue");
}

} // namespace
