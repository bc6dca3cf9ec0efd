#include "spreadsheet/ZipPackage.h"

#include <cstdint>
#include <memory>
#include <zip.h>

namespace {

// Deflate level of large parts written afresh (the sheet, the shared strings): level 1 costs a
// third of the default level's time for a file a few per cent larger.
constexpr zip_uint32_t kFastDeflate = 1;

std::string zipMessage(zip_error_t* error) {
    std::string message = zip_error_strerror(error);
    zip_error_fini(error);
    return message;
}

std::string archiveMessage(zip_t* archive) {
    return zip_strerror(archive);
}

struct SourceFree {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

// Opens an archive over `bytes` (which must outlive it); `keepSource` receives the source so that
// what zip_close writes into it can be read afterwards.
zip_t* openBuffer(const QByteArray& bytes, zip_source_t** keepSource = nullptr) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source)
        throw ZipPackage::Damaged(zipMessage(&error));
    zip_t* archive = zip_open_from_source(source, keepSource ? 0 : ZIP_RDONLY, &error);
    if (!archive) {
        zip_source_free(source);
        throw ZipPackage::Damaged(zipMessage(&error));
    }
    zip_error_fini(&error);
    if (keepSource) {
        zip_source_keep(source);
        *keepSource = source;
    }
    return archive;
}

zip_int64_t locate(zip_t* archive, const std::string& part) {
    return zip_name_locate(archive, part.c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
}

} // namespace

ZipPackage::ZipPackage(QByteArray bytes) : bytes_(std::move(bytes)) {
    archive_ = openBuffer(bytes_);
}

ZipPackage::~ZipPackage() {
    if (archive_)
        zip_discard(archive_);
}

quint64 ZipPackage::declaredUnpackedSize() const {
    quint64 total = 0;
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            throw Damaged("entry " + std::to_string(i) + ": " + archiveMessage(archive_));
        total = st.size > UINT64_MAX - total ? UINT64_MAX : total + st.size;
    }
    return total;
}

bool ZipPackage::has(const std::string& part) const {
    return locate(archive_, part) >= 0;
}

std::string ZipPackage::read(const std::string& part) const {
    const zip_int64_t index = locate(archive_, part);
    if (index < 0)
        throw Damaged("no part " + part);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        throw Damaged(part + ": " + archiveMessage(archive_));
    if (st.size > (zip_uint64_t(1) << 31))
        throw Damaged(part + ": too large");
    zip_file_t* file = zip_fopen_index(archive_, zip_uint64_t(index), 0);
    if (!file)
        throw Damaged(part + ": " + archiveMessage(archive_));
    std::string content(size_t(st.size), '\0');
    const zip_int64_t got = content.empty() ? 0 : zip_fread(file, content.data(), st.size);
    bool complete = got == zip_int64_t(st.size);
    std::string message = complete ? std::string() : zip_file_strerror(file);
    // The declared size may lie: one byte more must not be there. Reaching the end also checks
    // the part's CRC.
    if (complete) {
        char extra;
        const zip_int64_t more = zip_fread(file, &extra, 1);
        complete = more == 0;
        message = more > 0 ? std::string("larger than declared") : more < 0 ? zip_file_strerror(file) : "";
    }
    zip_fclose(file);
    if (!complete)
        throw Damaged(part + ": " + message);
    return content;
}

QByteArray ZipPackage::write(const std::map<std::string, Change>& changes,
                             const std::set<std::string>& removed) const {
    zip_source_t* rawTarget = nullptr;
    zip_t* archive = openBuffer(bytes_, &rawTarget);
    SourcePtr target(rawTarget);
    auto fail = [&](const std::string& what) -> void {
        const std::string message = what + ": " + archiveMessage(archive);
        zip_discard(archive);
        throw Damaged(message);
    };

    for (const std::string& part : removed) {
        const zip_int64_t index = locate(archive, part);
        if (index >= 0 && zip_delete(archive, zip_uint64_t(index)) != 0)
            fail(part);
    }
    for (const auto& [part, change] : changes) {
        zip_source_t* data = zip_source_buffer(archive, change.content.data(), change.content.size(), 0);
        if (!data)
            fail(part);
        zip_int64_t index = locate(archive, part);
        if (index >= 0 && !change.large) {
            if (zip_file_replace(archive, zip_uint64_t(index), data, 0) != 0) {
                zip_source_free(data);
                fail(part);
            }
            continue;
        }
        // libzip would recompress a replaced part at its highest level: a large part is deleted
        // and added again instead (under the name it had), with the level chosen here.
        std::string name = part;
        if (index >= 0) {
            if (const char* had = zip_get_name(archive, zip_uint64_t(index), ZIP_FL_ENC_RAW))
                name = had;
            if (zip_delete(archive, zip_uint64_t(index)) != 0) {
                zip_source_free(data);
                fail(part);
            }
        }
        index = zip_file_add(archive, name.c_str(), data, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            zip_source_free(data);
            fail(part);
        }
        if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE,
                                     change.large ? kFastDeflate : 0) != 0)
            fail(part);
    }
    if (zip_close(archive) != 0)
        fail("zip");

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(target.get(), &st) != 0 || zip_source_open(target.get()) != 0)
        throw Damaged("zip: cannot read the written package");
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_source_read(target.get(), out.data(), st.size);
    zip_source_close(target.get());
    if (got != zip_int64_t(st.size))
        throw Damaged("zip: cannot read the written package");
    return out;
}
