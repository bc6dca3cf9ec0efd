#include "applications/ApplicationExport.h"

#include "core/SafeFile.h"
#include "data/AppContext.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/Field.h"
#include "data/FieldCaptions.h"
#include "data/paradox/ParadoxError.h"
#include "data/paradox/ParadoxWriter.h"
#include "data/Store.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace applications {

namespace {

QString quoted(const QString& name) {
    return u'"' + name + u'"';
}

// A stored value as the export's typed read gives it: an empty number is 0, an empty date the
// zero date 30.12.1899, an empty text an empty string; nothing else is converted. A column that
// keeps its empty values reads them as empty.
QVariant typedRead(const Statement& st, int column, FieldType type, bool emptyAsZero) {
    if (!emptyAsZero && st.isNull(column))
        return QVariant();
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long:
        return st.isNull(column) ? qint64(0) : st.int64(column);
    case FieldType::Number:
        return st.isNull(column) ? QVariant(0.0) : st.value(column, type);
    case FieldType::Date: {
        static const QVariant zero(Field::zeroDate());
        const QVariant v = st.value(column, type);
        return v.isNull() ? zero : v;
    }
    case FieldType::Alpha:
    case FieldType::Memo: {
        const QVariant v = st.value(column, type);
        return v.isNull() ? QVariant(QString()) : v;
    }
    }
    return st.value(column, type);
}

QString traineeName(const QVariantList& row) {
    const QString name =
        QStringList{row.value(1).toString(), row.value(2).toString(), row.value(3).toString()}
            .join(u' ')
            .simplified();
    return name.isEmpty() ? QStringLiteral("без фамилии") : name;
}

// The trainees of the current application, as one SELECT over the trainee table: its range is
// the application's number and year, its order the table's (the index on KZajavki and Year keeps
// a range's rows in the order they were added). A value of a detail row is that of the trainee's
// first row in the detail table.
class TraineeRange {
public:
    TraineeRange(const DataModule& dm, const Generation& g) : layout_(g.traineesTable(dm).layout()) {
        const Table& applications = g.applicationsTable(dm);
        if (!applications.isEmpty()) {
            number_ = applications.field(fld::KZajavki).value();
            year_ = applications.field(fld::Year).value();
        }
        for (const ExportColumn& column : g.exportColumns) {
            Source source;
            if (!column.field.isEmpty()) {
                const Table* details = column.details ? dm.*column.details : nullptr;
                const TableLayout& from = details ? details->layout() : layout_;
                const int at = from.fieldIndex(column.field);
                if (at < 0)
                    throw DbError(
                        QStringLiteral("В таблице %1 нет поля %2").arg(from.fileName, column.field));
                source.type = from.fields[at].type;
                source.emptyAsZero = column.emptyAsZero;
                source.expression = details ? firstDetailValue(*details, column.field) : quoted(column.field);
            }
            sources_.push_back(source);
        }
    }

    // An empty link value matches no trainee.
    bool isEmpty() const { return number_.isNull() || year_.isNull(); }
    // One per field of the working table; a field no column is read for stays empty.
    int fieldCount() const { return int(sources_.size()); }
    bool isRead(int field) const { return !sources_[size_t(field)].expression.isEmpty(); }
    FieldType type(int field) const { return sources_[size_t(field)].type; }
    bool emptyAsZero(int field) const { return sources_[size_t(field)].emptyAsZero; }

    // "SELECT <the columns read> FROM <trainees> WHERE <range> ORDER BY rowid"; with
    // `typedEmpties` an empty number or date reads as the export's typed read gives it.
    QString select(bool typedEmpties) const {
        QStringList columns;
        for (const Source& source : sources_) {
            if (source.expression.isEmpty())
                continue;
            const QString empty = typedEmpties && source.emptyAsZero ? emptyAs(source.type) : QString();
            columns << (empty.isEmpty() ? source.expression
                                        : QStringLiteral("COALESCE(%1, %2)").arg(source.expression, empty));
        }
        return QStringLiteral("SELECT %1 FROM %2 WHERE \"KZajavki\" = ? AND \"Year\" = ? ORDER BY rowid")
            .arg(columns.join(u','), quoted(layout_.sqlName));
    }
    void bind(Statement& st) const {
        st.bind(1, number_);
        st.bind(2, year_);
    }

private:
    struct Source {
        QString expression; // empty: not read
        FieldType type = FieldType::Alpha;
        bool emptyAsZero = true;
    };

    // The field of the trainee's first row in a detail table linked to the trainee's NPP.
    QString firstDetailValue(const Table& details, const QString& field) const {
        const IndexDef* link = details.layout().index(details.indexName());
        if (!link || link->fields.isEmpty())
            throw DbError(
                QStringLiteral("Таблица %1 не связана со слушателями").arg(details.layout().fileName));
        return QStringLiteral("(SELECT %1 FROM %2 WHERE %3 = %4.\"NPP\" ORDER BY rowid LIMIT 1)")
            .arg(quoted(field), quoted(details.layout().sqlName), quoted(link->fields.first()),
                 quoted(layout_.sqlName));
    }

