#pragma once
// The three reference books a clerk keeps: positions, diploma specialties and the specialties of
// certificates. Finding an entry by a name as typed (case, Ё and spaces ignored), adding,
// renaming and deleting entries, and filling an empty book from the starter lists shipped with
// the program. No widgets here; every change is one transaction and throws DbError or UserError
// with a message for the user.
#include <optional>
#include <QList>
#include <QString>

class Store;
class DataModule;
class Table;

namespace books {

// Who refers to the book's entries: a table's field holding the entry's code, or its name.
struct Use {
    Table* DataModule::*table;
    const char* field;
    const char* who; // "сотрудники", in the refusal's count
    // The copy of the entry's name beside the code (the register's NDoljn beside KDoljn), or, for
    // a use by name, the name itself: renamed with the entry. Empty: kept as it was (a trainee
    // row of an application keeps what was filed).
    const char* renamedField = nullptr;
};

struct Book {
    Table* DataModule::*table;
    const char* tableName; // in the store
    const char* codeField; // "KDoljn"; for a book numbered by the store, its auto-increment field
    const char* nameField;
    bool storeNumbers;   // the store gives the code (the specialties book)
    bool usedByName;     // the uses hold the entry's name, not its code
    const char* caption; // "Должность", opening the messages
    QString starterFile; // the starter list in the program's resources
    bool starterInCapitals;
    QList<Use> uses;
};

const Book& positions();
const Book& diplomaSpecialties();
const Book& specialties();

struct Entry {
    qint64 code = 0;
    QString name;
    bool operator==(const Entry&) const = default;
};

// A name as compared: capitals, Ё as Е, spaces collapsed, trimmed.
QString comparable(const QString& name);

QList<Entry> entries(const DataModule& dm, const Book& book);
std::optional<Entry> findByName(const DataModule& dm, const Book& book, const QString& name);

// Adds an entry and makes it the book's current row; refuses an empty name or one the book has.
Entry add(DataModule& dm, const Book& book, const QString& name);
// Renames the entry with the code; the copies of its name in the register follow.
void rename(DataModule& dm, const Book& book, qint64 code, const QString& name);
// "3 сотрудников и 1 слушателей" in words for the user; empty when nothing refers to the entry.
QString usage(const DataModule& dm, const Book& book, const Entry& entry);
// Why the entry cannot be deleted, naming who refers to it and how many; empty when it can.
QString removalRefusal(const DataModule& dm, const Book& book, const Entry& entry);
// Deletes the entry; refuses, naming the count, while anything refers to it.
void remove(DataModule& dm, const Book& book, const Entry& entry);

// The starter lists: the national nomenclature of positions of medical and pharmaceutical
// workers, the specialties of diplomas and of certificates. Loaded into the empty books in one
// transaction; a book that has entries is left as it is. Returns how many entries were added.
// Open datasets of the books are not re-read: for a store being built.
int loadStarterBooks(Store& store);

} // namespace books
