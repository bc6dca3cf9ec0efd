#pragma once
// Russian counted nouns: 1 день, 3 дня, 11 дней; 21 слушатель, 22 слушателя, 25 слушателей.
#include <QString>

// The number followed by the noun's form for it: `one` (1, 21, 101…), `few` (2–4, 22–24…) or
// `many` (0, 5–20, 25…).
inline QString counted(qint64 count, const char* one, const char* few, const char* many) {
    const qint64 n = count < 0 ? -count : count;
    const qint64 lastTwo = n % 100;
    const qint64 last = n % 10;
    const char* word = (lastTwo >= 11 && lastTwo <= 14) ? many
                       : last == 1                      ? one
                       : (last >= 2 && last <= 4)       ? few
                                                        : many;
    return QString::number(n) + u' ' + QString::fromUtf8(word);
}
