#pragma once
// Readable test failure messages for Qt values.
#include <ostream>
#include <QString>
#include <QStringList>
#include <QVariant>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(" | ").toStdString() << ']';
}
inline void PrintTo(const QVariant& v, std::ostream* os) {
    *os << "QVariant(" << v.toString().toStdString() << ')';
}
