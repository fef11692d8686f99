#include "window/Recital.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <set>
#include <system_error>

#include "model/Text.h"

namespace mushaf {

namespace fs = std::filesystem;

std::u16string DisplayName(const fs::path& path) {
#ifdef _WIN32
    const std::wstring& wide = path.filename().native();
    return std::u16string(wide.begin(), wide.end());
#else
    // the bytes the folder holds, whatever they are: what is no UTF-8 shows as U+FFFD
    return FromUtf8(path.filename().native());
#endif
}

namespace {

// A file's name as bytes, for names that must be ASCII to mean anything; a
// name that cannot be had that way is empty.
std::string PlainName(const fs::path& path) {
#ifdef _WIN32
    std::string out;
    for (wchar_t c : path.filename().native()) {
        if (c > 0x7F) return {};
        out += static_cast<char>(c);
    }
    return out;
#else
    return path.filename().native();
#endif
}

}  // namespace

std::vector<Reciter> FindReciters(const std::vector<fs::path>& roots) {
    std::vector<Reciter> found;
    std::set<std::u16string> names;
    for (const fs::path& root : roots) {
        std::error_code ec;
        std::vector<Reciter> here;
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            const std::u16string name = DisplayName(it->path());
            // (a link that loops, or one that leads nowhere, is no folder)
            std::error_code isDir;
            if (name.empty() || name[0] == u'.' || !fs::is_directory(it->path(), isDir)) continue;
            if (names.insert(name).second) here.push_back({name, it->path()});
        }
        std::sort(here.begin(), here.end(), [](const Reciter& a, const Reciter& b) { return a.name < b.name; });
        found.insert(found.end(), here.begin(), here.end());
    }
    return found;
}

namespace {

// The place of an extension in the order one is preferred to another; -1:
// not a recording's.
int ExtensionRank(std::string ext) {
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    constexpr std::array<const char*, 4> known = {".mp3", ".ogg", ".opus", ".wav"};
    for (std::size_t i = 0; i < known.size(); ++i)
        if (ext == known[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

bool LooksLikeAudio(const std::string& head) {
    auto starts = [&](const char* magic, std::size_t at = 0) { return head.compare(at, std::strlen(magic), magic) == 0; };
    const bool frame = head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF && (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0;
    return starts("ID3") || frame || starts("OggS") || starts("fLaC") || (starts("RIFF") && starts("WAVE", 8));
}

std::optional<std::vector<int>> SurahList(std::u16string text, int surahs) {
    for (char16_t& c : text) {
        if (c >= u'\u06F0' && c <= u'\u06F9') c = static_cast<char16_t>(u'0' + (c - u'\u06F0'));
        if (c >= u'\u0660' && c <= u'\u0669') c = static_cast<char16_t>(u'0' + (c - u'\u0660'));
        if (c == u'\u060C') c = u',';  // the Persian comma
    }
    std::string s;
    for (char16_t c : text)
        if (c != u' ') s += c < 128 ? static_cast<char>(c) : '?';
    std::vector<int> list;
    if (s.empty() || s == "all") {
        for (int n = 1; n <= surahs; ++n) list.push_back(n);
        return list;
    }
    std::set<int> chosen;
    std::size_t at = 0;
    while (at <= s.size()) {
        const std::size_t end = std::min(s.find(',', at), s.size());
        const std::string part = s.substr(at, end - at);
        const std::size_t dash = part.find('-');
        int from = 0, to = 0;
        auto number = [](const std::string& t, int& v) {
            auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
            return !t.empty() && ec == std::errc() && p == t.data() + t.size();
        };
        if (!number(part.substr(0, dash), from) || !number(dash == std::string::npos ? part : part.substr(dash + 1), to) ||
            from < 1 || to > surahs || from > to)
            return std::nullopt;
        for (int n = from; n <= to; ++n) chosen.insert(n);
        at = end + 1;
    }
    return std::vector<int>(chosen.begin(), chosen.end());
}

bool IsRecordingName(const std::string& name) {
    const std::size_t dot = name.find('.');
    const std::string stem = name.substr(0, dot);
    return dot != std::string::npos && ExtensionRank(name.substr(dot)) >= 0 && stem.size() == 6 &&
           std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Recordings::Recordings(const fs::path& folder) {
    std::error_code ec;
    std::map<int, int> rank;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = PlainName(it->path());
        if (!IsRecordingName(name)) continue;
        const std::size_t dot = name.find('.');
        const std::string stem = name.substr(0, dot);
        const int r = ExtensionRank(name.substr(dot));
        // a FIFO or a device named like a recording, a link that loops or
        // leads nowhere: passed over
        std::error_code isFile;
        if (!fs::is_regular_file(it->path(), isFile)) continue;
        const int key = std::stoi(stem.substr(0, 3)) * 1000 + std::stoi(stem.substr(3));
        auto [at, fresh] = rank.emplace(key, r);
        if (!fresh && at->second <= r) continue;
        at->second = r;
        files_[key] = it->path();
    }
}

std::optional<fs::path> Recordings::Of(int surah, int ayah) const {
    auto at = files_.find(surah * 1000 + ayah);
    if (at == files_.end() && ayah == 0) {
        // 001001 stands in for it before a surah the folder has
        const auto ayat = files_.lower_bound(surah * 1000 + 1);
        if (ayat != files_.end() && ayat->first < (surah + 1) * 1000) at = files_.find(1001);
    }
    if (at == files_.end()) return std::nullopt;
    return at->second;
}

int16_t LastLineOfUnit(const std::vector<int16_t>& firstLines, int16_t line, int16_t lastLine) {
    const auto next = std::upper_bound(firstLines.begin(), firstLines.end(), line);
    return next == firstLines.end() ? lastLine : static_cast<int16_t>(*next - 1);
}

}  // namespace mushaf
