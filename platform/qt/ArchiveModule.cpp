// The import of recordings lives in a module of its own (mushaf-archive),
// loaded at the first import: the program starts without libarchive.
#include "platform/qt/Module.h"
#include "platform/qt/QtServices.h"

namespace mushaf {

namespace {

using Entry = void (*)(const std::filesystem::path*, const std::filesystem::path*, const RecordingNamed*, ImportReport*);

Entry LoadImport() {
    static const Entry entry = reinterpret_cast<Entry>(ModuleEntry("archive", "mushaf_import_recordings"));
    return entry;
}

}  // namespace

ImportReport ImportRecordings(const std::filesystem::path& from, const std::filesystem::path& into, const RecordingNamed& wanted) {
    const Entry entry = LoadImport();
    if (!entry) {
        ImportReport r;
        r.failure = ImportReport::Failure::Unreadable;
        r.detail = "the archive module could not be loaded";
        return r;
    }
    ImportReport r;
    entry(&from, &into, &wanted, &r);
    return r;
}

}  // namespace mushaf
