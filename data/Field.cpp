#include "data/Field.h"

#include "core/DateText.h"

#include "data/Dataset.h"
#include "data/DbError.h"
#include "data/FieldCaptions.h"

#include <cmath>
#include <QLocale>
#include <QRegularExpression>

namespace {

QLocale numberLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Qt's date patterns from the display formats the field objects use ("dd.mm.yyyy").
QString qtDateFormat(const QString& format) {
    QString f = format;
    f.replace(QStringLiteral("mm"), QStringLiteral("MM"));
    return f;
}

} // namespace

QString formatNumber(double value) {
    return numberLocale().toString(value, 'g', 15);
}

Field::Field(Dataset* dataset, int index, FieldDef def, bool calculated)
    : dataset_(dataset), index_(index), def_(std::move(def)), calculated_(calculated) {
    readOnly_ = def_.type == FieldType::AutoInc;
}

QString Field::objectName() const {
    return dataset_->objectName() + def_.name;
}

QString Field::caption() const {
    // A field standing alone (a value checked on its way into the store) has no table to ask.
    return captions::field(dataset_ ? dataset_->captionTable() : QString(), def_.name);
}

QVariant Field::value() const {
    dataset_->checkActive();
    return dataset_->fieldValue(index_);
}

QString Field::asString() const {
    const QVariant v = value();
    if (v.isNull())
        return {};
    switch (def_.type) {
    case FieldType::Number:
        return formatNumber(v.toDouble());
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    default:
        return v.toString();
    }
}

qint64 Field::asInteger() const {
    const QVariant v = value();
    if (v.isNull())
        return 0;
    switch (def_.type) {
    case FieldType::Number:
        return qint64(std::llround(v.toDouble()));
    case FieldType::Alpha:
    case FieldType::Memo: {
        bool ok = false;
        qint64 n = v.toString().trimmed().toLongLong(&ok);
        if (!ok)
            refuse(QStringLiteral("В поле «%1» записано не целое число: «%2».").arg(caption(), v.toString()));
        return n;
    }
    case FieldType::Date:
        return Field::zeroDate().daysTo(v.toDate());
    default:
        return v.toLongLong();
    }
}

double Field::asFloat() const {
    const QVariant v = value();
    if (v.isNull())
        return 0.0;
    switch (def_.type) {
    case FieldType::Alpha:
    case FieldType::Memo: {
        QVariant n = Field(dataset_, index_, {def_.name, FieldType::Number, 0}, false).fromText(v.toString());
        return n.toDouble();
    }
    case FieldType::Date:
        return double(Field::zeroDate().daysTo(v.toDate()));
    default:
        return v.toDouble();
    }
}

QDate Field::asDate() const {
    const QVariant v = value();
    if (v.isNull())
        return zeroDate();
    if (def_.type == FieldType::Date)
        return v.toDate();
    if (def_.isText())
        return fromText(v.toString()).toDate();
    return zeroDate().addDays(v.toLongLong());
}

QString Field::displayText() const {
    return displayTextOf(value());
}

QString Field::displayTextOf(const QVariant& v) const {
    if (v.isNull() || (showsEmpty && showsEmpty(v)))
        return {};
    if (shown)
        return shown(v);
    switch (def_.type) {
    case FieldType::Date: {
        const QString format = displayFormat.isEmpty() ? QLocale().dateFormat(QLocale::ShortFormat)
                                                       : qtDateFormat(displayFormat);
        return QLocale().toString(v.toDate(), format);
    }
    case FieldType::Number:
        return formatNumber(v.toDouble());
    default:
        return v.toString();
    }
}

void Field::refuse(const QString& message) const {
    throw DbError(message);
}

QString Field::invalidDate() const {
    return QStringLiteral("В поле «%1» нужна существующая дата в виде ДД.ММ.ГГГГ.").arg(caption());
}

QVariant Field::checkedInteger(qint64 v) const {
    const auto [lo, hi] = integerRange(def_.type);
    if (v < lo || v > hi)
        refuse(QStringLiteral(
                   "Число %1 в поле «%2» вне допустимого диапазона: допустимы целые числа от %3 до %4.")
                   .arg(QString::number(v), caption(), QString::number(lo), QString::number(hi)));
    return int(v);
}

