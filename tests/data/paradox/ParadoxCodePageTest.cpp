// Code pages: the built-in tables and the system converters decode the pages our tables use,
// and encoding refuses what a page lacks.
#include "data/paradox/ParadoxCodePage.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    int codePage;
    const char* bytes;
    const char* text; // UTF-8
};

const DecodeCase kDecodeCases[] = {
    {1251, "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xA8 \xB9", "Привет, ёЁ №"},
    {866, "\x8F\xE0\xA8\xA2\xA5\xE2, \xF1\xF0 \xFC", "Привет, ёЁ №"},
    {1252, "\xE9\xE8\xFC \x80", "éèü €"},
    {437, "\x82\x9A\xE1 \xC9", "éÜß ╔"},
    {850, "\x82\x9A\xE1", "éÜß"},
    {865,
     "B\x86"
     "de",
     "Både"},
    {936, "\xD6\xD0\xCE\xC4", "中文"},
    {1250, "\x8A\xE8", "Šč"},
};

TEST(ParadoxCodePage, DecodesTheCodePagesOurTablesUse) {
    for (const DecodeCase& c : kDecodeCases) {
        const ParadoxCodePage page = ParadoxCodePage::forNumber(c.codePage);
        ASSERT_TRUE(page.isValid()) << c.codePage;
        EXPECT_EQ(page.decode(c.bytes, qsizetype(qstrlen(c.bytes))), QString::fromUtf8(c.text)) << c.codePage;
    }
}

TEST(ParadoxCodePage, UndefinedByteDecodesAsReplacementCharacter) {
    const ParadoxCodePage page = ParadoxCodePage::forNumber(1251);
    EXPECT_EQ(page.decode("\x98", 1), QString(QChar(0xFFFD)));
}

TEST(ParadoxCodePage, EncodesOnlyWhatThePageHolds) {
    const ParadoxCodePage page = ParadoxCodePage::forNumber(1251);
    EXPECT_EQ(page.encodeChar(u'Я'), 0xDF);
    EXPECT_EQ(page.encodeChar(u'ё'), 0xB8);
    EXPECT_EQ(page.encodeChar(u'€'), 0x88);
    EXPECT_EQ(page.encodeChar(u'A'), 'A');
    EXPECT_EQ(page.encodeChar(u'中'), -1);
    EXPECT_EQ(page.encodeChar(u'ü'), -1);
    EXPECT_EQ(page.encodeChar(0xFFFD), -1);
    EXPECT_EQ(page.encodeChar(0), -1);
}

TEST(ParadoxCodePage, UnknownNumberIsInvalid) {
    EXPECT_FALSE(ParadoxCodePage::forNumber(0).isValid());
    EXPECT_FALSE(ParadoxCodePage::forNumber(4).isValid());
    EXPECT_FALSE(ParadoxCodePage::forNumber(70000).isValid());
}

} // namespace
