#pragma once
// A zip package (an .xlsx or .xltx file) held in memory: its parts can be read, and a copy can be
// written in which some parts are replaced, added or removed while every other part is copied as
// it is, still compressed.
#include <map>
#include <QByteArray>
#include <QtGlobal>
#include <set>
#include <stdexcept>
#include <string>

typedef struct zip zip_t;

class ZipPackage {
public:
    // Thrown when the bytes are not a zip archive or a part cannot be read; the adapter turns it
    // into a message naming the file.
    struct Damaged : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    explicit ZipPackage(QByteArray bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // The sum of the sizes the archive gives its parts once unpacked, read from its directory
    // without unpacking anything.
    quint64 declaredUnpackedSize() const;

    // Part names are written without a leading slash ("xl/workbook.xml"), compared ignoring case.
    bool has(const std::string& part) const;
    // Unpacks the part: never more than the size the archive declares for it, so that what
    // declaredUnpackedSize() allowed bounds the memory taken; a part that would unpack to more is
    // Damaged.
    std::string read(const std::string& part) const;

    // How a new or replaced part is compressed: small parts keep their place in the archive,
    // large ones are written afresh at the end with fast compression.
    struct Change {
        std::string content;
        bool large = false;
    };
    // The package with `changes` applied (a part not in the package is added) and the parts
    // named in `removed` left out.
    QByteArray write(const std::map<std::string, Change>& changes,
                     const std::set<std::string>& removed) const;

private:
    QByteArray bytes_;
    zip_t* archive_ = nullptr;
};
