#include "model/Packs.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/cQ114.h"

namespace mushaf {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The file's lines one by one, each without its line end (LF or CR LF),
// counted from 1.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest_(bytes) {
        if (rest_.substr(0, kBom.size()) == kBom) rest_.remove_prefix(kBom.size());
    }
    bool Next(std::string_view& line) {
        if (rest_.empty()) return false;
        const std::size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number_;
        return true;
    }
    std::size_t Number() const { return number_; }
    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view Trimmed(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool IsRtlLetter(char16_t c) { return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFC); }
bool IsLtrLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c <= 0x2AF && c != 0xD7 && c != 0xF7) ||
           (c >= 0x0370 && c <= 0x058F) || (c >= 0x1E00 && c <= 0x1FFF);
}

// In "SURAH|AYAH|TEXT": the two numbers and the text; none when the line
// does not start with two numbers and bars.
struct Numbered {
    long surah, ayah;
    std::string_view text;
};
std::optional<Numbered> ReadNumbers(std::string_view line) {
    long n[2] = {0, 0};
    std::size_t at = 0;
    for (long& v : n) {
        const std::size_t start = at;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - start < 6) v = v * 10 + (line[at++] - '0');
        if (at == start || at >= line.size() || line[at] != '|') return std::nullopt;
        ++at;
    }
    return Numbered{n[0], n[1], line.substr(at)};
}

// The text of a data line as far as its direction goes: the text after the
// numbers in the numbered form.
std::string_view TextOf(std::string_view line) {
    const auto numbered = ReadNumbers(line);
    return numbered ? numbered->text : line;
}

// The first control character of a text other than tab (C0, DEL, C1), or npos.
std::size_t ControlAt(TextView text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if ((c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F)) return i;
    }
    return TextView::npos;
}

class Problems {
public:
    explicit Problems(PackCheck& check) : check_(check) {}
    void Add(PackProblem p) {
        if (check_.problems.size() < kShownProblems) check_.problems.push_back(p);
        else ++check_.moreProblems;
    }

private:
    PackCheck& check_;
};

}  // namespace

PackHead ReadPackHead(std::string_view firstBytes, TextView fileName) {
    PackHead head;
    head.name = Text(fileName);
    bool named = false, directed = false;
    LineReader lines(firstBytes);
    std::string_view line;
    bool inHead = true;
    while (lines.Next(line)) {
        // a line the first bytes cut short is not read
        if (lines.AtEnd() && firstBytes.back() != '\n') break;
        if (IsBlank(line)) continue;
        if (line.front() == '#') {
            if (!inHead) continue;
            std::string_view body = Trimmed(line.substr(1));
            const std::size_t colon = body.find(':');
            if (colon == std::string_view::npos) continue;
            std::string key(Trimmed(body.substr(0, colon)));
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
            const std::string_view value = Trimmed(body.substr(colon + 1));
            if (key == "name" && !named && !value.empty()) {
                if (auto name = FromUtf8Checked(value); name && ControlAt(*name) == TextView::npos) {
                    head.name = *name;
                    named = true;
                }
            } else if (key == "language" && head.language.empty()) {
                head.language = std::string(value.substr(0, 32));
            } else if (key == "direction" && !directed && (value == "rtl" || value == "ltr")) {
                head.rtl = value == "rtl";
                directed = true;
            }
            continue;
        }
        inHead = false;
        if (directed) break;
        const auto text = FromUtf8Checked(TextOf(line));
        if (!text) continue;
        for (char16_t c : *text) {
            if (IsRtlLetter(c) || IsLtrLetter(c)) {
                head.rtl = IsRtlLetter(c);
                directed = true;
                break;
            }
        }
        if (directed) break;
    }
    return head;
}

