#pragma once
// One field of a CSV line (RFC 4180): quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break; as it is otherwise.
#include <QString>

inline QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}
