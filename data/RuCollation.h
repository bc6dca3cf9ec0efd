#pragma once
// The store's Russian collation "RU": letters compare without regard to case, Ё sorts with Е;
// ties are broken by Ё after Е, then capitals before small letters, then by code point, so two
// texts compare equal only when they are identical.
#include <QString>
#include <QStringView>

struct sqlite3;

namespace ru_collation {
// Compares UTF-8 byte strings; negative, zero or positive as strcmp.
int compareUtf8(const char* a, int aLen, const char* b, int bLen);
int compare(QStringView a, QStringView b);
// Letters only: case and the dots of Ё do not count. Consistent with compare(): texts that
// compare unequal here are ordered the same way by both.
int comparePrimary(QStringView a, QStringView b);
// The text that sorts first among those equal to `s` letter for letter (capitals, Е for Ё):
// every text whose letters sort at or after those of `s` sorts at or after it.
QString lowestOfLetters(QStringView s);
// Registers the collation under the name "RU" on a connection.
void install(sqlite3* db);
} // namespace ru_collation
