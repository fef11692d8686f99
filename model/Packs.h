#pragma once
// Translation packs: a text for every ayah that a reader adds beside the
// built-in translations (another translation, a transliteration, a
// commentary). A pack is UTF-8 (a byte-order mark allowed), one ayah a line,
// either "SURAH|AYAH|TEXT" in any order or 6236 lines of text in mushaf
// order. Lines starting with "#" and empty lines are passed over. The
// comment lines at its head may name it: "# name: ...", "# language: ...",
// "# direction: rtl|ltr"; without them the file's name names it and the
// first strong character of its text gives its direction.
//
// Packs are kept as files in folders (the shipped ones, the reader's); the
// list reads only each file's head, a pack's text is read when it is chosen.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Text.h"

namespace mushaf {

class cQ114;
using TextArray = std::vector<Text>;

struct PackHead {
    Text name;             // "# name:", else the file's name without its extension
    std::string language;  // "# language:", else empty
    bool rtl = true;       // "# direction:", else the first strong character's
};

// Why a file is no pack. `line` counts the file's lines from 1 (0: the file
// as a whole).
struct PackProblem {
    enum class Kind {
        Empty,       // no line of text
        TooLarge,    // over kMaxPackBytes
        NotUtf8,     // a line that is no valid UTF-8
        Control,     // NUL or another control character but tab
        NoNumbers,   // in the numbered form, a line without "SURAH|AYAH|"
        OutOfRange,  // a surah or ayah that the mushaf does not have
        Doubled,     // an ayah a second time (`first`: the line it stood on first)
        Missing,     // an ayah no line gives (numbered form)
        LineCount,   // the unnumbered form with other than 6236 lines (`count`)
    } kind;
    std::size_t line = 0;
    long surah = 0, ayah = 0;
    std::size_t first = 0;
    std::size_t count = 0;
};

struct PackCheck {
    PackHead head;
    // The ayat's texts in mushaf order (6236 of them) when the file is a
    // pack; empty otherwise.
    std::vector<Text> ayat;
    // The first problems found (at most kShownProblems) and how many more.
    std::vector<PackProblem> problems;
    std::size_t moreProblems = 0;
    bool Ok() const { return problems.empty(); }
};

inline constexpr std::size_t kShownProblems = 5;
inline constexpr std::size_t kMaxPackBytes = std::size_t(64) << 20;
inline constexpr int kAyatInMushaf = 6236;

// Checks a whole file as a pack and reads it. `ayahCounts` holds the ayah
// count of each surah, from surah 1.
PackCheck CheckPack(std::string_view bytes, TextView fileName, std::span<const int16_t> ayahCounts);
// The head of a pack from its first bytes (a line cut short at the end is
// passed over): what the list of packs shows.
PackHead ReadPackHead(std::string_view firstBytes, TextView fileName);

// The pack's text on every line of the model: each ayah's on its line, a
// Bismillah line (ayah 0) that of 1:1, as the built-in translations have it.
TextArray PackLines(const std::vector<Text>& ayat, const cQ114& model);

// A pack kept in one of the folders.
struct PackEntry {
    enum class From { Shipped, Reader };
    PackHead head;
    std::filesystem::path file;
    From from = From::Shipped;
};

// The packs of the shipped folder and of the reader's; a reader's pack of a
// shipped pack's name stands in its place.
class PackShelf {
public:
    PackShelf(std::filesystem::path shipped, std::filesystem::path reader);
    // Reads the folders' lists again (the heads only).
    void Rescan();
    // By name, in the order of their names' code points.
    const std::vector<PackEntry>& Entries() const { return entries_; }
    const PackEntry* Find(TextView name) const;
    // The whole pack, checked again (the file may have changed since it was
    // kept). A file that cannot be read is one problem, Kind::Empty.
    PackCheck Load(const PackEntry& entry, std::span<const int16_t> ayahCounts) const;

    struct Added {
        PackCheck check;                   // what the file read as; not Ok: nothing kept
        std::optional<PackEntry> entry;    // the pack as kept, when it was
        std::string error;                 // the file could not be read or kept (English)
    };
    // Checks `file` whole and, when it is a pack, keeps a copy of it in the
    // reader's folder under its name (a pack of that name there is replaced);
    // the copy appears under its name only once complete.
    Added Add(const std::filesystem::path& file, std::span<const int16_t> ayahCounts);
    const std::filesystem::path& ReaderFolder() const { return reader_; }

private:
    std::filesystem::path shipped_, reader_;
    std::vector<PackEntry> entries_;
};

// The name of the file a pack of this name is kept in: the name with the
// characters a file name cannot hold as "_", and ".txt".
std::filesystem::path PackFileName(TextView name);

}  // namespace mushaf
