#include "cli/Commands.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "views/Documents.h"
#include "views/Packs.h"
#include "cli/Json.h"

namespace mushaf {

namespace {

const std::map<std::string, int> kArity = {
    {"line", 1},         {"surah", 1},        {"ayah", 2},          {"page", 1},
    {"juz", 1},          {"show", 0},         {"search", 1},        {"search-translation", 1},
    {"fish-add", 1},     {"fish-remove", 1},  {"fish-clean", 0},    {"fish-set", 1},
    {"fish-exist", 1},   {"export-search", 1}, {"export-fish", 1}, {"translation", 1},
    {"translations", 0}, {"add-translation", 1},
};

// The names of the translations on the command line and in the position object.
const std::pair<cQ114::Translation, const char*> kTranslationNames[] = {
    {cQ114::Translation::Ansarian, "ansarian"},
    {cQ114::Translation::Fooladvand, "fooladvand"},
};

const char* TranslationName(cQ114::Translation t) {
    for (const auto& [translation, name] : kTranslationNames)
        if (translation == t) return name;
    return "pack";
}

std::optional<cQ114::Translation> BuiltInNamed(const std::string& arg) {
    for (const auto& [translation, name] : kTranslationNames)
        if (arg == name) return translation;
    return std::nullopt;
}

std::vector<int16_t> AyahCounts(const cQ114& m) {
    std::vector<int16_t> counts;
    for (int s = 1; s <= m.SorehCount(); ++s) counts.push_back(m.TotalAyatOf(static_cast<int16_t>(s)));
    return counts;
}

std::string PackJson(const PackEntry& p) {
    return JsonObject()
        .Add("name", p.head.name)
        .Add("language", FromUtf8(p.head.language))
        .Add("direction", p.head.rtl ? u"rtl" : u"ltr")
        .Add("from", p.from == PackEntry::From::Reader ? u"reader" : u"shipped")
        .Str();
}

// translation NAME: a built-in translation or a pack.
void ChooseNamed(cQ114& m, const std::string& arg, CliPacks* packs) {
    if (const auto builtIn = BuiltInNamed(arg)) {
        m.ChooseTranslation(*builtIn);
        return;
    }
    const PackEntry* pack = packs ? packs->shelf.Find(FromUtf8(arg)) : nullptr;
    if (!pack) throw TypeMismatch("expected ansarian, fooladvand or a translation pack's name: " + arg);
    const PackCheck check = packs->shelf.Load(*pack, AyahCounts(m));
    if (!check.Ok()) throw ModelError(ToUtf8(views::PackRefusal(check, pack->head.name, true)), "");
    m.ChoosePack(std::make_shared<const TextArray>(PackLines(check.ayat, m)));
    packs->chosen = pack->head.name;
}

// add-translation FILE: the pack kept, or why not (in Persian).
std::string AddPack(cQ114& m, const std::string& file, CliPacks* packs) {
    if (!packs) throw ModelError("no folder for translation packs", "");
    const PackShelf::Added added = packs->shelf.Add(file, AyahCounts(m));
    if (!added.error.empty()) throw ModelError(added.error, "");
    if (!added.check.Ok())
        throw ModelError(ToUtf8(views::PackRefusal(added.check, FromUtf8(std::filesystem::path(file).filename().string()))), "");
    return "{\"added\":" + PackJson(*added.entry) + "}";
}

int16_t LineNumber(const std::string& arg, const char* what) {
    auto v = ReadNumber(FromUtf8(arg));
    if (!v) throw TypeMismatch(std::string(what) + " " + arg);
    double r = RoundHalfEven(*v);
    if (!(r >= -32768 && r <= 32767)) throw Overflow(std::string(what) + " " + arg);
    return static_cast<int16_t>(r);
}

// A line of the corpus: its number, checked against the corpus's lines (the
// model passes over a line out of range; a caller must hear it was not taken).
int16_t CorpusLine(const cQ114& m, const std::string& arg) {
    const int16_t line = LineNumber(arg, "line");
    if (line < m.MinBound() || line > m.MaxBound()) throw SubscriptOutOfRange("line " + arg);
    return line;
}

// Checks an ayah against its surah's ayat (0 is a surah's own Bismillah line,
// which surahs 1 and 9 have not): the model takes an ayah past the surah's
// end into the next surah.
void CheckAyahOfSurah(const cQ114& m, const std::string& surahArg, const std::string& ayahArg) {
    const auto s = ReadNumber(FromUtf8(surahArg)), a = ReadNumber(FromUtf8(ayahArg));
    if (!s || !a) return;  // the model says what is wrong with them
    const double surah = RoundHalfEven(*s), ayah = RoundHalfEven(*a);
    if (surah < 1 || surah > m.SorehCount()) return;
    const int16_t n = static_cast<int16_t>(surah);
    const int lowest = n == 1 || n == 9 ? 1 : 0;
    if (ayah < lowest || ayah > m.TotalAyatOf(n)) throw SubscriptOutOfRange("ayah " + surahArg + " " + ayahArg);
}

bool WithMarks(const std::string& arg) {
    if (arg == "marks") return true;
    if (arg == "nomarks") return false;
    throw TypeMismatch("expected marks or nomarks: " + arg);
}

std::string FoundJson(const cQ114& m) {
    std::string list = "[";
    for (std::size_t i = 0; i < m.FoundList().size(); ++i) list += (i ? "," : "") + std::to_string(m.FoundList()[i]);
    return JsonObject().Add("FoundNumber", m.FoundNumber()).AddRaw("FoundList", list + "]").Str();
}

}  // namespace

std::string Usage() {
    return "usage: mushaf-cli [--export-dir DIR | --export-dir=DIR] COMMAND...\n"
           "       mushaf-cli table NAME\n"
           "       mushaf-cli --version | --help | -h\n"
           "Commands, run in order, one JSON line each:\n"
           "  line N, surah S, ayah S A, page P, juz J, show\n"
           "  translation ansarian|fooladvand|NAME   (NAME: a translation pack's)\n"
           "  translations   (the packs there are)\n"
           "  add-translation FILE   (a pack, SURAH|AYAH|TEXT lines or 6236 lines in order,\n"
           "      kept in ~/.local/share/mushaf/translations once checked whole)\n"
           "  search TEXT, search-translation TEXT\n"
           "  fish-add N, fish-remove N, fish-clean, fish-set TEXT, fish-exist N\n"
           "      (the note cards: the fish list of the text model, lines by number)\n"
           "  export-search marks|nomarks, export-fish marks|nomarks   (the search results or the\n"
           "      note cards as an HTML file, with or without vowel marks)\n"
           "A failing command prints {\"error\":\"...\"}; the exit status is then 1, and 2 on a usage error.\n";
}

bool ParseOptions(std::vector<std::string>& args, std::filesystem::path& exportDir, std::string& error) {
    const std::string option = "--export-dir";
    std::size_t used = 0;
    while (used < args.size()) {
        const std::string& arg = args[used];
        std::string dir;
        if (arg == option) {
            if (used + 1 >= args.size()) {
                error = option + " needs a directory";
                return false;
            }
            dir = args[used + 1];
            used += 2;
        } else if (arg.rfind(option + "=", 0) == 0) {
            dir = arg.substr(option.size() + 1);
            used += 1;
        } else {
            break;
        }
        if (dir.empty()) {
            error = option + " needs a directory";
            return false;
        }
        exportDir = dir;
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(used));
    return true;
}

bool ParseCommands(const std::vector<std::string>& argv, std::vector<CliCommand>& out, std::string& error) {
    for (std::size_t i = 0; i < argv.size();) {
        const std::string& name = argv[i];
        if (name == "table") {
            if (argv.size() != 2 || i != 0) {
                error = "table NAME stands alone on its command line";
                return false;
            }
            out.push_back({name, {argv[1]}});
            return true;
        }
        auto it = kArity.find(name);
        if (it == kArity.end()) {
            error = "unknown command: " + name;
            return false;
        }
        if (i + it->second >= argv.size()) {
            error = name + " needs " + std::to_string(it->second) + " argument(s)";
            return false;
        }
        CliCommand c{name, {}};
        for (int k = 1; k <= it->second; ++k) c.args.push_back(argv[i + k]);
        out.push_back(std::move(c));
        i += 1 + it->second;
    }
    return true;
}

std::string PositionJson(const cQ114& m, const MushafMarks* marks, const std::u16string* packName) {
    JsonObject o;
    o
        .Add("GlobalAyeh", m.GlobalAyeh())
        .Add("Soreh", m.Soreh())
        .Add("Ayeh", m.Ayeh())
        .Add("Joze", m.Joze())
        .Add("Hezb", m.Hezb())
        .Add("Page", m.Page())
        .Add("TotalAyat", m.TotalAyat())
        .Add("SorehName", m.SorehName())
        .Add("ArabicByEarab", m.ArabicByEarab())
        .Add("ArabicNoEarab", m.ArabicNoEarab())
        .Add("ArabicUthmani", m.ArabicUthmani())
        .Add("MeanFarsi", m.MeanFarsi())
        .Add("translation", m.ChosenTranslation() == cQ114::Translation::Pack && packName
                                ? *packName
                                : FromUtf8(TranslationName(m.ChosenTranslation())));
    if (!marks) return o.Str();
    const int16_t line = m.GlobalAyeh();
    const MushafMarks::Sajda sajda = marks->SajdaAt(line);
    o.Add("revelation", marks->RevelationOf(m.Soreh()) == MushafMarks::Revelation::Medinan ? u"medinan" : u"meccan")
        .Add("revelationOrder", marks->RevelationOrder(m.Soreh()))
        .AddRaw("sajda", sajda == MushafMarks::Sajda::None          ? "null"
                         : sajda == MushafMarks::Sajda::Obligatory ? "\"obligatory\""
                                                                   : "\"recommended\"")
        .Add("quarter", marks->QuarterOf(line))
        .AddRaw("quarterStart", marks->QuarterStartingAt(line) ? "true" : "false");
    return o.Str();
}


std::string RunCommand(cQ114& m, const CliCommand& c, const std::filesystem::path& exportDir, const MushafMarks* marks,
                       CliPacks* packs) {
    const std::string& n = c.name;
    // arguments are taken as UTF-8 only when they are well formed
    for (std::size_t k = 0; k < c.args.size(); ++k) {
        std::size_t at = 0;
        if (!FromUtf8Checked(c.args[k], &at))
            throw ModelError("malformed UTF-8", n + " argument " + std::to_string(k + 1) + " at byte " + std::to_string(at));
    }
    auto arg = [&](std::size_t k) { return FromUtf8(c.args.at(k)); };
    if (n == "line") m.GoPosition(CorpusLine(m, c.args[0]));
    else if (n == "surah") m.GoSoreh(arg(0));
    else if (n == "ayah") {
        CheckAyahOfSurah(m, c.args[0], c.args[1]);
        m.GoAyehOfSoreh(arg(0), arg(1));
    }
    else if (n == "page") m.GoPage(arg(0));
    else if (n == "juz") m.GoJoze(arg(0));
    else if (n == "translation") ChooseNamed(m, c.args[0], packs);
    else if (n == "add-translation") return AddPack(m, c.args[0], packs);
    else if (n == "translations") {
        std::string list = "{\"translations\":[";
        for (const char* builtIn : {"ansarian", "fooladvand"})
            list += JsonObject().Add("name", FromUtf8(builtIn)).Add("language", u"fa").Add("direction", u"rtl").Add("from", u"built-in").Str() + ",";
        for (const PackEntry& p : packs ? packs->shelf.Entries() : std::vector<PackEntry>{}) list += PackJson(p) + ",";
        list.back() = ']';
        return list + "}";
    }
    else if (n == "search" || n == "search-translation") {
        m.SearchText(views::PrepareSearchQuery(arg(0)));
        m.SearchTo(n == "search" ? 0 : 1);
        m.StartSearch(-1, -1);
        return FoundJson(m);
    } else if (n == "fish-add" || n == "fish-remove" || n == "fish-clean" || n == "fish-set") {
        if (n == "fish-add") m.FishAdder(LineNumber(c.args[0], "fish"));
        else if (n == "fish-remove") m.FishRemove(LineNumber(c.args[0], "fish"));
        else if (n == "fish-clean") m.FishClean();
        else m.FishList(arg(0));
        return JsonObject().Add("FishList", m.FishList()).Str();
    } else if (n == "fish-exist") {
        return JsonObject().Add("FishIsExist", m.FishIsExist(LineNumber(c.args[0], "fish"))).Str();
    } else if (n == "export-search") {
        bool marks = WithMarks(c.args[0]);
        // the model renders an empty result as an empty document; here there is nothing to export
        if (m.FoundList().empty())
            throw ModelError("nothing to export", m.SearchText().empty() ? "no search has been run" : "the search found nothing");
        return JsonObject().Add("document", m.GetOutputOfSearch(marks)).Str();
    } else if (n == "export-fish") {
        bool marks = WithMarks(c.args[0]);
        if (m.FishCollection().empty()) throw ModelError("nothing to export", "the fish list is empty");
        m.ExportFolder = exportDir;
        auto out = m.GetOutputOfFish(marks);
        JsonObject o;
        o.Add("document", out ? out->document : Text());
        o.Add("file", out ? FromUtf8(out->file.string()) : Text());
        return o.Str();
    }
    return PositionJson(m, marks, packs ? &packs->chosen : nullptr);
}

}  // namespace mushaf
