#pragma once
// Every file the program writes takes its name here: the bytes go into a new hidden file beside
// the target, are flushed and synced to the disk with every step checked, and only a complete file
// takes the target's name, in one step, after which the folder is synced so that the new name
// itself survives a power cut. On any failure (a full disk, no right to write, a folder that is
// gone) the reason is reported, the temporary file is removed, and a file that already had the
// name stays exactly as it was. Files another library builds (the SQLite store, its copies) are
// built under a temporary name and placed with moveIntoPlace().
#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// What placing a file does when its name is taken.
enum class IfTaken {
    Replace, // the new file replaces the old one (and takes the old one's permissions)
    Keep,    // the old file stays; placing fails
};

// Flushes the open file and syncs it to the disk; the reason of a failure, empty on success.
QString syncToDisk(QFileDevice& file);
// Gives the complete file `temp` the name `target` in one step: syncs it to the disk, renames it
// and syncs the folder.
// The reason of a failure, empty on success; with IfTaken::Keep, a taken name is a failure whose
// reason is `takenReason()` and `temp` stays for another try.
QString moveIntoPlace(const QString& temp, const QString& target, IfTaken ifTaken);
QString takenReason();

// Replaces (or creates) `path` with `bytes`. An existing file's permissions carry over. Throws
// UserError naming the file and the reason.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// The same, for a file written piece by piece (a large table encoded a stretch at a time): the
// pieces go into the temporary file as they come, and commit() gives it the target's name. A
// writer destroyed before then (an exception half-way) removes the temporary file. Every method
// throws UserError naming the file and the reason.
class AtomicFileWriter {
public:
    // `failure`: the message of a failure, with the file for %1 and the reason for %2.
    explicit AtomicFileWriter(const QString& path,
                              const QString& failure = QStringLiteral("Не удалось записать файл «%1»: %2."));
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    void write(const char* data, qint64 size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    // Overwrites bytes already written, from `offset` on (e.g. a header known only at the end).
    void writeAt(qint64 offset, const QByteArray& bytes);
    // Syncs the file to the disk and gives it the target's name, replacing a file of that name.
    void commit();
    // Syncs the file and gives it the target's name only where no file has it; while one has,
    // `nextName` is asked for another target. Returns the name the file took.
    QString commitAsNew(const std::function<QString()>& nextName);

private:
    [[noreturn]] void fail(const QString& reason);
    void sync();

    QString path_;
    QString failure_;
    QFile file_; // the temporary file
    bool placed_ = false;
};
