// The fish list and the HTML rendering of line lists.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/Corpus.h"
#include "model/Normalise.h"

using namespace mushaf;
using mushaf::testing::LoadedModel;

TEST(Fish, AddFindRemove) {
    cQ114 m = LoadedModel();
    m.FishClean();  // on an empty list
    EXPECT_EQ(m.FishList(), u"");
    m.FishAdder(7);
    m.FishAdder(8);
    m.FishAdder(6347);
    EXPECT_EQ(m.FishList(), u"7 8 6347");
    m.FishAdder(8);
    EXPECT_EQ(m.FishList(), u"7 8 6347 8");
    EXPECT_EQ(m.FishIsExist(8), 2);
    EXPECT_EQ(m.FishIsExist(9), 0);
    m.FishRemove(8);
    EXPECT_EQ(m.FishList(), u"7 6347 8");
    m.FishRemove(9);
    EXPECT_EQ(m.FishList(), u"7 6347 8");
    m.FishClean();
    EXPECT_TRUE(m.FishCollection().empty());
}

TEST(Fish, ListTextIsReadBack) {
    cQ114 m = LoadedModel();
    m.GoPosition(40);
    m.FishList(u"  12 x 007 ");
    EXPECT_EQ(m.FishList(), u"12 007");
    EXPECT_EQ(m.FishIsExist(7), 2);
    EXPECT_EQ(m.FishIsExist(12), 1);
    m.FishList(u"-3 2.5");  // signs and a decimal point count as numbers
    EXPECT_EQ(m.FishList(), u"-3 2.5");
    EXPECT_EQ(m.FishIsExist(2), 2);  // 2.5 taken down to 2
    m.FishList(u"");
    EXPECT_EQ(m.FishList(), u"");
    EXPECT_EQ(m.GlobalAyeh(), 40);
}

TEST(Export, TemplatePieces) {
    Text t = cQ114::MyTemplate();
    auto pieces = Split(t, u"\r\n");
    ASSERT_EQ(pieces.size(), 22u);
    EXPECT_EQ(pieces[0], u"<html dir=\"rtl\">");
    EXPECT_EQ(pieces[9], u"<!--repeat-->");
    EXPECT_EQ(pieces[14], u"<!--repeat-->");
    EXPECT_EQ(pieces[21], u"</html>");
    EXPECT_NE(pieces[19].find(u"target=\"_blank\""), Text::npos);
}

TEST(Export, SearchDocument) {
    cQ114 m = LoadedModel();
    EXPECT_EQ(m.GetOutputOfSearch(true), u"");  // nothing found yet
    m.FoundList({7});
    m.SearchText(u"بسم");
    Text doc = m.GetOutputOfSearch(false);
    EXPECT_NE(doc.find(u"<a id='7' href='#'>1 - سوره: بقره (2)</a>"), Text::npos);
    EXPECT_EQ(doc.find(u"class=\"ByEarab\""), Text::npos);
    EXPECT_EQ(doc.find(u"آيه:"), Text::npos);  // a Bismillah line has no ayah part
    EXPECT_NE(doc.find(u"<title>جستجوي : بسم | تعداد يافته ها : 1</title>"), Text::npos);
    EXPECT_NE(doc.find(u"<caption>جستجوي : بسم | تعداد يافته ها : 1</caption>"), Text::npos);
    for (char16_t c : doc) ASSERT_FALSE(IsMark(c));

    m.FoundList({0, 12});
    doc = m.GetOutputOfSearch(true);
    EXPECT_NE(doc.find(u"2 - سوره: بقره (2) - آيه: 5"), Text::npos);
    EXPECT_NE(doc.find(u"class=\"ByEarab\""), Text::npos);
    EXPECT_EQ(m.GlobalAyeh(), 12);  // left on the last listed line
    // head, the sections and the tail, joined as the template has them
    EXPECT_EQ(doc.substr(0, 16), u"<html dir=\"rtl\">");
    EXPECT_NE(doc.find(u"</caption>\r\n\r\n\r\n\r\n<tr>"), Text::npos);
    EXPECT_NE(doc.find(u"</td></tr>\r\n\r\n\r\n</table></center>"), Text::npos);
}

