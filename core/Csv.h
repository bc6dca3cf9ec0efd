#pragma once
// One field of a CSV line (RFC 4180): quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break; as it is otherwise. A text a spreadsheet would take for a formula (one
// that begins with =, +, -, @, a tab or a carriage return, and is not a plain number such as
// -5 or -1.5) gets an apostrophe in front, so that opening the file never runs anything.
#include <QString>

inline bool csvLooksLikeFormula(const QString& text) {
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first != u'=' && first != u'+' && first != u'-' && first != u'@' && first != u'\t' && first != u'\r')
        return false;
    bool number = false;
    text.toDouble(&number);
    return !number || first == u'=' || first == u'@';
}

inline QString csvField(const QString& text) {
    const QString safe = csvLooksLikeFormula(text) ? u'\'' + text : text;
    if (!safe.contains(u',') && !safe.contains(u'"') && !safe.contains(u'\n') && !safe.contains(u'\r'))
        return safe;
    QString quoted = safe;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}
