#include "data/PgStatement.h"

#include "data/DbError.h"
#include "data/PgStore.h"

#include <libpq-fe.h>
#include <QDate>

namespace {
// The type numbers of the server's built-in types the program reads.
enum : Oid { kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700 };

bool identStart(QChar c) {
    return c.isLetter() || c == u'_';
}
} // namespace

QByteArray pgDialect(const QString& sql, QStringList* names) {
    QString out;
    out.reserve(sql.size() + 16);
    QStringList found;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'\'') { // a literal, with '' inside it, goes as it is
            const qsizetype end = [&] {
                qsizetype j = i + 1;
                while (j < sql.size()) {
                    if (sql[j] == u'\'' && !(j + 1 < sql.size() && sql[j + 1] == u'\''))
                        return j;
                    j += sql[j] == u'\'' ? 2 : 1;
                }
                return sql.size() - 1;
            }();
            out += QStringView(sql).mid(i, end - i + 1);
            i = end;
        } else if (c == u'"') {
            qsizetype end = sql.indexOf(u'"', i + 1);
            if (end < 0)
                end = sql.size() - 1;
            out += QStringView(sql).mid(i, end - i + 1).toString().toLower();
            i = end;
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            qsizetype end = sql.indexOf(u'\n', i);
            if (end < 0)
                end = sql.size() - 1;
            out += QStringView(sql).mid(i, end - i + 1);
            i = end;
        } else if (c == u'?') {
            found << QString();
            out += u'$' + QString::number(found.size());
        } else if (c == u':' && i + 1 < sql.size() && identStart(sql[i + 1]) &&
                   (i == 0 || sql[i - 1] != u':')) {
            qsizetype end = i + 1;
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == u'_'))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1);
            qsizetype at = found.indexOf(name);
            if (at < 0) {
                found << name;
                at = found.size() - 1;
            }
            out += u'$' + QString::number(at + 1);
            i = end - 1;
        } else {
            out += c;
        }
    }
    if (names)
        *names = found;
    return out.toUtf8();
}

PgStatement::PgStatement(PgStore& store, const QString& sql) : store_(store), sql_(pgDialect(sql, &names_)) {
    params_.resize(size_t(names_.size()));
    nulls_.assign(size_t(names_.size()), true);
}

PgStatement::~PgStatement() {
    PQclear(result_);
    if (!prepared_.isEmpty())
        store_.dropNamed(prepared_, preparedOn_);
}

void PgStatement::bind(int position, const QVariant& value) {
    if (position < 1 || position > parameterCount())
        throw DbError(QStringLiteral("Ошибка программы: в запросе нет параметра №%1").arg(position));
    const size_t p = size_t(position - 1);
    const StoredValue v = storedValue(value);
    nulls_[p] = v.kind == StoredValue::Kind::Null;
    params_[p] = v.kind == StoredValue::Kind::Integer ? QByteArray::number(v.integer)
                 : v.kind == StoredValue::Kind::Real  ? QByteArray::number(v.real, 'g', 17)
                                                      : v.text;
}

void PgStatement::run() const {
    std::vector<const char*> values(params_.size());
    for (size_t i = 0; i < params_.size(); ++i)
        values[i] = nulls_[i] ? nullptr : params_[i].constData();
    // The parameters go as text of no declared type: the server takes each as the type its place
    // in the statement asks for (a date column, an integer), as the file store does.
    const int count = int(values.size());
    // A statement with parameters that runs again is prepared on the server, which then plans it
    // once; one that runs once is sent whole, which costs no more round trips.
    if (count > 0 && ++runs_ >= 2) {
        if (prepared_.isEmpty() || preparedOn_ != store_.connectionGeneration()) {
            prepared_ = store_.prepareNamed(sql_, count);
            preparedOn_ = store_.connectionGeneration();
        }
        result_ = store_.runNamed(prepared_, count, values.data());
    } else {
        result_ = store_.run(sql_, count, values.data());
    }
    rows_ = PQntuples(result_);
}

bool PgStatement::step() {
    if (!result_)
        run();
    if (row_ + 1 < rows_) {
        ++row_;
        return true;
    }
    row_ = rows_;
    return false;
}

void PgStatement::reset() {
    PQclear(result_);
    result_ = nullptr;
    rows_ = 0;
    row_ = -1;
    nulls_.assign(nulls_.size(), true);
}

int PgStatement::columnCount() const {
    if (!result_)
        run(); // the server tells a result's columns with the result
    return PQnfields(result_);
}

QString PgStatement::columnName(int column) const {
    if (!result_)
        run();
    return QString::fromUtf8(PQfname(result_, column));
}

const char* PgStatement::text(int column) const {
    return PQgetvalue(result_, row_, column);
}

bool PgStatement::isNull(int column) const {
    return PQgetisnull(result_, row_, column) == 1;
}

qint64 PgStatement::int64(int column) const {
    return isNull(column) ? 0 : QByteArray(text(column)).toLongLong();
}

QVariant PgStatement::value(int column, FieldType type) const {
    if (isNull(column))
        return {};
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        QString s = QString::fromUtf8(text(column), PQgetlength(result_, row_, column));
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long:
        return int(QByteArray(text(column)).toLongLong());
    case FieldType::Number:
        return QByteArray(text(column)).toDouble();
    case FieldType::Date: {
        const QDate d = dateFromStore(QString::fromLatin1(text(column)));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return {};
}

QVariant PgStatement::rawValue(int column) const {
    if (isNull(column))
        return {};
    switch (PQftype(result_, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
        return QByteArray(text(column)).toLongLong();
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return QByteArray(text(column)).toDouble();
    case kBool:
        return qint64(text(column)[0] == 't');
    default:
        return QString::fromUtf8(text(column), PQgetlength(result_, row_, column));
    }
}
