#include "applications/ApplicationExport.h"

#include "core/AppContext.h"
#include "core/SafeFile.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/Field.h"
#include "data/FieldCaptions.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/Store.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

namespace applications {

namespace {

// The trainee fields the export reads, in the order of the export layout's fields (TempZ2023:
// Zajavka, Name1, Name2, Name3, Zicl, Kv, DR, Doljn, Spez, Stajg, StajgZ, Year, VidOb, Hours,
// DateCL, Specialty, EMAIL, SNILS, FOBUCH).
constexpr const char* kTraineeFields[] = {
    "KZajavki",  "Name1", "Name2", "Name3", "KZicl",  "KV",        "DR",    "KDoljn", "KSpez", "StajOb",
    "StajDoljn", "Year",  "VidOb", "Hours", "DateCl", "Specialty", "EMAIL", "SNILS",  "FOBUCH"};
constexpr int kExportFieldCount = int(std::size(kTraineeFields));

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

// A stored value as the export's typed read gives it: an empty number is 0, an empty date the
// zero date 30.12.1899, an empty text an empty string; nothing else is converted.
QVariant typedRead(const Statement& st, int column, FieldType type) {
    const QVariant v = st.value(column, type);
    switch (type) {
    case FieldType::Number:
        return v.isNull() ? 0.0 : v.toDouble();
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long:
        return v.isNull() ? qint64(0) : v.toLongLong();
    case FieldType::Date:
        return v.isNull() ? Field::zeroDate() : v.toDate();
    case FieldType::Alpha:
    case FieldType::Memo:
        return v.isNull() ? QString() : v.toString();
    }
    return v;
}

QString traineeName(const QVariantList& row) {
    const QString name =
        QStringList{row.value(1).toString(), row.value(2).toString(), row.value(3).toString()}
            .join(u' ')
            .simplified();
    return name.isEmpty() ? QStringLiteral("без фамилии") : name;
}

} // namespace

QString defaultExportName(const TDM& dm, const Generation& g) {
    const Table& trainees = g.traineesTable(dm);
    QString number = trainees.isEmpty() ? QString() : trainees.field(QStringLiteral("KZajavki")).displayText();
    const int comma = number.indexOf(u',');
    if (comma >= 0)
        number[comma] = u'.';
    const QString year = g.applicationsTable(dm).field(QStringLiteral("Year")).asString();
    const int point = number.indexOf(u'.');
    if (point >= 0)
        return QStringLiteral("ZES%1_%2_%3").arg(number.left(point), number.mid(point + 1), year);
    return QStringLiteral("ZES%1_%2").arg(number, year);
}

QList<QVariantList> exportRows(const TDM& dm, const Generation& g) {
    // One statement reads the whole range of the current application, in the table's order
    // (the index on KZajavki and Year keeps a range's rows in the order they were added).
    Table& trainees = g.traineesTable(dm);
    const Table& applications = g.applicationsTable(dm);
    const QVariant number =
        applications.isEmpty() ? QVariant() : applications.field(QStringLiteral("KZajavki")).value();
    const QVariant year =
        applications.isEmpty() ? QVariant() : applications.field(QStringLiteral("Year")).value();
    QList<QVariantList> rows;
    if (number.isNull() || year.isNull())
        return rows; // an empty link matches no trainee

    const TableLayout& layout = trainees.layout();
    QStringList columns;
    FieldType types[kExportFieldCount];
    for (int i = 0; i < kExportFieldCount; ++i) {
        const QString name = QString::fromLatin1(kTraineeFields[i]);
        const int at = layout.fieldIndex(name);
        if (at < 0)
            throw DbError(QStringLiteral("В таблице %1 нет поля %2").arg(layout.fileName, name));
        types[i] = layout.fields[at].type;
        columns << quoted(name);
    }
    auto st = dm.store().cached(
        QStringLiteral("SELECT %1 FROM %2 WHERE \"KZajavki\" = ? AND \"Year\" = ? ORDER BY rowid")
            .arg(columns.join(u','), quoted(layout.sqlName)));
    st->bind(1, number);
    st->bind(2, year);
    rows.reserve(trainees.recordCount());
    while (st->step()) {
        QVariantList row;
        row.reserve(kExportFieldCount);
        for (int i = 0; i < kExportFieldCount; ++i)
            row << typedRead(*st, i, types[i]);
        rows << std::move(row);
    }
    // As a walk through the trainees would, leave the last one current.
    trainees.last();
    return rows;
}

QByteArray encodeExport(const TDM&, const Generation&, const QList<QVariantList>& rows) {
    const TableLayout& layout = layouts::tempZ2023();
    try {
        return encodeParadoxTable(layout, rows);
    } catch (const ParadoxValueError& e) {
        // The codec names the row and the layout's field; the user knows the trainee and the
        // field's caption.
        const QVariantList& row = rows.value(e.row() - 1);
        throw DbError(
            QStringLiteral("Заявка не выгружена. Слушатель %1 (строка %2), поле «%3»: %4. Исправьте данные "
                           "слушателя и выгрузите заявку снова.")
                .arg(traineeName(row), QString::number(e.row()), captions::field(layout.sqlName, e.field()),
                     e.reason()));
    }
}

void fillWorkingTable(const TDM& dm, const QList<QVariantList>& rows) {
    // The rows go in through one prepared statement, in one transaction with the emptying: the
    // working table holds either the old rows or every new one.
    Table& work = *dm.tblTempZ2023;
    const TableLayout& layout = work.layout();
    Store& store = dm.store();
    work.close();
    const QString error = store.layoutError(layout.sqlName);
    if (!error.isEmpty())
        throw DbError(error);
    QStringList columns, marks;
    for (const FieldDef& f : layout.fields) {
        columns << quoted(f.name);
        marks << QStringLiteral("?");
    }
    Store::Transaction transaction(store);
    store.exec(QStringLiteral("DELETE FROM %1").arg(quoted(layout.sqlName)));
    auto insert = store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoted(layout.sqlName), columns.join(u','), marks.join(u',')));
    for (const QVariantList& row : rows) {
        for (int i = 0; i < layout.fields.size(); ++i)
            insert->bind(i + 1, row[i]);
        insert->step();
        insert->reset();
    }
    transaction.commit();
}

