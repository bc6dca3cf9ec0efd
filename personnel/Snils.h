#pragma once
// SNILS, the personal insurance account number: nine digits and a two-digit check number,
// written "ABC-DEF-GHI KK". The check number is worked out from the nine digits, so a typing
// slip in any of them is caught before the number goes into an application.
#include <QString>
#include <QtGlobal>

namespace snils {

// Numbers up to 001-001-998 are not checked: any two digits pass after them.
constexpr qint32 kLastUncheckedNumber = 1001998;
constexpr qint32 kLargestNumber = 999999999;

// The check number (0..99) of the nine digits given as a number 0..999 999 999:
// the digits weighted 9, 8, ... 1 from the left and added up give S; the check number is
// S below 100, 0 for 100 and 101, otherwise S mod 101 with a remainder of 100 giving 0.
// -1 when the number is out of range.
int checkNumber(qint32 number);

// "ABC-DEF-GHI KK" (14 characters) with the check number worked out; empty when out of range.
QString format(qint32 number);

struct Verdict {
    enum class Status {
        Valid,
        Empty,           // nothing typed (blanks and the mask's dashes only)
        WrongForm,       // not "ABC-DEF-GHI KK"
        WrongCheckNumber // the two last digits do not match the nine before them
    };
    Status status = Status::Empty;
    QString message;    // what is wrong, for the user; empty when valid
    qint32 number = -1; // the nine digits, when the form is right
    int expected = -1;  // the check number the nine digits give, when the form is right

    bool ok() const { return status == Status::Valid; }
};

// Checks a typed SNILS: the form "ABC-DEF-GHI KK" (blanks around it are ignored) and, for
// numbers above 001-001-998, the check number.
Verdict validate(const QString& text);

} // namespace snils
