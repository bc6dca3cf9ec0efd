#pragma once
// A person as messages name them: "ИВАНОВА И. И." (the surname and the initials).
#include <QString>

inline QString surnameAndInitials(const QString& surname, const QString& name, const QString& patronymic) {
    QString out = surname.trimmed();
    for (const QString& part : {name.trimmed(), patronymic.trimmed()})
        if (!part.isEmpty())
            out += (out.isEmpty() ? QString() : QStringLiteral(" ")) + part.left(1) + u'.';
    return out.isEmpty() ? QStringLiteral("без фамилии") : out;
}
