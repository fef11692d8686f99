// mushaf-cli end to end: the binary with its embedded tables.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

#include "tests/Corpus.h"
#include "cli/Json.h"

namespace {

struct CliRun {
    std::string out;
    int status;
};

// `env`: assignments the command runs with
CliRun Cli(const std::string& args, const std::string& env = "") {
    std::string cmd = env + MUSHAF_CLI + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    CliRun r{{}, -1};
    char buf[65536];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> out;
    std::size_t from = 0, nl;
    while ((nl = s.find('\n', from)) != std::string::npos) {
        out.push_back(s.substr(from, nl - from));
        from = nl + 1;
    }
    return out;
}

}  // namespace

TEST(Cli, TablesAreEmbeddedByteForByte) {
    for (const char* name : {"AR", "base", "Help", "PageUnic", "SR_TNORMAL", "UTHMANI", "fa2"}) {
        CliRun r = Cli(std::string("table ") + name);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, *mushaf::testing::Tables().Lookup(name, 1)) << name;
    }
    EXPECT_EQ(Cli("table NOSUCH").status, 1);
}

TEST(Cli, CommandsRunInOrderAndFailuresDoNotStopThem) {
    CliRun r = Cli("line 7 page 605 surah 9 show");
    EXPECT_EQ(r.status, 1);
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("{\"GlobalAyeh\":7,\"Soreh\":2,\"Ayeh\":0,\"Joze\":1,\"Hezb\":1,\"Page\":2,\"TotalAyat\":286,", 0), 0u);
    EXPECT_EQ(lines[1], "{\"error\":\"subscript out of range: page 605\"}");
    EXPECT_EQ(lines[2].rfind("{\"GlobalAyeh\":1242,", 0), 0u);
    EXPECT_EQ(lines[3], lines[2]);
    // the last line's texts end in U+0000
    CliRun last = Cli("line 6347");
    EXPECT_NE(last.out.find("\\u0000\""), std::string::npos);
    EXPECT_EQ(last.status, 0);
}

// A line or an ayah out of range is an error, with status 1, and the position
// stays; an ayah's Bismillah line (0) is one where the surah has one.
TEST(Cli, LinesAndAyatOutOfRangeAreRefused) {
    CliRun r = Cli("line 9 line 6348 line -1 line 32767 line 40000 ayah 1 8 ayah 2 287 ayah 9 0 ayah 1 0 ayah 2 0 "
                   "ayah 114 6 line 6347");
    EXPECT_EQ(r.status, 1);
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1], "{\"error\":\"subscript out of range: line 6348\"}");
    EXPECT_EQ(lines[2], "{\"error\":\"subscript out of range: line -1\"}");
    EXPECT_EQ(lines[3], "{\"error\":\"subscript out of range: line 32767\"}");
    EXPECT_EQ(lines[4], "{\"error\":\"overflow: line 40000\"}");
    EXPECT_EQ(lines[5], "{\"error\":\"subscript out of range: ayah 1 8\"}");
    EXPECT_EQ(lines[6], "{\"error\":\"subscript out of range: ayah 2 287\"}");
    EXPECT_EQ(lines[7], "{\"error\":\"subscript out of range: ayah 9 0\"}");
    EXPECT_EQ(lines[8], "{\"error\":\"subscript out of range: ayah 1 0\"}");
    EXPECT_EQ(lines[9].rfind("{\"GlobalAyeh\":7,\"Soreh\":2,\"Ayeh\":0,", 0), 0u);
    EXPECT_EQ(lines[10].rfind("{\"GlobalAyeh\":6347,", 0), 0u);
    EXPECT_EQ(lines[11], lines[10]);
    EXPECT_EQ(Cli("line 9 show").status, 0);
}

