// The data-aware grid and boxes: the grid and the dataset move together, only painted rows are
// read, and typing into a bound box edits the current row (or starts one on an empty view).
#include "data/DataModule.h"
#include "shell/DbEdit.h"
#include "shell/DbGrid.h"
#include "support/WindowHarness.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QHeaderView>
#include <gtest/gtest.h>

namespace {

struct DataAware : ::testing::Test {
    AppHarness h;
    TDM& dm = h.dm();
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
    DatasetModel model(dm.dtsPersonal, {{"Name1", "Фамилия", 150}, {"StajO1", "СтажОбщ.", 60}, {"DR", "Дата рожд.", 70}});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    addPeople({"ПЕТРОВ", "ИВАНОВ", "СИДОРОВ", "ИЛЬИН"});
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0, 0).data().toString(), "ИВАНОВ");
    EXPECT_EQ(model.index(0, 1).data().toString(), "2026"); // calculated, empty start year
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
    EXPECT_EQ(grid.columnWidth(2), 60);                       // a width of its own is kept

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
    DbGrid grid("DBGrid1", dm.dtsPersonal,
                {{"DR", "Дата рожд."}, {"StajO1", "Общ.Стаж", 0, std::nullopt, unknownServiceYears}, {"StajOb", "С"}});
    EXPECT_EQ(grid.cellText(0, 0), "");
    EXPECT_EQ(grid.cellText(0, 1), ""); // 2026 years of service: not known
    EXPECT_EQ(grid.cellText(1, 0), "17.05.1980");
    EXPECT_EQ(grid.cellText(1, 1), "25");
    EXPECT_EQ(grid.cellText(1, 2), "2001"); // a column not marked shows its numbers as they are

    QWidget form;
    auto* birth = new DbEdit("DBEdit1", dm.dtsPersonal, "DR", &form);
    auto* years = new DbEdit("DBEdit2", dm.dtsPersonal, "StajO1", &form);
    years->link()->setBlankWhen(unknownServiceYears);
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

TEST_F(DataAware, TypingIntoABoundBoxEditsTheRowOrStartsALinkedOne) {
    addPeople({"АНДРЕЕВ"});
    const qint64 npp = dm.field("tblPersonalNPP").asInteger();
    QWidget form;
    auto* email = new DbEdit("DBEdit1", dm.dtsPerEmail, "EMAIL", &form);
    auto* birth = new DbEdit("DBEdit2", dm.dtsPersonal, "DR", &form);
    EXPECT_EQ(birth->inputMask(), "99.99.0000;_");
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
