// The SNILS check number: the rule, the 14-character form and the check of a typed number.
#include "personnel/Snils.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

namespace {

using Status = snils::Verdict::Status;

struct Case {
    const char* text;
    Status status;
    const char* why;
};

const Case kCases[] = {
    {"112-233-445 95", Status::Valid, "sum 95 is its own check number"},
    {"987-654-321 83", Status::Valid, "sum 285 gives 285 mod 101 = 83"},
    {"001-326-679 00", Status::Valid, "sum 100 gives 00"},
    {"001-508-816 00", Status::Valid, "sum 101 gives 00"},
    {"999-999-997 00", Status::Valid, "sum 403 leaves 100, which gives 00"},
    {"017-996-174 00", Status::Valid, "sum 201 leaves 100, which gives 00"},
    {"999-999-999 01", Status::Valid, "sum 405 gives 405 mod 101 = 1"},
    {"  112-233-445 95 ", Status::Valid, "blanks around the number"},
    {"001-001-998 47", Status::Valid, "the last number not checked"},
    {"000-000-000 12", Status::Valid, "small numbers are not checked"},
    {"001-001-999 65", Status::Valid, "the first number checked"},
    {"001-001-999 00", Status::WrongCheckNumber, "the first number checked, wrong check number"},
    {"112-233-445 96", Status::WrongCheckNumber, "check number off by one"},
    {"112-233-454 95", Status::WrongCheckNumber, "two digits swapped"},
    {"987-654-321 38", Status::WrongCheckNumber, "check digits swapped"},
    {"001-326-679 100", Status::WrongForm, "three check digits"},
    {"11223344595", Status::WrongForm, "digits only"},
    {"112-233-445-95", Status::WrongForm, "dash before the check number"},
    {"112 233 445 95", Status::WrongForm, "blanks instead of dashes"},
    {"112-233-44 595", Status::WrongForm, "blank in the wrong place"},
    {"112-233-445 9", Status::WrongForm, "one check digit"},
    {"112-233-445 9_", Status::WrongForm, "unfinished masked input"},
    {"АБВ-ГДЕ-ЖЗИ 12", Status::WrongForm, "letters"},
    {"", Status::Empty, "nothing typed"},
    {"   -   -      ", Status::Empty, "a cleared masked box"},
};

TEST(Snils, TypedNumbersAreCheckedByFormAndCheckNumber) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.text) + " (" + c.why + ")");
        const snils::Verdict v = snils::validate(QString::fromUtf8(c.text));
        EXPECT_EQ(v.status, c.status);
        EXPECT_EQ(v.ok(), c.status == Status::Valid);
        EXPECT_EQ(v.message.isEmpty(), c.status == Status::Valid) << v.message.toStdString();
    }
}

TEST(Snils, MessagesSayWhatIsWrong) {
    EXPECT_EQ(snils::validate("").message, "СНИЛС не указан");
    EXPECT_EQ(snils::validate("11223344595").message,
              "СНИЛС «11223344595» записан неправильно: нужно 11 цифр в виде 123-456-789 01");
    const snils::Verdict wrong = snils::validate("112-233-445 96");
    EXPECT_EQ(wrong.message, "В СНИЛС 112-233-445 96 неверное контрольное число: проверьте цифры номера");
    EXPECT_EQ(wrong.number, 112233445);
    EXPECT_EQ(wrong.expected, 95);
}

TEST(Snils, CheckNumberFollowsTheWeightedSum) {
    const struct {
        qint32 number;
        int check;
    } cases[] = {{112233445, 95}, {987654321, 83}, {1326679, 0},  {1508816, 0},
                 {999999997, 0},  {999999998, 0},  {1001999, 65}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(snils::checkNumber(c.number), c.check) << c.number;
    EXPECT_EQ(snils::checkNumber(-1), -1);
    EXPECT_EQ(snils::checkNumber(1000000000), -1);
}

TEST(Snils, FormatWritesFourteenCharacters) {
    EXPECT_EQ(snils::format(112233445), "112-233-445 95");
    EXPECT_EQ(snils::format(1326679), "001-326-679 00");
    EXPECT_EQ(snils::format(1001999), "001-001-999 65");
    EXPECT_EQ(snils::format(1000000000), "");
    EXPECT_EQ(snils::format(-5), "");
}

TEST(Snils, EveryOtherCheckNumberIsRefusedAboveTheUncheckedRange) {
    for (qint32 number : {1001999, 112233445, 555555555, 999999999}) {
        const QString good = snils::format(number);
        ASSERT_TRUE(snils::validate(good).ok()) << good.toStdString();
        for (int check = 0; check < 100; ++check) {
            if (check == snils::checkNumber(number))
                continue;
            const QString typed = good.left(12) + QStringLiteral("%1").arg(check, 2, 10, QLatin1Char('0'));
            EXPECT_EQ(snils::validate(typed).status, Status::WrongCheckNumber) << typed.toStdString();
        }
    }
}

} // namespace
