#pragma once
// Recordings a reader already has, in a folder or an archive (zip, tar,
// with or without a folder inside), copied into a reciter's folder: the
// files a rule names, whole or not at all. Plain C++; the archive library
// is loaded with the first import.
#include <filesystem>
#include <functional>
#include <string>

namespace mushaf {

struct ImportReport {
    int copied = 0;      // recordings copied
    int passedOver = 0;  // other files
    enum class Failure { None, Unreadable, NothingUsable, CannotWrite } failure = Failure::None;
    std::string detail;  // why, for the log
};

// Whether a file of that name (its last part) is one to copy.
using RecordingNamed = std::function<bool(const std::string& name)>;

// Copies what `wanted` names from `from` (a folder, searched through, or an
// archive) into the folder `into` (made if need be): everything is written
// beside `into` first and moved in only when all of it came whole; a
// damaged archive, or one with nothing wanted, leaves `into` as it was.
using RecordingImport =
    std::function<ImportReport(const std::filesystem::path& from, const std::filesystem::path& into, const RecordingNamed& wanted)>;

}  // namespace mushaf
