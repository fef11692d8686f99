// The import of recordings from a folder or an archive (libarchive): a
// module of its own, loaded at the first import.
#include "platform/RecordingImport.h"

#include <archive.h>
#include <archive_entry.h>

#include <fstream>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace mushaf {

namespace {

// A folder beside the reciter's, where the copies are made; gone with it.
struct Staging {
    fs::path dir;
    ~Staging() {
        std::error_code ec;
        if (!dir.empty()) fs::remove_all(dir, ec);
    }
};

ImportReport Failed(ImportReport::Failure failure, std::string detail) {
    ImportReport r;
    r.failure = failure;
    r.detail = std::move(detail);
    return r;
}

ImportReport FromFolder(const fs::path& from, const fs::path& staging, const RecordingNamed& wanted) {
    ImportReport r;
    std::error_code ec;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(from, options, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code file;
        if (!it->is_regular_file(file)) continue;
        const fs::path name = it->path().filename();
        if (!wanted(name.string())) {
            ++r.passedOver;
            continue;
        }
        if (!fs::copy_file(it->path(), staging / name, fs::copy_options::overwrite_existing, file))
            return Failed(ImportReport::Failure::Unreadable, it->path().string() + ": " + file.message());
        ++r.copied;
    }
    if (ec) return Failed(ImportReport::Failure::Unreadable, from.string() + ": " + ec.message());
    return r;
}

bool WriteEntry(archive* a, const fs::path& to) {
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    char block[1 << 16];
    for (;;) {
        const la_ssize_t n = archive_read_data(a, block, sizeof block);
        if (n == 0) break;
        if (n < 0) return false;
        out.write(block, n);
    }
    return static_cast<bool>(out.flush());
}

ImportReport FromArchive(const fs::path& from, const fs::path& staging, const RecordingNamed& wanted) {
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_filter_all(a.get());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_tar(a.get());
    archive_read_support_format_gnutar(a.get());
    if (archive_read_open_filename(a.get(), from.c_str(), 1 << 16) != ARCHIVE_OK)
        return Failed(ImportReport::Failure::Unreadable, archive_error_string(a.get()) ? archive_error_string(a.get()) : "");
    ImportReport r;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(a.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) {
            const char* why = archive_error_string(a.get());
            return Failed(ImportReport::Failure::Unreadable, why ? why : "a damaged entry");
        }
        if (archive_entry_filetype(entry) != AE_IFREG) continue;
        const char* path = archive_entry_pathname(entry);
        const fs::path name = fs::path(path ? path : "").filename();
        if (name.empty() || !wanted(name.string())) {
            ++r.passedOver;
            continue;
        }
        if (!WriteEntry(a.get(), staging / name)) {
            const char* why = archive_error_string(a.get());
            return Failed(ImportReport::Failure::Unreadable, name.string() + ": " + (why ? why : "not written"));
        }
        ++r.copied;
    }
    return r;
}

ImportReport Import(const fs::path& from, const fs::path& into, const RecordingNamed& wanted) {
    std::error_code ec;
    const fs::file_status what = fs::status(from, ec);
    if (ec || !(fs::is_directory(what) || fs::is_regular_file(what)))
        return Failed(ImportReport::Failure::Unreadable, from.string() + ": not a folder or a file");
    fs::create_directories(into.parent_path(), ec);
    Staging staging{into.parent_path() / ("." + into.filename().string() + ".adding")};
    fs::remove_all(staging.dir, ec);
    if (!fs::create_directory(staging.dir, ec))
        return Failed(ImportReport::Failure::CannotWrite, staging.dir.string() + ": " + ec.message());
    ImportReport r = fs::is_directory(what) ? FromFolder(from, staging.dir, wanted) : FromArchive(from, staging.dir, wanted);
    if (r.failure != ImportReport::Failure::None) return r;
    if (r.copied == 0) {
        r.failure = ImportReport::Failure::NothingUsable;
        return r;
    }
    // all of it came whole: into the reciter's folder
    fs::create_directories(into, ec);
    for (fs::directory_iterator it(staging.dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code moved;
        fs::rename(it->path(), into / it->path().filename(), moved);
        if (moved) return Failed(ImportReport::Failure::CannotWrite, (into / it->path().filename()).string() + ": " + moved.message());
    }
    if (ec) return Failed(ImportReport::Failure::CannotWrite, ec.message());
    return r;
}

}  // namespace

}  // namespace mushaf

// What the program looks up when it loads this module.
extern "C" __attribute__((visibility("default"))) void mushaf_import_recordings(const fs::path* from, const fs::path* into,
                                                                               const mushaf::RecordingNamed* wanted,
                                                                               mushaf::ImportReport* report) {
    *report = mushaf::Import(*from, *into, *wanted);
}
