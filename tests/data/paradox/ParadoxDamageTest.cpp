// Damaged, truncated, encrypted and foreign files: each is refused with a ParadoxError that
// names the file and the fault, never read as garbage. The damaged files are made from valid
// sample tables in a temporary folder.
#include "ParadoxTestSupport.h"

#include "data/Layout.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxReader.h"
#include "data/paradox/ParadoxWriter.h"

#include <functional>
#include <QTemporaryDir>

using namespace paradoxtest;

namespace {

// CONTACTS.DB: 3 blocks of 2 KB after a 2 KB header, 55 records of 75 bytes (27 + 27 + 1).
constexpr int kBlock1 = 0x800;
constexpr int kBlock2 = 0x1000;
constexpr int kBlock3 = 0x1800;

struct DamageCase {
    const char* name;
    const char* source; // sample table the damaged file is made from
    std::function<void(QByteArray&)> damage;
    const char* expected; // words the message holds
};

const std::vector<DamageCase>& damageCases() {
    static const std::vector<DamageCase> cases = {
        {"Empty", "db/CONTACTS.DB", [](QByteArray& b) { b.clear(); }, "короче заголовка"},
        {"CutInFixedHeader", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(0x40); }, "короче заголовка"},
        {"CutInFieldNames", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(0x1A0); }, "размер заголовка"},
        {"CutAfterHeader", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(kBlock1); }, "файл обрезан"},
        // The last block holds one record (bytes 6 to 80 of the block): a file may end after it,
        // never inside it or inside the block's own header.
        {"CutInLastRecord", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(kBlock3 + 50); },
         "файл обрезан: записи блока 3 кончаются на байте 6225"},
        {"CutInLastBlockHeader", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(kBlock3 + 3); },
         "файл обрезан: блок 3 начинается на байте 6144"},
        {"CutInMiddleBlock", "db/CONTACTS.DB", [](QByteArray& b) { b.truncate(kBlock2 + 100); },
         "файл обрезан"},
        {"LoopBackToFirstBlock", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock2, 1); },
         "цепочка блоков зациклена"},
        {"BlockPointsToItself", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock1, 1); },
         "цепочка блоков зациклена"},
        {"NextBlockOutsideFile", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock1, 999); },
         "за пределами файла"},
        {"WrongBackPointer", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock2 + 2, 3); },
         "ссылается назад"},
        {"ChainShorterThanHeaderSays", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock2, 0); },
         "в цепочке 2 блоков"},
        {"HugeRecordCount", "db/CONTACTS.DB", [](QByteArray& b) { putLe32(b, 0x06, 0x7FFFFFFF); },
         "заявлено записей 2147483647"},
        {"RecordCountOffByOne", "db/CONTACTS.DB", [](QByteArray& b) { putLe32(b, 0x06, 54); },
         "в блоках записей 55, а в заголовке заявлено 54"},
        {"TooManyRecordsInBlock", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock1 + 4, 30 * 75); },
         "заявлено записей 31"},
        {"BlockDataNotWholeRecords", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, kBlock1 + 4, 100); },
         "недопустимый размер данных"},
        {"HugeFieldCount", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x21, 60000); },
         "недопустимое число полей"},
        {"NoFields", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x21, 0); },
         "недопустимое число полей"},
        {"RecordSizeNotSumOfFields", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x00, 76); },
         "не равен сумме размеров полей"},
        {"RecordLargerThanBlock", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x00, 5000); },
         "не помещается в блок"},
        {"HeaderSizeBeyondFile", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x02, 0xFFFF); },
         "размер заголовка 65535 байт"},
        {"BlockSizeUnknown", "db/CONTACTS.DB", [](QByteArray& b) { b[0x05] = 7; }, "размер блока"},
        {"MoreBlocksThanTheFileHolds", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x0C, 5000); },
         "заявлено блоков 5000"},
        {"FirstBlockOutsideFile", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x0E, 40); },
         "номер первого блока 40"},
        {"UnknownFieldType", "db/CONTACTS.DB", [](QByteArray& b) { b[0x78] = 0x30; }, "неизвестного типа"},
        {"ImpossibleFieldSize", "db/CUSTOMER.DB", [](QByteArray& b) { b[0x78 + 1] = 7; },
         "недопустимым размером 7"},
        {"FieldNameNotTerminated", "db/CONTACTS.DB",
         [](QByteArray& b) {
             for (int i = 0x199; i < 0x800; ++i)
                 b[i] = 'x';
         },
         "обрывается на имени поля 1"},
        {"UnknownVersion", "db/CONTACTS.DB", [](QByteArray& b) { b[0x39] = 0x20; }, "неизвестная версия"},
        {"UnsupportedCodePage", "db/CONTACTS.DB", [](QByteArray& b) { putLe16(b, 0x6A, 4); },
         "кодовая страница 4 не поддерживается"},
        {"ImpossibleLogicalValue", "fields/logical.db", [](QByteArray& b) { b[kBlock1 + 6] = 0x42; },
         "запись 1, поле BOOL: недопустимое логическое значение"},
        {"ImpossibleTime", "fields/time.db", [](QByteArray& b) { putLe32(b, kBlock1 + 6, 0xFFFFFF7F); },
         "недопустимое время"},
        {"MemoLongerThanRecordWithoutReference", "db/CUSTOMER.DB",
         [](QByteArray& b) { putLe32(b, kBlock1 + 6 + 380 + 4, 500); }, "без ссылки на файл памяток"},
        {"MemoReferenceOutsideBlobFile", "db/CUSTOMER.DB",
         [](QByteArray& b) { putLe32(b, kBlock1 + 6 + 394 + 380, 0x7FFFFF3F); }, "вне файла памяток"},
        {"MemoLengthDisagrees", "db/CUSTOMER.DB",
         [](QByteArray& b) { putLe32(b, kBlock1 + 6 + 394 + 384, 519); }, "не согласуется с файлом памяток"},
    };
    return cases;
}

class DamagedFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFile, IsRefusedWithAMessageNamingFileAndFault) {
    const DamageCase& c = GetParam();
    QTemporaryDir dir;
    const QString source = fixture(QString::fromLatin1(c.source));
    QByteArray bytes = readBytes(source);
    ASSERT_FALSE(bytes.isEmpty());
    c.damage(bytes);
    const QString path = dir.filePath(QStringLiteral("ZES116_2026.db"));
    writeBytes(path, bytes);
    const QString memo = paradoxMemoPath(source);
    if (!memo.isEmpty())
        writeBytes(dir.filePath(QStringLiteral("ZES116_2026.mb")), readBytes(memo));

    try {
        readParadoxTable(path);
        FAIL() << "read without complaint";
    } catch (const ParadoxError& e) {
        const QString message = e.message();
        EXPECT_TRUE(message.contains(QStringLiteral("ZES116_2026."))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << message.toStdString();
        EXPECT_FALSE(message.contains(u'\n'));
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, DamagedFile, ::testing::ValuesIn(damageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParadoxDamage, LoopMessageReadsAsAUserSentence) {
    QTemporaryDir dir;
    QByteArray bytes = readBytes(fixture(QStringLiteral("db/CONTACTS.DB")));
    putLe16(bytes, kBlock3, 2); // 1 → 2 → 3 → 2
    const QString path = dir.filePath(QStringLiteral("ZES116_2026.db"));
    writeBytes(path, bytes);
    try {
        readParadoxTable(path);
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Файл ZES116_2026.db повреждён: цепочка блоков зациклена")))
            << e.message().toStdString();
    }
}

TEST(ParadoxDamage, EncryptedTableIsRefused) {
    try {
        readParadoxTable(fixture(QStringLiteral("encrypted/encrypted.db")));
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Файл encrypted.db защищён паролем")))
            << e.message().toStdString();
    }
}

TEST(ParadoxDamage, IndexFileIsNotATable) {
    try {
        readParadoxTable(fixture(QStringLiteral("db/CUSTOMER.PX")));
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("CUSTOMER.PX не является таблицей Paradox")))
            << e.message().toStdString();
    }
}

TEST(ParadoxDamage, MissingBlobFileIsNamed) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CUSTOMER.DB"));
    writeBytes(path, readBytes(fixture(QStringLiteral("db/CUSTOMER.DB"))));
    try {
        readParadoxTable(path);
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Рядом с таблицей CUSTOMER.DB нет её файла памяток CUSTOMER.MB")))
            << e.message().toStdString();
    }
}