TEST(Cli, SearchFishAndUsage) {
    CliRun r = Cli("search 'قل هو الله احد' search-translation 'کتاب' search '[x' fish-set '  12 x 007 ' fish-exist 7 fish-add 5");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "{\"FoundNumber\":1,\"FoundList\":[6331]}");
    EXPECT_EQ(lines[1].rfind("{\"FoundNumber\":", 0), 0u);
    EXPECT_EQ(lines[2], "{\"error\":\"invalid pattern: unclosed [\"}");
    EXPECT_EQ(lines[3], "{\"FishList\":\"12 007\"}");
    EXPECT_EQ(lines[4], "{\"FishIsExist\":2}");
    EXPECT_EQ(lines[5], "{\"FishList\":\"12 007 5\"}");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Cli("").status, 2);
    EXPECT_EQ(Cli("line").status, 2);
    EXPECT_EQ(Cli("frobnicate").status, 2);
    EXPECT_EQ(Cli("show table AR").status, 2);
}

TEST(Cli, Exports) {
    auto dir = std::filesystem::temp_directory_path() / ("mushaf-cli-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    CliRun r = Cli("--export-dir " + dir.string() + " export-search nomarks search 'قل هو الله احد' export-search marks"
                " fish-add 0 export-fish nomarks");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "{\"error\":\"nothing to export: no search has been run\"}");
    EXPECT_NE(lines[2].find("<a id='6331' href='#'>1 - "), std::string::npos);
    EXPECT_NE(lines[4].find("\"file\":\"" + dir.string() + "/"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);

    // the last line: its texts and its surah's name end in U+0000 in the
    // position object, as stored, but not in the documents
    CliRun last = Cli("--export-dir " + dir.string() + " search 'من الجنة والناس' export-search nomarks"
                      " export-search marks fish-add 6347 export-fish marks line 6347");
    auto out = Lines(last.out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_NE(out[0].find(",6347]}"), std::string::npos);
    for (std::size_t k : {1u, 2u, 4u}) {
        EXPECT_NE(out[k].find("سوره: ناس (114) - آيه: 6"), std::string::npos) << k;
        EXPECT_EQ(out[k].find("\\u0000"), std::string::npos) << k;
    }
    EXPECT_NE(out[5].find("\\u0000"), std::string::npos);
    std::ifstream file(dir / std::filesystem::directory_iterator(dir)->path().filename(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("سوره: ناس (114)"), std::string::npos);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(Cli, MalformedUtf8IsRefused) {
    CliRun r = Cli("line 9 surah '5\xC0\x80junk' search '\xED\xA0\x80\xD9\x84' fish-set '1 \xF4\x90\x80\x80' show");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "{\"error\":\"malformed UTF-8: surah argument 1 at byte 1\"}");
    EXPECT_EQ(lines[2], "{\"error\":\"malformed UTF-8: search argument 1 at byte 0\"}");
    EXPECT_EQ(lines[3], "{\"error\":\"malformed UTF-8: fish-set argument 1 at byte 2\"}");
    EXPECT_EQ(lines[4].rfind("{\"GlobalAyeh\":9,", 0), 0u);
    EXPECT_EQ(r.status, 1);
}

TEST(Cli, AFailedExportLeavesThePosition) {
    auto dir = std::filesystem::temp_directory_path() / ("mushaf-cli-fail-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    CliRun r = Cli("--export-dir " + dir.string() + " line 9 fish-set '1 2 x 7000 -5' export-fish nomarks show");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "{\"error\":\"subscript out of range: line 7000\"}");
    EXPECT_EQ(lines[3], lines[0]);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(Cli, TranslationChoiceAndTheUthmaniText) {
    using namespace mushaf;
    auto tableLine = [](const char* table, int line) {
        return JsonString(TrimSpaces(LoadTable(mushaf::testing::Tables(), table).at(line)));
    };
    auto field = [](const std::string& key) { return "\"" + key + "\":"; };
    CliRun r = Cli("ayah 2 1 translation fooladvand surah 9 translation ansarian translation Quran show");
    EXPECT_EQ(r.status, 1);
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u);
    // the position object carries the Uthmani text and the chosen translation
    EXPECT_NE(lines[0].find(field("ArabicUthmani") + tableLine("UTHMANI", 8)), std::string::npos);
    EXPECT_NE(lines[0].find(field("MeanFarsi") + tableLine("FA", 8)), std::string::npos);
    EXPECT_NE(lines[0].find("\"translation\":\"ansarian\""), std::string::npos);
    // choosing keeps the position and shows the new translation at once
    EXPECT_EQ(lines[1].rfind("{\"GlobalAyeh\":8,\"Soreh\":2,\"Ayeh\":1,", 0), 0u);
    EXPECT_NE(lines[1].find(field("MeanFarsi") + tableLine("FA2", 8)), std::string::npos);
    EXPECT_NE(lines[1].find("\"translation\":\"fooladvand\""), std::string::npos);
    // and the choice stays for the next move
    EXPECT_EQ(lines[2].rfind("{\"GlobalAyeh\":1242,", 0), 0u);
    EXPECT_NE(lines[2].find(field("MeanFarsi") + tableLine("FA2", 1242)), std::string::npos);
    EXPECT_NE(lines[3].find(field("MeanFarsi") + tableLine("FA", 1242)), std::string::npos);
    EXPECT_EQ(lines[4], "{\"error\":\"type mismatch: expected ansarian, fooladvand or a translation pack's name: Quran\"}");
    EXPECT_EQ(lines[5], lines[3]);
    EXPECT_EQ(Cli("translation").status, 2);

    // the translation search follows the choice
    CliRun s = Cli("search-translation 'رحمتگر' translation fooladvand search-translation 'رحمتگر'");
    auto found = Lines(s.out);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], "{\"FoundNumber\":0,\"FoundList\":[]}");
    EXPECT_EQ(found[2].rfind("{\"FoundNumber\":119,\"FoundList\":[0,2,7,", 0), 0u);
}

TEST(Cli, ALongUnclosedListIsRefusedAtOnce) {
    // near the longest argument the system passes (128 KiB, also for the
    // whole command line the shell is handed); costing the square of its
    // length, the answer took many seconds
    const std::string brackets(120000, '[');
    for (const char* command : {"search", "search-translation"}) {
        auto start = std::chrono::steady_clock::now();
        CliRun r = Cli(std::string(command) + " '" + brackets + "'");
        auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(r.out, "{\"error\":\"invalid pattern: unclosed [\"}\n") << command;
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_LT(took, std::chrono::seconds(4)) << command;
    }
}

TEST(Cli, HelpAndTheExportDirectoryForms) {
    for (const char* help : {"--help", "-h"}) {
        CliRun r = Cli(help);
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_EQ(r.out.rfind("usage: mushaf-cli", 0), 0u) << help;
        // the commands are listed
        for (const char* command : {"search TEXT", "export-search marks|nomarks", "export-fish marks|nomarks", "table NAME"})
            EXPECT_NE(r.out.find(command), std::string::npos) << help << " " << command;
    }
    EXPECT_EQ(Cli("--help").out, Cli("-h").out);
    // a usage error still goes to the error stream, with status 2
    CliRun bad = Cli("frobnicate");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");

    auto dir = std::filesystem::temp_directory_path() / ("mushaf-cli-eq-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    CliRun r = Cli("--export-dir=" + dir.string() + " fish-add 7 export-fish nomarks");
    EXPECT_EQ(r.status, 0);
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("\"file\":\"" + dir.string() + "/"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
    // a directory is needed in either form
    EXPECT_EQ(Cli("--export-dir= show").status, 2);
    EXPECT_EQ(Cli("--export-dir").status, 2);
}

TEST(Cli, ExportingAnEmptyListIsAnError) {
    auto dir = std::filesystem::temp_directory_path() / ("mushaf-cli-empty-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    CliRun r = Cli("--export-dir " + dir.string() +
                   " export-search marks export-fish nomarks search 'zzzz' export-search nomarks show");
    EXPECT_EQ(r.status, 1);
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "{\"error\":\"nothing to export: no search has been run\"}");
    EXPECT_EQ(lines[1], "{\"error\":\"nothing to export: the fish list is empty\"}");
    EXPECT_EQ(lines[2], "{\"FoundNumber\":0,\"FoundList\":[]}");
    EXPECT_EQ(lines[3], "{\"error\":\"nothing to export: the search found nothing\"}");
    EXPECT_EQ(lines[4].rfind("{\"GlobalAyeh\":0,", 0), 0u);  // nothing moved
    EXPECT_FALSE(std::filesystem::exists(dir));
    // alone, each fails the run
    EXPECT_EQ(Cli("export-search marks").status, 1);
    EXPECT_EQ(Cli("--export-dir " + dir.string() + " export-fish marks").status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(Cli, ASurahsRevelationAndALinesSajdaAndQuarter) {
    CliRun r = Cli("surah 9 ayah 41 37 ayah 7 206 ayah 2 27");
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4u);
    // surah 9: Medinan, 113th revealed; its first ayah begins quarter 75, without a Bismillah line
    EXPECT_NE(lines[0].find("\"revelation\":\"medinan\",\"revelationOrder\":113"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"quarter\":75,\"quarterStart\":true"), std::string::npos);
    EXPECT_NE(lines[1].find("\"revelation\":\"meccan\""), std::string::npos);
    EXPECT_NE(lines[1].find("\"sajda\":\"obligatory\""), std::string::npos);
    EXPECT_NE(lines[2].find("\"sajda\":\"recommended\""), std::string::npos);
    EXPECT_NE(lines[3].find("\"sajda\":null,\"quarter\":2,\"quarterStart\":false"), std::string::npos) << lines[3];
}

// Translation packs on the command line: the shipped ones, a pack added (in
// a data folder of the test's own) and read by the next run, a file refused.
TEST(Cli, TranslationPacksAreListedChosenSearchedAndAdded) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("cli-packs-" + std::to_string(::getpid()));
    fs::create_directories(home);
    // the reader's data folder the test's own
    auto run = [env = "XDG_DATA_HOME=" + home.string() + " "](const std::string& args) { return Cli(args, env); };
    CliRun list = run("translations");
    EXPECT_NE(list.out.find("{\"name\":\"English - Ahmed Ali\",\"language\":\"en\",\"direction\":\"ltr\",\"from\":\"shipped\"}"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("{\"name\":\"ansarian\""), std::string::npos);

    // a shipped pack chosen by name and searched, accents and case folded
    CliRun fr = run("ayah 1 3 translation 'Français - Hamidullah' search-translation MISERICORDIEUX");
    ASSERT_EQ(fr.status, 0) << fr.out;
    auto lines = Lines(fr.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("\"MeanFarsi\":\"Le Tout Miséricordieux, le Très Miséricordieux,\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("\"translation\":\"Français - Hamidullah\""), std::string::npos);
    EXPECT_EQ(lines[2].rfind("{\"FoundNumber\":", 0), 0u);
    EXPECT_EQ(lines[2].find("{\"FoundNumber\":0,"), std::string::npos);

    // added, then read by another run
    {
        std::ofstream pack(home / "mine.txt");
        pack << "# language: fa\n";
        const mushaf::cQ114 m = mushaf::testing::LoadedModel();
        for (int s = 1; s <= 114; ++s)
            for (int a = 1; a <= m.TotalAyatOf(static_cast<int16_t>(s)); ++a) pack << s << "|" << a << "|ترجمهٔ من " << s << ":" << a << "\n";
    }
    CliRun added = run("add-translation " + (home / "mine.txt").string());
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "{\"added\":{\"name\":\"mine\",\"language\":\"fa\",\"direction\":\"rtl\",\"from\":\"reader\"}}\n");
    EXPECT_TRUE(fs::exists(home / "mushaf" / "translations" / "mine.txt"));
    CliRun mine = run("translation mine ayah 2 255");
    EXPECT_NE(mine.out.find("\"MeanFarsi\":\"ترجمهٔ من 2:255\""), std::string::npos) << mine.out;

    // refused, with the reasons in Persian; nothing kept
    {
        std::ofstream bad(home / "bad.txt");
        bad << "1|1|x\n1|1|y\n";
    }
    CliRun refused = run("add-translation " + (home / "bad.txt").string());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.rfind("{\"error\":\"«bad.txt» افزوده نشد:\\nسطر ۲: آیهٔ ۱ سورهٔ ۱ دوباره آمده است (نخست در سطر ۱).", 0), 0u)
        << refused.out;
    EXPECT_FALSE(fs::exists(home / "mushaf" / "translations" / "bad.txt"));
    EXPECT_EQ(run("translation nosuch").status, 1);
    fs::remove_all(home);
}
