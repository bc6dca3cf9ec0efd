#include "refbooks/Books.h"

#include "core/UserError.h"
#include "data/DataModule.h"
#include "data/Layout.h"
#include "data/Statement.h"
#include "data/Store.h"
#include "data/Table.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

static void initStarterResources() {
    Q_INIT_RESOURCE(starter_books);
}

namespace books {

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}
QString field(const char* name) {
    return quoted(QString::fromLatin1(name));
}
Table& tableOf(const DataModule& dm, Table* DataModule::*table) {
    return *(dm.*table);
}
QString sqlName(const DataModule& dm, Table* DataModule::*table) {
    return quoted(tableOf(dm, table).layout().sqlName);
}
QString sqlName(const Book& book) {
    return quoted(layouts::find(QString::fromLatin1(book.tableName))->sqlName);
}

QList<Entry> entriesIn(Store& store, const Book& book) {
    auto st = store.cached(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1")
                               .arg(field(book.codeField), field(book.nameField), sqlName(book)));
    QList<Entry> out;
    while (st->step())
        out << Entry{st->rawValue(0).toLongLong(), st->rawValue(1).toString()};
    return out;
}

QList<Use> peopleAndTrainees(const char* code, const char* registerName) {
    return {{&DataModule::tblPersonal, code, "сотрудники", registerName},
            {&DataModule::tblSluch, code, "слушатели заявок"},
            {&DataModule::tblSluch2021, code, "слушатели заявок"},
            {&DataModule::tblSluch2023, code, "слушатели заявок"}};
}

// The name the book stores for what the user typed: spaces trimmed and collapsed, capitals where
// the book keeps its names in capitals.
QString stored(const Book& book, const QString& typed) {
    QString name = typed.simplified();
    return book.starterInCapitals ? QLocale().toUpper(name) : name;
}

void checkName(const DataModule& dm, const Book& book, const QString& name, qint64 except) {
    if (name.isEmpty())
        throw UserError(QStringLiteral("%1: введите название.").arg(QString::fromUtf8(book.caption)));
    const Table& t = tableOf(dm, book.table);
    const int width = t.layout().fields.at(t.layout().fieldIndex(QString::fromLatin1(book.nameField))).size;
    if (name.size() > width)
        throw UserError(QStringLiteral("%1: название длиннее %2 знаков.")
                            .arg(QString::fromUtf8(book.caption))
                            .arg(width));
    if (const auto same = findByName(dm, book, name); same && same->code != except)
        throw UserError(QStringLiteral("%1 «%2» уже есть в справочнике (код %3).")
                            .arg(QString::fromUtf8(book.caption), same->name)
                            .arg(same->code));
}

// Makes the entry with the code the book's current row.
void moveTo(const DataModule& dm, const Book& book, qint64 code) {
    Table& t = tableOf(dm, book.table);
    if (!t.locate(QString::fromLatin1(book.codeField), {code}))
        throw UserError(QStringLiteral("%1 с кодом %2 не найдена в справочнике: возможно, её уже удалили.")
                            .arg(QString::fromUtf8(book.caption))
                            .arg(code));
}

} // namespace

const Book& positions() {
    static const Book book{&DataModule::tblDoljn,
                           "DOLJNOST",
                           "KDoljn",
                           "NDoljn",
                           false,
                           false,
                           "Должность",
                           QStringLiteral(":/starter/positions.txt"),
                           true,
                           peopleAndTrainees("KDoljn", "NDoljn")};
    return book;
}

const Book& diplomaSpecialties() {
    static const Book book{&DataModule::tblSpez,
                           "SPEZ",
                           "KSpez",
                           "NSpez",
                           false,
                           false,
                           "Специальность по диплому",
                           QStringLiteral(":/starter/diploma-specialties.txt"),
                           false,
                           peopleAndTrainees("KSpez", "NSpez")};
    return book;
}

const Book& specialties() {
    static const Book book{&DataModule::tblSpecialty,
                           "Specialty",
                           "NPP",
                           "Name",
                           true,
                           true,
                           "Специальность",
                           QStringLiteral(":/starter/specialties.txt"),
                           false,
                           {{&DataModule::tblSertif, "Name", "сертификаты сотрудников", "Name"},
                            {&DataModule::tblSLSertif, "Name", "сертификаты слушателей"},
                            {&DataModule::tblSluch2021, "Specialty", "слушатели заявок"},
                            {&DataModule::tblSluch2023, "Specialty", "слушатели заявок"}}};
    return book;
}

QString comparable(const QString& name) {
    QString s = QLocale().toUpper(name.simplified());
    s.replace(u'Ё', u'Е');
    return s;
}

QList<Entry> entries(const DataModule& dm, const Book& book) {
    return entriesIn(dm.store(), book);
}