// A file's name is user text: a name that looks like a message's place marker stays as it is.
TEST(ParadoxDamage, MessagesKeepFileNamesWithPercentSignsIntact) {
    QTemporaryDir dir;
    const QString index = dir.filePath(QStringLiteral("a%1b.PX"));
    writeBytes(index, readBytes(fixture(QStringLiteral("db/CUSTOMER.PX"))));
    try {
        readParadoxTable(index);
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Файл a%1b.PX не является таблицей Paradox: это файл "
                                                  "индекса (тип 1)")))
            << e.message().toStdString();
    }
    const QString table = dir.filePath(QStringLiteral("c%1d.db"));
    writeBytes(table, readBytes(fixture(QStringLiteral("db/ROMAN8.db"))));
    try {
        readParadoxTable(table, 4);
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Файл c%1d.db: кодовая страница 4 не поддерживается")))
            << e.message().toStdString();
    }
}

// The reader takes a file's blocks as it needs them: a file cut short by another program while it
// is being read is refused, never read past its end.
TEST(ParadoxDamage, AFileCutShortWhileBeingReadIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TempZ2023.db"));
    const TableLayout& layout = layouts::tempZ2023();
    writeParadoxTable(path, layout, QList<QVariantList>(1000, QVariantList(layout.fields.size())));
    ParadoxReader reader(path);
    QVariantList row;
    ASSERT_TRUE(reader.next(row));
    ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() / 2));
    int rows = 1;
    try {
        while (reader.next(row))
            ++rows;
        FAIL() << "read past the end of the file";
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Не удалось прочитать файл TempZ2023.db: файл изменился")))
            << e.message().toStdString();
    }
    EXPECT_LT(rows, 1000);
}

TEST(ParadoxDamage, MissingFileIsNamed) {
    QTemporaryDir dir;
    try {
        readParadoxTable(dir.filePath(QStringLiteral("NOPE.DB")));
        FAIL();
    } catch (const ParadoxError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удалось открыть файл NOPE.DB")))
            << e.message().toStdString();
    }
}

// Every single-byte change of a header and of a blob file's blocks is either read or refused
// with a ParadoxError: nothing else escapes, nothing crashes or hangs.
TEST(ParadoxDamage, EveryByteOfHeaderAndBlobFileSurvivesCorruption) {
    const QByteArray table = readBytes(fixture(QStringLiteral("fields/memo.db")));
    const QByteArray memo = readBytes(fixture(QStringLiteral("fields/memo.mb")));
    int refused = 0;
    auto attempt = [&](const QByteArray& db, const QByteArray& mb) {
        try {
            readParadoxTable(db, mb, QStringLiteral("memo.db"));
        } catch (const ParadoxError&) {
            ++refused;
        }
    };
    for (int at = 0; at < 0x800 + 0x100; ++at)
        for (char value : {char(0x00), char(0xFF), char(0x7F)}) {
            QByteArray damaged = table;
            damaged[at] = damaged[at] == value ? char(value ^ 1) : value;
            attempt(damaged, memo);
        }
    for (int at = 0x1000; at < 0x1160; ++at) {
        QByteArray damaged = memo;
        damaged[at] = char(~damaged[at]);
        attempt(table, damaged);
    }
    EXPECT_GT(refused, 0);
}

} // namespace
