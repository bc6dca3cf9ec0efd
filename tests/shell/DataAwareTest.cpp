// The data-aware grid and boxes: the grid and the dataset move together, only painted rows are
// read, and typing into a bound box edits the current row (or starts one on an empty view).
#include "applications/ApplicationRules.h"
#include "data/DataModule.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "support/WindowHarness.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>

namespace {

struct DataAware : ::testing::Test {
    AppHarness h;
    DataModule& dm = h.dm();
    void addPeople(const QStringList& names) {
        for (const QString& n : names) {
            dm.tblPersonal->append();
            dm.field("tblPersonalName1").setAsString(n);
            dm.field("tblPersonalPR").setAsString(n.startsWith("И") ? "X" : "");
            dm.tblPersonal->post();
        }
    }
};

TEST_F(DataAware, TheModelStaysConsistentThroughEveryChange) {
    DatasetModel model(dm.dtsPersonal,
                       {{"Name1", "Фамилия", 150}, {"StajO1", "СтажОбщ.", 60}, {"DR", "Дата рожд.", 70}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    addPeople({"ПЕТРОВ", "ИВАНОВ", "СИДОРОВ", "ИЛЬИН"});
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0, 0).data().toString(), "ИВАНОВ");
    EXPECT_EQ(model.index(0, 1).data().toString(), ""); // calculated from an empty start year: unknown
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "СтажОбщ.");
    dm.tblPersonal->setFilter("([PR]= 'X')");
    dm.tblPersonal->setFiltered(true);
    EXPECT_EQ(model.rowCount(), 2);
    h.app.state.SilentDelete = 1;
    dm.tblPersonal->remove();
    EXPECT_EQ(model.rowCount(), 1);
    dm.tblPersonal->setFiltered(false);
    EXPECT_EQ(model.rowCount(), 3);
    dm.tblPersonal->close();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(DataAware, TheGridAndTheDatasetMoveTogether) {
    addPeople({"АНДРЕЕВ", "БОРИСОВ", "ВАСИЛЬЕВ"});
    DbGrid grid("DBGrid1", dm.dtsPersonal, {{"Name1", "Фамилия", 150}, {"Name2", "Имя", 120}});
    grid.datasetModel()->setRowColours([&](int row) -> std::optional<RowColours> {
        if (grid.cellText(row, 0) == "БОРИСОВ")
            return RowColours{Qt::red, Qt::white};
        return std::nullopt;
    });
    grid.resize(400, 300);
    grid.show();
    dm.tblPersonal->last();
    EXPECT_EQ(grid.currentIndex().row(), 2);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    EXPECT_EQ(dm.field("tblPersonalName1").asString(), "БОРИСОВ");
    EXPECT_EQ(grid.model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(grid.columnWidth(0), 150);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(DataAware, ColumnsWithoutAWidthFitTheirTitleAndValues) {
    addPeople({"ОЙ", "ПЕТРОВ"});
    dm.tblPersonal->first();
    dm.tblPersonal->edit();
    dm.field("tblPersonalNDoljn").setAsString(QString(60, u'Ж'));
    dm.tblPersonal->post();
    DbGrid grid("DBGrid1", dm.dtsPersonal, {{"Name1", "Ф"}, {"NDoljn", "Должность"}, {"Name2", "Имя", 60}});
    grid.resize(400, 200); // no room to spare
    grid.show();
    QCoreApplication::processEvents();
    auto fits = [&](int column) {
        for (int r = 0; r < grid.model()->rowCount(); ++r)
            if (grid.cellWidthHint(r, column) > grid.columnWidth(column))
                return false;
        return grid.horizontalHeader()->sectionSizeHint(column) <= grid.columnWidth(column);
    };
    EXPECT_TRUE(fits(0));
    EXPECT_EQ(grid.columnWidth(1), DbGrid::kMaxFittedWidth); // a very long value: capped
    EXPECT_EQ(grid.columnWidth(2), 60);                      // a width of its own is kept

    // A wider value grows its column; removing it narrows nothing, so the grid does not jump.
    const int before = grid.columnWidth(0);
    addPeople({"ЩЕРБАКОВА-ВОСКРЕСЕНСКАЯ"});
    QCoreApplication::processEvents();
    EXPECT_GT(grid.columnWidth(0), before);
    EXPECT_TRUE(fits(0));
    const int grown = grid.columnWidth(0);
    h.app.state.SilentDelete = 1;
    dm.tblPersonal->remove();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(0), grown);

    // A grid with room to spare shows the capped value whole.
    grid.resize(1400, 200);
    QCoreApplication::processEvents();
    EXPECT_TRUE(fits(1));

    // A column the user has resized keeps his width.
    grid.horizontalHeader()->resizeSection(0, 30);
    addPeople({"ЕЩЁ-ОДНА-ДЛИННАЯ-ФАМИЛИЯ"});
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(0), 30);
}

TEST_F(DataAware, ACutCellShowsItsWholeTextInATooltip) {
    addPeople({"ОЙ", "КОНСТАНТИНОПОЛЬСКАЯ-ВЕЛИ"});
    DbGrid grid("DBGrid1", dm.dtsPersonal, {{"Name1", "Фамилия", 80}});
    grid.resize(300, 200);
    grid.show();
    QCoreApplication::processEvents();
    QStringList tips;
    for (int r = 0; r < grid.model()->rowCount(); ++r)
        tips << grid.toolTipAt(r, 0);
    EXPECT_EQ(tips, (QStringList{"КОНСТАНТИНОПОЛЬСКАЯ-ВЕЛИ", ""})); // in the register's order
}

TEST_F(DataAware, ValuesThatStandForUnknownShowEmpty) {
    addPeople({"АНДРЕЕВ", "БОРИСОВ"});
    dm.tblPersonal->first(); // АНДРЕЕВ: no start year, the zero date for a birth date
    dm.tblPersonal->edit();
    dm.field("tblPersonalDR").setAsDate(QDate(1899, 12, 30));
    dm.tblPersonal->post();
    dm.tblPersonal->last(); // БОРИСОВ: known
    dm.tblPersonal->edit();
    dm.field("tblPersonalDR").setAsDate(QDate(1980, 5, 17));
    dm.field("tblPersonalStajOb").setAsInteger(2001);
    dm.tblPersonal->post();
    DbGrid grid("DBGrid1", dm.dtsPersonal, {{"DR", "Дата рожд."}, {"StajO1", "Общ.Стаж"}, {"StajOb", "С"}});
    EXPECT_EQ(grid.cellText(0, 0), "");
    EXPECT_EQ(grid.cellText(0, 1), ""); // 2026 years of service: not known
    EXPECT_EQ(grid.cellText(1, 0), "17.05.1980");
    EXPECT_EQ(grid.cellText(1, 1), "25");
    EXPECT_EQ(grid.cellText(1, 2), "2001"); // a start year is a year, shown as it is

    QWidget form;
    auto* birth = new DbEdit("DBEdit1", dm.dtsPersonal, "DR", &form);
    auto* years = new DbEdit("DBEdit2", dm.dtsPersonal, "StajO1", &form);
    dm.tblPersonal->first();
    QCoreApplication::processEvents();
    EXPECT_EQ(birth->displayText(), "__.__.____");
    EXPECT_EQ(years->text(), "");
    EXPECT_EQ(dm.field("tblPersonalDR").asDate(), QDate(1899, 12, 30)); // the row keeps its value
}

TEST_F(DataAware, TypingStopsAtTheFieldsWidthInLineAndMemoBoxes) {
    addPeople({"А"});
    QWidget form;
    new DbEdit("DBEdit1", dm.dtsPersonal, "Name2", &form);
    auto* memo = new DbMemo("DBMemo1", dm.dtsPersonal, "Name3", &form);
    const QString typed = QString(30, u'Ю');
    for (const char* box : {"DBEdit1", "DBMemo1"}) {
        ui::type(&form, box, typed);
        EXPECT_EQ(ui::text(&form, box), typed.left(25)) << box; // the box holds what the field keeps
    }
    // A paste fills the box up to the width as well.
    ui::clear(&form, "DBMemo1");
    QApplication::clipboard()->setText("ЁЖ" + typed);
    memo->paste();
    EXPECT_EQ(memo->toPlainText(), ("ЁЖ" + typed).left(25));
    dm.tblPersonal->post();
    EXPECT_EQ(dm.field("tblPersonalName2").asString(), typed.left(25));
    EXPECT_EQ(dm.field("tblPersonalName3").asString(), ("ЁЖ" + typed).left(25));
}

// The adding dialog's grid: the space bar marks the person and the cursor stays; no key searches the
// rows (a search read every row of the register at each press), and a mark repaints its row alone.
TEST_F(DataAware, AMarkRepaintsItsRowAndTypedKeysMoveNothing) {
    addPeople({"АНДРЕЕВ", "БОРИСОВ", " ЯКОВЛЕВ", "ВАСИЛЬЕВ"});
    DbGrid grid("DBGrid1", dm.dtsPersonal, {{"Name1", "Фамилия", 150}, {"PR", "", 20}});
    QObject::connect(&grid, &DbGrid::keyReleased, [&](int key) {
        if (key == Qt::Key_Space)
            applications::toggleMark(dm);
    });
    grid.resize(400, 300);
    grid.show();
    ASSERT_TRUE(dm.tblPersonal->locate("Name1", {"ВАСИЛЬЕВ"}));
    const int row = dm.tblPersonal->recNo();
    int resets = 0;
    QList<int> changedRows;
    QObject::connect(grid.model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(grid.model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         for (int r = from.row(); r <= to.row(); ++r)
                             changedRows << r;
                     });
    QTest::keyClick(&grid, Qt::Key_Space); // a row starting with a blank is not sought
    EXPECT_EQ(dm.tblPersonal->recNo(), row);
    EXPECT_EQ(grid.cellText(row, 1), "X");
    EXPECT_EQ(resets, 0);
    EXPECT_FALSE(changedRows.isEmpty());
    for (int r : changedRows)
        EXPECT_EQ(r, row);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_EQ(grid.cellText(row, 1), " ");
    QKeyEvent letter(QEvent::KeyPress, 0x0411, Qt::NoModifier, "Б"); // БОРИСОВ is not sought either
    QCoreApplication::sendEvent(&grid, &letter);
    EXPECT_EQ(dm.tblPersonal->recNo(), row);
    EXPECT_EQ(grid.currentIndex().row(), row);
}

// Years of service counted from no start year and the zero date are shown empty, in the grids and
// in the boxes alike; the stored values stay.
TEST_F(DataAware, UnknownValuesShowEmptyInGridsAndBoxes) {
    h.app.state.CurYear = 2026;
    dm.tblPersonal->append();
    dm.field("tblPersonalName1").setAsString("БОРИСОВ");
    dm.field("tblPersonalStajOb").setAsInteger(2001);
    dm.tblPersonal->post();
    addPeople({"АНДРЕЕВА"}); // no start years, no birth date
    DbGrid people("DBGrid1", dm.dtsPersonal,
                  {{"Name1", "Фамилия", 150}, {"StajO1", "Общ.Стаж", 64}, {"StajD1", "СтажСпец", 64}});
    EXPECT_EQ(people.cellText(0, 1), "");
    EXPECT_EQ(people.cellText(0, 2), "");
    EXPECT_EQ(people.cellText(1, 1), "25");

    dm.tblZajavki2023->append();
    dm.field("tblZajavki2023KZajavki").setAsFloat(116);
    dm.field("tblZajavki2023Year").setAsInteger(2026);
    dm.tblZajavki2023->post();
    for (const auto& [years, birth] : {std::pair{2026.0, QDate(1899, 12, 30)}, {16.0, QDate(1980, 5, 17)}}) {
        dm.tblSluch2023->append();
        dm.field("tblSluch2023StajOb").setAsFloat(years);
        dm.field("tblSluch2023StajDoljn").setAsFloat(years);
        dm.field("tblSluch2023DR").setAsDate(birth);
        dm.tblSluch2023->post();
    }
    DbGrid trainees("DBGrid2", dm.dtsSluch2023,
                    {{"DR", "Дата рожд.", 70}, {"StajDoljn", "СтажСпец", 60}, {"StajOb", "СтажОбщ", 60}});
    EXPECT_EQ((QStringList{trainees.cellText(0, 0), trainees.cellText(0, 1), trainees.cellText(0, 2)}),
              (QStringList{"", "", ""}));
    EXPECT_EQ((QStringList{trainees.cellText(1, 0), trainees.cellText(1, 1), trainees.cellText(1, 2)}),
              (QStringList{"17.05.1980", "16", "16"}));

    dm.tblSluch2023->first();
    QWidget form;
    new DbEdit("DBEdit4", dm.dtsSluch2023, "DR", &form);
    new DbEdit("DBEdit9", dm.dtsSluch2023, "StajOb", &form);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui::text(&form, "DBEdit9"), "");
    EXPECT_EQ(qobject_cast<QLineEdit*>(ui::find(&form, "DBEdit4"))
                  ->displayText()
                  .remove(QRegularExpression("[._ ]")),
              "");
    // Saving the row without typing there keeps what is stored.
    dm.tblSluch2023->edit();
    dm.field("tblSluch2023Name1").setAsString("ИВАНОВ");
    dm.tblSluch2023->post();
    EXPECT_EQ(dm.field("tblSluch2023DR").asDate(), QDate(1899, 12, 30));
    EXPECT_DOUBLE_EQ(dm.field("tblSluch2023StajOb").asFloat(), 2026);
}

