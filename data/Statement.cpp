#include "data/Statement.h"

#include "data/DbError.h"

#include <QDate>

QString dateToStore(const QDate& date) {
    return date.toString(Qt::ISODate);
}
QDate dateFromStore(const QString& text) {
    return QDate::fromString(text, Qt::ISODate);
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
