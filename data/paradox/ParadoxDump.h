#pragma once
// `zajavki dump FILE.db [--codepage N]`: prints a Paradox table as text.
//
// Lines beginning with '#' describe the table (file version, code page, record count, and one
// line a field with its type as our layouts write it: "A 25", "S", "N", "M 150", "# 2"...); then
// a CSV line of the field names and one CSV line a record (UTF-8; dates dd.MM.yyyy, times
// HH:mm:ss, empty values empty, bytes in hex; quoting per RFC 4180).
#include <QStringList>
#include <QTextStream>

// `args` are the words after the command: the file and, optionally, `--codepage N` to read the
// text in code page N instead of the one the file names. Returns 0 on success; on a file it
// refuses or wrong arguments, prints one line on `err` and returns 1 (2 for wrong arguments).
// A table whose .MB file is missing is printed with the memos kept there empty, after one
// warning line on `err` that names the missing file.
int runDump(const QStringList& args, QTextStream& out, QTextStream& err);
