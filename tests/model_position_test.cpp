// Loading and moving the text model.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "tests/Corpus.h"
#include "model/Normalise.h"

using namespace mushaf;
using mushaf::testing::LoadedModel;

namespace {
struct Where {
    int line, soreh, ayeh, joze, hezb, page, total;
};
void ExpectAt(const cQ114& m, Where w) {
    EXPECT_EQ(m.GlobalAyeh(), w.line);
    EXPECT_EQ(m.Soreh(), w.soreh);
    EXPECT_EQ(m.Ayeh(), w.ayeh);
    EXPECT_EQ(m.Joze(), w.joze);
    EXPECT_EQ(m.Hezb(), w.hezb);
    EXPECT_EQ(m.Page(), w.page);
    EXPECT_EQ(m.TotalAyat(), w.total);
}
}  // namespace

TEST(Position, AfterLoadingStandsOnLineZero) {
    cQ114 m = LoadedModel();
    ExpectAt(m, {0, 1, 1, 1, 1, 1, 7});
    EXPECT_EQ(m.MinBound(), 0);
    EXPECT_EQ(m.MaxBound(), 6347);
    EXPECT_EQ(m.SorehName(), u"فاتحه");
    EXPECT_EQ(m.SorehNameArray().size(), 114u);
}

TEST(Position, GoPositionIgnoresLinesOutsideTheCorpus) {
    cQ114 m = LoadedModel();
    m.GoPosition(10);
    m.GoPosition(6348);
    m.GoPosition(-1);
    EXPECT_EQ(m.GlobalAyeh(), 10);
    m.GoPosition(6347);
    ExpectAt(m, {6347, 114, 6, 30, 60, 604, 6});
    // the last line keeps the final U+0000 of its tables
    EXPECT_EQ(m.ArabicByEarab().back(), u'\0');
    EXPECT_EQ(m.MeanFarsi().back(), u'\0');
    EXPECT_EQ(m.SorehName(), Text(u"ناس") + u'\0');
}

TEST(Position, BismillahLines) {
    cQ114 m = LoadedModel();
    m.GoPosition(7);
    ExpectAt(m, {7, 2, 0, 1, 1, 2, 286});
    m.GoSoreh(u"9");
    ExpectAt(m, {1242, 9, 1, 10, 19, 187, 129});
}

TEST(Position, GoByUnitNumbers) {
    cQ114 m = LoadedModel();
    m.GoSoreh(u"2");
    EXPECT_EQ(m.GlobalAyeh(), 7);
    m.GoPage(u"604");
    EXPECT_EQ(m.GlobalAyeh(), 6330);
    m.GoJoze(u"30");
    EXPECT_EQ(m.GlobalAyeh(), 5747);
    m.GoPage(u" 2 ");
    EXPECT_EQ(m.GlobalAyeh(), 7);
    // halves go to the even neighbour: 2.5 - 1 = 1.5 -> index 2 -> page 3
    m.GoPage(u"2.5");
    EXPECT_EQ(m.GlobalAyeh(), 13);
    m.GoPage(u"3.5");  // 2.5 -> index 2
    EXPECT_EQ(m.GlobalAyeh(), 13);
    m.GoPage(u"+1");
    EXPECT_EQ(m.GlobalAyeh(), 0);
}

TEST(Position, AyahOfSurah) {
    cQ114 m = LoadedModel();
    m.GoAyehOfSoreh(u"1", u"7");
    EXPECT_EQ(m.GlobalAyeh(), 6);
    m.GoAyehOfSoreh(u"2", u"0");
    EXPECT_EQ(m.GlobalAyeh(), 7);
    m.GoAyehOfSoreh(u"2", u"1");
    EXPECT_EQ(m.GlobalAyeh(), 8);
    m.GoAyehOfSoreh(u"2", u"5");
    ExpectAt(m, {12, 2, 5, 1, 1, 2, 286});
    m.GoAyehOfSoreh(u"9", u"129");
    EXPECT_EQ(m.Soreh(), 9);
    EXPECT_EQ(m.Ayeh(), 129);
    // beyond the end of a surah: a line of the next one
    m.GoAyehOfSoreh(u"1", u"8");
    EXPECT_EQ(m.GlobalAyeh(), 7);
}

