// The spreadsheet adapter against libxlsxwriter, on an application of 1,000 trainees (17 columns:
// 11 texts, 5 numbers, 1 date):
//   ours: open the default application form, give the rows below the first its look, fill every
//         cell, rule the table, save a new workbook into the Documents folder;
//   base: write the same cells, with a bordered format (and a date format for the birth dates),
//         into a fresh workbook with libxlsxwriter, which has no template to read or keep.
#include "BenchRunner.h"

#include "spreadsheet/DocumentFolder.h"
#include "spreadsheet/Templates.h"
#include "spreadsheet/Workbook.h"

#include <QDate>
#include <QDir>
#include <QString>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {

constexpr int kRows = 1000;
constexpr int kFirstRow = 14; // the model trainee row of the form

struct Trainee {
    QString code, kind, form, programme, name, position, diploma, certificate, certificateSpeciality, email,
        snils;
    int hours, quarter;
    double total, special;
    QDate birth;
    // The same texts as UTF-8, for libxlsxwriter (converted once, outside the timing, as a
    // program using it would hold them).
    std::vector<std::string> utf8;
};

const std::vector<Trainee>& trainees() {
    static const std::vector<Trainee> list = [] {
        const QStringList surnames = {"Иванова", "Петров", "Сидоренко", "Кузнецова", "Ёлкин"};
        const QStringList names = {"Мария Ивановна", "Алексей Сергеевич", "Ольга Петровна"};
        const QStringList programmes = {"Сестринское дело в терапии", "Функциональная диагностика",
                                        "Неотложные состояния в практике фельдшера",
                                        "Организация здравоохранения"};
        std::vector<Trainee> out;
        out.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            Trainee t;
            t.code = QStringLiteral("ПК-%1").arg(i % 300);
            t.kind = i % 3 ? QStringLiteral("ПК") : QStringLiteral("ПП");
            t.form = i % 2 ? QStringLiteral("очная") : QStringLiteral("заочная");
            t.programme = programmes[i % programmes.size()];
            t.name = surnames[i % 5] + QLatin1Char(' ') + names[i % 3];
            t.position = QStringLiteral("Медицинская сестра палатная");
            t.diploma = QStringLiteral("Сестринское дело");
            t.certificate = QStringLiteral("12.03.%1").arg(2020 + i % 5);
            t.certificateSpeciality = QStringLiteral("Сестринское дело");
            t.email = QStringLiteral("user%1@mail.ru").arg(i);
            t.snils = QStringLiteral("123-456-%1 %2")
                          .arg(i % 1000, 3, 10, QLatin1Char('0'))
                          .arg(i % 100, 2, 10, QLatin1Char('0'));
            t.hours = 36 + (i % 4) * 36;
            t.quarter = 1 + i % 4;
            t.total = double(i % 40) + 0.5;
            t.special = double(i % 25);
            t.birth = QDate(1960, 1, 1).addDays(i * 7 % 15000);
            for (const QString* s :
                 {&t.code, &t.kind, &t.form, &t.programme, &t.name, &t.position, &t.diploma, &t.certificate,
                  &t.certificateSpeciality, &t.email, &t.snils})
                t.utf8.push_back(s->toStdString());
            out.push_back(std::move(t));
        }
        return out;
    }();
    return list;
}

QString scratch(const char* name) {
    return QString::fromStdString(bench::scratchDir()) + QLatin1Char('/') + name;
}

const QString& templatePath() {
    static const QString path = [] {
        const QString templates = scratch("Templates");
        installDefaultTemplates(templates);
        return ensureTemplate(templates, QStringLiteral("Zajavka2023"), QString());
    }();
    return path;
}

void fillTemplate() {
    Workbook book = Workbook::open(templatePath());
    book.formatRowsLike(kFirstRow, kFirstRow + 1, kFirstRow + kRows - 1);
    int row = kFirstRow;
    for (const Trainee& t : trainees()) {
        book.setInteger(CellRef(row, 1), row - kFirstRow + 1);
        book.setText(CellRef(row, 2), t.code);
        book.setText(CellRef(row, 3), t.kind);
        book.setInteger(CellRef(row, 4), t.hours);
        book.setText(CellRef(row, 5), t.form);
        book.setText(CellRef(row, 6), t.programme);
        book.setInteger(CellRef(row, 7), t.quarter);
        book.setText(CellRef(row, 8), t.name);
        book.setDate(CellRef(row, 9), t.birth);
        book.setText(CellRef(row, 10), t.position);
        book.setNumber(CellRef(row, 11), t.total);
        book.setNumber(CellRef(row, 12), t.special);
        book.setText(CellRef(row, 13), t.diploma);
        book.setText(CellRef(row, 14), t.certificate);
        book.setText(CellRef(row, 15), t.certificateSpeciality);
        book.setText(CellRef(row, 16), t.email);
        book.setText(CellRef(row, 17), t.snils);
        ++row;
    }
    book.ruleThin(CellRef(kFirstRow, 1), CellRef(row - 1, 17));
    book.fitRowHeights(kFirstRow, row - 1);
    DocumentFolder(scratch("Documents")).save(book, QStringLiteral("Заявка 116 2026"));
}

void writeFresh() {
    const std::string file = scratch("fresh.xlsx").toStdString();
    lxw_workbook* book = workbook_new(file.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* cell = workbook_add_format(book);
    format_set_border(cell, LXW_BORDER_THIN);
    format_set_text_wrap(cell);
    lxw_format* date = workbook_add_format(book);
    format_set_border(date, LXW_BORDER_THIN);
    format_set_num_format(date, "dd\\.mm\\.yyyy");
    const QDate epoch(1899, 12, 30);
    lxw_row_t row = kFirstRow - 1; // zero-based
    for (const Trainee& t : trainees()) {
        const auto& s = t.utf8;
        worksheet_write_number(sheet, row, 0, double(row - kFirstRow + 2), cell);
        worksheet_write_string(sheet, row, 1, s[0].c_str(), cell);
        worksheet_write_string(sheet, row, 2, s[1].c_str(), cell);
        worksheet_write_number(sheet, row, 3, t.hours, cell);
        worksheet_write_string(sheet, row, 4, s[2].c_str(), cell);
        worksheet_write_string(sheet, row, 5, s[3].c_str(), cell);
        worksheet_write_number(sheet, row, 6, t.quarter, cell);
        worksheet_write_string(sheet, row, 7, s[4].c_str(), cell);
        worksheet_write_number(sheet, row, 8, double(epoch.daysTo(t.birth)), date);
        worksheet_write_string(sheet, row, 9, s[5].c_str(), cell);
        worksheet_write_number(sheet, row, 10, t.total, cell);
        worksheet_write_number(sheet, row, 11, t.special, cell);
        worksheet_write_string(sheet, row, 12, s[6].c_str(), cell);
        worksheet_write_string(sheet, row, 13, s[7].c_str(), cell);
        worksheet_write_string(sheet, row, 14, s[8].c_str(), cell);
        worksheet_write_string(sheet, row, 15, s[9].c_str(), cell);
        worksheet_write_string(sheet, row, 16, s[10].c_str(), cell);
        ++row;
    }
    workbook_close(book);
}

// Each run of ours saves a new document: the folder is emptied before it, untimed.
void prepare() {
    trainees();
    templatePath();
    QDir(scratch("Documents")).removeRecursively();
    QDir().mkpath(scratch("Documents"));
}

bench::Registrar documentBench({"document 1000 rows", fillTemplate, writeFresh, 7, prepare});

} // namespace
