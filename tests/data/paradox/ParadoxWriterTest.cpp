// The writer: the bytes it lays down, checked against the format (header numbers, each field's
// encoding, empty values, the block chain), round trips of both export layouts with Cyrillic
// text, and refusals that leave an existing target untouched.
#include "ParadoxTestSupport.h"

#include "data/Layout.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"
#include "data/paradox/ParadoxWriter.h"

#include <cmath>
#include <limits>
#include <QBuffer>
#include <QTemporaryDir>

using namespace paradoxtest;

namespace {

constexpr qint64 kUpdateTime = 1767225600; // 1 January 2026, 00:00 UTC
constexpr int kHeader = 0x800;
constexpr int kRecord2023 = 403;

ParadoxWriteOptions fixedTime() {
    ParadoxWriteOptions options;
    options.updateTime = kUpdateTime;
    return options;
}

// A TempZ2023 row, fields in layout order.
QVariantList sampleRow2023() {
    return {12345.0,                          // Zajavka N
            QStringLiteral("Иванов"),         // Name1 A 25
            QStringLiteral("Пётр"),           // Name2
            QString(),                        // Name3: empty
            QStringLiteral("ОУ-12"),          // Zicl A 15
            0,                                // Kv S
            QDate(1980, 5, 17),               // DR D
            -2,                               // Doljn S
            32767,                            // Spez S
            -1.5,                             // Stajg N
            0.0,                              // StajgZ N
            2026,                             // Year S
            QVariant(),                       // VidOb A 2: empty
            -32767,                           // Hours S
            QDate(),                          // DateCL: empty
            QStringLiteral("Лечебное дело"),  // Specialty A 150
            QStringLiteral("a@b.ru"),         // EMAIL A 100
            QStringLiteral("123-456-789 01"), // SNILS A 14, full width
            QStringLiteral("очная")};         // FOBUCH A 5, full width
}

QByteArray field(const QByteArray& file, qsizetype recordStart, int offset, int size) {
    return file.mid(recordStart + offset, size);
}

QByteArray cp1251(const char* hexText, int width) {
    QByteArray bytes = QByteArray::fromHex(hexText);
    bytes.append(QByteArray(width - bytes.size(), '\0'));
    return bytes;
}

TEST(ParadoxWriter, HeaderFollowsTheParadox7Layout) {
    const QList<QVariantList> rows(3, sampleRow2023());
    const QByteArray file = encodeParadoxTable(layouts::tempZ2023(), rows, fixedTime());
    const auto& fields = layouts::tempZ2023().fields;

    ASSERT_EQ(file.size(), kHeader + 4096);
    EXPECT_EQ(le16(file, 0x00), kRecord2023); // record size
    EXPECT_EQ(le16(file, 0x02), kHeader);     // header size
    EXPECT_EQ(u8(file, 0x04), 2);             // table without key
    EXPECT_EQ(u8(file, 0x05), 4);             // 4 KB blocks
    EXPECT_EQ(le32(file, 0x06), 3u);          // records
    EXPECT_EQ(le16(file, 0x0A), 1);           // blocks in use
    EXPECT_EQ(le16(file, 0x0C), 1);           // blocks in file
    EXPECT_EQ(le16(file, 0x0E), 1);           // first block
    EXPECT_EQ(le16(file, 0x10), 1);           // last block
    EXPECT_EQ(le16(file, 0x21), 19);          // fields
    EXPECT_EQ(le16(file, 0x23), 0);           // key fields
    EXPECT_EQ(file.mid(0x25, 4), hex("00ff00ff"));
    EXPECT_EQ(u8(file, 0x29), 0x8F); // sort order of "Pdox ANSI Cyrillic"
    EXPECT_EQ(u8(file, 0x39), 0x0C); // Paradox 7
    EXPECT_EQ(le16(file, 0x3A), 1);
    EXPECT_EQ(le32(file, 0x49), 0u); // no auto-increment field
    EXPECT_EQ(file.mid(0x58, 4), hex("0c010c01"));
    EXPECT_EQ(le32(file, 0x5C), 0u); // not encrypted
    EXPECT_EQ(le32(file, 0x60), quint32(kUpdateTime));
    EXPECT_EQ(le16(file, 0x64), 20);   // next field number
    EXPECT_EQ(le16(file, 0x6A), 1251); // code page

    // Type/size pairs from 0x78.
    EXPECT_EQ(file.mid(0x78, 38), hex("0608 0119 0119 0119 010f 0302 0204 0302 0302 0608 0608 0302 0102 0302 "
                                      "0204 0196 0164 010e 0105"));
    // Then a pointer, 19 pointers, and the 261-byte table name.
    const int tableName = 0x78 + 38 + 4 + 19 * 4;
    EXPECT_EQ(file.mid(tableName, 13), QByteArray("TempZ2023.db\0", 13));
    EXPECT_EQ(file.mid(tableName + 13, 261 - 13), QByteArray(261 - 13, '\0'));
    // Field names, zero-terminated, then field numbers 1..19 and the sort order name.
    qsizetype pos = tableName + 261;
    for (const FieldDef& f : fields) {
        EXPECT_EQ(file.mid(pos, f.name.size() + 1), f.name.toLatin1() + QByteArray(1, '\0'));
        pos += f.name.size() + 1;
    }
    for (int i = 1; i <= 19; ++i, pos += 2)
        EXPECT_EQ(le16(file, pos), i);
    EXPECT_EQ(file.mid(pos, 7), QByteArray("ancyrr\0", 7));
    EXPECT_EQ(le16(file, 0x51), pos + 7);         // header bytes in use
    EXPECT_EQ(le16(file, 0x66), pos - 38 - 0x58); // field numbers, from 0x58
    EXPECT_EQ(le16(file, 0x6E), pos - 0x58);      // sort order name, from 0x58
    EXPECT_EQ(file.mid(pos + 7, kHeader - pos - 7), QByteArray(kHeader - pos - 7, '\0'));
}

TEST(ParadoxWriter, EachFieldIsEncodedAsTheFormatSays) {
    const QByteArray file = encodeParadoxTable(layouts::tempZ2023(), {sampleRow2023()}, fixedTime());
    // The one block: next 0, previous 0, (1 − 1) × record size.
    EXPECT_EQ(file.mid(kHeader, 6), hex("000000000000"));
    const qsizetype r = kHeader + 6;

    struct Expect {
        const char* field;
        int offset;
        QByteArray bytes;
    };
    const Expect expected[] = {
        {"Zajavka 12345.0: IEEE big-endian, sign bit set", 0, hex("c0c81c8000000000")},
        {"Name1 Иванов in 1251, zero padded", 8, cp1251("c8e2e0edeee2", 25)},
        {"Name2 Пётр (ё is B8)", 33, cp1251("cfb8f2f0", 25)},
        {"Name3 empty", 58, QByteArray(25, '\0')},
        {"Zicl ОУ-12", 83, cp1251("ced32d3132", 15)},
        {"Kv 0 as a short is 80 00", 98, hex("8000")},
        {"DR 1980-05-17 = day 722952", 100, hex("800b0808")},
        {"Doljn -2", 104, hex("7ffe")},
        {"Spez 32767", 106, hex("ffff")},
        {"Stajg -1.5: every bit inverted", 108, hex("4007ffffffffffff")},
        {"StajgZ 0.0 is not empty", 116, hex("8000000000000000")},
        {"Year 2026", 124, hex("87ea")},
        {"VidOb empty", 126, hex("0000")},
        {"Hours -32767", 128, hex("0001")},
        {"DateCL empty", 130, hex("00000000")},
        {"SNILS fills its field", 384, QByteArray("123-456-789 01")},
        {"FOBUCH очная fills its field", 398, hex("eef7ede0ff")},
    };
    for (const Expect& e : expected)
        EXPECT_EQ(field(file, r, e.offset, int(e.bytes.size())).toHex(' '), e.bytes.toHex(' ')) << e.field;
}

TEST(ParadoxWriter, EmptyRowIsAllZeroBytes) {
    const QVariantList empty(layouts::tempZ2023().fields.size());
    const QByteArray file = encodeParadoxTable(layouts::tempZ2023(), {empty}, fixedTime());
    EXPECT_EQ(file.mid(kHeader + 6, kRecord2023), QByteArray(kRecord2023, '\0'));
}

TEST(ParadoxWriter, RowsBeyondTheFirstBlockStartASecondOne) {
    // 4 KB blocks hold (4096 − 6) / 403 = 10 records.
    QList<QVariantList> rows;
    for (int i = 1; i <= 11; ++i) {
        QVariantList row = sampleRow2023();
        row[0] = double(i);
        rows << row;
    }
    const QByteArray file = encodeParadoxTable(layouts::tempZ2023(), rows, fixedTime());
    ASSERT_EQ(file.size(), kHeader + 2 * 4096);
    EXPECT_EQ(le32(file, 0x06), 11u);
    EXPECT_EQ(le16(file, 0x0A), 2);
    EXPECT_EQ(le16(file, 0x0C), 2);
    EXPECT_EQ(le16(file, 0x0E), 1);
    EXPECT_EQ(le16(file, 0x10), 2);
    EXPECT_EQ(le16(file, 0x3A), 2);
    // Block 1: next 2, previous 0, 9 × 403; its spare bytes stay zero.
    EXPECT_EQ(le16(file, kHeader), 2);
    EXPECT_EQ(le16(file, kHeader + 2), 0);
    EXPECT_EQ(le16(file, kHeader + 4), 9 * kRecord2023);
    EXPECT_EQ(file.mid(kHeader + 6 + 10 * kRecord2023, 4096 - 6 - 10 * kRecord2023),
              QByteArray(4096 - 6 - 10 * kRecord2023, '\0'));
    // Block 2: next 0, previous 1, one record: row 11.
    const int block2 = kHeader + 4096;
    EXPECT_EQ(le16(file, block2), 0);
    EXPECT_EQ(le16(file, block2 + 2), 1);
    EXPECT_EQ(le16(file, block2 + 4), 0);
    EXPECT_EQ(file.mid(block2 + 6, 8), hex("c026000000000000")); // 11.0
}

TEST(ParadoxWriter, NoRowsMakesAHeaderOnlyTable) {
    const QByteArray file = encodeParadoxTable(layouts::tempZ(), {}, fixedTime());
    ASSERT_EQ(file.size(), kHeader);
    EXPECT_EQ(le32(file, 0x06), 0u);
    EXPECT_EQ(le16(file, 0x0A), 0);
    EXPECT_EQ(le16(file, 0x0C), 0);
    EXPECT_EQ(le16(file, 0x0E), 0);
    EXPECT_EQ(le16(file, 0x10), 0);
    const ParadoxTable table = readParadoxTable(file, std::nullopt, QStringLiteral("TempZ.DB"));
    EXPECT_EQ(table.rows.size(), 0);
    EXPECT_EQ(table.info.fields.size(), layouts::tempZ().fields.size());
}

// Values as the reader gives them back: empty text and invalid dates are empty.
QVariant normalized(const QVariant& v) {
    if (!v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()) ||
        (v.typeId() == QMetaType::QDate && !v.toDate().isValid()))
        return QVariant();
    return v;
}

