// Typed reads and writes of field objects.
#include "data/DbError.h"
#include "data/Table.h"
#include "support/TempStore.h"

#include <gtest/gtest.h>

namespace {

struct Fields : ::testing::Test {
    TempStore temp;
    Table export2023{*temp.store, "tblTempZ2023", "TempZ2023.db"};
    Table people{*temp.store, "tblPersonal", "Personal.DB"};
    void SetUp() override {
        export2023.open();
        export2023.append();
        people.open();
        people.append();
    }
};

TEST_F(Fields, EmptyValuesReadAsZeroTextAndTheZeroDate) {
    export2023.post();
    EXPECT_EQ(export2023.field("Name1").asString(), "");
    EXPECT_EQ(export2023.field("Kv").asInteger(), 0);
    EXPECT_EQ(export2023.field("Zajavka").asFloat(), 0.0);
    EXPECT_EQ(export2023.field("DR").asDate(), QDate(1899, 12, 30));
    EXPECT_TRUE(export2023.field("DR").isNull());
    EXPECT_EQ(export2023.field("DR").displayText(), "");
}

TEST_F(Fields, ValuesKeepTheirTypeThroughTheStore) {
    export2023.field("Zajavka").setAsFloat(116.01);
    export2023.field("Name1").setAsString("ЁЖИКОВ");
    export2023.field("Kv").setAsString("-32768");
    export2023.field("DR").setAsString("09.03.1975");
    export2023.post();
    export2023.reread();
    EXPECT_DOUBLE_EQ(export2023.field("Zajavka").asFloat(), 116.01);
    EXPECT_EQ(export2023.field("Zajavka").displayText(), "116,01"); // the locale's decimal comma
    EXPECT_EQ(export2023.field("Name1").asString(), "ЁЖИКОВ");
    EXPECT_EQ(export2023.field("Kv").asInteger(), -32768);
    EXPECT_EQ(export2023.field("DR").asDate(), QDate(1975, 3, 9));
    EXPECT_EQ(export2023.field("DR").displayText(), "09.03.1975");
}

TEST_F(Fields, TextIsCutToTheFieldWidth) {
    export2023.field("VidOb").setAsString("ПКК");
    export2023.field("Zicl").setAsString(QString(20, u'Я'));
    EXPECT_EQ(export2023.field("VidOb").asString(), "ПК");
    EXPECT_EQ(export2023.field("Zicl").asString(), QString(15, u'Я'));
}

struct BadValue {
    const char* field;
    QVariant value;
    const char* why;
    const char* caption; // how the message names the field
};

TEST_F(Fields, ABadValueIsRefusedNamingTheFieldAndNothingIsWritten) {
    const BadValue cases[] = {
        {"Kv", 40000, "вне допустимого диапазона", "квартал"},                            // short
        {"Kv", -32769, "вне допустимого диапазона", "квартал"},                           // short
        {"Doljn", QString("12a"), "нужно целое число, а введено «12a»", "код должности"}, // short, from text
        {"Zajavka", QString("сто"), "нужно число, а введено «сто»", "номер заявки"},      // number
        {"DR", QString("31.02.2020"), "введена дата, которой нет: «31.02.2020»", "дата рождения"}, // date
        {"DR", QString("2020-01-01x"), "нужна дата в виде ДД.ММ.ГГГГ", "дата рождения"},
    };
    for (const BadValue& c : cases) {
        Field& f = export2023.field(c.field);
        const QVariant before = f.value();
        try {
            f.setValue(c.value);
            ADD_FAILURE() << c.field << " took " << c.value.toString().toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(c.why)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString("поле «%1»").arg(c.caption)))
                << e.message().toStdString();
            EXPECT_FALSE(e.message().contains(QString(c.field) + ')')) << e.message().toStdString();
        }
        EXPECT_EQ(f.value(), before) << c.field;
    }
    // A long outside 32 bits, and the auto-increment number, which the program never writes.
    EXPECT_THROW(people.field("KDoljn").setAsInteger(3'000'000'000LL), DbError);
    EXPECT_THROW(people.field("NPP").setAsInteger(1), DbError);
}

TEST_F(Fields, AClearedDateMaskIsAnEmptyDate) {
    people.field("DR").setAsString("12.01.1980");
    people.field("DR").setAsString("__.__.____");
    EXPECT_TRUE(people.field("DR").isNull());
}

} // namespace
