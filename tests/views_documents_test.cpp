// The pane documents built from the model.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/Pattern.h"
#include "tests/Corpus.h"
#include "views/Documents.h"

using namespace mushaf;
using namespace mushaf::views;
using mushaf::testing::LoadedModel;

namespace {
std::size_t Count(TextView text, TextView what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != TextView::npos; p = text.find(what, p + 1)) ++n;
    return n;
}
}  // namespace

TEST(Documents, BackColourHex) {
    EXPECT_EQ(BackColorHex(0xC8D0D4), u"D4D0C8");
    EXPECT_EQ(BackColorHex(0x000000), u"000000");
    EXPECT_EQ(BackColorHex(0xFF0000), u"0000FF");  // pure blue
    EXPECT_EQ(BackColorHex(0x0000FF), u"FF0000");  // pure red
}

TEST(Documents, ShellDocument) {
    Text shell = ShellDocument(u"D4D0C8");
    EXPECT_EQ(shell.find(u"_BG"), Text::npos);
    EXPECT_NE(shell.find(u"background-color: #D4D0C8;"), Text::npos);
    EXPECT_NE(shell.find(u"\r\n*{font-family: Tahoma;font-size: 13px;}.Radif{width:20;margin:2px 5px 2px 0px;}"
                         u".SorehName{width:80;}.Ayat{width:30; text-align: left;}.NoEarab{"),
              Text::npos);
    EXPECT_NE(shell.find(u"\r\na{text-decoration: none;}</style>\r\n<body>\r\n"), Text::npos);
    EXPECT_EQ(shell.substr(shell.size() - 8), u"<body>\r\n");
    EXPECT_EQ(Count(shell, u"\r\n"), 12u);
}

TEST(Documents, PageOneAndTwo) {
    cQ114 m = LoadedModel();
    Text page1 = PageDocument(m, 0, 6, false, u"D4D0C8");
    EXPECT_NE(page1.find(u"<div id='div0' class='NoEarabBesm'>بسم الله الرحمن الرحيم</div>"), Text::npos);
    EXPECT_EQ(page1.find(u"<a id='0'"), Text::npos);
    EXPECT_NE(page1.find(u"<div id='div1' class='NoEarab'><a id='1' href='#'>2.</a>&nbsp;&nbsp;الحمد لله"), Text::npos);
    EXPECT_NE(page1.find(u"<a id='6' href='#'>7.</a>"), Text::npos);
    EXPECT_EQ(Count(page1, u"<div id="), 7u);
    EXPECT_NE(page1.find(u"<body>\r\n\r\n<div id='div0'"), Text::npos);

    Text page2 = PageDocument(m, 7, 12, true, u"D4D0C8");
    EXPECT_NE(page2.find(u"<div id='div7' class='NoEarabBesm'>بِسْمِ"), Text::npos);
    EXPECT_NE(page2.find(u"<div id='div8' class='NoEarab'><a id='8' href='#'>1.</a>&nbsp;&nbsp;الم</div>"), Text::npos);
    EXPECT_NE(page2.find(u"\u064E"), Text::npos);  // with marks
    EXPECT_EQ(PageCaption(2), u"صفحه 2");
}

TEST(Documents, PageStartList) {
    cQ114 m = LoadedModel();
    auto list = PageStartList(LoadTable(mushaf::testing::Tables(), "PageUnic"), 6348);
    ASSERT_EQ(list.size(), 605u);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[603], 6330);
    EXPECT_EQ(list[604], 6348);
}

TEST(Documents, TranslationAndCaption) {
    cQ114 m = LoadedModel();
    Translation t = TranslationDocument(m, 12, u"D4D0C8");
    EXPECT_EQ(t.caption, u"  سوره بقره - آيه 5  ");
    EXPECT_NE(t.document.find(u"<div id='_id' class='Farsi'>" + m.MeanFarsiAt(12) + u"</div>"), Text::npos);
    EXPECT_EQ(TranslationDocument(m, 7, u"D4D0C8").caption, u"  سوره بقره  ");
    EXPECT_EQ(TranslationDocument(m, 0, u"D4D0C8").caption, u"  سوره فاتحه - آيه 1  ");
}