QList<QVariantList> cyrillicRows(const TableLayout& layout, int count) {
    const QStringList words = {
        QStringLiteral("Ёлкина"),  QStringLiteral("Щукин-Эйхвальд"),    QStringLiteral("Жанна"),
        QStringLiteral("Юрьевна"), QStringLiteral("«кавычки», №5 и €"), QString()};
    QList<QVariantList> rows;
    for (int r = 0; r < count; ++r) {
        QVariantList row;
        for (qsizetype i = 0; i < layout.fields.size(); ++i) {
            const FieldDef& f = layout.fields[i];
            const int k = r + int(i);
            switch (f.type) {
            case FieldType::Alpha:
                row << words[k % words.size()].left(f.size);
                break;
            case FieldType::Short:
                row << (k % 7 == 0 ? QVariant() : QVariant(k % 2 ? -32767 + k : 32767 - k));
                break;
            case FieldType::Long:
            case FieldType::AutoInc:
                row << k * 1000003;
                break;
            case FieldType::Number:
                row << (k % 5 == 0 ? QVariant() : QVariant((k % 2 ? -1.0 : 1.0) * k / 3.0));
                break;
            case FieldType::Date:
                row << (k % 4 == 0 ? QDate() : QDate(1950, 1, 1).addDays(k * 97));
                break;
            case FieldType::Memo:
                break;
            }
        }
        rows << row;
    }
    return rows;
}

