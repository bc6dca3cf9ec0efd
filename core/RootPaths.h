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

    // Creates the folders that are missing; false when one cannot be made.
    bool makeFolders() const;

private:
    QString root_;
};
