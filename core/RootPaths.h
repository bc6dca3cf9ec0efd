#pragma once
// The program's root folder and the folders under it.
#include <QString>

class RootPaths {
public:
    explicit RootPaths(QString root) : root_(std::move(root)) {}

    // --root wins, then the environment variable TOVEX_ROOT, then the default place:
    // C:/TOVEX-Training on Windows, ~/TOVEX-Training elsewhere.
    static RootPaths resolve(const QString& commandLineRoot);
    static QString defaultRoot();

    const QString& root() const { return root_; }
    QString base() const { return root_ + QStringLiteral("/Base"); }
    QString templates() const { return root_ + QStringLiteral("/Templates"); }
    QString exportDir() const { return root_ + QStringLiteral("/Export"); }
    QString documents() const { return root_ + QStringLiteral("/Documents"); }
    QString storeFile() const { return base() + QStringLiteral("/tovex.sqlite"); }
    // Copies of the database (data/Backups.h); made when the first copy is taken.
    QString backups() const { return root_ + QStringLiteral("/Backup"); }

    // Creates the folders that are missing; false when one cannot be made.
    bool makeFolders() const;

    // True when `path` (existing or not) lies in the Base folder, links and ".." resolved: the
    // database lives there, and no document or export file may ever be written over it.
    bool isInsideBase(const QString& path) const;
    // The message refusing such a target, naming it.
    static QString insideBaseMessage(const QString& path);
    // Why no document or export file may be written at `path`, even over an existing file: it lies
    // in the Base folder or the Backup folder, or it is a database. Empty when it may be written.
    QString writeRefusal(const QString& path) const;

private:
    QString root_;
};