namespace {
// A checker that `call` fails with `message` and leaves m on its line.
auto FailsInPlace(const cQ114& m) {
    const int16_t line = m.GlobalAyeh(), soreh = m.Soreh(), ayeh = m.Ayeh();
    return [&m, line, soreh, ayeh](auto&& call, const char* message) {
        try {
            call();
            ADD_FAILURE() << "no error: " << message;
        } catch (const ModelError& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(m.GlobalAyeh(), line);
        EXPECT_EQ(m.Soreh(), soreh);
        EXPECT_EQ(m.Ayeh(), ayeh);
    };
}
}  // namespace

TEST(Position, FailuresLeaveThePositionAsItWas) {
    cQ114 m = LoadedModel();
    m.GoPosition(100);
    ASSERT_EQ(m.Ayeh(), 93);
    auto expectFails = FailsInPlace(m);
    expectFails([&] { m.GoPage(u"0"); }, "subscript out of range: page 0");
    expectFails([&] { m.GoPage(u"605"); }, "subscript out of range: page 605");
    expectFails([&] { m.GoJoze(u"31"); }, "subscript out of range: juz 31");
    expectFails([&] { m.GoSoreh(u"115"); }, "subscript out of range: surah 115");
    expectFails([&] { m.GoSoreh(u"abc"); }, "type mismatch: surah abc");
    expectFails([&] { m.GoSoreh(u""); }, "type mismatch: surah ");
    expectFails([&] { m.GoSoreh(u"-"); }, "type mismatch: surah -");
    expectFails([&] { m.GoPage(u"1e400"); }, "type mismatch: page 1e400");
    expectFails([&] { m.GoPage(u"99999999999999999999"); }, "subscript out of range: page 99999999999999999999");
    expectFails([&] { m.GoAyehOfSoreh(u"114", u"7"); }, "subscript out of range: line 6348");
    expectFails([&] { m.GoAyehOfSoreh(u"114", u"40000"); }, "overflow: surah 114 ayah 40000");
    expectFails([&] { m.GoAyehOfSoreh(u"x", u"1"); }, "type mismatch: surah x");
    expectFails([&] { m.GoAyehOfSoreh(u"2", u""); }, "type mismatch: ayah ");
}

TEST(Position, TextsOfALine) {
    cQ114 m = LoadedModel();
    for (int line = 0; line < 6347; line += 7) {
        m.GoPosition(static_cast<int16_t>(line));
        for (char16_t c : m.ArabicNoEarab()) {
            ASSERT_FALSE(IsMark(c)) << line;
            ASSERT_NE(c, u'\u0623');
            ASSERT_NE(c, u'\u0625');
        }
        ASSERT_FALSE(m.ArabicByEarab().empty());
        ASSERT_NE(m.ArabicByEarab().front(), u' ');
        ASSERT_NE(m.ArabicByEarab().back(), u' ');
        ASSERT_NE(m.MeanFarsi().front(), u' ');
        ASSERT_NE(m.MeanFarsi().back(), u' ');
    }
    // U+0622 and U+0629 stay in the text shown without marks
    m.GoAyehOfSoreh(u"2", u"4");
    EXPECT_NE(m.ArabicNoEarab().find(u'\u0622'), Text::npos);
}

TEST(Position, MissingTableStopsLoadingThere) {
    class Partial : public TableSource {
    public:
        std::optional<std::string> Lookup(std::string_view name, int id) const override {
            if (UpperAscii(name) == "PAGEUNIC") return std::nullopt;
            return mushaf::testing::Tables().Lookup(name, id);
        }
    } partial;
    std::unique_ptr<cQ114> m;
    EXPECT_THROW(SetBounds(m, partial), ModelError);
    ASSERT_TRUE(m);  // created on first use, arrays before the failing one set
    EXPECT_EQ(m->SorehNameArray().size(), 114u);
    EXPECT_EQ(m->MaxBound(), 0);
    UnSetBounds(m);
    EXPECT_FALSE(m);
}

TEST(NumberText, Reading) {
    EXPECT_EQ(*ReadNumber(Text(u"5747") + u'\0'), 5747);
    EXPECT_EQ(*ReadNumber(u"  -12.5 "), -12.5);
    EXPECT_EQ(*ReadNumber(u".5"), 0.5);
    EXPECT_EQ(*ReadNumber(u"007"), 7);
    for (const char16_t* bad : {u"", u" ", u"-", u".", u"1.2.3", u"1 2", u"x1", u"1x", u"--1", u"\u06F1"})
        EXPECT_FALSE(ReadNumber(bad)) << ToUtf8(bad);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(NumberText, EveryFormReadAsBefore) {
    EXPECT_EQ(*ReadNumber(u"5."), 5);
    EXPECT_EQ(*ReadNumber(u"+7"), 7);
    EXPECT_EQ(*ReadNumber(u" 2.5 "), 2.5);
    EXPECT_EQ(*ReadNumber(u"-.25"), -0.25);
    EXPECT_EQ(*ReadNumber(u"0.1"), 0.1);
    EXPECT_EQ(*ReadNumber(u"123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_TRUE(std::signbit(*ReadNumber(u"-0")));
    EXPECT_EQ(*ReadNumber(u"12\u0000x"), 12);
    EXPECT_FALSE(ReadNumber(u"\u0000 12"));
    // beyond the range of a double: infinity, and zero below it
    EXPECT_EQ(*ReadNumber(u"1" + Text(400, u'0')), HUGE_VAL);
    EXPECT_EQ(*ReadNumber(u"-1" + Text(400, u'0')), -HUGE_VAL);
    EXPECT_EQ(*ReadNumber(u"0." + Text(400, u'0') + u"1"), 0);
    for (const char16_t* bad : {u"1e5", u"0x10", u"inf", u"nan", u"2,5", u"+-1", u"\t1"})
        EXPECT_FALSE(ReadNumber(bad)) << ToUtf8(bad);
}

namespace {
// Numbers under a German locale (decimal comma): the system's, or one made
// with localedef in a temporary folder. False when neither can be had.
bool GermanNumbers(const std::filesystem::path& scratch) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
        if (std::setlocale(LC_NUMERIC, name)) return true;
    std::filesystem::create_directories(scratch);
    std::string cmd = "localedef -i de_DE -f UTF-8 " + (scratch / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == -1) return false;
    setenv("LOCPATH", scratch.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}
}  // namespace

TEST(NumberText, ReadingIgnoresTheLocale) {
    auto scratch = std::filesystem::temp_directory_path() / ("mushaf-locale-" + std::to_string(::getpid()));
    bool german = GermanNumbers(scratch);
    if (german) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
        EXPECT_EQ(*ReadNumber(u"2.5"), 2.5);
        EXPECT_EQ(*ReadNumber(u" -12.75 "), -12.75);
        EXPECT_FALSE(ReadNumber(u"2,5"));
    }
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::filesystem::remove_all(scratch);
    if (!german) GTEST_SKIP() << "no locale with a decimal comma";
}

TEST(Utf8, MalformedBytesNeverDecodeToCharacters) {
    // overlong forms, surrogates, beyond U+10FFFF, bytes that never lead,
    // stray continuation bytes, a sequence cut short
    for (std::string bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
                            "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80",
                            "\xF7\xBF\xBF\xBF", "\xF8\x88\x80\x80\x80", "\xFF", "\x80", "\xBF\x80", "\xE2\x82",
                            "\xF0\x9F\x98"}) {
        std::size_t at = 99;
        EXPECT_FALSE(FromUtf8Checked("5" + bad + "x", &at));
        EXPECT_EQ(at, 1u);
        Text t = FromUtf8("5" + bad + "x");
        ASSERT_GE(t.size(), 3u);
        EXPECT_EQ(t.front(), u'5');
        EXPECT_EQ(t.back(), u'x');
        for (char16_t c : TextView(t).substr(1, t.size() - 2)) EXPECT_EQ(c, u'\uFFFD') << ToUtf8(t);
    }
    // the edges of the valid forms decode and encode back unchanged
    for (std::string good : {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xEE\x80\x80",
                             "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"})
    {
        EXPECT_EQ(ToUtf8(FromUtf8(good)), good);
        EXPECT_EQ(FromUtf8Checked(good), FromUtf8(good));
    }
    EXPECT_EQ(FromUtf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

namespace {
using Translation = cQ114::Translation;

Text TableLine(const char* table, int line) {
    static std::map<std::string, TextArray> loaded;
    auto& t = loaded[table];
    if (t.empty()) t = LoadTable(mushaf::testing::Tables(), table);
    return Text(TrimSpaces(t.at(line)));
}

// A model loaded as before the Uthmani text and the second translation came.
cQ114 ModelWithoutNewTables() {
    const TableSource& t = mushaf::testing::Tables();
    cQ114 m;
    m.QrArray(LoadTable(t, "Ar"));
    m.MeanFaArray(LoadTable(t, "Fa"));
    m.SorehNameArray(LoadTable(t, "SorehName"));
    m.SorehUnicArray(LoadTable(t, "SorehUnic"));
    m.HezbUnicArray(LoadTable(t, "HezbUnic"));
    m.JozeUnicArray(LoadTable(t, "JozeUnic"));
    m.PageUnicArray(LoadTable(t, "PageUnic"));
    m.TotalAyatArray(LoadTable(t, "AyehOfSoreh"));
    m.BaseDataArray(LoadTable(t, "Base"));
    return m;
}
}  // namespace

TEST(Position, EveryMoveSetsTheUthmaniText) {
    cQ114 m = LoadedModel();
    EXPECT_EQ(m.ArabicUthmani(), TableLine("UTHMANI", 0));
    auto expectLine = [&](const char* how) {
        EXPECT_EQ(m.ArabicUthmani(), TableLine("UTHMANI", m.GlobalAyeh())) << how;
        EXPECT_EQ(m.ArabicByEarab(), TableLine("AR", m.GlobalAyeh())) << how;
    };
    m.GoPosition(3000);
    expectLine("line");
    m.GoSoreh(u"2");
    expectLine("surah");
    // the Bismillah line of surah 2 and 2:1 in the Uthmani script
    EXPECT_EQ(m.ArabicUthmani(), TableLine("UTHMANI", 0));
    m.GoAyehOfSoreh(u"2", u"1");
    expectLine("ayah");
    EXPECT_EQ(m.ArabicUthmani(), u"الٓمٓ");
    m.GoPage(u"300");
    expectLine("page");
    m.GoJoze(u"30");
    expectLine("juz");
    m.GoPosition(6347);
    EXPECT_EQ(m.ArabicUthmani().back(), u'\0');
    // a failing move leaves it with the rest of the position
    m.GoPosition(500);
    EXPECT_THROW(m.GoPage(u"605"), ModelError);
    expectLine("after a failure");
    // the search document leaves the position on its last line
    m.SearchText(u"الحمد لله");
    m.StartSearch(-1, -1);
    m.GetOutputOfSearch(true);
    EXPECT_EQ(m.GlobalAyeh(), m.FoundList().back());
    expectLine("search document");
}

TEST(Translation, ChoiceKeepsThePositionAndFollowsEveryMove) {
    cQ114 m = LoadedModel();
    EXPECT_EQ(m.ChosenTranslation(), Translation::Ansarian);
    m.GoAyehOfSoreh(u"2", u"255");
    const int line = m.GlobalAyeh();
    const Where where{line, m.Soreh(), m.Ayeh(), m.Joze(), m.Hezb(), m.Page(), m.TotalAyat()};
    EXPECT_EQ(where.ayeh, 255);
    const Text arabic = m.ArabicByEarab(), uthmani = m.ArabicUthmani(), ansarian = m.MeanFarsi();
    EXPECT_EQ(ansarian, TableLine("FA", line));

    m.ChooseTranslation(Translation::Fooladvand);
    EXPECT_EQ(m.ChosenTranslation(), Translation::Fooladvand);
    EXPECT_EQ(m.MeanFarsi(), TableLine("FA2", line));
    EXPECT_NE(m.MeanFarsi(), ansarian);
    ExpectAt(m, where);
    EXPECT_EQ(m.ArabicByEarab(), arabic);
    EXPECT_EQ(m.ArabicUthmani(), uthmani);

    // every move keeps the choice
    for (auto move : std::initializer_list<std::function<void()>>{
             [&] { m.GoPosition(4000); }, [&] { m.GoSoreh(u"9"); }, [&] { m.GoAyehOfSoreh(u"36", u"0"); },
             [&] { m.GoPage(u"604"); }, [&] { m.GoJoze(u"15"); }}) {
        move();
        EXPECT_EQ(m.MeanFarsi(), TableLine("FA2", m.GlobalAyeh())) << m.GlobalAyeh();
    }
    // the Bismillah line of surah 36 takes 1:1 of the chosen translation
    m.GoAyehOfSoreh(u"36", u"0");
    EXPECT_EQ(m.MeanFarsi(), TableLine("FA2", 0));
    // the exported document shows the chosen translation too
    m.FishClean();
    m.FishAdder(1242);
    m.ExportFolder = std::filesystem::temp_directory_path() / ("mushaf-translation-" + std::to_string(::getpid()));
    auto out = m.GetOutputOfFish(false);
    ASSERT_TRUE(out);
    EXPECT_NE(out->document.find(TableLine("FA2", 1242)), Text::npos);
    EXPECT_EQ(out->document.find(TableLine("FA", 1242)), Text::npos);
    std::filesystem::remove_all(m.ExportFolder);

    m.ChooseTranslation(Translation::Ansarian);
    EXPECT_EQ(m.MeanFarsi(), TableLine("FA", m.GlobalAyeh()));
    m.ChooseTranslation(Translation::Ansarian);  // choosing again changes nothing
    EXPECT_EQ(m.MeanFarsi(), TableLine("FA", m.GlobalAyeh()));
}

TEST(Translation, AModelWithoutTheNewTablesWorksAsBefore) {
    cQ114 old = ModelWithoutNewTables(), full = LoadedModel();
    for (int line : {0, 7, 8, 1242, 6347}) {
        old.GoPosition(static_cast<int16_t>(line));
        full.GoPosition(static_cast<int16_t>(line));
        EXPECT_EQ(old.ArabicByEarab(), full.ArabicByEarab());
        EXPECT_EQ(old.ArabicNoEarab(), full.ArabicNoEarab());
        EXPECT_EQ(old.MeanFarsi(), full.MeanFarsi());
        EXPECT_EQ(old.SorehName(), full.SorehName());
        EXPECT_TRUE(old.ArabicUthmani().empty());
    }
    // there is no second translation to choose: an error, and nothing changes
    old.GoPosition(100);
    Text before = old.MeanFarsi();
    EXPECT_THROW(old.ChooseTranslation(Translation::Fooladvand), SubscriptOutOfRange);
    EXPECT_EQ(old.ChosenTranslation(), Translation::Ansarian);
    EXPECT_EQ(old.MeanFarsi(), before);
    EXPECT_EQ(old.GlobalAyeh(), 100);
    old.GoPosition(101);
    EXPECT_EQ(old.MeanFarsi(), TableLine("FA", 101));
}

TEST(Records, ConstAccessorsGiveWhatAMoveToTheLineGives) {
    const cQ114 loaded = LoadedModel();
    EXPECT_EQ(loaded.LineCount(), 6348);
    for (Translation translation : {Translation::Ansarian, Translation::Fooladvand}) {
        SCOPED_TRACE(static_cast<int>(translation));
        cQ114 mover = loaded, reader = loaded;
        mover.ChooseTranslation(translation);
        reader.ChooseTranslation(translation);
        for (int16_t line = 0; line < loaded.LineCount(); ++line) {
            mover.GoPosition(line);
            ASSERT_EQ(mover.GlobalAyeh(), line);
            const cQ114::Line& at = reader.LineAt(line);
            ASSERT_EQ(at, (cQ114::Line{mover.Soreh(), mover.Ayeh(), mover.Joze(), mover.Hezb(), mover.Page()})) << line;
            ASSERT_EQ(reader.TotalAyatOf(at.soreh), mover.TotalAyat()) << line;
            ASSERT_EQ(reader.SorehNameOf(at.soreh), mover.SorehName()) << line;
            ASSERT_EQ(reader.ArabicByEarabAt(line), mover.ArabicByEarab()) << line;
            ASSERT_EQ(reader.ArabicNoEarabAt(line), mover.ArabicNoEarab()) << line;
            ASSERT_EQ(reader.ArabicUthmaniAt(line), mover.ArabicUthmani()) << line;
            ASSERT_EQ(reader.MeanFarsiAt(line), mover.MeanFarsi()) << line;
        }
        // reading moved nothing
        EXPECT_EQ(reader.GlobalAyeh(), 0);
        EXPECT_EQ(reader.ArabicByEarab(), loaded.ArabicByEarab());
    }
}

TEST(Records, FirstLinesAreWhereTheMovesGo) {
    cQ114 m = LoadedModel();
    const cQ114 reader = m;
    EXPECT_EQ(reader.SorehCount(), 114);
    EXPECT_EQ(reader.JozeCount(), 30);
    EXPECT_EQ(reader.HezbCount(), 60);
    EXPECT_EQ(reader.PageCount(), 604);
    struct Unit {
        int count;
        std::function<int16_t(int16_t)> first;
        std::function<void(const Text&)> go;
    };
    for (const Unit& u : {Unit{114, [&](int16_t n) { return reader.SorehFirstLine(n); }, [&](const Text& t) { m.GoSoreh(t); }},
                          Unit{30, [&](int16_t n) { return reader.JozeFirstLine(n); }, [&](const Text& t) { m.GoJoze(t); }},
                          Unit{604, [&](int16_t n) { return reader.PageFirstLine(n); }, [&](const Text& t) { m.GoPage(t); }}}) {
        for (int16_t n = 1; n <= u.count; ++n) {
            u.go(Decimal(n));
            ASSERT_EQ(u.first(n), m.GlobalAyeh()) << n;
        }
    }
    // no move goes to a hizb: its first line is the one where the hizb number steps up to it
    for (int16_t h = 1; h <= 60; ++h) {
        int16_t line = reader.HezbFirstLine(h);
        EXPECT_EQ(reader.LineAt(line).hezb, h);
        if (line > 0) EXPECT_EQ(reader.LineAt(static_cast<int16_t>(line - 1)).hezb, h - 1);
    }
}

TEST(Records, OutsideTheTablesTheAccessorsThrowAsTheMovesDo) {
    const cQ114 m = LoadedModel();
    auto expectFails = [](auto&& call, const char* message) {
        try {
            call();
            ADD_FAILURE() << "no error: " << message;
        } catch (const SubscriptOutOfRange& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    // the lines GoPosition ignores
    for (int16_t line : {int16_t(-1), int16_t(6348), int16_t(-32768)}) {
        std::string message = "subscript out of range: line " + std::to_string(line);
        expectFails([&] { m.LineAt(line); }, message.c_str());
        expectFails([&] { m.ArabicByEarabAt(line); }, message.c_str());
        expectFails([&] { m.ArabicNoEarabAt(line); }, message.c_str());
        expectFails([&] { m.ArabicUthmaniAt(line); }, message.c_str());
        expectFails([&] { m.MeanFarsiAt(line); }, message.c_str());
    }
    expectFails([&] { m.SorehFirstLine(0); }, "subscript out of range: surah 0");
    expectFails([&] { m.SorehFirstLine(115); }, "subscript out of range: surah 115");
    expectFails([&] { m.JozeFirstLine(31); }, "subscript out of range: juz 31");
    expectFails([&] { m.HezbFirstLine(61); }, "subscript out of range: hizb 61");
    expectFails([&] { m.PageFirstLine(605); }, "subscript out of range: page 605");
    expectFails([&] { m.TotalAyatOf(115); }, "subscript out of range: surah 115");
    expectFails([&] { m.SorehNameOf(-3); }, "subscript out of range: surah -3");
}

namespace {
// A model loaded from the tables with some elements changed first.
cQ114 ModelWithElements(std::map<std::pair<std::string, int>, Text> changes) {
    const TableSource& t = mushaf::testing::Tables();
    auto table = [&](const std::string& name) {
        TextArray a = LoadTable(t, name);
        for (const auto& [where, text] : changes)
            if (where.first == name) a.at(where.second) = text;
        return a;
    };
    cQ114 m;
    m.QrArray(table("AR"));
    m.MeanFaArray(table("FA"));
    m.SorehNameArray(table("SOREHNAME"));
    m.SorehUnicArray(table("SOREHUNIC"));
    m.HezbUnicArray(table("HEZBUNIC"));
    m.JozeUnicArray(table("JOZEUNIC"));
    m.PageUnicArray(table("PAGEUNIC"));
    m.TotalAyatArray(table("AYEHOFSOREH"));
    m.BaseDataArray(table("BASE"));
    return m;
}
}  // namespace

TEST(Records, AMalformedElementFailsWhereItIsUsed) {
    // line 100 (2:93) with a letter in its ayah field, surah 3 with no ayah
    // count, surah 4 with too many, page 10 with no first line, juz' 2 with
    // one past any line
    cQ114 m = ModelWithElements({{{"BASE", 100}, u"0020x301001011"},
                                 {{"AYEHOFSOREH", 2}, u"abc"},
                                 {{"AYEHOFSOREH", 3}, u"40000"},
                                 {{"PAGEUNIC", 9}, u"x9"},
                                 {{"JOZEUNIC", 1}, u"99999"}});
    m.GoPosition(50);
    ASSERT_EQ(m.Ayeh(), 43);
    auto expectFails = FailsInPlace(m);
    const cQ114& reader = m;
    expectFails([&] { m.GoPosition(100); }, "type mismatch: position record 0x3");
    expectFails([&] { reader.LineAt(100); }, "type mismatch: position record 0x3");
    expectFails([&] { reader.MeanFarsiAt(100); }, "type mismatch: position record 0x3");
    expectFails([&] { m.GoSoreh(u"3"); }, "type mismatch: ayah count abc");
    expectFails([&] { reader.TotalAyatOf(3); }, "type mismatch: ayah count abc");
    expectFails([&] { reader.ArabicByEarabAt(reader.SorehFirstLine(3)); }, "type mismatch: ayah count abc");
    expectFails([&] { m.GoAyehOfSoreh(u"4", u"2"); }, "overflow: ayah count");
    expectFails([&] { m.GoPage(u"10"); }, "type mismatch: first-line table x9");
    expectFails([&] { reader.PageFirstLine(10); }, "type mismatch: first-line table x9");
    expectFails([&] { m.GoJoze(u"2"); }, "overflow: first-line table");
    // the rest of each table serves as before
    m.GoPosition(101);
    EXPECT_EQ(m.Ayeh(), 94);
    m.GoPage(u"11");
    EXPECT_EQ(m.Page(), 11);
    m.GoSoreh(u"5");
    EXPECT_EQ(m.TotalAyat(), 120);
}

TEST(Records, AFractionalFirstLineIsRoundedByTheSurahMoveAndCutByTheAyahMove) {
    // surah 4 begins on line 495; written as 494.6, GoSoreh rounds it to 495
    // and GoAyehOfSoreh cuts it to 494 before adding the ayah
    cQ114 m = ModelWithElements({{{"SOREHUNIC", 3}, u"494.6"}});
    m.GoSoreh(u"4");
    EXPECT_EQ(m.GlobalAyeh(), 495);
    EXPECT_EQ(m.SorehFirstLine(4), 495);
    m.GoAyehOfSoreh(u"4", u"1");
    EXPECT_EQ(m.GlobalAyeh(), 495);
    m.GoAyehOfSoreh(u"4", u"0");
    EXPECT_EQ(m.GlobalAyeh(), 494);
    EXPECT_EQ(m.Soreh(), 3);
}

TEST(Records, AMalformedFirstRecordFailsTheLoadAsBefore) {
    // the model cannot stand on line 0: loading the records throws, with the
    // bounds already set, and every other line can still be reached
    const TableSource& t = mushaf::testing::Tables();
    TextArray base = LoadTable(t, "BASE");
    base[0] = u"001001";
    cQ114 m;
    m.QrArray(LoadTable(t, "AR"));
    m.MeanFaArray(LoadTable(t, "FA"));
    m.SorehNameArray(LoadTable(t, "SOREHNAME"));
    m.TotalAyatArray(LoadTable(t, "AYEHOFSOREH"));
    try {
        m.BaseDataArray(base);
        ADD_FAILURE() << "no error";
    } catch (const TypeMismatch& e) {
        EXPECT_STREQ(e.what(), "type mismatch: position record 0");
    }
    EXPECT_EQ(m.MaxBound(), 6347);
    EXPECT_EQ(m.LineCount(), 6348);
    m.GoPosition(5);
    EXPECT_EQ(m.GlobalAyeh(), 5);
    EXPECT_EQ(m.Ayeh(), 6);
}
