#include "personnel/StaffColumns.h"

#include <QRegularExpression>

namespace {

// A title's words: small letters, Ё as Е, punctuation as spaces.
QString wordsOf(const QString& title) {
    QString text = title.toLower().replace(QChar(0x451), QChar(0x435));
    static const QRegularExpression punctuation(QStringLiteral("[^\\w@]+"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    text.replace(punctuation, QStringLiteral(" "));
    return u' ' + text.simplified() + u' ';
}

bool has(const QString& words, const char* part) {
    return words.contains(QString::fromUtf8(part));
}

StaffColumn kindOf(const QString& title) {
    const QString w = wordsOf(title);
    const bool certificate = has(w, "сертиф") || has(w, "аккредит");
    if (has(w, " фио ") || has(w, " ф и о ") || (has(w, "фамилия") && has(w, " имя ")))
        return StaffColumn::FullName;
    if (certificate &&
        (has(w, "дата") || has(w, "оконч") || has(w, "срок") || has(w, "действ") || has(w, " до ")))
        return StaffColumn::CertificateEnd;
    if (certificate)
        return StaffColumn::CertificateSpecialty;
    if (has(w, "фамилия"))
        return StaffColumn::Surname;
    if (has(w, "отчество"))
        return StaffColumn::Patronymic;
    if (has(w, " имя "))
        return StaffColumn::Name;
    if (has(w, "рожд"))
        return StaffColumn::BirthDate;
    if (has(w, "снилс"))
        return StaffColumn::Snils;
    if (has(w, "mail") || has(w, "почт"))
        return StaffColumn::Email;
    if (has(w, "стаж"))
        return has(w, "специальн") || has(w, "должност") ? StaffColumn::YearsInSpecialty
                                                         : StaffColumn::YearsTotal;
    if (has(w, "прием") || has(w, "принят"))
        return StaffColumn::HireDate;
    if (has(w, "год") && has(w, "начал"))
        return StaffColumn::WorkStartYear;
    if (has(w, "год") && (has(w, "перевод") || has(w, "назнач")))
        return StaffColumn::PositionStartYear;
    if (has(w, "должност"))
        return StaffColumn::Position;
    if (has(w, "специальн") || has(w, "диплом"))
        return StaffColumn::DiplomaSpecialty;
    return StaffColumn::None;
}

} // namespace

QString staffColumnTitle(StaffColumn column) {
    switch (column) {
    case StaffColumn::None:
        return QStringLiteral("не загружать");
    case StaffColumn::Surname:
        return QStringLiteral("Фамилия");
    case StaffColumn::Name:
        return QStringLiteral("Имя");
    case StaffColumn::Patronymic:
        return QStringLiteral("Отчество");
    case StaffColumn::FullName:
        return QStringLiteral("ФИО (разделяется на фамилию, имя и отчество)");
    case StaffColumn::BirthDate:
        return QStringLiteral("Дата рождения");
    case StaffColumn::Position:
        return QStringLiteral("Должность");
    case StaffColumn::DiplomaSpecialty:
        return QStringLiteral("Специальность по диплому");
    case StaffColumn::WorkStartYear:
        return QStringLiteral("Год начала трудовой деятельности");
    case StaffColumn::PositionStartYear:
        return QStringLiteral("Год перевода на занимаемую должность");
    case StaffColumn::YearsTotal:
        return QStringLiteral("Общемедицинский стаж, лет");
    case StaffColumn::YearsInSpecialty:
        return QStringLiteral("Стаж по специальности, лет");
    case StaffColumn::HireDate:
        return QStringLiteral("Дата приёма на должность");
    case StaffColumn::Snils:
        return QStringLiteral("СНИЛС");
    case StaffColumn::Email:
        return QStringLiteral("E-mail");
    case StaffColumn::CertificateSpecialty:
        return QStringLiteral("Специальность сертификата (аккредитации)");
    case StaffColumn::CertificateEnd:
        return QStringLiteral("Дата окончания сертификата (аккредитации)");
    }
    return {};
}

QList<StaffColumn> proposeStaffColumns(const QStringList& titles) {
    QList<StaffColumn> mapping;
    QList<StaffColumn> taken;
    for (const QString& title : titles) {
        StaffColumn kind = kindOf(title);
        // One column for each kind; the full name and its parts exclude each other.
        const bool nameTaken = kind == StaffColumn::FullName
                                   ? taken.contains(StaffColumn::Surname)
                                   : (kind == StaffColumn::Surname || kind == StaffColumn::Name ||
                                      kind == StaffColumn::Patronymic) &&
                                         taken.contains(StaffColumn::FullName);
        if (taken.contains(kind) || nameTaken)
            kind = StaffColumn::None;
        if (kind != StaffColumn::None)
            taken << kind;
        mapping << kind;
    }
    return mapping;
}

QString registerName(const QString& text) {
    return text.simplified().toUpper();
}

SplitName splitFullName(const QString& text) {
    const QStringList words = registerName(text).split(u' ', Qt::SkipEmptyParts);
    SplitName split;
    if (!words.isEmpty())
        split.surname = words[0];
    if (words.size() > 1)
        split.name = words[1];
    if (words.size() > 2)
        split.patronymic = words.mid(2).join(u' ');
    return split;
}

std::optional<QDate> staffDate(const SheetCell& cell, int twoDigitPivot) {
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return std::nullopt;
    case SheetCell::Kind::Date:
        return cell.date;
    case SheetCell::Kind::Number: {
        const QDate date = dateFromSerial(cell.number);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    case SheetCell::Kind::Text:
        break;
    }
    const QString text = cell.text.trimmed();
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,2})[./](\\d{1,2})[./](\\d{2}|\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    QDate date;
    if (const QRegularExpressionMatch m = dotted.match(text); m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2)
            year += year > twoDigitPivot ? 1900 : 2000;
        date = QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
    } else if (const QRegularExpressionMatch m = iso.match(text); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}
