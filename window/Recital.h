#pragma once
// The reader's recordings: reciters are folders of one file per ayah named
// SSSAAA (surah and ayah, three digits each) with the extension .mp3, .ogg,
// .opus or .wav in any letter case. Plain C++.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mushaf {

// The last part of `path` for a reader to see; bytes that are no UTF-8 show
// as U+FFFD (a folder of any name may lie in the reader's folders).
std::u16string DisplayName(const std::filesystem::path& path);

struct Reciter {
    std::u16string name;  // the folder's name
    std::filesystem::path folder;
};

// The sub-folders of each of `roots` (those that exist), by name; a name
// found twice is the first root's. Hidden folders are passed over.
std::vector<Reciter> FindReciters(const std::vector<std::filesystem::path>& roots);

// A recording's name: SSSAAA and an audio extension, in any letter case.
bool IsRecordingName(const std::string& name);

// Whether the first bytes of a file are a recording's (MP3, Ogg, WAV, FLAC),
// not an error page or anything else.
bool LooksLikeAudio(const std::string& head);

// The surahs a reader lists: "all" (or empty) for every one, else numbers
// and ranges, "1,112-114", in any digits; nothing when the list is unsound.
std::optional<std::vector<int>> SurahList(std::u16string text, int surahs);

// One reciter's recordings, found once by their names.
class Recordings {
public:
    Recordings() = default;
    explicit Recordings(const std::filesystem::path& folder);
    // The recording of ayah `ayah` of surah `surah`; a Bismillah line (ayah
    // 0) plays the surah's own SSS000 where the folder has it, else 001001
    // (when the folder has some ayah of that surah: not before a surah it lacks).
    std::optional<std::filesystem::path> Of(int surah, int ayah) const;
    std::size_t size() const { return files_.size(); }

private:
    std::map<int, std::filesystem::path> files_;  // by surah * 1000 + ayah
};

// The last line of the unit (page, surah, juz') that `line` lies in, given
// the first lines of every unit in order; `lastLine` for the last unit.
int16_t LastLineOfUnit(const std::vector<int16_t>& firstLines, int16_t line, int16_t lastLine);

}  // namespace mushaf
