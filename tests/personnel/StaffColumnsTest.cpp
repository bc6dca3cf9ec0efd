// A staff list's columns recognised by their titles, full names split, and dates read however the
// list wrote them.
#include "personnel/StaffColumns.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

// A failed comparison names the columns as the mapping window does.
void PrintTo(StaffColumn column, std::ostream* os) {
    *os << staffColumnTitle(column).toStdString();
}

namespace {

TEST(StaffColumns, AMappingIsProposedFromTheTitles) {
    using C = StaffColumn;
    const struct {
        QStringList titles;
        QList<StaffColumn> proposed;
    } cases[] = {
        {{"Фамилия", "Имя", "Отчество", "Дата рождения", "Должность", "СНИЛС", "E-mail"},
         {C::Surname, C::Name, C::Patronymic, C::BirthDate, C::Position, C::Snils, C::Email}},
        {{"№ п/п", "Ф.И.О.", "Дата рожд.", "Специальность по диплому", "Стаж общий", "Стаж по специальности"},
         {C::None, C::FullName, C::BirthDate, C::DiplomaSpecialty, C::YearsTotal, C::YearsInSpecialty}},
        {{"ФАМИЛИЯ ИМЯ ОТЧЕСТВО", "Эл. почта", "Сертификат: специальность", "Срок действия сертификата",
          "Дата приёма"},
         {C::FullName, C::Email, C::CertificateSpecialty, C::CertificateEnd, C::HireDate}},
        {{"Фамилия", "Фамилия", "ФИО", "Примечание"}, {C::Surname, C::None, C::None, C::None}},
        {{"Год начала трудовой деятельности", "Год перевода на должность", "Аккредитация до"},
         {C::WorkStartYear, C::PositionStartYear, C::CertificateEnd}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proposeStaffColumns(c.titles), c.proposed) << c.titles.join(" | ").toStdString();
}

TEST(StaffColumns, AFullNameIsSplitInCapitals) {
    const struct {
        const char* text;
        QStringList parts;
    } cases[] = {
        {"иванова  анна петровна", {"ИВАНОВА", "АННА", "ПЕТРОВНА"}},
        {" Мамедов Эльдар Гусейн оглы ", {"МАМЕДОВ", "ЭЛЬДАР", "ГУСЕЙН ОГЛЫ"}},
        {"Петров", {"ПЕТРОВ", "", ""}},
        {"", {"", "", ""}},
    };
    for (const auto& c : cases) {
        const SplitName split = splitFullName(QString::fromUtf8(c.text));
        EXPECT_EQ((QStringList{split.surname, split.name, split.patronymic}), c.parts) << c.text;
    }
}

TEST(StaffColumns, DatesAreReadHoweverTheListWroteThem) {
    auto text = [](const char* t) {
        SheetCell cell;
        cell.kind = SheetCell::Kind::Text;
        cell.text = QString::fromUtf8(t);
        return cell;
    };
    SheetCell serial;
    serial.kind = SheetCell::Kind::Number;
    serial.number = 24574;
    SheetCell date;
    date.kind = SheetCell::Kind::Date;
    date.date = QDate(1980, 11, 3);
    const struct {
        SheetCell cell;
        std::optional<QDate> read;
    } cases[] = {
        {text("12.04.1967"), QDate(1967, 4, 12)},
        {text("3.11.80"), QDate(1980, 11, 3)},
        {text("05.02.07"), QDate(2007, 2, 5)},
        {text("1967-04-12"), QDate(1967, 4, 12)},
        {text("12/04/1967"), QDate(1967, 4, 12)},
        {serial, QDate(1967, 4, 12)},
        {date, QDate(1980, 11, 3)},
        {text("31.02.1990"), std::nullopt},
        {text("вчера"), std::nullopt},
        {SheetCell(), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(staffDate(c.cell), c.read) << c.cell.text.toStdString();
}

} // namespace