    static QString emptyAs(FieldType type) {
        switch (type) {
        case FieldType::Number:
            return QStringLiteral("0.0");
        case FieldType::AutoInc:
        case FieldType::Short:
        case FieldType::Long:
            return QStringLiteral("0");
        case FieldType::Date:
            return u'\'' + dateToStore(Field::zeroDate()) + u'\'';
        case FieldType::Alpha:
        case FieldType::Memo:
            break; // an empty text stays empty
        }
        return QString();
    }

    const TableLayout& layout_;
    QVariant number_, year_;
    std::vector<Source> sources_;
};

} // namespace

QString defaultExportName(const DataModule& dm, const Generation& g) {
    const Table& trainees = g.traineesTable(dm);
    QString number = trainees.isEmpty() ? QString() : trainees.field(fld::KZajavki).displayText();
    const int comma = number.indexOf(u',');
    if (comma >= 0)
        number[comma] = u'.';
    const QString year = g.applicationsTable(dm).field(fld::Year).asString();
    const int point = number.indexOf(u'.');
    if (point >= 0)
        return g.exportPrefix +
               QStringLiteral("%1_%2_%3").arg(number.left(point), number.mid(point + 1), year);
    return g.exportPrefix + QStringLiteral("%1_%2").arg(number, year);
}

QList<QVariantList> exportRows(const DataModule& dm, const Generation& g) {
    const TraineeRange range(dm, g);
    QList<QVariantList> rows;
    if (range.isEmpty())
        return rows;
    Table& trainees = g.traineesTable(dm);
    auto st = dm.store().cached(range.select(false));
    range.bind(*st);
    rows.reserve(trainees.recordCount());
    const int fields = range.fieldCount();
    while (st->step()) {
        QVariantList row;
        row.reserve(fields);
        for (int i = 0, column = 0; i < fields; ++i)
            row << (range.isRead(i) ? typedRead(*st, column++, range.type(i), range.emptyAsZero(i))
                                    : QVariant());
        rows << std::move(row);
    }
    // As a walk through the trainees would, leave the last one current.
    trainees.last();
    return rows;
}

QByteArray encodeExport(const DataModule& dm, const Generation& g, const QList<QVariantList>& rows) {
    const TableLayout& layout = g.workingTableOf(dm).layout();
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

void fillWorkingTable(const DataModule& dm, const Generation& g) {
    // One statement copies the application's trainees into the emptied working table, with the
    // export's typed values, in one transaction with the emptying: the working table holds either
    // the old rows or every new one.
    Table& work = g.workingTableOf(dm);
    const TableLayout& layout = work.layout();
    Store& store = dm.store();
    work.close();
    const QString error = store.layoutError(layout.sqlName);
    if (!error.isEmpty())
        throw DbError(error);
    const TraineeRange range(dm, g);
    QStringList columns;
    for (int i = 0; i < layout.fields.size() && i < range.fieldCount(); ++i)
        if (range.isRead(i))
            columns << quoted(layout.fields[i].name);
    Store::Transaction transaction(store);
    store.exec(QStringLiteral("DELETE FROM %1").arg(quoted(layout.sqlName)));
    if (!range.isEmpty()) {
        auto insert = store.cached(
            QStringLiteral("INSERT INTO %1 (%2) ").arg(quoted(layout.sqlName), columns.join(u',')) +
            range.select(true));
        range.bind(*insert);
        insert->step();
    }
    transaction.commit();
}

QString exportTarget(const QString& chosen) {
    if (chosen.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".db");
}

void writeExportFile(const RootPaths& root, const QString& path, const QByteArray& bytes) {
    if (const QString why = root.writeRefusal(path); !why.isEmpty())
        throw UserError(why);
    try {
        writeFileAtomically(path, bytes);
    } catch (const UserError& e) {
        throw UserError(QStringLiteral("Заявка не выгружена. ") + e.message());
    }
}

QString exportApplication(AppContext& app, const Generation& g) {
    DataModule& dm = *app.DM;
    const QString name = defaultExportName(dm, g);
    const QList<QVariantList> rows = exportRows(dm, g);
    const QByteArray bytes = encodeExport(dm, g, rows); // every trainee checked before anything is written
    fillWorkingTable(dm, g);
    QDir().mkpath(app.root.exportDir());
    const QString chosen =
        app.prompter.saveFileName(QStringLiteral("Выгрузка заявки для ТОВЕКС"), app.root.exportDir(), name);
    if (chosen.isEmpty())
        return {};
    const QString target = exportTarget(chosen);
    if (const QString why = app.root.writeRefusal(target); !why.isEmpty())
        throw UserError(why);
    if (QFileInfo::exists(target) &&
        app.prompter.ask(QStringLiteral("Файл существует!"),
                         QStringLiteral("Заменить существующий файл на новый?"), Prompter::Icon::Warning,
                         Prompter::Buttons::OkCancel) != Prompter::Answer::Ok)
        return {};
    writeExportFile(app.root, target, bytes);
    return target;
}

} // namespace applications