TEST(Documents, SurahIndexAndFilter) {
    cQ114 m = LoadedModel();
    Text all = SorehIndexDocument(m, u"", u"D4D0C8");
    EXPECT_EQ(Count(all, u"<br>"), 114u);
    EXPECT_NE(all.find(u"<span class='Radif'>1</span><span class='SorehName'><a id='1' href='#'>فاتحه</A></span>"
                       u"<span class='Ayat'>7</span><br>"),
              Text::npos);
    EXPECT_NE(all.find(u"<a id='2' href='#'>بقره</A></span><span class='Ayat'>286</span>"), Text::npos);

    Text some = SorehIndexDocument(m, u"بقر", u"D4D0C8");
    EXPECT_EQ(Count(some, u"<br>"), 1u);
    EXPECT_NE(some.find(u"<span class='Radif'>2</span>"), Text::npos);  // the surah's own number
    Text wider = SorehIndexDocument(m, u"ب", u"D4D0C8");
    EXPECT_GT(Count(wider, u"<br>"), 1u);
    EXPECT_EQ(Count(SorehIndexDocument(m, u"zzz", u"D4D0C8"), u"<br>"), 0u);
    Text broken = SorehIndexDocument(m, u"[", u"D4D0C8");
    EXPECT_EQ(Count(broken, u"<br>"), 0u);
    // when no surah is shown, the index says so
    EXPECT_NE(broken.find(u"<body>\r\n" + Text(kNoSurahFound) + u"\r\n</body>"), Text::npos);
    EXPECT_EQ(SorehIndexDocument(m, u"zzz", u"D4D0C8"), broken);
}

namespace {
// The row of surah n in an index document: from its number's span to its "<br>".
std::pair<std::size_t, std::size_t> RowOf(const Text& doc, int n) {
    std::size_t at = doc.find(u"<span class='Radif'>" + Decimal(n) + u"</span>");
    if (at == Text::npos) return {Text::npos, 0};
    std::size_t end = doc.find(u"<br>", at) + 4;
    return {at, end - at};
}

// The names as a reader types them: without the U+0000 the last one ends in.
Text Typed(const Text& name) { return Shown(name); }
}  // namespace

