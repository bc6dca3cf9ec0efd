#pragma once
// Fills the default application form the way the program does: the title, the institution, one
// row per trainee (the first table row being the model of the others), the table ruled, the rows as
// high as their texts, and the footer below the table.
#include "spreadsheet/Workbook.h"

#include <QDate>
#include <QString>
#include <vector>

struct TraineeRow {
    QString code, kind;
    int hours;
    QString form, programme;
    int quarter;
    QString name;
    QDate birth;
    QString position;
    double totalYears, specialYears;
    QString diplomaSpeciality, certificateDate, certificateSpeciality, email, snils;
};

inline std::vector<TraineeRow> sampleTrainees() {
    return {
        {"ПК-101", "ПК", 144, "очная", "Сестринское дело в терапии", 1, "Иванова Мария Ивановна",
         QDate(1985, 7, 15), "Медицинская сестра палатная", 12.5, 7, "Сестринское дело", "12.03.2024",
         "Сестринское дело", "ivanova@mail.ru", "112-233-445 95"},
        {"ПП-7", "ПП", 504, "очно-заочная", "Функциональная диагностика", 2, "Петров Алексей Сергеевич",
         QDate(1990, 2, 28), "Врач-терапевт", 20, 3.25, "Лечебное дело", "", "", "petrov@mail.ru",
         "987-654-321 83"},
        {"ПК-55", "ПК", 36, "заочная", "Неотложные состояния <в практике> & \"доврачебная\" помощь", 4,
         "Ёлкина Ольга Петровна", QDate(2000, 2, 29), "Фельдшер", 0.5, 0, "Лечебное дело", "01.12.2023",
         "Скорая и неотложная помощь", "", "001-001-998 00"},
    };
}

inline void fillApplication(Workbook& book, const std::vector<TraineeRow>& trainees) {
    const int n = int(trainees.size());
    book.setText("A5", QStringLiteral("ЗАЯВКА № 116     на   2026  год  "));
    book.setText("A11", QStringLiteral("ГБУЗ «Городская больница № 1»"));
    book.formatRowsLike(14, 15, 13 + n);
    for (int i = 0; i < n; ++i) {
        const TraineeRow& t = trainees[size_t(i)];
        const int row = 14 + i;
        book.setInteger(CellRef(row, 1), i + 1);
        book.setText(CellRef(row, 2), t.code);
        book.setText(CellRef(row, 3), t.kind);
        book.setInteger(CellRef(row, 4), t.hours);
        book.setText(CellRef(row, 5), t.form);
        book.setText(CellRef(row, 6), t.programme);
        book.setInteger(CellRef(row, 7), t.quarter);
        book.setText(CellRef(row, 8), t.name);
        book.setDate(CellRef(row, 9), t.birth);
        book.setText(CellRef(row, 10), t.position);
        book.setNumber(CellRef(row, 11), t.totalYears);
        book.setNumber(CellRef(row, 12), t.specialYears);
        book.setText(CellRef(row, 13), t.diplomaSpeciality);
        book.setText(CellRef(row, 14), t.certificateDate);
        book.setText(CellRef(row, 15), t.certificateSpeciality);
        book.setText(CellRef(row, 16), t.email);
        book.setText(CellRef(row, 17), t.snils);
    }
    book.ruleThin("A14", CellRef(13 + n, 17));
    book.fitRowHeights(14, 13 + n);
    book.setText(CellRef(18 + n, 5), QStringLiteral("Ф.И.О. руководителя"));
    book.setText(CellRef(18 + n, 7), QStringLiteral("Сидоров С. С."));
    book.setText(CellRef(20 + n, 5), QStringLiteral("М.П. ЛПУ"));
    book.setText(CellRef(24 + n, 5), QStringLiteral("Ф.И.О. исполнителя    "));
    book.setText(CellRef(24 + n, 7), QStringLiteral("Кузнецова К. К."));
    book.setText(CellRef(25 + n, 5), QStringLiteral("тел.:  8 (3452) 12-34-56"));
}
