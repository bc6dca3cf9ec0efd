// Reading the sample tables of the shared fixtures: layout and record count of every table, and
// values checked by sight once against the bytes of the files.
#include "ParadoxTestSupport.h"

#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <vector>

using namespace paradoxtest;

namespace {

struct TableCase {
    const char* file;
    int version;
    int codePage;
    int records;
    std::vector<const char*> fields; // "name type" as the dump writes them
};

const TableCase kTables[] = {
    {"db/AREACODE.DB", 0x09, 437, 135, {"Area Code A 3", "Country A 30", "Full State A 21", "State A 2"}},
    {"db/AREACODES.DB", 0x0C, 1252, 370, {"AC A 5", "State A 3", "Cities A 157"}},
    {"db/CONTACTS.DB", 0x0C, 437, 55, {"Last Name A 10", "First Name A 20", "Company A 30", "Phone A 15"}},
    {"db/CUSTOMER.DB",
     0x0C,
     1252,
     20,
     {"CustNo +", "FirstName A 51", "LastName A 50", "EMail A 100", "Street A 30", "City A 15",
      "State/Prov A 20", "Zip/Postal Code A 10", "Comments M 100", "DateEntered D"}},
    {"db/DECIMAL.DB", 0x0C, 1252, 9, {"DECIMAL N"}},
    {"db/GENERAL.DB", 0x0B, 936, 3, {"ID I", "NAME A 25", "MONEYS $"}},
    {"db/HERCULES.DB", 0x0C, 1252, 20, {"TEMPLATE A 80", "HTML M 100"}},
    {"db/ORDERS.DB",
     0x0C,
     437,
     224,
     {"Order No N", "Customer No N", "Sale Date D", "Ship Date D", "Ship VIA A 7", "Total Invoice $",
      "Amount Paid $", "Balance Due $", "Terms A 6", "Payment Method A 7", "Month A 3"}},
    {"db/SERVER.DB", 0x0C, 1252, 4, {"REQTYPE A 1", "URI A 80", "LIBRARY A 255", "HANDLER A 80"}},
    {"db/ROMAN8.db", 0x09, 437, 1, {"A A 20"}}, // names no code page: read as 437
    {"fields/bcd.db", 0x0B, 850, 3, {"A # 2", "B # 0", "C # 32"}},
    {"fields/bytes.db", 0x0B, 850, 1, {"BYTES Y 255"}},
    {"fields/date35.db", 0x04, 437, 3, {"DATE D"}}, // 3.5: no header extension, no code page
    {"fields/date4.db", 0x09, 850, 3, {"DATE D"}},
    {"fields/date5.db", 0x0B, 850, 3, {"DATE D", "TIME T"}},
    {"fields/date7.db", 0x0B, 850, 5, {"DATE D", "TIME T"}},
    {"fields/fmemo.db", 0x0B, 850, 2, {"Id +", "FMEMO F 0"}},
    {"fields/logical.db", 0x0B, 1252, 4, {"BOOL L"}},
    {"fields/long.db", 0x0B, 850, 3, {"Id +", "LONG I"}},
    {"fields/memo.db", 0x0B, 850, 2, {"Id +", "MEMO M 240"}},
    {"fields/time.db", 0x0B, 1252, 3, {"Time T"}},
    {"fields/timestamp.db", 0x0B, 850, 2, {"Timestamp @"}},
    {"misc/KOMMENT.DB", 0x09, 865, 59, {"Aar A 4", "Org_kode A 5", "Merk A 1", "Kommentar M 120"}},
    {"misc/LAND.DB",
     0x09,
     865,
     216,
     {"Land_kode A 3", "Reg_kode A 4", "Land_navn A 30", "Land_name A 30", "1040win A 1", "Maj_Rel A 3",
      "FIPS A 2", "Pop-2000 N", "Area-Km2 N"}},
};

class SampleTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(SampleTable, LayoutAndRecordCountMatchTheHeader) {
    const TableCase& c = GetParam();
    const QString path = fixture(QString::fromLatin1(c.file));
    const ParadoxTable table = readParadoxTable(path);

    EXPECT_EQ(table.info.fileVersion, c.version);
    EXPECT_EQ(table.info.codePage, c.codePage);
    ASSERT_EQ(table.info.fields.size(), qsizetype(c.fields.size()));
    for (size_t i = 0; i < c.fields.size(); ++i) {
        const ParadoxField& f = table.info.fields[qsizetype(i)];
        EXPECT_EQ(f.name + u' ' + f.typeCode(), QString::fromUtf8(c.fields[i])) << "field " << i;
    }
    EXPECT_EQ(table.info.recordCount, c.records);
    EXPECT_EQ(table.rows.size(), c.records);
    for (const QVariantList& row : table.rows)
        EXPECT_EQ(row.size(), qsizetype(c.fields.size()));

