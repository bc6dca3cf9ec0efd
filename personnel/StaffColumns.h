#pragma once
// The columns of an office's staff list and what each holds: a mapping proposed from the titles
// of its first row ("Фамилия", "ФИО", "Дата рождения", "СНИЛС"…), and the readings of its values
// (a full name split in three, a date however the list wrote it).
//
//   const QList<StaffColumn> mapping = proposeStaffColumns(titles);
//   const std::optional<QDate> born = staffDate(row[3]);
#include "spreadsheet/SheetReader.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

enum class StaffColumn {
    None, // not loaded
    Surname,
    Name,
    Patronymic,
    FullName, // "Иванова Анна Петровна", split in three
    BirthDate,
    Position,
    DiplomaSpecialty,
    WorkStartYear,     // the year medical work began
    PositionStartYear, // the year of moving to the present position
    YearsTotal,        // years of medical service
    YearsInSpecialty,
    HireDate, // the day of hiring: gives the year of the present position
    Snils,
    Email,
    CertificateSpecialty,
    CertificateEnd,
};

// What the column holds, in the mapping window's words: "Фамилия", "ФИО (разделяется)"…
QString staffColumnTitle(StaffColumn column);
// A kind for each title, from its words (letter case, Ё and punctuation aside); None for a title
// it does not know. Each kind is proposed once, for the first column that has it.
QList<StaffColumn> proposeStaffColumns(const QStringList& titles);

struct SplitName {
    QString surname, name, patronymic;
};
// "иванова  анна петровна" → ИВАНОВА / АННА / ПЕТРОВНА; a patronymic of two words ("Оглы")
// stays whole; names are kept in capitals as the register keeps them.
SplitName splitFullName(const QString& text);
// A name part as the register keeps it: trimmed, single spaces, capitals.
QString registerName(const QString& text);

// The day a cell holds: a date cell; a spreadsheet serial number; text in dd.mm.yyyy, dd.mm.yy
// (a two-digit year after `twoDigitPivot` is of the 1900s) or yyyy-mm-dd. Empty for an empty cell
// or a text that is no date.
std::optional<QDate> staffDate(const SheetCell& cell, int twoDigitPivot = 30);
