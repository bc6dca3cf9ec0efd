// The Paradox codec against plain file I/O, on 100,000 rows of the TempZ2023 export layout
// (about 40 MB):
//   paradox-write: our writer (encoding, checks, temporary file, flush to disk, rename) against
//                  writing the same bytes plainly with the same flush and rename;
//   paradox-read:  reading the table back row by row, every value decoded, against reading the
//                  file's bytes plainly: how import and the export-file dataset read a table;
//   paradox-read-table: reading it back into a whole in-memory table (a list of rows), which only
//                  the tests still do.
#include "BenchRunner.h"

#include "data/Layout.h"
#include "data/paradox/ParadoxReader.h"
#include "data/paradox/ParadoxWriter.h"

#include <cstdio>
#include <fcntl.h>
#include <QDate>
#include <QString>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRows = 100000;

const QList<QVariantList>& rows() {
    static const QList<QVariantList> list = [] {
        const QStringList surnames = {QStringLiteral("Иванова"), QStringLiteral("Петров"),
                                      QStringLiteral("Сидоренко"), QStringLiteral("Кузнецова"),
                                      QStringLiteral("Ёлкин")};
        const QStringList names = {QStringLiteral("Мария"), QStringLiteral("Алексей"),
                                   QStringLiteral("Ольга")};
        const QStringList patronymics = {QStringLiteral("Ивановна"), QStringLiteral("Сергеевич"),
                                         QStringLiteral("Петровна")};
        QList<QVariantList> out;
        out.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            out.append(QVariantList{
                double(1000 + i / 20), surnames[i % 5], names[i % 3], patronymics[i % 3],
                QStringLiteral("ПК-%1").arg(i % 300), i % 4, QDate(1960, 1, 1).addDays(i % 15000), i % 500,
                i % 200, double(i % 40) + 0.5, double(i % 25), 2026, QStringLiteral("ПК"), 144,
                QDate(2026, 3, 1).addDays(i % 300), QStringLiteral("Сестринское дело в терапии"),
                QStringLiteral("user%1@mail.ru").arg(i),
                QStringLiteral("123-456-789 %1").arg(i % 100, 2, 10, QLatin1Char('0')),
                QStringLiteral("очная")});
        }
        return out;
    }();
    return list;
}

std::string path(const char* name) {
    return bench::scratchDir() + "/" + name;
}

// Writes `bytes` to a temporary file beside `target`, flushes it to disk and renames it over the
// target: what a careful program does without any format.
void writePlain(const QByteArray& bytes, const std::string& target) {
    const std::string temp = target + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
    std::fflush(f);
    ::fdatasync(fileno(f));
    std::fclose(f);
    std::rename(temp.c_str(), target.c_str());
}

std::vector<char> readPlain(const std::string& file) {
    FILE* f = std::fopen(file.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::vector<char> bytes(static_cast<size_t>(size));
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    bytes.resize(got);
    return bytes;
}

volatile qint64 g_sink = 0;

bench::Registrar writeBench(
    {"paradox-write",
     [] { writeParadoxTable(QString::fromStdString(path("TempZ2023.db")), layouts::tempZ2023(), rows()); },
     [] {
         static const QByteArray bytes = encodeParadoxTable(layouts::tempZ2023(), rows());
         writePlain(bytes, path("plain.db"));
     },
     7, [] { rows(); }});

void ensureTable() {
    static bool written = false;
    if (!written) {
        writeParadoxTable(QString::fromStdString(path("read.db")), layouts::tempZ2023(), rows());
        written = true;
    }
}

bench::Registrar readBench({"paradox-read",
                            [] {
                                ParadoxReader reader(QString::fromStdString(path("read.db")));
                                QVariantList row;
                                qint64 n = 0;
                                while (reader.next(row))
                                    n += row.size();
                                g_sink = n;
                            },
                            [] { g_sink = qint64(readPlain(path("read.db")).size()); }, 7, ensureTable});

bench::Registrar readTableBench({"paradox-read-table",
                                 [] {
                                     const ParadoxTable table =
                                         readParadoxTable(QString::fromStdString(path("read.db")));
                                     g_sink = table.rows.size();
                                 },
                                 [] { g_sink = qint64(readPlain(path("read.db")).size()); }, 7, ensureTable});

} // namespace