TEST(Export, FishDocumentIsWrittenToADatedFile) {
    cQ114 m = LoadedModel();
    auto dir = std::filesystem::temp_directory_path() / ("mushaf-export-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    m.ExportFolder = dir / "Zendar";
    m.LocalTime = [] {
        std::tm t{};
        t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 7, t.tm_hour = 13, t.tm_min = 45, t.tm_sec = 9;
        return t;
    };
    EXPECT_FALSE(m.GetOutputOfFish(true));  // empty list: nothing
    EXPECT_FALSE(std::filesystem::exists(m.ExportFolder));

    m.GoPosition(100);
    m.FishAdder(6);
    m.FishAdder(7);
    auto out = m.GetOutputOfFish(true);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->file, m.ExportFolder / "26-12-07-13-45-09.htm");
    EXPECT_EQ(m.GlobalAyeh(), 100);  // restored
    EXPECT_NE(out->document.find(u"<caption>ليست فيش ها</caption>"), Text::npos);
    EXPECT_NE(out->document.find(u"<a id='6' href='#'>1 - سوره: فاتحه (1) - آيه: 7</a>"), Text::npos);
    std::ifstream in(out->file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + ToUtf8(out->document));

    // a file standing where the folder should be
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "Zendar") << "x";
    EXPECT_THROW(m.GetOutputOfFish(false), ModelError);
    std::filesystem::remove_all(dir);
}

TEST(Fish, PositionsNeverWrap) {
    cQ114 m = LoadedModel();
    for (int i = 0; i < 32766; ++i) m.FishAdder(0);
    m.FishAdder(5);
    EXPECT_EQ(m.FishIsExist(5), 32767);
    // a 32 768th entry could not be counted
    EXPECT_THROW(m.FishAdder(9), Overflow);
    EXPECT_EQ(m.FishCollection().size(), 32767u);
    EXPECT_EQ(m.FishIsExist(9), 0);
    m.FishRemove(5);
    EXPECT_EQ(m.FishCollection().size(), 32766u);
    EXPECT_EQ(m.FishIsExist(5), 0);

    // a list text with more entries than that is refused and nothing changes
    m.FishList(u"3 4");
    m.GoPosition(70);
    Text many;
    for (int i = 0; i < 40000; ++i) many += i == 35000 ? u"9 " : u"1 ";
    EXPECT_THROW(m.FishList(many), Overflow);
    EXPECT_EQ(m.FishList(), u"3 4");
    EXPECT_EQ(m.GlobalAyeh(), 70);
    // entries that are no numbers do not count towards the bound
    Text fits = many.substr(0, 2 * 32767) + u"x y z";
    m.FishList(fits);
    EXPECT_EQ(m.FishCollection().size(), 32767u);
}