class RoundTrip : public ::testing::TestWithParam<const TableLayout*> {};

TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
    const TableLayout& layout = *GetParam();
    const QList<QVariantList> rows = cyrillicRows(layout, 25); // three blocks
    QTemporaryDir dir;
    const QString path = dir.filePath(layout.fileName);
    writeParadoxTable(path, layout, rows);

    const ParadoxTable table = readParadoxTable(path);
    EXPECT_EQ(table.info.fileVersion, 0x0C);
    EXPECT_EQ(table.info.codePage, 1251);
    EXPECT_EQ(table.info.sortOrderName, QStringLiteral("ancyrr"));
    EXPECT_EQ(table.info.tableName, layout.fileName);
    ASSERT_EQ(table.info.fields.size(), layout.fields.size());
    for (qsizetype i = 0; i < layout.fields.size(); ++i) {
        EXPECT_EQ(table.info.fields[i].name, layout.fields[i].name);
        EXPECT_EQ(table.info.fields[i].typeCode(), typeCode(layout.fields[i]));
    }
    ASSERT_EQ(table.rows.size(), rows.size());
    for (qsizetype r = 0; r < rows.size(); ++r)
        for (qsizetype i = 0; i < layout.fields.size(); ++i)
            EXPECT_EQ(table.rows[r][i], normalized(rows[r][i])) << "row " << r + 1 << " field " << i;
}

