#include "platform/DataFolders.h"

#include <cstdlib>
#include <system_error>

namespace mushaf {

std::filesystem::path ShippedData(const std::string& what) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::filesystem::path dir = self.parent_path();
    for (const std::filesystem::path& candidate : {dir / what, dir / ".." / "share" / "mushaf" / what})
        if (std::filesystem::is_directory(candidate, ec)) return candidate.lexically_normal();
    return {};
}

std::filesystem::path ReaderData(const std::string& what) {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::filesystem::path(data) / "mushaf" / what;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "") / ".local" / "share" / "mushaf" / what;
}

}  // namespace mushaf