TEST_F(DataAware, TypingIntoABoundBoxEditsTheRowOrStartsALinkedOne) {
    addPeople({"АНДРЕЕВ"});
    const qint64 npp = dm.field("tblPersonalNPP").asInteger();
    QWidget form;
    auto* email = new DbEdit("DBEdit1", dm.dtsPerEmail, "EMAIL", &form);
    auto* birth = new DbEdit("DBEdit2", dm.dtsPersonal, "DR", &form);
    EXPECT_EQ(birth->inputMask(), "99.99.9999;_");
    ui::type(&form, "DBEdit1", "a@b.ru");
    EXPECT_EQ(dm.tblPerEmail->state(), Dataset::State::Insert);
    dm.tblPerEmail->post();
    EXPECT_EQ(dm.field("tblPerEmailPersonalKOD").asInteger(), npp);
    EXPECT_EQ(email->text(), "a@b.ru");

    ui::type(&form, "DBEdit2", "17051980");
    EXPECT_TRUE(dm.tblPersonal->isModified()); // a half-typed date is pending, not refused
    dm.tblPersonal->post();
    EXPECT_EQ(dm.field("tblPersonalDR").asDate(), QDate(1980, 5, 17));
    EXPECT_EQ(birth->text(), "17.05.1980");
}

} // namespace