PackCheck CheckPack(std::string_view bytes, TextView fileName, std::span<const int16_t> ayahCounts) {
    PackCheck check;
    Problems problems(check);
    if (bytes.size() > kMaxPackBytes) {
        problems.Add({.kind = PackProblem::Kind::TooLarge});
        return check;
    }
    // where each surah's ayat start in mushaf order
    std::vector<int> firstOf(ayahCounts.size() + 1, 0);
    for (std::size_t s = 0; s < ayahCounts.size(); ++s) firstOf[s + 1] = firstOf[s] + ayahCounts[s];
    const int total = firstOf.back();

    std::vector<Text> texts(static_cast<std::size_t>(total));
    std::vector<std::size_t> lineOf(static_cast<std::size_t>(total), 0);  // numbered form: where each ayah stood
    std::vector<Text> ordered;                                            // unnumbered form
    std::optional<bool> numberedForm;
    LineReader lines(bytes);
    std::string_view line;
    while (lines.Next(line)) {
        if (IsBlank(line) || line.front() == '#') continue;
        const std::size_t n = lines.Number();
        if (!numberedForm) numberedForm = ReadNumbers(line).has_value();
        std::optional<Numbered> numbered;
        if (*numberedForm) {
            numbered = ReadNumbers(line);
            if (!numbered) {
                problems.Add({.kind = PackProblem::Kind::NoNumbers, .line = n});
                continue;
            }
        }
        std::size_t badAt = 0;
        std::optional<Text> text = FromUtf8Checked(numbered ? numbered->text : line, &badAt);
        if (!text) {
            problems.Add({.kind = PackProblem::Kind::NotUtf8, .line = n});
            continue;
        }
        if (ControlAt(*text) != TextView::npos) {
            problems.Add({.kind = PackProblem::Kind::Control, .line = n});
            continue;
        }
        if (!numbered) {
            ordered.push_back(std::move(*text));
            continue;
        }
        const long s = numbered->surah, a = numbered->ayah;
        if (s < 1 || s > static_cast<long>(ayahCounts.size()) || a < 1 || a > ayahCounts[static_cast<std::size_t>(s - 1)]) {
            problems.Add({.kind = PackProblem::Kind::OutOfRange, .line = n, .surah = s, .ayah = a});
            continue;
        }
        const auto g = static_cast<std::size_t>(firstOf[static_cast<std::size_t>(s - 1)] + a - 1);
        if (lineOf[g] != 0) {
            problems.Add({.kind = PackProblem::Kind::Doubled, .line = n, .surah = s, .ayah = a, .first = lineOf[g]});
            continue;
        }
        lineOf[g] = n;
        texts[g] = std::move(*text);
    }
    check.head = ReadPackHead(bytes.substr(0, std::min<std::size_t>(bytes.size(), 64 * 1024)), fileName);
    if (!numberedForm) {
        problems.Add({.kind = PackProblem::Kind::Empty});
        return check;
    }
    if (*numberedForm) {
        for (std::size_t s = 0; s < ayahCounts.size(); ++s)
            for (int a = 1; a <= ayahCounts[s]; ++a)
                if (lineOf[static_cast<std::size_t>(firstOf[s] + a - 1)] == 0)
                    problems.Add({.kind = PackProblem::Kind::Missing, .surah = static_cast<long>(s + 1), .ayah = a});
    } else if (ordered.size() != static_cast<std::size_t>(total)) {
        problems.Add({.kind = PackProblem::Kind::LineCount, .count = ordered.size()});
    } else {
        texts = std::move(ordered);
    }
    if (check.Ok()) check.ayat = std::move(texts);
    return check;
}

TextArray PackLines(const std::vector<Text>& ayat, const cQ114& model) {
    std::vector<int> firstOf(static_cast<std::size_t>(model.SorehCount()) + 1, 0);
    for (int s = 1; s <= model.SorehCount(); ++s)
        firstOf[static_cast<std::size_t>(s)] = firstOf[static_cast<std::size_t>(s - 1)] + model.TotalAyatOf(static_cast<int16_t>(s));
    TextArray lines(static_cast<std::size_t>(model.LineCount()));
    for (int n = 0; n < model.LineCount(); ++n) {
        const cQ114::Line& at = model.LineAt(static_cast<int16_t>(n));
        if (at.soreh < 1 || at.soreh > model.SorehCount()) continue;
        const int g = at.ayeh == 0 ? 0 : firstOf[static_cast<std::size_t>(at.soreh - 1)] + at.ayeh - 1;
        if (g >= 0 && static_cast<std::size_t>(g) < ayat.size()) lines[static_cast<std::size_t>(n)] = ayat[static_cast<std::size_t>(g)];
    }
    return lines;
}

// ---- the folders ------------------------------------------------------------

