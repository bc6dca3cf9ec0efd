#pragma once
// What the staff register and the personnel card do to the data, without widgets: the card's
// checks in their order, the questions about an e-mail address or SNILS that look wrong, saving
// a person with the e-mail and SNILS rows, deleting a person with every row of theirs, and the
// state of a certificate seen from today.
#include <optional>
#include <QDate>
#include <QString>

class Prompter;
class DataModule;
struct SharedState;

namespace personnel {

// A failed check of the card: the message, and the box that takes the focus.
struct FailedCheck {
    QString message;
    QString box; // "DBEdit1"
};

// The card's checks on the current person of tblPersonal, in their order, each on the field's
// displayed text: surname, given name, birth date, position, diploma specialty, then the year work
// began and the year of transfer (given, not before 1950, not after `curYear`). The first failure,
// or nothing when every check passes.
std::optional<FailedCheck> checkPerson(const DataModule& dm, int curYear);

// What a SNILS box shows with nothing typed: three blanks, a hyphen, three blanks, a hyphen and
// six blanks.
QString emptySnils();
// The SNILS box's text read as the card stores it: unfilled positions as blanks.
QString snilsFromBox(const QString& displayText);

// Why a typed SNILS cannot be saved at all (some positions still blank); empty when it can.
QString snilsRefusal(const QString& snils);
// The question before saving a SNILS whose check number is wrong, or an e-mail address that is
// not of the form name@domain.tld; empty when there is nothing to ask.
QString snilsQuestion(const QString& snils);
QString emailQuestion(const QString& email);

// "Сохранить" once the checks and questions passed, in one transaction: the person's row (names
// raised to capitals, posted when changed; a new person gets its number here), then the person's
// e-mail row and SNILS row, made when missing, set to the texts as typed. Throws DbError.
void savePerson(const DataModule& dm, const QString& email, const QString& snils);

// "Удалить сотрудника ИВАНОВА И. И. вместе с 2 сертификатами, e-mail и СНИЛС?"
QString personDeletionQuestion(const DataModule& dm);
// Deletes the current person after the beep and that question: the person's training
// rows, certificates, e-mail and SNILS rows and the person, in one transaction. False, with
// nothing changed, when the user declines. Throws DbError (an empty register, a refused write).
bool deletePerson(const DataModule& dm, SharedState& state, Prompter& prompter);

// A certificate or accreditation seen from today: ended, ending within 90 days, or in force.
enum class CertificateState { None, InForce, EndingSoon, Ended };
constexpr int kEndingSoonDays = 90;
CertificateState certificateState(const QDate& end, const QDate& today);
// "Действует ещё 45 дней, до 30.06.2026", "Срок истёк 3 дня назад, 12.03.2026"; empty for none.
QString certificateHint(const QDate& end, const QDate& today);
// "1 день", "3 дня", "11 дней".
QString days(qint64 count);

} // namespace personnel
