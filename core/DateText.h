#pragma once
// Dates as clerks type and paste them: "20.03.2028", "20.3.2028", "20032028", "20/03/2028",
// "2028-03-20". Pure text work, shared by the date boxes and the tests.
#include <QDate>
#include <QString>

namespace datetext {

// The form every date box shows.
inline constexpr const char* kFormat = "dd.MM.yyyy";

// The date the text names; an invalid date when it names none (empty, incomplete, impossible).
QDate parse(const QString& text);

// Whether the text holds nothing but separators and blanks (an empty masked box).
bool isBlank(const QString& text);

// Whether the text has a date's shape but names no date ("31.02.2028").
bool isImpossible(const QString& text);

// A day, month and year that stand for no date ("31.02.2028") or a text that is no date at all,
// in one sentence for the user; empty when the text is a date or blank.
QString problem(const QString& text);

} // namespace datetext