std::optional<Entry> findByName(const DataModule& dm, const Book& book, const QString& name) {
    const QString wanted = comparable(name);
    if (wanted.isEmpty())
        return std::nullopt;
    for (const Entry& e : entries(dm, book))
        if (comparable(e.name) == wanted)
            return e;
    return std::nullopt;
}

Entry add(DataModule& dm, const Book& book, const QString& typed) {
    const QString name = stored(book, typed);
    checkName(dm, book, name, -1);
    Table& t = tableOf(dm, book.table);
    t.checkBrowseMode();
    qint64 highest = 0;
    for (const Entry& e : entries(dm, book))
        highest = std::max(highest, e.code);
    t.append();
    try {
        if (!book.storeNumbers)
            t.field(QString::fromLatin1(book.codeField)).setValue(highest + 1);
        t.field(QString::fromLatin1(book.nameField)).setAsString(name);
        t.post();
    } catch (...) {
        t.cancel(); // no half-made entry stays behind
        throw;
    }
    return Entry{t.field(QString::fromLatin1(book.codeField)).asInteger(), name};
}

void rename(DataModule& dm, const Book& book, qint64 code, const QString& typed) {
    const QString name = stored(book, typed);
    checkName(dm, book, name, code);
    moveTo(dm, book, code);
    Table& t = tableOf(dm, book.table);
    const QString old = t.field(QString::fromLatin1(book.nameField)).asString();
    if (old == name)
        return;
    Store::Transaction transaction(dm.store());
    t.edit();
    t.field(QString::fromLatin1(book.nameField)).setAsString(name);
    t.post();
    QList<Table*> changed;
    for (const Use& use : book.uses) {
        if (!use.renamedField)
            continue;
        auto st =
            dm.store().cached(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                                  .arg(sqlName(dm, use.table), field(use.renamedField), field(use.field)));
        st->bind(1, name);
        st->bind(2, book.usedByName ? QVariant(old) : QVariant(code));
        st->step();
        changed << &tableOf(dm, use.table);
    }
    transaction.commit();
    for (Table* table : changed)
        table->reread();
}

QString usage(const DataModule& dm, const Book& book, const Entry& entry) {
    // Counted by who refers, in the order of the uses: "сотрудники — 3, слушатели заявок — 2".
    QList<std::pair<QString, qint64>> counts;
    for (const Use& use : book.uses) {
        auto st = dm.store().cached(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                                        .arg(sqlName(dm, use.table), field(use.field)));
        st->bind(1, book.usedByName ? QVariant(entry.name) : QVariant(entry.code));
        st->step();
        const qint64 n = st->rawValue(0).toLongLong();
        if (n == 0)
            continue;
        const QString who = QString::fromUtf8(use.who);
        auto same = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == who; });
        if (same != counts.end())
            same->second += n;
        else
            counts.append({who, n});
    }
    QStringList parts;
    for (const auto& [who, n] : counts)
        parts << QStringLiteral("%1 — %2").arg(who).arg(n);
    return parts.join(QStringLiteral(", "));
}

QString removalRefusal(const DataModule& dm, const Book& book, const Entry& entry) {
    const QString used = usage(dm, book, entry);
    if (used.isEmpty())
        return {};
    return QStringLiteral("%1 «%2» не удалена: на неё ссылаются %3. Сначала укажите им другую.")
        .arg(QString::fromUtf8(book.caption), entry.name, used);
}

void remove(DataModule& dm, const Book& book, const Entry& entry) {
    if (const QString refusal = removalRefusal(dm, book, entry); !refusal.isEmpty())
        throw UserError(refusal);
    moveTo(dm, book, entry.code);
    tableOf(dm, book.table).remove();
}

namespace {

QStringList starterNames(const Book& book) {
    initStarterResources();
    QFile file(book.starterFile);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(
            QStringLiteral("Начальный справочник %1 не найден в программе.").arg(book.starterFile));
    QStringList names;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString name = line.trimmed();
        if (name.isEmpty() || name.startsWith(u'#'))
            continue; // blank lines and the headings of the nomenclature's sections
        const QString kept = stored(book, name);
        if (!names.contains(kept))
            names << kept;
    }
    return names;
}

} // namespace

int loadStarterBooks(Store& store) {
    int added = 0;
    Store::Transaction transaction(store);
    for (const Book* book : {&positions(), &diplomaSpecialties(), &specialties()}) {
        if (!entriesIn(store, *book).isEmpty())
            continue;
        auto st =
            book->storeNumbers
                ? store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                                   .arg(sqlName(*book), field(book->nameField)))
                : store.cached(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                                   .arg(sqlName(*book), field(book->nameField), field(book->codeField)));
        qint64 code = 0;
        for (const QString& name : starterNames(*book)) {
            st->bind(1, name);
            if (!book->storeNumbers)
                st->bind(2, ++code);
            st->step();
            st->reset();
            ++added;
        }
    }
    transaction.commit();
    return added;
}

} // namespace books