INSTANTIATE_TEST_SUITE_P(ExportLayouts, RoundTrip,
                         ::testing::Values(&layouts::tempZ2023(), &layouts::tempZ()),
                         [](const auto& info) { return info.param->sqlName.toStdString(); });

TEST(ParadoxWriter, DeviceAndFileGetTheSameBytes) {
    const QList<QVariantList> rows = cyrillicRows(layouts::tempZ(), 12);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ParadoxWriteOptions options = fixedTime();
    options.tableName = QStringLiteral("TempZ.DB");
    writeParadoxTable(buffer, layouts::tempZ(), rows, options);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TempZ.DB"));
    writeParadoxTable(path, layouts::tempZ(), rows, fixedTime());
    EXPECT_EQ(buffer.data(), readBytes(path));
    EXPECT_EQ(buffer.data(), encodeParadoxTable(layouts::tempZ(), rows, options));
}

struct RefusalCase {
    const char* name;
    const char* layout;
    int field; // index of the bad value in row 3
    QVariant value;
    const char* message;
};

const std::vector<RefusalCase>& refusalCases() {
    static const std::vector<RefusalCase> cases = {
        {"TextOutsideCp1251", "TempZ2023", 1, QStringLiteral("Ли 中"),
         "Строка 3, поле Name1: знак «中» (U+4E2D) нельзя записать в кодировке 1251"},
        {"TextOutsideBmp", "TempZ2023", 1, QString::fromUtf8("\xF0\x9F\x98\x80"), "знак «😀» (U+1F600)"},
        {"TextTooLong", "TempZ2023", 1, QString(26, u'Ж'),
         "Строка 3, поле Name1: текст длиной 26 знаков не помещается в поле A 25"},
        {"ShortTooLarge", "TempZ2023", 7, 40000,
         "Строка 3, поле Doljn: значение 40000 вне диапазона −32767…32767"},
        {"ShortMinimumIsEmptyInTheFile", "TempZ2023", 7, -32768,
         "значение -32768 вне диапазона −32767…32767"},
        {"LongTooLarge", "Personal", 5, qint64(3000000000LL),
         "Строка 3, поле KDoljn: значение 3000000000 вне диапазона −2147483647…2147483647"},
        {"ShortGivenText", "TempZ2023", 5, QStringLiteral("3"), "Строка 3, поле Kv: ожидается целое число"},
        {"ShortGivenFraction", "TempZ2023", 5, 2.5, "Строка 3, поле Kv: ожидается целое число"},
        {"NumberGivenText", "TempZ2023", 9, QStringLiteral("1,5"), "Строка 3, поле Stajg: ожидается число"},
        {"NumberNotFinite", "TempZ2023", 9, std::numeric_limits<double>::quiet_NaN(),
         "Строка 3, поле Stajg: значение nan не является конечным числом"},
        {"DateGivenText", "TempZ2023", 6, QStringLiteral("17.05.1980"), "Строка 3, поле DR: ожидается дата"},
        {"DateOutOfRange", "TempZ2023", 6, QDate(10000, 1, 1),
         "Строка 3, поле DR: дата 01.01.10000 вне диапазона 01.01.0001…31.12.9999"},
        {"TextGivenNumber", "TempZ", 1, 42, "Строка 3, поле Name1: ожидается текст"},
    };
    return cases;
}