namespace {

std::optional<std::string> ReadWhole(const std::filesystem::path& file, std::size_t most) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(most, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(most));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

Text StemOf(const std::filesystem::path& file) {
    const std::string stem = file.stem().string();
    return FromUtf8Checked(stem).value_or(FromUtf8(stem));
}

}  // namespace

PackShelf::PackShelf(std::filesystem::path shipped, std::filesystem::path reader)
    : shipped_(std::move(shipped)), reader_(std::move(reader)) {
    Rescan();
}

void PackShelf::Rescan() {
    entries_.clear();
    for (const auto& [folder, from] : {std::pair{shipped_, PackEntry::From::Shipped}, std::pair{reader_, PackEntry::From::Reader}}) {
        if (folder.empty()) continue;
        std::error_code ec;
        std::vector<std::filesystem::path> files;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".txt" && it->is_regular_file(ec)) files.push_back(it->path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            const auto first = ReadWhole(file, 8 * 1024);
            if (!first || first->empty()) continue;
            PackEntry entry{ReadPackHead(*first, StemOf(file)), file, from};
            auto same = std::find_if(entries_.begin(), entries_.end(), [&](const PackEntry& e) { return e.head.name == entry.head.name; });
            if (same == entries_.end()) entries_.push_back(std::move(entry));
            else if (from == PackEntry::From::Reader) *same = std::move(entry);
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const PackEntry& a, const PackEntry& b) { return a.head.name < b.head.name; });
}

const PackEntry* PackShelf::Find(TextView name) const {
    for (const PackEntry& e : entries_)
        if (e.head.name == name) return &e;
    return nullptr;
}

PackCheck PackShelf::Load(const PackEntry& entry, std::span<const int16_t> ayahCounts) const {
    const auto bytes = ReadWhole(entry.file, kMaxPackBytes + 1);
    if (!bytes) {
        PackCheck check;
        check.head = entry.head;
        check.problems.push_back({.kind = PackProblem::Kind::Empty});
        return check;
    }
    PackCheck check = CheckPack(*bytes, StemOf(entry.file), ayahCounts);
    check.head.name = entry.head.name;
    return check;
}

std::filesystem::path PackFileName(TextView name) {
    Text safe;
    for (char16_t c : name.substr(0, 100)) safe += (c < 0x20 || c == u'/' || c == u'\\' || c == u':' || c == 0x7F) ? u'_' : c;
    while (!safe.empty() && (safe.front() == u'.' || safe.front() == u' ')) safe.erase(0, 1);
    if (safe.empty()) safe = u"pack";
    return std::filesystem::path(ToUtf8(safe) + ".txt");
}

PackShelf::Added PackShelf::Add(const std::filesystem::path& file, std::span<const int16_t> ayahCounts) {
    Added added;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || !std::filesystem::is_regular_file(file, ec)) {
        added.error = "cannot read " + file.string();
        return added;
    }
    if (size > kMaxPackBytes) {
        added.check.problems.push_back({.kind = PackProblem::Kind::TooLarge});
        return added;
    }
    const auto bytes = ReadWhole(file, static_cast<std::size_t>(size) + 1);
    if (!bytes) {
        added.error = "cannot read " + file.string();
        return added;
    }
    added.check = CheckPack(*bytes, StemOf(file), ayahCounts);
    if (!added.check.Ok()) return added;

    // kept under its name; a pack named by its file's name says so in its head,
    // so that the copy keeps the name whatever its file is called
    std::string_view body(*bytes);
    if (body.substr(0, kBom.size()) == kBom) body.remove_prefix(kBom.size());
    std::string kept;
    if (ReadPackHead(body.substr(0, std::min<std::size_t>(body.size(), 64 * 1024)), u"").name.empty())
        kept = "# name: " + ToUtf8(added.check.head.name) + "\n";
    kept.append(body);

    std::filesystem::create_directories(reader_, ec);
    const std::filesystem::path target = reader_ / PackFileName(added.check.head.name);
    const std::filesystem::path temporary = reader_ / ("." + target.filename().string() + ".part");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(kept.data(), static_cast<std::streamsize>(kept.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, ec);
            added.error = "cannot write " + temporary.string();
            return added;
        }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        added.error = "cannot keep " + target.string();
        return added;
    }
    Rescan();
    if (const PackEntry* entry = Find(added.check.head.name)) added.entry = *entry;
    return added;
}

}  // namespace mushaf
