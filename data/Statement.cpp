#include "data/Statement.h"

#include "data/DbError.h"

#include <QDate>

QString dateToStore(const QDate& date) {
    return date.toString(Qt::ISODate);
}
QDate dateFromStore(const QString& text) {
    return QDate::fromString(text, Qt::ISODate);
}

StoredValue storedValue(const QVariant& value) {
    StoredValue v;
    if (!value.isValid() || value.isNull())
        return v;
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
        v.kind = StoredValue::Kind::Integer;
        v.integer = value.toLongLong();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        v.kind = StoredValue::Kind::Real;
        v.real = value.toDouble();
        break;
    case QMetaType::QDate:
        v.kind = StoredValue::Kind::Text;
        v.text = dateToStore(value.toDate()).toUtf8();
        break;
    default:
        v.text = value.toString().toUtf8();
        v.kind = v.text.isEmpty() ? StoredValue::Kind::Null : StoredValue::Kind::Text;
    }
    return v;
}

void Statement::bindNamed(const QString& name, const QVariant& value) {
    const QString key = name.startsWith(u':') ? name.mid(1) : name;
    for (int p = 1; p <= parameterCount(); ++p)
        if (parameterName(p) == key) {
            bind(p, value);
            return;
        }
    throw DbError(QStringLiteral("Ошибка программы: параметр %1 не найден в запросе").arg(name));
}