    // Cross-check with the raw header: record count, field count, record size.
    const QByteArray raw = readBytes(path);
    EXPECT_EQ(le32(raw, 0x06), quint32(c.records));
    EXPECT_EQ(le16(raw, 0x21), quint16(c.fields.size()));
    int recordSize = 0;
    for (const ParadoxField& f : table.info.fields)
        recordSize += f.recordBytes;
    EXPECT_EQ(le16(raw, 0x00), recordSize);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SampleTable, ::testing::ValuesIn(kTables), [](const auto& info) {
    QString name = QString::fromLatin1(info.param.file);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    return name.toStdString();
});

// Values checked by sight in the files' bytes.
struct ValueCase {
    const char* file;
    int row;   // 0-based
    int field; // 0-based
    QVariant expected;
};

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

const std::vector<ValueCase>& valueCases() {
    static const std::vector<ValueCase> cases = {
        {"db/CONTACTS.DB", 0, 0, QStringLiteral("Pan")},
        {"db/CONTACTS.DB", 0, 3, QStringLiteral("808-555-0270")},
        {"db/AREACODE.DB", 0, 2, QStringLiteral("New Jersey")},
        {"db/AREACODES.DB", 0, 2, QStringLiteral("Hackensack, Jersey City (201/551 overlay)")},
        {"db/CUSTOMER.DB", 0, 0, 1},
        {"db/CUSTOMER.DB", 0, 1, QStringLiteral("Luke")},
        {"db/CUSTOMER.DB", 0, 8,
         QStringLiteral("Small comment (less 100 symbols)")}, // memo kept in the record
        {"db/CUSTOMER.DB", 0, 9, QDate(1996, 2, 2)},
        {"db/CUSTOMER.DB", 17, 8, QVariant()}, // empty memo
        {"db/DECIMAL.DB", 0, 0, -200.0},
        {"db/DECIMAL.DB", 6, 0, 200.36},
        {"db/DECIMAL.DB", 8, 0, -1.387},
        {"db/GENERAL.DB", 2, 0, 333333333},
        {"db/GENERAL.DB", 1, 1, QStringLiteral("Katty")},
        {"db/GENERAL.DB", 0, 2, 100.0}, // money
        {"db/ORDERS.DB", 0, 0, 1001.0},
        {"db/ORDERS.DB", 0, 2, QDate(1988, 4, 3)},
        {"db/ORDERS.DB", 0, 5, 7320.0},
        {"db/SERVER.DB", 3, 3, QStringLiteral("OUTPUT_FILTERED_MAIL_LIST")},
        {"db/ROMAN8.db", 0, 0, QStringLiteral("δ°╛⌠")}, // bytes EB F8 BE F4 in 437
        {"fields/bcd.db", 0, 0, 1.23},
        {"fields/bcd.db", 0, 1, 1.0},
        {"fields/bcd.db", 0, 2, 0.123}, // 32 digits after the point, noise past the 19th digit
        {"fields/bcd.db", 1, 0, -1.23},
        {"fields/bcd.db", 1, 1, -1.0},
        {"fields/bcd.db", 1, 2, -0.123},
        {"fields/bcd.db", 2, 0, 0.0}, // zero, not empty
        {"fields/bcd.db", 2, 1, QVariant()},
        {"fields/bcd.db", 2, 2, 0.9999},
        {"fields/date35.db", 0, 0, QDate(2018, 1, 1)},
        {"fields/date4.db", 2, 0, QDate(2018, 1, 2)},
        {"fields/date5.db", 1, 0, QDate(2018, 2, 1)},
        {"fields/date5.db", 1, 1, QTime(10, 30, 0)},
        {"fields/date5.db", 2, 1, QTime(9, 25, 25)},
        {"fields/date7.db", 3, 0, QVariant()},
        {"fields/date7.db", 3, 1, QTime(10, 0, 0)},
        {"fields/date7.db", 4, 1, QVariant()},
        {"fields/logical.db", 0, 0, true},
        {"fields/logical.db", 1, 0, false},
        {"fields/long.db", 1, 1, 2},
        {"fields/long.db", 2, 1, QVariant()},
        {"fields/memo.db", 1, 1, QStringLiteral("01234567890\n")},
        {"fields/time.db", 0, 0, QTime(1, 0, 1)},
        {"fields/time.db", 1, 0, QVariant()},
        {"fields/time.db", 2, 0, QTime(3, 0, 3)},
        {"fields/timestamp.db", 0, 0, QVariant()},
        {"fields/timestamp.db", 1, 0, at(2020, 2, 1, 1, 0, 1)},
        {"misc/KOMMENT.DB", 0, 0, QStringLiteral("2006")},
        {"misc/LAND.DB", 0, 2, QStringLiteral("Afghanistan")},
        {"misc/LAND.DB", 0, 7, 21765000.0},
    };
    return cases;
}

TEST(ParadoxReader, ValuesCheckedBySight) {
    QString lastFile;
    ParadoxTable table;
    for (const ValueCase& c : valueCases()) {
        const QString file = QString::fromLatin1(c.file);
        if (file != lastFile) {
            table = readParadoxTable(fixture(file));
            lastFile = file;
        }
        SCOPED_TRACE(QStringLiteral("%1 row %2 field %3").arg(file).arg(c.row).arg(c.field).toStdString());
        ASSERT_LT(c.row, table.rows.size());
        const QVariant actual = table.rows[c.row][c.field];
        EXPECT_EQ(actual.typeId(), c.expected.typeId()) << actual.typeName();
        if (c.expected.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(actual.toDouble(), c.expected.toDouble());
        else
            EXPECT_EQ(actual, c.expected) << actual.toString().toStdString();
    }
}

TEST(ParadoxReader, MemosComeFromTheBlobFileInBothBlockKinds) {
    // CUSTOMER.MB keeps row 2's memo among small ones (a shared block) and row 4's, 56,864
    // bytes long, in a block of its own.
    const ParadoxTable customer = readParadoxTable(fixture(QStringLiteral("db/CUSTOMER.DB")));
    const QString shared = customer.rows[1][8].toString();
    EXPECT_EQ(shared.size(), 518);
    EXPECT_TRUE(
        shared.startsWith(QStringLiteral("\tThe length of the leader may be zero for type B fields.")));
    const QString own = customer.rows[3][8].toString();
    EXPECT_EQ(own.size(), 56864);
    EXPECT_TRUE(own.startsWith(QStringLiteral(" The PARADOX File Structure")));
    EXPECT_TRUE(own.endsWith(QStringLiteral("End.\r\n")));

    // A DOS code page memo: "både" is B\x86de in 865.
    const ParadoxTable komment = readParadoxTable(fixture(QStringLiteral("misc/KOMMENT.DB")));
    EXPECT_TRUE(komment.rows[0][3].toString().contains(QStringLiteral("inkluderer både DNBs")));
    // A memo exactly 21 paragraphs long (336 bytes): its last paragraph is used in full.
    EXPECT_EQ(komment.rows[10][3].toString().size(), 336);

    const ParadoxTable memo = readParadoxTable(fixture(QStringLiteral("fields/memo.db")));
    EXPECT_EQ(memo.rows[0][1].toString().size(), 555);
}

TEST(ParadoxReader, BlobFieldsOtherThanMemoAreBytes) {
    const ParadoxTable fmemo = readParadoxTable(fixture(QStringLiteral("fields/fmemo.db")));
    ASSERT_EQ(fmemo.rows[0][1].typeId(), QMetaType::QByteArray);
    EXPECT_EQ(fmemo.rows[0][1].toByteArray().size(), 169);
    EXPECT_TRUE(fmemo.rows[0][1].toByteArray().contains("Arial"));
    EXPECT_EQ(fmemo.rows[1][1].toByteArray().size(), 726);

    const ParadoxTable bytes = readParadoxTable(fixture(QStringLiteral("fields/bytes.db")));
    const QByteArray value = bytes.rows[0][0].toByteArray();
    EXPECT_EQ(value.size(), 255);
    EXPECT_EQ(value.left(6), QByteArray("1\0"
                                        "2\0"
                                        "3\0",
                                        6));
}

TEST(ParadoxReader, CodePageOverrideReplacesTheDeclaredOne) {
    const ParadoxTable table = readParadoxTable(fixture(QStringLiteral("db/ROMAN8.db")), 1252);
    EXPECT_EQ(table.info.codePage, 1252);
    EXPECT_EQ(table.info.declaredCodePage, 0);
    EXPECT_EQ(table.rows[0][0].toString(), QStringLiteral("ëø¾ô"));
}

TEST(ParadoxReader, StreamingAndInMemoryReadersAgreeWithTheWholeTableRead) {
    for (const char* file : {"db/CUSTOMER.DB", "db/ORDERS.DB", "misc/LAND.DB"}) {
        const QString path = fixture(QString::fromLatin1(file));
        const ParadoxTable whole = readParadoxTable(path);

        // One list passed record after record: its values are overwritten in place, but copies
        // the caller kept must not change.
        ParadoxReader streaming(path);
        QVariantList row;
        QList<QVariantList> kept;
        while (streaming.next(row))
            kept << row;
        EXPECT_EQ(kept, whole.rows) << file;
    }

    const QString path = fixture(QStringLiteral("db/CUSTOMER.DB"));
    const ParadoxTable inMemory = readParadoxTable(
        readBytes(path), readBytes(fixture(QStringLiteral("db/CUSTOMER.MB"))), QStringLiteral("CUSTOMER.DB"));
    EXPECT_EQ(inMemory.rows, readParadoxTable(path).rows);
}

// Other programs end a table right after its last record, half-way into the declared last
// block. Every record is there, so the table is read whole, by every way of reading.
TEST(ParadoxReader, ATableCutShortAfterItsLastRecordIsReadWhole) {
    const QByteArray full = readBytes(fixture(QStringLiteral("db/CONTACTS.DB")));
    const QList<QVariantList> expected =
        readParadoxTable(full, std::nullopt, QStringLiteral("CONTACTS.DB")).rows;
    ASSERT_EQ(expected.size(), 55);
    // CONTACTS.DB: three 2 KB blocks after a 2 KB header; the last, at 0x1800, holds one record of
    // 75 bytes after its 6-byte header.
    for (const int end : {0x1800 + 6 + 75, 0x1800 + 100, 0x2000 - 1}) {
        SCOPED_TRACE(end);
        const QByteArray cut = full.left(end);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("CONTACTS.DB"));
        writeBytes(path, cut);
        EXPECT_EQ(readParadoxTable(path).rows, expected);
        EXPECT_EQ(readParadoxTable(cut, std::nullopt, QStringLiteral("CONTACTS.DB")).rows, expected);
        ParadoxReader streaming(path);
        QVariantList row;
        int count = 0;
        while (streaming.next(row))
            EXPECT_EQ(row, expected[count++]);
        EXPECT_EQ(count, 55);
    }
}

// Without its .MB file a table can still be read when the caller asks: the memos that live in
// the .MB come out empty, those the record keeps whole are read as usual.
TEST(ParadoxReader, ATableWithoutItsBlobFileIsReadWithThoseMemosEmptyWhenAsked) {
    const ParadoxTable whole = readParadoxTable(fixture(QStringLiteral("db/CUSTOMER.DB")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CUSTOMER.DB"));
    writeBytes(path, readBytes(fixture(QStringLiteral("db/CUSTOMER.DB"))));

    ParadoxReader reader(path, ParadoxReadOptions{0, MissingMemoFile::ReadEmpty});
    EXPECT_TRUE(reader.memoFileMissing());
    EXPECT_EQ(reader.memoFileName(), QStringLiteral("CUSTOMER.MB"));
    QList<QVariantList> rows;
    QVariantList row;
    while (reader.next(row))
        rows << row;
    ASSERT_EQ(rows.size(), whole.rows.size());
    int emptied = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (int f = 0; f < 10; ++f) {
            if (f == 8 && rows[r][f] != whole.rows[r][f]) {
                EXPECT_TRUE(rows[r][f].isNull()) << "row " << r;
                EXPECT_GT(whole.rows[r][f].toString().size(), 90)
                    << "row " << r; // longer than the record keeps
                ++emptied;
            } else {
                EXPECT_EQ(rows[r][f], whole.rows[r][f]) << "row " << r << " field " << f;
            }
        }
    }
    EXPECT_GT(emptied, 0);
    EXPECT_EQ(rows[0][8], QStringLiteral("Small comment (less 100 symbols)"));
    EXPECT_TRUE(rows[1][8].isNull());
    EXPECT_TRUE(rows[3][8].isNull());

    // Read with its .MB, nothing is missing.
    EXPECT_FALSE(ParadoxReader(fixture(QStringLiteral("db/CUSTOMER.DB"))).memoFileMissing());
}

TEST(ParadoxReader, FindsTheBlobFileWhateverTheCaseOfItsExtension) {
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("memo.DB")), readBytes(fixture(QStringLiteral("fields/memo.db"))));
    writeBytes(dir.filePath(QStringLiteral("memo.mB")), readBytes(fixture(QStringLiteral("fields/memo.mb"))));
    const ParadoxTable table = readParadoxTable(dir.filePath(QStringLiteral("memo.DB")));
    EXPECT_EQ(table.rows[0][1].toString().size(), 555);
}

} // namespace
