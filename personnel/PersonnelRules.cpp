#include "personnel/PersonnelRules.h"

#include "core/PersonName.h"
#include "core/Plural.h"
#include "core/Prompter.h"
#include "core/SharedState.h"
#include "data/DataModule.h"
#include "data/RequiredFields.h"
#include "data/Store.h"
#include "personnel/Snils.h"
#include "refbooks/Books.h"

#include <QLocale>
#include <QRegularExpression>

namespace personnel {

std::optional<FailedCheck> checkPerson(const DataModule& dm, int curYear) {
    Table& person = *dm.tblPersonal;
    person.updateRecord(); // what the boxes hold, before it is checked
    auto text = [&](const char* field) { return person.field(QString::fromLatin1(field)).displayText(); };
    static const QList<RequiredField> required{
        {fld::Name1, QStringLiteral("Не задали Фамилию!"), QStringLiteral("DBEdit1")},
        {fld::Name2, QStringLiteral("Не задали имя!"), QStringLiteral("DBEdit2")},
        {fld::DR, QStringLiteral("Не задали дату рождения!"), QStringLiteral("DBEdit4")},
        {fld::NDoljn, QStringLiteral("Не задали должность!"), QStringLiteral("DBEdit5")},
        {fld::NSpez, QStringLiteral("Не задали специальность!"), QStringLiteral("DBEdit6")},
    };
    if (const auto missing = firstMissing(person, required))
        return FailedCheck{missing->message, missing->box};

    // A diploma specialty typed by hand is the book's entry of that name, its code with it. One
    // kept from before (an imported register may hold names its book lacks) stays as it is until
    // it is changed.
    const QString diploma = person.field(fld::NSpez).displayText();
    bool unchanged = false;
    if (person.state() == Dataset::State::Edit) {
        auto st = dm.store().cached(QStringLiteral("SELECT NSpez FROM \"Personal\" WHERE NPP = ?"));
        st->bind(1, person.field(fld::NPP).asInteger());
        unchanged = st->step() && st->rawValue(0).toString() == diploma;
    }
    const auto entry = books::findByName(dm, books::diplomaSpecialties(), diploma);
    if (!entry && !unchanged)
        return FailedCheck{
            QStringLiteral("Специальности по диплому «%1» нет в справочнике. Выберите её из списка "
                           "кнопкой «...» или добавьте в справочник.")
                .arg(diploma.simplified()),
            QStringLiteral("DBEdit6")};
    if (entry && (person.field(fld::KSpez).asInteger() != entry->code || diploma != entry->name)) {
        person.field(fld::KSpez).setValue(entry->code);
        person.field(fld::NSpez).setAsString(entry->name);
    }

    struct Year {
        const char* field;
        const char* box;
        const char* empty;
        const char* tooEarly;
        const char* tooLate;
    };
    static const Year years[] = {
        {"StajOb", "DBEdit7", "Не задали год начала трудовой деятельности!",
         "Неверно задан год начала трудовой деятельности! Столько не работают!",
         "Неверно задан год начала трудовой деятельности! Превышает текущий год!"},
        {"StajDoljn", "DBEdit8", "Не задали год перевода на должность!",
         "Неверно задан год перевода на должность! Столько не работают!",
         "Неверно задан год перевода на должность! Превышает текущий год!"},
    };
    for (const Year& y : years) {
        const QString shown = text(y.field);
        const char* failed = nullptr;
        if (shown.isEmpty())
            failed = y.empty;
        else if (person.field(QString::fromLatin1(y.field)).asInteger() < 1950)
            failed = y.tooEarly;
        else if (person.field(QString::fromLatin1(y.field)).asInteger() > curYear)
            failed = y.tooLate;
        if (failed)
            return FailedCheck{QString::fromUtf8(failed), QString::fromLatin1(y.box)};
    }
    return std::nullopt;
}

QString emptySnils() {
    return QStringLiteral("   -   -      ");
}

QString snilsFromBox(const QString& displayText) {
    QString text = displayText;
    text.replace(u'_', u' ');
    return text;
}

namespace {
bool hasDigit(const QString& s) {
    for (const QChar c : s)
        if (c.isDigit())
            return true;
    return false;
}
} // namespace

QString snilsRefusal(const QString& snils) {
    const snils::Verdict v = snils::validate(snils);
    if (v.status != snils::Verdict::Status::WrongForm || !hasDigit(snils))
        return {};
    // Shown as the box shows it, each missing digit a "_": «112-23_-___ __».
    QString shown = snils.leftJustified(14, u' ', true);
    for (int i = 0; i < shown.size(); ++i)
        if (i != 3 && i != 7 && i != 11 && !shown[i].isDigit())
            shown[i] = u'_';
    return QStringLiteral(
               "СНИЛС «%1» заполнен не полностью: нужны все одиннадцать цифр в виде ХХХ-ХХХ-ХХХ ХХ. "
               "Допишите недостающие цифры или очистите поле кнопкой «Очистить».")
        .arg(shown);
}

QString snilsQuestion(const QString& snils) {
    if (snils::validate(snils).status != snils::Verdict::Status::WrongCheckNumber)
        return {};
    return QStringLiteral("СНИЛС %1 не проходит проверку контрольного числа. Сохранить как есть?")
        .arg(snils.trimmed());
}

QString emailQuestion(const QString& email) {
    static const QRegularExpression address(QStringLiteral("^[^@\\s]+@[^@\\s.]+(\\.[^@\\s.]+)+$"));
    const QString typed = email.trimmed();
    if (typed.isEmpty() || address.match(typed).hasMatch())
        return {};
    return QStringLiteral(
               "Адрес электронной почты «%1» не похож на адрес вида имя@домен.ru. Сохранить как есть?")
        .arg(typed);
}

void savePerson(const DataModule& dm, const QString& email, const QString& snils) {
    Table& person = *dm.tblPersonal;
    Store::Transaction transaction(dm.store());
    person.updateRecord();
    if (person.isModified()) {
        const QLocale locale;
        for (const char* name : {"Name1", "Name2", "Name3"}) {
            Field& f = person.field(QString::fromLatin1(name));
            f.setAsString(locale.toUpper(f.asString()));
        }
        person.post();
    } else if (person.isEditing()) {
        person.cancel();
    }
    // Editing a person's empty detail view starts the row, linked to the person.
    for (auto [table, field, value] :
         {std::tuple{dm.tblPerEmail, "EMAIL", email}, std::tuple{dm.tblPerSnils, "SNILS", snils}}) {
        table->edit();
        table->field(QString::fromLatin1(field)).setAsString(value);
        table->post();
    }
    transaction.commit();
}

QString personDeletionQuestion(const DataModule& dm) {
    Table& person = *dm.tblPersonal;
    const auto text = [&](const char* name) { return person.field(QString::fromLatin1(name)).asString(); };
    const auto rows = [](const Table* details) { return details->isActive() ? details->recordCount() : 0; };
    QStringList withIt;
    if (const int n = rows(dm.tblSertif))
        withIt << counted(n, "сертификатом", "сертификатами", "сертификатами");
    if (const int n = rows(dm.tblTrained))
        withIt << counted(n, "записью о переподготовке", "записями о переподготовке",
                          "записями о переподготовке");
    if (rows(dm.tblPerEmail))
        withIt << QStringLiteral("e-mail");
    if (rows(dm.tblPerSnils))
        withIt << QStringLiteral("СНИЛС");
    QString question = QStringLiteral("Удалить сотрудника ") +
                       surnameAndInitials(text("Name1"), text("Name2"), text("Name3"));
    if (!withIt.isEmpty()) {
        const QString last = withIt.takeLast();
        question +=
            QStringLiteral(" вместе с ") +
            (withIt.isEmpty() ? last : withIt.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last);
    }
    return question + u'?';
}

bool deletePerson(const DataModule& dm, SharedState& state, Prompter& prompter) {
    if (dm.tblPersonal->isEmpty())
        dm.tblPersonal->remove(); // the engine's own refusal of an empty register
    if (!prompter.confirmDeleting(personDeletionQuestion(dm)))
        return false;
    state.SilentDelete = 1;
    Table& person = *dm.tblPersonal;
    if (person.isEditing())
        person.cancel();
    Store::Transaction transaction(dm.store());
    if (!person.isEmpty()) // an empty register: the engine's own refusal below
        for (Table* details : {dm.tblTrained, dm.tblSertif, dm.tblPerEmail, dm.tblPerSnils}) {
            details->first();
            while (!details->isEmpty())
                details->remove();
        }
    person.remove();
    transaction.commit();
    return true;
}

CertificateState certificateState(const QDate& end, const QDate& today) {
    if (!end.isValid() || end == Field::zeroDate())
        return CertificateState::None;
    const qint64 left = today.daysTo(end);
    if (left < 0)
        return CertificateState::Ended;
    return left <= kEndingSoonDays ? CertificateState::EndingSoon : CertificateState::InForce;
}

QString days(qint64 count) {
    return counted(count, "день", "дня", "дней");
}

QString certificateHint(const QDate& end, const QDate& today) {
    if (certificateState(end, today) == CertificateState::None)
        return {};
    const qint64 left = today.daysTo(end);
    const QString date = end.toString(QStringLiteral("dd.MM.yyyy"));
    if (left < 0)
        return QStringLiteral("Срок истёк %1 назад, %2").arg(days(-left), date);
    if (left == 0)
        return QStringLiteral("Срок истекает сегодня, %1").arg(date);
    return QStringLiteral("Действует ещё %1, до %2").arg(days(left), date);
}

} // namespace personnel
