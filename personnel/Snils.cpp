#include "personnel/Snils.h"

#include <QRegularExpression>

namespace snils {

int checkNumber(qint32 number) {
    if (number < 0 || number > kLargestNumber)
        return -1;
    int sum = 0;
    // The last digit weighs 1, the first 9.
    for (int weight = 1; weight <= 9; ++weight, number /= 10)
        sum += (number % 10) * weight;
    if (sum < 100)
        return sum;
    if (sum <= 101)
        return 0;
    const int rest = sum % 101;
    return rest == 100 ? 0 : rest;
}

QString format(qint32 number) {
    const int check = checkNumber(number);
    if (check < 0)
        return {};
    const QString digits = QStringLiteral("%1").arg(number, 9, 10, QLatin1Char('0'));
    return QStringLiteral("%1-%2-%3 %4")
        .arg(digits.left(3), digits.mid(3, 3), digits.mid(6, 3))
        .arg(check, 2, 10, QLatin1Char('0'));
}

Verdict validate(const QString& text) {
    Verdict v;
    // A cleared masked edit box keeps its dashes and blanks.
    static const QRegularExpression blank(QStringLiteral("^[\\s_-]*$"));
    if (blank.match(text).hasMatch()) {
        v.status = Verdict::Status::Empty;
        v.message = QStringLiteral("СНИЛС не указан");
        return v;
    }
    static const QRegularExpression form(QStringLiteral("^(\\d{3})-(\\d{3})-(\\d{3}) (\\d{2})$"));
    const QString typed = text.trimmed();
    const auto m = form.match(typed);
    if (!m.hasMatch()) {
        v.status = Verdict::Status::WrongForm;
        v.message =
            QStringLiteral("СНИЛС «%1» записан неправильно: нужно 11 цифр в виде 123-456-789 01").arg(typed);
        return v;
    }
    v.number = (m.captured(1) + m.captured(2) + m.captured(3)).toInt();
    v.expected = checkNumber(v.number);
    if (v.number > kLastUncheckedNumber && m.captured(4).toInt() != v.expected) {
        v.status = Verdict::Status::WrongCheckNumber;
        v.message =
            QStringLiteral("В СНИЛС %1 неверное контрольное число: проверьте цифры номера").arg(typed);
        return v;
    }
    v.status = Verdict::Status::Valid;
    return v;
}

} // namespace snils