TEST(Documents, SurahFilterWithTheArticle) {
    cQ114 m = LoadedModel();
    const TextArray& names = m.SorehNameArray();
    ASSERT_EQ(names.size(), 114u);
    // the index writes كهف; a reader types the name as it is said, with the article
    for (const char16_t* filter : {u"الکهف", u"الكهف", u"كهف", u"کهف", u"الكه"}) {
        EXPECT_EQ(SurahsShown(m, filter), std::vector<int>{18}) << ToUtf8(filter);
        EXPECT_EQ(FirstSurahShown(m, filter), 18) << ToUtf8(filter);
    }
    EXPECT_EQ(SurahsShown(m, u"سوره الكهف"), std::vector<int>{});  // every word must be there
    EXPECT_EQ(SurahsShown(m, u"النساء"), std::vector<int>{4});
    EXPECT_EQ(SurahsShown(m, u"الرحمن"), std::vector<int>{55});  // stored with its article
    EXPECT_EQ(SurahsShown(m, u"رحمن"), std::vector<int>{55});
    EXPECT_EQ(SurahsShown(m, u"آل عمران"), std::vector<int>{3});
    EXPECT_EQ(SurahsShown(m, u"الناس"), std::vector<int>{114});

    // every name, typed with and without the article, with the Arabic or the
    // Persian kaf and yeh, finds its surah; the document lists it, and the
    // first surah shown is the document's first row
    int checked = 0;
    for (int n = 1; n <= 114; ++n) {
        const Text name = Typed(names[n - 1]);
        const Text bare = name.rfind(u"ال", 0) == 0 ? name.substr(2) : name;
        for (const Text& typed : {bare, u"ال" + bare, Replaced(u"ال" + bare, u"ک", u"ك"), Replaced(bare, u"ي", u"ی")}) {
            SCOPED_TRACE(ToUtf8(typed));
            const std::vector<int> shown = SurahsShown(m, typed);
            ASSERT_TRUE(std::find(shown.begin(), shown.end(), n) != shown.end()) << n;
            const Text doc = SorehIndexDocument(m, typed, u"D4D0C8");
            EXPECT_EQ(Count(doc, u"<br>"), shown.size());
            EXPECT_NE(doc.find(u"<a id='" + Decimal(n) + u"' href='#'>" + name + u"</A>"), Text::npos);
            ASSERT_EQ(FirstSurahShown(m, typed), shown.front());
            EXPECT_EQ(RowOf(doc, shown.front()).first, doc.find(u"<span class='Radif'>"));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 4 * 114);
}

TEST(Documents, SurahFilterKeepsWhatMatchedAsTyped) {
    // a filter some name contains as typed shows exactly what it showed:
    // the whole index with the other surahs' rows left out, byte for byte
    cQ114 m = LoadedModel();
    const Text all = SorehIndexDocument(m, u"", u"D4D0C8");
    ASSERT_EQ(Count(all, u"<br>"), 114u);
    EXPECT_EQ(FirstSurahShown(m, u""), 1);
    std::vector<Text> filters = {u"ب", u"ال", u"ا", u"ن", u"*", u"?", u"#", u"[ا-ي]", u"ا?", u"[!ا]", u"ق", u"ص", u"ی", u"ک"};
    for (const Text& name : m.SorehNameArray())
        for (std::size_t k = 0; k + 2 <= name.size(); ++k) filters.push_back(name.substr(k, 2));
    int compared = 0;
    for (const Text& filter : filters) {
        SCOPED_TRACE(ToUtf8(filter));
        const Pattern asTyped(u"*" + TranslationSearchQuery(filter) + u"*", TranslationFolds());
        Text expected = all;
        std::vector<int> matching;
        for (int n = 114; n >= 1; --n) {
            if (asTyped.Matches(TranslationSearchForm(m.SorehNameArray()[n - 1]))) {
                matching.insert(matching.begin(), n);
                continue;
            }
            auto [at, length] = RowOf(expected, n);
            ASSERT_NE(at, Text::npos);
            expected.erase(at, length);
        }
        if (matching.empty()) continue;
        EXPECT_EQ(SorehIndexDocument(m, filter, u"D4D0C8"), expected);
        EXPECT_EQ(SurahsShown(m, filter), matching);
        EXPECT_EQ(FirstSurahShown(m, filter), matching.front());
        ++compared;
    }
    EXPECT_GT(compared, 300);
    // nothing shown: no first surah
    EXPECT_EQ(FirstSurahShown(m, u"zzz"), std::nullopt);
    EXPECT_EQ(FirstSurahShown(m, u"["), std::nullopt);
    EXPECT_EQ(FirstSurahShown(m, u"ال ال"), std::nullopt);
}

TEST(Documents, ResultList) {
    cQ114 m = LoadedModel();
    m.FoundList({});
    Text none = ResultListDocument(m, u"D4D0C8");
    EXPECT_NE(none.find(u"<body>\r\nموردي يافت نشد\r\n</body>"), Text::npos);
    m.FoundList({7, 12});
    Text list = ResultListDocument(m, u"D4D0C8");
    EXPECT_NE(list.find(u"\r\n<span class='Radif'><a id='7' href='#'>1 -</A></span><span class='SorehName'>بقره</span>"
                        u"<span class='AyehCaption'>آيه</span><span class='Ayeh'>-</span><br>"),
              Text::npos);
    EXPECT_NE(list.find(u"<a id='12' href='#'>2 -</A>"), Text::npos);
    EXPECT_NE(list.find(u"<span class='Ayeh'>5</span>"), Text::npos);
}

TEST(Documents, QueryPreparation) {
    EXPECT_EQ(PrepareSearchQuery(u"کتاب"), u"كتاب");
    EXPECT_EQ(PrepareSearchQuery(u"على"), u"علي");
    EXPECT_EQ(PrepareSearchQuery(u"مهربانی"), u"مهرباني");
    EXPECT_EQ(PrepareSearchQuery(u"a\u200Fb"), u"a b");
}

TEST(Documents, BuildersNeverMoveTheModel) {
    cQ114 m = LoadedModel();
    m.GoPosition(3000);
    m.SearchText(u"الله");
    m.SearchTo(0);
    m.StartSearch(-1, -1);
    m.FishList(u"10 20");
    PageDocument(m, 0, 6, true, u"D4D0C8", true);
    TranslationDocument(m, 12, u"D4D0C8");
    SorehIndexDocument(m, u"", u"D4D0C8");
    ResultListDocument(m, u"D4D0C8");
    FishListDocument(m, u"D4D0C8");
    CopyText(m, 9, true);
    EXPECT_EQ(m.GlobalAyeh(), 3000);
    EXPECT_EQ(m.Soreh(), m.LineAt(3000).soreh);
}

TEST(Documents, CopyText) {
    cQ114 m = LoadedModel();
    EXPECT_EQ(CopyText(m, 0, false), u"سوره فاتحه [1] - آيه 1\r\n\r\nبسم الله الرحمن الرحيم\r\n\r\n" + m.MeanFarsi());
    m.GoPosition(7);
    Text t = CopyText(m, 7, true);
    EXPECT_EQ(t.substr(0, t.find(u"\r\n")), u"سوره بقره [2] - آيه 0");
    EXPECT_NE(t.find(m.ArabicByEarab()), Text::npos);
}

TEST(Documents, NoDocumentCarriesTheTablesEnd) {
    // the last line's texts and surah 114's name end in U+0000 as stored
    cQ114 m = LoadedModel();
    ASSERT_EQ(m.SorehNameOf(114).back(), u'\0');
    auto clean = [](const Text& text) { return text.find(u'\0') == Text::npos; };
    for (bool showEarab : {false, true})
        for (bool uthmani : {false, true})
            for (int16_t page = 1; page <= m.PageCount(); ++page) {
                const int16_t first = m.PageFirstLine(page);
                const int16_t last = page < m.PageCount() ? m.PageFirstLine(page + 1) - 1 : m.MaxBound();
                ASSERT_TRUE(clean(PageDocument(m, first, last, showEarab, u"D4D0C8", uthmani))) << page;
            }
    for (int16_t line = m.MinBound(); line <= m.MaxBound(); ++line) {
        Translation t = TranslationDocument(m, line, u"D4D0C8");
        ASSERT_TRUE(clean(t.document) && clean(t.caption)) << line;
        for (bool showEarab : {false, true})
            for (bool uthmani : {false, true}) ASSERT_TRUE(clean(CopyText(m, line, showEarab, uthmani))) << line;
    }
    EXPECT_TRUE(clean(SorehIndexDocument(m, u"", u"D4D0C8")));
    EXPECT_TRUE(clean(SorehIndexDocument(m, u"ناس", u"D4D0C8")));
    std::vector<int16_t> all;
    for (int16_t line = m.MinBound(); line <= m.MaxBound(); ++line) all.push_back(line);
    m.FoundList(all);
    EXPECT_TRUE(clean(ResultListDocument(m, u"D4D0C8")));
    m.FishList(u"6347 0 6346");
    EXPECT_TRUE(clean(FishListDocument(m, u"D4D0C8")));
    EXPECT_TRUE(clean(ResultMessageDocument(m.SorehNameOf(114), u"D4D0C8")));
}