QList<QVariantList> rowsFor(const TableLayout& layout) {
    return cyrillicRows(layout, 4);
}

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, NamesRowAndFieldAndLeavesTheTargetAlone) {
    const RefusalCase& c = GetParam();
    const TableLayout& layout = *layouts::find(QString::fromLatin1(c.layout));
    QList<QVariantList> rows = rowsFor(layout);
    rows[2][c.field] = c.value;

    QTemporaryDir dir;
    const QString path = dir.filePath(layout.fileName);
    const QByteArray before("the export of last week");
    writeBytes(path, before);
    try {
        writeParadoxTable(path, layout, rows);
        FAIL() << "written without complaint";
    } catch (const ParadoxValueError& e) {
        EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << e.message().toStdString();
        // Row and field come apart from the reason, for callers that name them in their own words.
        EXPECT_EQ(e.row(), 3);
        EXPECT_EQ(e.field(), layout.fields[c.field].name);
        EXPECT_FALSE(e.reason().isEmpty());
        EXPECT_EQ(e.message(),
                  QStringLiteral("Строка 3, поле ") + e.field() + QStringLiteral(": ") + e.reason());
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{layout.fileName});

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_THROW(writeParadoxTable(buffer, layout, rows), ParadoxError);
    EXPECT_TRUE(buffer.data().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Values, Refusal, ::testing::ValuesIn(refusalCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParadoxWriter, RowOfWrongLengthIsRefused) {
    QList<QVariantList> rows = rowsFor(layouts::tempZ2023());
    rows[2].removeLast();
    try {
        encodeParadoxTable(layouts::tempZ2023(), rows);
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Строка 3: значений 18, а полей в таблице 19"));
    }
}

TEST(ParadoxWriter, LayoutWithMemoIsRefusedBeforeWriting) {
    const TableLayout& layout = *layouts::find(QStringLiteral("NewZicl2023"));
    try {
        encodeParadoxTable(layout, {});
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Поле ADDSPECIALTY:")))
            << e.message().toStdString();
    }
}

TEST(ParadoxWriter, AutoIncrementCounterIsTheLargestValue) {
    const TableLayout& layout = *layouts::find(QStringLiteral("Personal"));
    const QByteArray file = encodeParadoxTable(layout, cyrillicRows(layout, 3));
    // NPP is the first field: values 0·1000003, 1·1000003, 2·1000003.
    EXPECT_EQ(le32(file, 0x49), 2000006u);
}

TEST(ParadoxWriter, UnwritableFolderIsReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/TempZ.DB"));
    try {
        writeParadoxTable(path, layouts::tempZ(), {});
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удалось записать файл «") +
                                           QDir::toNativeSeparators(path) + QStringLiteral("»")))
            << e.message().toStdString();
    }
}

TEST(ParadoxWriter, DeclaredCodePageCanBeOverriddenOnRead) {
    // A file from another program named code page 936 while its text was in 1251.
    QByteArray file = encodeParadoxTable(layouts::tempZ2023(), {sampleRow2023()}, fixedTime());
    putLe16(file, 0x6A, 936);
    const ParadoxTable wrong = readParadoxTable(file, std::nullopt, QStringLiteral("TempZ2023.db"));
    EXPECT_NE(wrong.rows[0][1], QVariant(QStringLiteral("Иванов")));
    const ParadoxTable right = readParadoxTable(file, std::nullopt, QStringLiteral("TempZ2023.db"), 1251);
    EXPECT_EQ(right.rows[0][1], QVariant(QStringLiteral("Иванов")));
    EXPECT_EQ(right.info.declaredCodePage, 936);
}

} // namespace
