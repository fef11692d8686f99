// Translation packs: the shipped ones against their sources, both forms of a
// reader's pack, the files refused and what the reader is told, the shelf of
// packs, and searching a pack.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>

#include "model/Normalise.h"
#include "model/Packs.h"
#include "tests/Corpus.h"
#include "views/Packs.h"

namespace {

using namespace mushaf;
namespace fs = std::filesystem;

std::vector<int16_t> Counts() {
    const cQ114 m = mushaf::testing::LoadedModel();
    std::vector<int16_t> counts;
    for (int s = 1; s <= m.SorehCount(); ++s) counts.push_back(m.TotalAyatOf(static_cast<int16_t>(s)));
    return counts;
}

int Global(int surah, int ayah) {
    static const std::vector<int16_t> counts = Counts();
    int g = 0;
    for (int s = 1; s < surah; ++s) g += counts[static_cast<std::size_t>(s - 1)];
    return g + ayah - 1;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// A pack in the numbered form, every ayah "TEXT S:A" (or as `text` makes it).
std::string NumberedPack(const std::function<std::string(int, int)>& text = {}) {
    std::string out;
    const std::vector<int16_t> counts = Counts();
    for (int s = 1; s <= 114; ++s)
        for (int a = 1; a <= counts[static_cast<std::size_t>(s - 1)]; ++a)
            out += std::to_string(s) + "|" + std::to_string(a) + "|" +
                   (text ? text(s, a) : "text " + std::to_string(s) + ":" + std::to_string(a)) + "\n";
    return out;
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("packs-" + std::to_string(std::random_device{}()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

PackCheck Check(const std::string& bytes, const char16_t* name = u"file") { return CheckPack(bytes, name, Counts()); }

// The text of every ayah of a quran package file, its markup as `plain`
// leaves it: the test's own reading of the source, apart from the generator's.
std::vector<std::string> SourceAyat(const char* file, const std::function<std::string(std::string)>& plain) {
    std::ifstream in(std::string(MUSHAF_SOURCE_DIR) + "/" + file);
    std::vector<std::string> ayat;
    const std::regex row(R"(^\\qt@newcmd\\qurantrans@[a-z]+@[ivxlcdm]+\{(?:\\basmalah[a-z]+ +)?(.*)\\qt@no\{\(\d+\)\}\}$)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, row)) ayat.push_back(plain(m[1].str()));
    }
    return ayat;
}

std::string WithoutMarkup(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\(q@u|q@b|q@i|emph)\{)"), "");
    text.erase(std::remove(text.begin(), text.end(), '}'), text.end());
    // TeX's quotation marks as typeset
    for (auto [tex, shown] : {std::pair{"``", "“"}, {"''", "”"}, {"\"", "”"}, {"`", "‘"}})
        text = std::regex_replace(text, std::regex(tex), shown);
    return text;
}

std::string WithoutLowLines(const Text& text) {
    Text out;
    for (char16_t c : text)
        if (c != 0x0332) out += c;
    return ToUtf8(out);
}

}  // namespace

TEST(ShippedPacks, EachHoldsEveryAyahOfItsSourceInOrder) {
    struct Shipped {
        const char* pack;
        const char* source;
        const char16_t* name;
        const char* language;
    };
    for (const Shipped& s : {Shipped{"en-ahmedali.txt", "qurantext-en.translation.def", u"English - Ahmed Ali", "en"},
                             Shipped{"fr-hamidullah.txt", "qurantext-fr.translation.def", u"Français - Hamidullah", "fr"},
                             Shipped{"de-rassoul.txt", "qurantext-de.translation.def", u"Deutsch - Rassoul", "de"},
                             Shipped{"en-transliteration.txt", "qurantext-en.transliteration.def", u"English transliteration", "en"}}) {
        SCOPED_TRACE(s.pack);
        const PackCheck check = Check(ReadFile(fs::path(MUSHAF_PACK_DIR) / s.pack));
        ASSERT_TRUE(check.Ok()) << ToUtf8(views::PackRefusal(check, u"x"));
        EXPECT_EQ(check.head.name, s.name);
        EXPECT_EQ(check.head.language, s.language);
        EXPECT_FALSE(check.head.rtl);
        ASSERT_EQ(check.ayat.size(), 6236u);
        const bool transliteration = std::string(s.pack).find("transliteration") != std::string::npos;
        const std::vector<std::string> source = SourceAyat(s.source, WithoutMarkup);
        ASSERT_EQ(source.size(), 6236u);
        for (std::size_t g = 0; g < 6236; ++g)
            ASSERT_EQ(transliteration ? WithoutLowLines(check.ayat[g]) : ToUtf8(check.ayat[g]), source[g]) << "ayah " << g + 1;
    }
}

TEST(ShippedPacks, SpotChecks) {
    auto pack = [](const char* file) { return Check(ReadFile(fs::path(MUSHAF_PACK_DIR) / file)).ayat; };
    const auto en = pack("en-ahmedali.txt"), fr = pack("fr-hamidullah.txt"), de = pack("de-rassoul.txt"),
               lt = pack("en-transliteration.txt");
    EXPECT_EQ(en[Global(1, 2)], u"ALL PRAISE BE to Allah, Lord of all the worlds,");
    EXPECT_EQ(ToUtf8(en[Global(2, 1)]), "ALIF LAM MIM.");  // the Bismillah macro taken off
    EXPECT_EQ(ToUtf8(en[Global(114, 6)]), "From among the jinns and men.");
    EXPECT_EQ(ToUtf8(fr[Global(1, 3)]), "Le Tout Miséricordieux, le Très Miséricordieux,");
    EXPECT_EQ(ToUtf8(de[Global(1, 4)]), "dem Herrscher am Tage des Gerichts!");
    EXPECT_EQ(ToUtf8(de[Global(112, 1)]), "Sprich: “Er ist Allah, ein Einziger");
    // the underlined letters of the transliteration keep their line
    EXPECT_EQ(lt[Global(1, 2)], u"Alh\u0332amdu lilla\u0332hi rabbi alAAa\u0332lameena");
}

TEST(Packs, BothFormsReadAlikeWithTheirHeads) {
    // numbered, backwards, with a byte-order mark, CR LF, comments and blank lines
    std::string numbered = NumberedPack();
    std::vector<std::string> rows;
    for (std::size_t at = 0, nl; (nl = numbered.find('\n', at)) != std::string::npos; at = nl + 1) rows.push_back(numbered.substr(at, nl - at));
    std::string backwards = "\xEF\xBB\xBF# name: Mine\r\n# language: fa\r\n# direction: rtl\r\n\r\n";
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) backwards += *r + "\r\n# a comment between\r\n";
    std::string ordered = "# name: Mine\n";
    for (const std::string& r : rows) ordered += r.substr(r.find('|', r.find('|') + 1) + 1) + "\n\n";
    const PackCheck a = Check(backwards), b = Check(ordered);
    ASSERT_TRUE(a.Ok()) << ToUtf8(views::PackRefusal(a, u"a"));
    ASSERT_TRUE(b.Ok()) << ToUtf8(views::PackRefusal(b, u"b"));
    EXPECT_EQ(a.ayat, b.ayat);
    EXPECT_EQ(a.ayat[Global(2, 255)], u"text 2:255");
    EXPECT_EQ(a.head.name, u"Mine");
    EXPECT_EQ(a.head.language, "fa");
    EXPECT_TRUE(a.head.rtl);
    // without a head: the file's name, and the first strong letter's direction
    const PackCheck latin = Check(NumberedPack(), u"my-pack");
    EXPECT_EQ(latin.head.name, u"my-pack");
    EXPECT_FALSE(latin.head.rtl);
    const PackCheck persian = Check(NumberedPack([](int, int) { return "123 ترجمه text"; }));
    EXPECT_TRUE(persian.head.rtl);
    // markup and tabs are text
    const PackCheck markup = Check(NumberedPack([](int s, int a) { return s == 1 && a == 1 ? "<b>bold</b>\tand &amp;" : "x"; }));
    ASSERT_TRUE(markup.Ok());
    EXPECT_EQ(markup.ayat[0], u"<b>bold</b>\tand &amp;");
}

TEST(Packs, RefusedFilesNameTheirFirstProblemsByLine) {
    struct Case {
        const char* what;
        std::string bytes;
        PackProblem::Kind kind;
        std::size_t line;
        const char16_t* said;
    };
    std::string missing = NumberedPack();
    missing.erase(missing.find("2|255|"), missing.find('\n', missing.find("2|255|")) - missing.find("2|255|") + 1);
    std::string ordered6235;
    for (int i = 0; i < 6235; ++i) ordered6235 += "line\n";
    std::string binary(4096, '\0');
    std::mt19937 random(7);
    for (char& c : binary) c = static_cast<char>(random());
    const std::vector<Case> cases = {
        {"an ayah missing", missing, PackProblem::Kind::Missing, 0, u"آیهٔ ۲۵۵ سورهٔ ۲ در پرونده نیست."},
        {"an ayah doubled", NumberedPack() + "2|5|again\n", PackProblem::Kind::Doubled, 6237,
         u"سطر ۶۲۳۷: آیهٔ ۵ سورهٔ ۲ دوباره آمده است (نخست در سطر ۱۲)."},
        {"a surah out of range", NumberedPack() + "115|1|x\n", PackProblem::Kind::OutOfRange, 6237, u"سطر ۶۲۳۷: سورهٔ ۱۱۵ در قرآن نیست."},
        {"an ayah out of range", "2|287|x\n" + NumberedPack(), PackProblem::Kind::OutOfRange, 1, u"سطر ۱: سورهٔ ۲ آیهٔ ۲۸۷ ندارد."},
        {"bad UTF-8", NumberedPack([](int s, int a) { return s == 3 && a == 1 ? std::string("caf\xC3") : "x"; }),
         PackProblem::Kind::NotUtf8, static_cast<std::size_t>(Global(3, 1) + 1), u"متن آن UTF-8 درست نیست"},
        {"a NUL", NumberedPack([](int s, int a) { return s == 1 && a == 2 ? std::string("a\0b", 3) : "x"; }),
         PackProblem::Kind::Control, 2, u"سطر ۲: نویسهٔ کنترلی"},
        {"a line without numbers", NumberedPack() + "no numbers here\n", PackProblem::Kind::NoNumbers, 6237,
         u"سطر ۶۲۳۷: با شمارهٔ سوره و آیه"},
        {"an empty file", "", PackProblem::Kind::Empty, 0, u"پرونده سطری از متن ندارد."},
        {"comments only", "# name: x\n\n# more\n", PackProblem::Kind::Empty, 0, u"پرونده سطری از متن ندارد."},
        {"6235 lines", ordered6235, PackProblem::Kind::LineCount, 0, u"پرونده ۶۲۳۵ سطر متن دارد"},
        {"a binary file", binary, PackProblem::Kind::NotUtf8, 1, u"UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PackCheck check = Check(c.bytes);
        ASSERT_FALSE(check.Ok());
        EXPECT_TRUE(check.ayat.empty());
        EXPECT_EQ(check.problems[0].kind, c.kind);
        EXPECT_EQ(check.problems[0].line, c.line);
        const Text said = views::PackRefusal(check, u"f.txt");
        EXPECT_EQ(said.rfind(u"«f.txt» افزوده نشد:\n", 0), 0u);
        EXPECT_NE(said.find(c.said), Text::npos) << ToUtf8(said);
    }
    // at most five named, the rest counted
    std::string many = NumberedPack();
    for (int i = 0; i < 12; ++i) many += "1|1|again\n";
    const PackCheck check = Check(many);
    EXPECT_EQ(check.problems.size(), kShownProblems);
    EXPECT_EQ(check.moreProblems, 7u);
    EXPECT_NE(views::PackRefusal(check, u"f").find(u"\nو ۷ ایراد دیگر."), Text::npos);
}

TEST(Packs, TheShelfListsHeadsKeepsWholePacksAndLetsTheReadersWin) {
    TempDir shipped, reader;
    WriteFile(shipped.path / "a.txt", "# name: Alpha\n# direction: ltr\n" + NumberedPack());
    WriteFile(shipped.path / "b.txt", "# name: Beta\n" + NumberedPack());
    // a file whose head reads but whose whole does not: listed, refused when read
    WriteFile(shipped.path / "c.txt", "# name: Broken\n" + NumberedPack() + "1|1|twice\n");
    PackShelf shelf(shipped.path, reader.path / "translations");
    ASSERT_EQ(shelf.Entries().size(), 3u);
    EXPECT_EQ(shelf.Entries()[0].head.name, u"Alpha");
    EXPECT_FALSE(shelf.Entries()[0].head.rtl);
    const PackCheck broken = shelf.Load(*shelf.Find(u"Broken"), Counts());
    EXPECT_FALSE(broken.Ok());
    EXPECT_EQ(views::PackRefusal(broken, u"Broken", true).rfind(u"«Broken» خوانده نشد:\nسطر ", 0), 0u);
    EXPECT_TRUE(shelf.Load(*shelf.Find(u"Beta"), Counts()).Ok());

    // a refused file keeps nothing, not even the folder's temporary
    WriteFile(reader.path / "bad.txt", NumberedPack() + "300|1|x\n");
    const PackShelf::Added refused = shelf.Add(reader.path / "bad.txt", Counts());
    EXPECT_FALSE(refused.check.Ok());
    EXPECT_FALSE(refused.entry);
    EXPECT_FALSE(fs::exists(reader.path / "translations") && !fs::is_empty(reader.path / "translations"));

    // a reader's pack of a shipped name stands in its place; one without a
    // name keeps its file's name when kept
    WriteFile(reader.path / "beta-new.txt", "# name: Beta\n" + NumberedPack([](int, int) { return "new"; }));
    WriteFile(reader.path / "My Tafsir.txt", NumberedPack([](int, int) { return "تفسیر"; }));
    ASSERT_TRUE(shelf.Add(reader.path / "beta-new.txt", Counts()).entry);
    const PackShelf::Added tafsir = shelf.Add(reader.path / "My Tafsir.txt", Counts());
    ASSERT_TRUE(tafsir.entry);
    EXPECT_EQ(tafsir.entry->head.name, u"My Tafsir");
    EXPECT_TRUE(tafsir.entry->head.rtl);
    PackShelf again(shipped.path, reader.path / "translations");
    ASSERT_EQ(again.Entries().size(), 4u);
    const PackEntry* beta = again.Find(u"Beta");
    ASSERT_TRUE(beta);
    EXPECT_EQ(beta->from, PackEntry::From::Reader);
    EXPECT_EQ(again.Load(*beta, Counts()).ayat[0], u"new");
    ASSERT_TRUE(again.Find(u"My Tafsir"));
}

TEST(Packs, ATafsirSizedPackIsCheckedAndKeptWithinASecond) {
    TempDir dir;
    // about 5 MB: some 900 bytes of text an ayah
    const std::string long_text = [] {
        std::string t;
        while (t.size() < 900) t += "تفسیر این آیه، و سخنی دیگر ";
        return t;
    }();
    WriteFile(dir.path / "tafsir.txt", "# name: Tafsir\n" + NumberedPack([&](int, int) { return long_text; }));
    const auto size = fs::file_size(dir.path / "tafsir.txt");
    EXPECT_GT(size, 5u << 20);
    PackShelf shelf({}, dir.path / "kept");
    const auto start = std::chrono::steady_clock::now();
    const PackShelf::Added added = shelf.Add(dir.path / "tafsir.txt", Counts());
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(added.entry);
    EXPECT_LT(ms, 1000) << size << " bytes";
    std::printf("a pack of %.1f MB checked and kept in %lld ms\n", static_cast<double>(size) / (1 << 20), static_cast<long long>(ms));
}

TEST(Packs, APacksLinesAndItsSearch) {
    cQ114 m = mushaf::testing::LoadedModel();
    const PackCheck fr = Check(ReadFile(fs::path(MUSHAF_PACK_DIR) / "fr-hamidullah.txt"));
    const TextArray lines = PackLines(fr.ayat, m);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(m.LineCount()));
    // every Bismillah line (ayah 0) carries 1:1, as the built-in translations do
    EXPECT_EQ(lines[7], fr.ayat[0]);
    EXPECT_EQ(lines[8], fr.ayat[Global(2, 1)]);
    m.ChoosePack(std::make_shared<const TextArray>(lines));
    m.GoPosition(8);
    EXPECT_EQ(m.MeanFarsi(), fr.ayat[Global(2, 1)]);
    EXPECT_EQ(m.ChosenTranslation(), cQ114::Translation::Pack);
    // case and accents folded, in the query and in the text
    m.SearchText(u"MISERICORDIEUX");
    m.SearchTo(1);
    m.StartSearch(-1, -1);
    const std::vector<int16_t> found = m.FoundList();
    EXPECT_GT(found.size(), 100u);
    m.SearchText(u"Miséricordieux");
    m.StartSearch(-1, -1);
    EXPECT_EQ(m.FoundList(), found);
    // the second translation searched apart: the transliteration, its underlines passed over
    const PackCheck lt = Check(ReadFile(fs::path(MUSHAF_PACK_DIR) / "en-transliteration.txt"));
    m.SecondTranslation(std::make_shared<const TextArray>(PackLines(lt.ayat, m)));
    m.SearchText(u"alhamdu lillahi");
    m.SearchTo(2);
    m.StartSearch(-1, -1);
    ASSERT_FALSE(m.FoundList().empty());
    EXPECT_EQ(m.FoundList().front(), 1);  // 1:2
    EXPECT_EQ(m.SecondAt(1), lt.ayat[1]);
    // and the built-in translations are searched as they were
    m.ChooseTranslation(cQ114::Translation::Ansarian);
    m.SearchText(u"MISERICORDIEUX");
    m.SearchTo(1);
    m.StartSearch(-1, -1);
    EXPECT_TRUE(m.FoundList().empty());
    EXPECT_EQ(PackSearchForm(u"Ḥamd ÉTÉ Straße"), u"hamd ete straße");
}
