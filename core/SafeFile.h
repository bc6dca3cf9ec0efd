#pragma once
// Every file the program writes goes through here: the bytes go into a new temporary file beside
// the target, are flushed and synced to the disk with every step checked, and only a complete file
// takes the target's name, in one step. On any failure (a full disk, no right to write, a folder
// that is gone) a UserError names the file and the reason, the temporary file is removed, and a
// file that already had the name stays exactly as it was.
#include <QByteArray>
#include <QString>

// Replaces (or creates) `path` with `bytes`. An existing file keeps its permissions.
void writeFileAtomically(const QString& path, const QByteArray& bytes);
