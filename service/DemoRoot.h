#pragma once
// A sample database to try the program on: the reference books, about forty employees with
// their certificates, e-mails and SNILS numbers, a catalogue of programmes for two years, the
// institution's settings and bank details, one application with a few trainees, and one
// application of each earlier generation (for 2020 and for 2022) with theirs.
// The sample comes from a fixed seed: the same date gives the same rows.
#include <QDate>
#include <QString>

class Store;

namespace demo {

// The years the catalogue covers; the application is made for the first of them.
constexpr int kFirstYear = 2026;
constexpr int kLastYear = 2027;
// The number of the application, also written into the settings as the last one made.
constexpr int kApplicationNumber = 116;

struct Summary {
    int people = 0;
    int positions = 0;
    int diplomaSpecialties = 0;
    int specialties = 0;
    int certificates = 0;
    int emails = 0;
    int snilsNumbers = 0;
    int programmes = 0;
    int trainees = 0;
    int trainingRecords = 0;  // the people's training of past years
    int archivedTrainees = 0; // in the applications of the two earlier generations

    // One line for the user: what was made, and where (`place`).
    QString describe(const QString& place) const;
};

// Why the store cannot take the sample: it already holds employees, applications or other
// records that the sample would mix with. Empty when the store is new.
QString refusal(Store& store);

// Writes the sample in one transaction. `today` gives the current year (years of service of
// the trainees) and the dates the certificates end around. Throws DbError with refusal()'s
// text when the store is not new, and DbError when a row is refused; nothing is kept then.
Summary fill(Store& store, const QDate& today);

} // namespace demo
