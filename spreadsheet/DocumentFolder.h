#pragma once
// The root's Documents folder, where each filled workbook is saved under a name of its own:
// "Заявка 116 2026.xlsx", then "Заявка 116 2026 (2).xlsx", and so on. A document already there
// is never overwritten.
#include "core/RootPaths.h"

#include <optional>
#include <QString>

class Workbook;

class DocumentFolder {
public:
    explicit DocumentFolder(QString path) : path_(std::move(path)) {}
    // The root's Documents folder. A document is never written into the root's Base folder, not
    // even when Documents leads there through a link.
    explicit DocumentFolder(const RootPaths& root) : path_(root.documents()), root_(root) {}
    const QString& path() const { return path_; }

    // The path of the first free name for a document called `title`. Characters that file names
    // cannot hold become "_".
    QString freeName(const QString& title) const;

    // Saves the workbook under the first free name and returns its path. The folder is made when
    // missing; the file is written completely and synced to the disk under a temporary name, and
    // takes its own name only then, by a rename that never replaces a file. Throws DocumentError
    // naming the file when it cannot be written (a full disk among the reasons); nothing is left
    // behind then.
    QString save(const Workbook& book, const QString& title) const;

private:
    QString path_;
    std::optional<RootPaths> root_;
};