QVariant Field::fromText(const QString& text) const {
    switch (def_.type) {
    case FieldType::Alpha:
        return text.isEmpty() ? QVariant() : QVariant(text.left(def_.size));
    case FieldType::Memo:
        return text.isEmpty() ? QVariant() : QVariant(text);
    case FieldType::AutoInc:
    case FieldType::Short:
    case FieldType::Long: {
        const QString t = text.trimmed();
        if (t.isEmpty())
            return {};
        bool ok = false;
        qint64 n = t.toLongLong(&ok);
        if (!ok)
            refuse(QStringLiteral("В поле «%1» нужно целое число, а введено «%2».").arg(caption(), text));
        return checkedInteger(n);
    }
    case FieldType::Number: {
        QString t = text.trimmed();
        if (t.isEmpty())
            return {};
        bool ok = false;
        double d = numberLocale().toDouble(t, &ok);
        if (!ok)
            d = QLocale::c().toDouble(t, &ok);
        if (!ok || !std::isfinite(d))
            refuse(QStringLiteral("В поле «%1» нужно число, а введено «%2».").arg(caption(), text));
        return d;
    }
    case FieldType::Date: {
        // A cleared masked box holds only its separators and blanks.
        if (datetext::isBlank(text))
            return {};
        const QDate d = datetext::parse(text);
        if (!d.isValid()) {
            refuse(
                datetext::isImpossible(text)
                    ? QStringLiteral("В поле «%1» введена дата, которой нет: «%2». Проверьте день и месяц.")
                          .arg(caption(), text.trimmed())
                    : QStringLiteral(
                          "В поле «%1» нужна дата в виде ДД.ММ.ГГГГ, например 17.05.1980, а введено «%2».")
                          .arg(caption(), text));
        }
        return d;
    }
    }
    return {};
}

QVariant Field::convert(const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return fromText(value.toString());
    case QMetaType::QDate:
        if (def_.type == FieldType::Date) {
            if (!value.toDate().isValid())
                refuse(invalidDate());
            return value.toDate();
        }
        if (def_.isText())
            return fromText(value.toDate().toString(QStringLiteral("dd.MM.yyyy")));
        refuse(QStringLiteral("В поле «%1» нельзя записать дату: в нём хранится число.").arg(caption()));
    case QMetaType::Double:
    case QMetaType::Float: {
        double d = value.toDouble();
        if (!std::isfinite(d))
            refuse(QStringLiteral("В поле «%1» нужно число.").arg(caption()));
        switch (def_.type) {
        case FieldType::Number:
            return d;
        case FieldType::Alpha:
        case FieldType::Memo:
            return fromText(formatNumber(d));
        case FieldType::Date:
            return zeroDate().addDays(qint64(std::floor(d)));
        default:
            if (std::fabs(d) > 9.0e15)
                refuse(QStringLiteral("Число %1 в поле «%2» вне допустимого диапазона.")
                           .arg(formatNumber(d), caption()));
            return checkedInteger(std::llround(d));
        }
    }
    default: {
        bool ok = false;
        qint64 n = value.toLongLong(&ok);
        if (!ok)
            return fromText(value.toString());
        switch (def_.type) {
        case FieldType::Number:
            return double(n);
        case FieldType::Alpha:
        case FieldType::Memo:
            return fromText(QString::number(n));
        case FieldType::Date:
            return zeroDate().addDays(n);
        default:
            return checkedInteger(n);
        }
    }
    }
}

void Field::setValue(const QVariant& v) {
    dataset_->setFieldValue(index_, convert(v));
}
void Field::setAsString(const QString& text) {
    setValue(QVariant(fromTyped ? fromTyped(text) : text));
}
void Field::setAsInteger(qint64 v) {
    setValue(QVariant(v));
}
void Field::setAsFloat(double v) {
    setValue(QVariant(v));
}
void Field::setAsDate(const QDate& d) {
    if (!d.isValid())
        refuse(invalidDate());
    setValue(QVariant(d));
}
void Field::clear() {
    dataset_->setFieldValue(index_, QVariant());
}