QString exportTarget(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".db");
}

void writeExportFile(const RootPaths& root, const QString& path, const QByteArray& bytes) {
    if (root.isInsideBase(path))
        throw UserError(RootPaths::insideBaseMessage(path));
    try {
        writeFileAtomically(path, bytes);
    } catch (const UserError& e) {
        throw UserError(QStringLiteral("Заявка не выгружена. ") + e.message());
    }
}

bool exportApplication(AppContext& app, const Generation& g) {
    TDM& dm = *app.DM;
    const QString name = defaultExportName(dm, g);
    const QList<QVariantList> rows = exportRows(dm, g);
    const QByteArray bytes = encodeExport(dm, g, rows); // every trainee checked before anything is written
    fillWorkingTable(dm, rows);
    QDir().mkpath(app.root.exportDir());
    const QString chosen =
        app.prompter.saveFileName(QStringLiteral("Выгрузка заявки для ТОВЕКС"), app.root.exportDir(), name);
    if (chosen.isEmpty())
        return false;
    const QString target = exportTarget(chosen);
    if (app.root.isInsideBase(target))
        throw UserError(RootPaths::insideBaseMessage(target));
    if (QFileInfo::exists(target) &&
        app.prompter.ask(QStringLiteral("Файл существует!"), QStringLiteral("Заменить существующий файл на новый?"),
                         Prompter::Icon::Warning, Prompter::Buttons::OkCancel) != Prompter::Answer::Ok)
        return false;
    writeExportFile(app.root, target, bytes);
    return true;
}

} // namespace applications
