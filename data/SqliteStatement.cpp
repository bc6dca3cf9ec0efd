#include "data/SqliteStatement.h"

#include "data/DbError.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

QString databaseFile(sqlite3* db) {
    const char* name = db ? sqlite3_db_filename(db, "main") : nullptr;
    return name ? QDir::toNativeSeparators(QString::fromUtf8(name)) : QString();
}

QString sqliteFailureMessage(int resultCode, const QString& databaseFile, const QString& sqliteText) {
    const QString file = databaseFile.isEmpty() ? QStringLiteral("программы") : databaseFile;
    const QString folder = QDir::toNativeSeparators(QFileInfo(databaseFile).absolutePath());
    const QString forSupport =
        QStringLiteral(" (для службы поддержки: %1, код %2)").arg(sqliteText, QString::number(resultCode));
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return QStringLiteral(
                   "База данных %1 занята другой программой. Закройте другую программу, которая работает с "
                   "этой базой (или вторую копию этой программы), и повторите действие.")
            .arg(file);
    case SQLITE_NOTADB:
        return QStringLiteral(
                   "Файл %1 не является базой данных программы или повреждён так, что его нельзя прочитать. "
                   "Восстановите базу данных из резервной копии.")
            .arg(file);
    case SQLITE_CORRUPT:
        return QStringLiteral("База данных %1 повреждена. Восстановите её из резервной копии.").arg(file);
    case SQLITE_FULL:
        return QStringLiteral(
                   "На диске не хватает места для базы данных %1, изменения не сохранены. Освободите место "
                   "на диске и повторите действие.")
            .arg(file);
    case SQLITE_READONLY:
        return QStringLiteral(
                   "База данных %1 доступна только для чтения, изменения не сохранены. Проверьте, что файл "
                   "не защищён от записи и что у вас есть право записи в папку %2.")
            .arg(file, folder);
    case SQLITE_CANTOPEN:
        return QStringLiteral(
                   "Не удалось открыть базу данных %1. Проверьте, что папка %2 существует и у вас есть "
                   "право чтения и записи в ней.")
            .arg(file, folder);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Нет прав на работу с базой данных %1. Проверьте права на файл и на папку %2.")
            .arg(file, folder);
    case SQLITE_NOMEM:
        return QStringLiteral(
                   "Не хватает памяти для работы с базой данных %1. Закройте другие программы и повторите "
                   "действие.")
            .arg(file);
    case SQLITE_IOERR:
        return QStringLiteral(
                   "Не удалось прочитать или записать базу данных %1. Проверьте, что диск доступен и на нём "
                   "есть место, и повторите действие; если ошибка повторится, восстановите базу данных из "
                   "резервной копии.")
                   .arg(file) +
               forSupport;
    default:
        return QStringLiteral(
                   "Ошибка при работе с базой данных %1. Повторите действие; если ошибка повторится, "
                   "обратитесь в службу поддержки.")
                   .arg(file) +
               forSupport;
    }
}

QString sqliteResultText(int resultCode) {
    switch (resultCode & 0xff) {
    case SQLITE_OK:
        return QStringLiteral("ошибки нет");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("база занята другой программой");
    case SQLITE_NOMEM:
        return QStringLiteral("не хватило памяти");
    case SQLITE_READONLY:
        return QStringLiteral("файл доступен только для чтения");
    case SQLITE_IOERR:
        return QStringLiteral("ошибка чтения или записи диска");
    case SQLITE_CORRUPT:
        return QStringLiteral("файл повреждён");
    case SQLITE_FULL:
        return QStringLiteral("на диске нет места");
    case SQLITE_CANTOPEN:
        return QStringLiteral("файл не открывается");
    case SQLITE_NOTADB:
        return QStringLiteral("файл не является базой данных");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("нет прав доступа");
    case SQLITE_TOOBIG:
        return QStringLiteral("слишком большое значение");
    default:
        return QStringLiteral("ошибка SQLite с кодом %1").arg(resultCode);
    }
}

void throwSqliteFailure(sqlite3* db, int resultCode) {
    const QString text =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    throw DbError(sqliteFailureMessage(resultCode, databaseFile(db), text), resultCode);
}

bool DbError::isDamage() const {
    const int primary = sqliteCode_ & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : db_(db) {
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throwSqliteFailure(db, sqlite3_extended_errcode(db));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

void SqliteStatement::bind(int position, const QVariant& value) {
    const StoredValue v = storedValue(value);
    int rc = SQLITE_OK;
    switch (v.kind) {
    case StoredValue::Kind::Null:
        rc = sqlite3_bind_null(stmt_, position);
        break;
    case StoredValue::Kind::Integer:
        rc = sqlite3_bind_int64(stmt_, position, v.integer);
        break;
    case StoredValue::Kind::Real:
        rc = sqlite3_bind_double(stmt_, position, v.real);
        break;
    case StoredValue::Kind::Text:
        rc = sqlite3_bind_text(stmt_, position, v.text.constData(), int(v.text.size()), SQLITE_TRANSIENT);
        break;
    }
    if (rc != SQLITE_OK)
        throwSqliteFailure(db_, rc);
}

int SqliteStatement::parameterCount() const {
    return sqlite3_bind_parameter_count(stmt_);
}

QString SqliteStatement::parameterName(int position) const {
    const char* n = sqlite3_bind_parameter_name(stmt_, position);
    return n ? QString::fromUtf8(n + 1) : QString();
}

bool SqliteStatement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_extended_errcode(db_);
    const QString text = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_reset(stmt_);
    throw DbError(sqliteFailureMessage(code != SQLITE_OK ? code : rc, databaseFile(db_), text),
                  code != SQLITE_OK ? code : rc);
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(stmt_);
}
QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}
bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}
qint64 SqliteStatement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

static QString columnText(sqlite3_stmt* stmt, int column) {
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
}

QVariant SqliteStatement::value(int column, FieldType type) const {
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

QVariant SqliteStatement::rawValue(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return sqlite3_column_int64(stmt_, column);
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, column);
    case SQLITE_TEXT:
        return columnText(stmt_, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                          sqlite3_column_bytes(stmt_, column));
    default:
        return {};
    }
}
