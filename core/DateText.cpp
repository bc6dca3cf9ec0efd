#include "core/DateText.h"

#include <QRegularExpression>

namespace datetext {

namespace {

struct Parts {
    int day = 0, month = 0, year = 0;
    bool found = false;
};

Parts split(const QString& text) {
    const QString t = text.trimmed();
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})\\s*[./,-]\\s*(\\d{1,2})\\s*[./,-]\\s*(\\d{4})$"));
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4})$"));
    if (auto m = dayFirst.match(t); m.hasMatch())
        return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), true};
    if (auto m = digitsOnly.match(t); m.hasMatch())
        return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), true};
    if (auto m = yearFirst.match(t); m.hasMatch())
        return {m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt(), true};
    return {};
}

} // namespace

QDate parse(const QString& text) {
    const Parts p = split(text);
    return p.found ? QDate(p.year, p.month, p.day) : QDate();
}

bool isBlank(const QString& text) {
    static const QRegularExpression blank(QStringLiteral("^[\\s._/-]*$"));
    return blank.match(text).hasMatch();
}

bool isImpossible(const QString& text) {
    return split(text).found && !parse(text).isValid();
}

QString problem(const QString& text) {
    if (isBlank(text) || parse(text).isValid())
        return {};
    if (isImpossible(text))
        return QStringLiteral("Такой даты нет: «%1». Проверьте день и месяц.").arg(text.trimmed());
    return QStringLiteral("«%1» — не дата. Введите дату в виде ДД.ММ.ГГГГ, например 20.03.2028.")
        .arg(text.trimmed());
}

} // namespace datetext
