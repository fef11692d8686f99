// The fish list and the HTML rendering of line lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "Corpus.h"
#include "Normalise.h"

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
