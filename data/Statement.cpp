#include "data/Statement.h"

#include "data/DbError.h"

#include <QDate>
#include <sqlite3.h>

QString dateToStore(const QDate& date) { return date.toString(Qt::ISODate); }
QDate dateFromStore(const QString& text) { return QDate::fromString(text, Qt::ISODate); }

static QString sqliteMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

Statement::Statement(sqlite3* db, const QString& sql) : db_(db), sql_(sql) {
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr) != SQLITE_OK) {
        QString msg = sqliteMessage(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError(QStringLiteral("Ошибка в запросе к базе данных: %1").arg(msg));
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bind(int position, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, position);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::Char:
        case QMetaType::SChar:
            rc = sqlite3_bind_int64(stmt_, position, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, position, value.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray text = dateToStore(value.toDate()).toUtf8();
            rc = sqlite3_bind_text(stmt_, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString s = value.toString();
            if (s.isEmpty()) {
                rc = sqlite3_bind_null(stmt_, position);
            } else {
                const QByteArray text = s.toUtf8();
                rc = sqlite3_bind_text(stmt_, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
        }
        }
    }
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("Ошибка при передаче значения в запрос: %1").arg(sqliteMessage(db_)));
}

void Statement::bindNamed(const QString& name, const QVariant& value) {
    const QByteArray key = (name.startsWith(u':') ? name : u':' + name).toUtf8();
    int position = sqlite3_bind_parameter_index(stmt_, key.constData());
    if (position == 0)
        throw DbError(QStringLiteral("Параметр %1 не найден в запросе").arg(name));
    bind(position, value);
}

int Statement::parameterCount() const { return sqlite3_bind_parameter_count(stmt_); }

QString Statement::parameterName(int position) const {
    const char* n = sqlite3_bind_parameter_name(stmt_, position);
    return n ? QString::fromUtf8(n + 1) : QString();
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    QString msg = sqliteMessage(db_);
    sqlite3_reset(stmt_);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw DbError(QStringLiteral("База данных занята другой программой: %1").arg(msg));
    throw DbError(QStringLiteral("Ошибка базы данных: %1").arg(msg));
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }
QString Statement::columnName(int column) const { return QString::fromUtf8(sqlite3_column_name(stmt_, column)); }
bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
qint64 Statement::int64(int column) const { return sqlite3_column_int64(stmt_, column); }

static QString columnText(sqlite3_stmt* stmt, int column) {
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

QVariant Statement::value(int column, FieldType type) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return {};
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        QString s = columnText(stmt_, column);
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long:
        return int(sqlite3_column_int64(stmt_, column));
    case FieldType::Number:
        return sqlite3_column_double(stmt_, column);
    case FieldType::Date: {
        QDate d = dateFromStore(columnText(stmt_, column));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    }
    return {};
}

QVariant Statement::rawValue(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER: return sqlite3_column_int64(stmt_, column);
    case SQLITE_FLOAT: return sqlite3_column_double(stmt_, column);
    case SQLITE_TEXT: return columnText(stmt_, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                          sqlite3_column_bytes(stmt_, column));
    default: return {};
    }
}
