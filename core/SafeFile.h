#pragma once
// Every file the program writes goes through here: the bytes go into a new temporary file beside
// the target, are flushed and synced to the disk with every step checked, and only a complete file
// takes the target's name, in one step. On any failure (a full disk, no right to write, a folder
// that is gone) a UserError names the file and the reason, the temporary file is removed, and a
// file that already had the name stays exactly as it was.
#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Replaces (or creates) `path` with `bytes`. An existing file keeps its permissions.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// The same, for a file written piece by piece (a large table encoded a stretch at a time): the
// pieces go into the temporary file as they come, and commit() gives it the target's name. A
// writer destroyed before commit() (an exception half-way) removes the temporary file. Every
// method throws UserError naming the file and the reason.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(const char* data, qint64 size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    // Overwrites bytes already written, from `offset` on (e.g. a header known only at the end).
    void writeAt(qint64 offset, const QByteArray& bytes);
    // Syncs the file to the disk and gives it the target's name.
    void commit();

private:
    [[noreturn]] void fail(const QString& reason);

    QString path_;
    QSaveFile file_;
};