namespace {
// A fresh export folder under the temporary folder, removed at the end.
struct ExportDir {
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("mushaf-export-" + std::to_string(::getpid()) + "-" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ExportDir() { std::filesystem::remove_all(root); }
    ~ExportDir() { std::filesystem::remove_all(root); }
    std::vector<std::string> Files(const std::filesystem::path& dir) const {
        std::vector<std::string> names;
        for (auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::tm OneSecond() {
    std::tm t{};
    t.tm_year = 125, t.tm_mon = 2, t.tm_mday = 4, t.tm_hour = 5, t.tm_min = 6, t.tm_sec = 7;
    return t;
}
}  // namespace

TEST(Export, FishExportsInOneSecondKeepEveryFile) {
    ExportDir dir;
    cQ114 m = LoadedModel();
    m.ExportFolder = dir.root;
    m.LocalTime = OneSecond;
    m.FishAdder(6);
    auto first = m.GetOutputOfFish(true);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->file, dir.root / "25-03-04-05-06-07.htm");
    m.FishAdder(7);
    auto second = m.GetOutputOfFish(false);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->file, dir.root / "25-03-04-05-06-07-2.htm");
    // a name taken by some other file is passed over too
    std::ofstream(dir.root / "25-03-04-05-06-07-3.htm") << "theirs";
    auto fourth = m.GetOutputOfFish(true);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(fourth->file, dir.root / "25-03-04-05-06-07-4.htm");

    EXPECT_EQ(Bytes(first->file), "\xEF\xBB\xBF" + ToUtf8(first->document));
    EXPECT_EQ(Bytes(second->file), "\xEF\xBB\xBF" + ToUtf8(second->document));
    EXPECT_EQ(Bytes(dir.root / "25-03-04-05-06-07-3.htm"), "theirs");
    EXPECT_EQ(Bytes(fourth->file), "\xEF\xBB\xBF" + ToUtf8(fourth->document));
    EXPECT_EQ(dir.Files(dir.root).size(), 4u);  // no temporary file left behind
}

TEST(Export, AFailedFishWriteLeavesNoFile) {
    ExportDir dir;
    cQ114 m = LoadedModel();
    m.ExportFolder = dir.root;
    m.LocalTime = OneSecond;
    for (int16_t line : {6, 7, 8, 9}) m.FishAdder(line);
    m.GoPosition(200);
    std::filesystem::create_directories(dir.root);
    // files may grow to 1000 bytes only: the write fails part way (a full
    // disk, seen the same way); root is bound by the limit too
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        m.GetOutputOfFish(true);
    } catch (const ModelError& e) {
        threw = true;
        EXPECT_NE(std::string(e.what()).find("path/file access error"), std::string::npos) << e.what();
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_TRUE(dir.Files(dir.root).empty());
    EXPECT_EQ(m.GlobalAyeh(), 200);
    EXPECT_EQ(m.FishList(), u"6 7 8 9");
    // with room again the same export goes through under the plain name
    auto out = m.GetOutputOfFish(true);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->file, dir.root / "25-03-04-05-06-07.htm");
}

TEST(Export, FailedExportsLeaveTheModelAsItWas) {
    ExportDir dir;
    cQ114 m = LoadedModel();
    m.LocalTime = OneSecond;
    m.GoPosition(100);
    const cQ114 at100 = m;
    auto samePlace = [&](const char* what) {
        EXPECT_EQ(m.GlobalAyeh(), at100.GlobalAyeh()) << what;
        EXPECT_EQ(m.Soreh(), at100.Soreh()) << what;
        EXPECT_EQ(m.Ayeh(), at100.Ayeh()) << what;
        EXPECT_EQ(m.Joze(), at100.Joze()) << what;
        EXPECT_EQ(m.Hezb(), at100.Hezb()) << what;
        EXPECT_EQ(m.Page(), at100.Page()) << what;
        EXPECT_EQ(m.TotalAyat(), at100.TotalAyat()) << what;
        EXPECT_EQ(m.SorehName(), at100.SorehName()) << what;
        EXPECT_EQ(m.ArabicByEarab(), at100.ArabicByEarab()) << what;
        EXPECT_EQ(m.ArabicNoEarab(), at100.ArabicNoEarab()) << what;
        EXPECT_EQ(m.MeanFarsi(), at100.MeanFarsi()) << what;
    };

    // a file standing where the folder should be
    std::filesystem::create_directories(dir.root);
    std::ofstream(dir.root / "Zendar") << "x";
    m.ExportFolder = dir.root / "Zendar";
    m.FishList(u"1 2 5");
    EXPECT_THROW(m.GetOutputOfFish(false), ModelError);
    samePlace("folder is a file");
    EXPECT_EQ(m.FishList(), u"1 2 5");

    // a listed line outside the corpus, after two that render
    m.ExportFolder = dir.root / "out";
    m.FishList(u"1 2 x 7000 -5");
    EXPECT_THROW(m.GetOutputOfFish(false), SubscriptOutOfRange);
    samePlace("fish line 7000");
    EXPECT_FALSE(std::filesystem::exists(m.ExportFolder));

    // the same for the search document
    m.FoundList({3, 4, 9999});
    m.SearchText(u"x");
    EXPECT_THROW(m.GetOutputOfSearch(true), SubscriptOutOfRange);
    samePlace("found line 9999");
    EXPECT_EQ(m.FoundList(), (std::vector<int16_t>{3, 4, 9999}));
}

TEST(Export, TheLastLineLeavesWithoutItsTableEnd) {
    // the tables' last line (surah 114's last ayah, and the surah's name)
    // ends in U+0000 as stored; what is written for a reader does not
    cQ114 m = LoadedModel();
    m.GoPosition(6347);
    ASSERT_EQ(m.MeanFarsi().back(), u'\0');
    ASSERT_EQ(m.SorehName().back(), u'\0');
    auto dir = std::filesystem::temp_directory_path() / ("mushaf-export-nul-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    m.ExportFolder = dir;
    for (bool withEarab : {true, false}) {
        SCOPED_TRACE(withEarab ? "with marks" : "without marks");
        m.FoundList({6340, 6347});
        m.SearchText(u"ناس");
        const Text search = m.GetOutputOfSearch(withEarab);
        EXPECT_EQ(search.find(u'\0'), Text::npos);
        // the place and the texts of the line are all there, only the U+0000 gone
        EXPECT_NE(search.find(u"<a id='6347' href='#'>2 - سوره: ناس (114) - آيه: 6</a>"), Text::npos);
        const Text farsi = m.MeanFarsiAt(6347);
        EXPECT_NE(search.find(u"<tr><td>" + farsi.substr(0, farsi.size() - 1) + u"</td></tr>"), Text::npos);

        m.FishClean();
        m.FishAdder(6347);
        m.FishAdder(6331);
        auto out = m.GetOutputOfFish(withEarab);
        ASSERT_TRUE(out);
        EXPECT_EQ(out->document.find(u'\0'), Text::npos);
        std::ifstream in(out->file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_GT(bytes.size(), 1000u);
        EXPECT_EQ(bytes.find('\0'), std::string::npos);
        EXPECT_NE(bytes.find(ToUtf8(u"1 - سوره: ناس (114) - آيه: 6</a>")), std::string::npos);
    }
    // the model's own fields stay as the tables hold them
    EXPECT_EQ(m.SorehName().back(), u'\0');
    EXPECT_EQ(m.ArabicByEarabAt(6347).back(), u'\0');
    std::filesystem::remove_all(dir);
}
