// Loading the training centre's new catalogue: what it changes, shown before anything is written,
// and the load in one transaction.
#include "refbooks/CatalogueLoad.h"
#include "core/UserError.h"
#include "data/DataModule.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/Store.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {

using refbooks::CatalogueProgramme;

// The catalogue's layout as the centre's file may have it: the additional specialties kept in the
// record rather than in a memo.
TableLayout centreLayout() {
    TableLayout layout = *layouts::find("NewZicl2023");
    for (FieldDef& f : layout.fields)
        if (f.name == "ADDSPECIALTY")
            f = FieldDef{f.name, FieldType::Alpha, 150};
    return layout;
}

QVariantList programme(int npp, const char* code, int hours, int year, const char* name,
                       const char* form = "ОЧ") {
    return {npp,     QString::fromUtf8(code),
            "ПК",    "",
            hours,   QString::fromUtf8(name),
            "Врачи", double(npp),
            year,    "Терапия",
            "",      QString::fromUtf8(form)};
}

struct CatalogueLoad : ::testing::Test {
    TempStore temp;
    QTemporaryDir files;
    QString file = QDir(files.path()).filePath("NewZicl2027.db"); // not the store's name

    void SetUp() override {
        insert("NewZicl2023", programme(1, "100", 36, 2026, "Терапия"));
        insert("NewZicl2023", programme(2, "200", 72, 2026, "Кардиология"));
        insert("NewZicl2023", programme(3, "300", 144, 2026, "Неврология"));
        insert("NewZicl2023", programme(4, "400", 36, 2027, "Хирургия"));
        // Trainees of 2026 and 2027 on the programme 300 that vanishes, and one of an old year.
        temp.store->exec("INSERT INTO Sluch2023 (KZajavki, \"Year\", Name1, KZicl, VidOb, Hours) VALUES "
                         "(116, 2026, 'А', '300', 'ПК', 144), (116, 2026, 'Б', '300', 'ПК', 144), "
                         "(116.01, 2027, 'В', '300', 'ПК', 144), (116, 2020, 'Г', '300', 'ПК', 144)");
    }
    void insert(const char* table, const QVariantList& values) {
        QStringList marks;
        for (int i = 0; i < values.size(); ++i)
            marks << "?";
        auto st = temp.store->cached(QString("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(',')));
        for (int i = 0; i < values.size(); ++i)
            st->bind(i + 1, values[i]);
        st->step();
    }
    QStringList stored() {
        QStringList out;
        auto st = temp.store->cached("SELECT KZicl, NZicl, FOBUCH FROM NewZicl2023 ORDER BY NPP");
        while (st->step())
            out << st->rawValue(0).toString() + " " + st->rawValue(1).toString() + " " +
                       st->rawValue(2).toString();
        return out;
    }
    static QStringList codes(const QList<CatalogueProgramme>& list) {
        QStringList out;
        for (const CatalogueProgramme& p : list)
            out << p.code + "/" + QString::number(p.year);
        return out;
    }
};

TEST_F(CatalogueLoad, ShowsNewChangedAndVanishedProgrammesAndWhichApplicationsUseThem) {
    writeParadoxTable(file, centreLayout(),
                      {programme(1, "100", 36, 2026, "Терапия"),           // unchanged
                       programme(2, "200", 72, 2026, "Кардиология", "ОЗ"), // another form of training
                       programme(3, "400", 36, 2027, "Хирургия общая"),    // another name
                       programme(4, "500", 18, 2027, "Эндокринология"),    // new
                       programme(5, "100", 36, 2027, "Терапия")});         // new in the next year
    const QStringList before = stored();
    const refbooks::CatalogueComparison c = refbooks::compareCatalogue(*temp.store, file, 2026);
    EXPECT_EQ(stored(), before) << "comparing writes nothing";
    EXPECT_EQ(c.rows, 5);
    EXPECT_EQ(codes(c.added), (QStringList{"100/2027", "500/2027"}));
    EXPECT_EQ(codes(c.changed), (QStringList{"200/2026", "400/2027"}));
    EXPECT_EQ(codes(c.vanished), QStringList{"300/2026"});
    EXPECT_EQ(c.summary(), "новых программ: 2, изменённых: 2, исчезнувших: 1");
    ASSERT_EQ(c.vanishedInUse.size(), 1);
    EXPECT_EQ(c.vanishedInUse[0].programme.describe(), "300 ПК, 144 ч., 2026: Неврология");
    EXPECT_EQ(c.vanishedInUse[0].applications, (QStringList{"заявка 116 на 2026 год: 2 слушателя (А, Б)",
                                                            "заявка 116,01 на 2027 год: 1 слушатель (В)"}))
        << "the trainees named";
    // Each changed programme says what changed.
    EXPECT_EQ(c.changed[0].describe(), "200 ПК, 72 ч., 2026: Кардиология — изменены: форма обучения");
    EXPECT_EQ(c.changed[1].describe(), "400 ПК, 36 ч., 2027: Хирургия общая — изменены: название");

    refbooks::loadCatalogue(*temp.store, file);
    // The same file again changes nothing, and says so in words.
    const refbooks::CatalogueComparison again = refbooks::compareCatalogue(*temp.store, file, 2026);
    EXPECT_TRUE(again.changesNothing());
    EXPECT_EQ(again.summary(), "каталог не изменился");
    EXPECT_EQ(stored(), (QStringList{"100 Терапия ОЧ", "200 Кардиология ОЗ", "400 Хирургия общая ОЧ",
                                     "500 Эндокринология ОЧ", "100 Терапия ОЧ"}));
}

// A table of another kind is refused naming the file and what a catalogue is, before anything else.
TEST_F(CatalogueLoad, AnotherTableIsRefusedSayingWhatACatalogueIs) {
    const QString staff = QDir(files.path()).filePath("Personal.DB");
    writeParadoxTable(staff, *layouts::find("Personal"), {});
    try {
        refbooks::compareCatalogue(*temp.store, staff, 2026);
        ADD_FAILURE() << "a staff table taken for a catalogue";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QString("Файл «%1» — не каталог программ учебного центра: в нём нет полей KZicl")
                .arg(QDir::toNativeSeparators(staff))))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("код программы")) << e.message().toStdString();
    }
}

// A file the store cannot take leaves the old catalogue whole: the load is one transaction.
TEST_F(CatalogueLoad, AFileThatCannotBeLoadedLeavesTheOldCatalogue) {
    QList<QVariantList> rows;
    for (int i = 1; i <= 50; ++i)
        rows << programme(i, "600", 36, 2026, "Программа");
    rows[30][4] = 70000; // hours beyond what the store's field holds
    TableLayout wide = centreLayout();
    for (FieldDef& f : wide.fields)
        if (f.name == "Hours")
            f.type = FieldType::Long;
    writeParadoxTable(file, wide, rows);
    const QStringList before = stored();
    EXPECT_THROW(refbooks::compareCatalogue(*temp.store, file, 2026), UserError);
    try {
        refbooks::loadCatalogue(*temp.store, file);
        ADD_FAILURE() << "a refused row was loaded";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().contains("NewZicl2027.db")) << e.message().toStdString();
    }
    EXPECT_EQ(stored(), before);
    EXPECT_THROW(refbooks::loadCatalogue(*temp.store, QDir(files.path()).filePath("missing.db")), UserError);
}

} // namespace
