#include "data/RuCollation.h"

#include <sqlite3.h>

namespace {

// Decodes one code point of well-formed UTF-8 (SQLite hands us what we stored); a stray byte
// is taken as itself so that the comparison stays total.
char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end) {
    unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra && p < end && (*p & 0xC0) == 0x80; ++i)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

struct Weights {
    char32_t primary;
    int secondary; // 1 for Ё/ё
    int tertiary;  // 1 for small letters
};

Weights weigh(char32_t cp) {
    if (cp >= U'a' && cp <= U'z')
        return {cp - 0x20, 0, 1};
    if (cp >= U'а' && cp <= U'я')
        return {cp - 0x20, 0, 1};
    if (cp == U'ё')
        return {U'Е', 1, 1};
    if (cp == U'Ё')
        return {U'Е', 1, 0};
    return {cp, 0, 0};
}

template <typename NextA, typename NextB> int compareSeq(NextA nextA, NextB nextB, bool primaryOnly = false) {
    int secondary = 0, tertiary = 0, binary = 0;
    for (;;) {
        char32_t a, b;
        bool hasA = nextA(a), hasB = nextB(b);
        if (!hasA || !hasB) {
            if (hasA != hasB)
                return hasA ? 1 : -1;
            break;
        }
        Weights wa = weigh(a), wb = weigh(b);
        if (wa.primary != wb.primary)
            return wa.primary < wb.primary ? -1 : 1;
        if (primaryOnly)
            continue;
        if (!secondary && wa.secondary != wb.secondary)
            secondary = wa.secondary - wb.secondary;
        if (!tertiary && wa.tertiary != wb.tertiary)
            tertiary = wa.tertiary - wb.tertiary;
        if (!binary && a != b)
            binary = a < b ? -1 : 1;
    }
    if (secondary)
        return secondary;
    if (tertiary)
        return tertiary;
    return binary;
}

int collationCallback(void*, int aLen, const void* a, int bLen, const void* b) {
    return ru_collation::compareUtf8(static_cast<const char*>(a), aLen, static_cast<const char*>(b), bLen);
}

} // namespace

namespace ru_collation {

int compareUtf8(const char* a, int aLen, const char* b, int bLen) {
    auto pa = reinterpret_cast<const unsigned char*>(a), ea = pa + aLen;
    auto pb = reinterpret_cast<const unsigned char*>(b), eb = pb + bLen;
    auto na = [&](char32_t& out) {
        if (pa >= ea)
            return false;
        out = nextCodePoint(pa, ea);
        return true;
    };
    auto nb = [&](char32_t& out) {
        if (pb >= eb)
            return false;
        out = nextCodePoint(pb, eb);
        return true;
    };
    return compareSeq(na, nb);
}

static int compareViews(QStringView a, QStringView b, bool primaryOnly) {
    qsizetype ia = 0, ib = 0;
    auto next = [](QStringView s, qsizetype& i, char32_t& out) {
        if (i >= s.size())
            return false;
        QChar c = s[i++];
        if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
            out = QChar::surrogateToUcs4(c, s[i++]);
        else
            out = c.unicode();
        return true;
    };
    auto na = [&](char32_t& out) { return next(a, ia, out); };
    auto nb = [&](char32_t& out) { return next(b, ib, out); };
    return compareSeq(na, nb, primaryOnly);
}

int compare(QStringView a, QStringView b) {
    return compareViews(a, b, false);
}
int comparePrimary(QStringView a, QStringView b) {
    return compareViews(a, b, true);
}

QString lowestOfLetters(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'а' && u <= u'я'))
            out += QChar(char16_t(u - 0x20));
        else if (u == u'ё' || u == u'Ё')
            out += QChar(u'Е');
        else
            out += c;
    }
    return out;
}

void install(sqlite3* db) {
    sqlite3_create_collation_v2(db, "RU", SQLITE_UTF8, nullptr, collationCallback, nullptr);
}

} // namespace ru_collation
