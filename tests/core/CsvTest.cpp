// A CSV field: quoted when it must be, and never a formula for the spreadsheet that opens it.
#include "core/Csv.h"

#include <gtest/gtest.h>

namespace {

TEST(Csv, QuotesWhatMustBeQuotedAndDisarmsFormulas) {
    struct Case {
        QString text, field;
    };
    const Case cases[] = {
        {"ИВАНОВ", "ИВАНОВ"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"=1+2", "'=1+2"},
        {"+7 (900) 000", "'+7 (900) 000"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tcmd", "'\tcmd"},
        {"-5", "-5"}, // a plain number stays a number
        {"-1.5", "-1.5"},
        {"+12", "+12"},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvField(c.text), c.field) << c.text.toStdString();
}

} // namespace
