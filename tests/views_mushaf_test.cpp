// The page drawn as a printed mushaf, and the page's translation.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "model/MushafMarks.h"
#include "tests/Corpus.h"
#include "views/Documents.h"
#include "views/Mushaf.h"

using namespace mushaf;
using namespace mushaf::views;
using mushaf::testing::LoadedModel;
using mushaf::testing::LoadedMarks;

namespace {

struct Page {
    int16_t first, last;
    std::string doc;  // UTF-8
};

Page MushafPage(const cQ114& m, int page, bool uthmani = false) {
    const int16_t first = m.PageFirstLine(static_cast<int16_t>(page));
    const int16_t last = page == m.PageCount() ? static_cast<int16_t>(m.LineCount() - 1)
                                               : static_cast<int16_t>(m.PageFirstLine(static_cast<int16_t>(page + 1)) - 1);
    return {first, last, ToUtf8(MushafPageDocument(m, LoadedMarks(), first, last, true, u"FFFFFF", uthmani))};
}

int16_t LineOf(cQ114 m, int soreh, int ayeh) {
    m.GoAyehOfSoreh(Decimal(soreh), Decimal(ayeh));
    return m.GlobalAyeh();
}

// The ids of the page's lines, in the order they stand.
std::vector<int> LineIds(const std::string& doc) {
    std::vector<int> ids;
    static const std::regex id("<div id='div([0-9]+)'");
    for (auto it = std::sregex_iterator(doc.begin(), doc.end(), id); it != std::sregex_iterator(); ++it)
        ids.push_back(std::stoi((*it)[1]));
    return ids;
}

// The markup of line n, from its div to the next line's.
std::string LineMarkup(const std::string& doc, int n) {
    const std::string open = "<div id='div" + std::to_string(n) + "'";
    const std::size_t at = doc.find(open);
    if (at == std::string::npos) return {};
    return doc.substr(at, doc.find("</div>", at) + 6 - at);
}

std::string U8(TextView t) { return ToUtf8(t); }

}  // namespace

TEST(MushafView, EveryLineOfThePageOnceAndInOrder) {
    const cQ114 m = LoadedModel();
    for (int page : {1, 2, 3, 50, 176, 187, 255, 604}) {
        Page p = MushafPage(m, page);
        std::vector<int> expected;
        for (int n = p.first; n <= p.last; ++n) expected.push_back(n);
        EXPECT_EQ(LineIds(p.doc), expected) << "page " << page;
        // the U+0000 that ends the tables' last line stays in the model
        EXPECT_EQ(p.doc.find('\0'), std::string::npos) << "page " << page;
        // every ayah ends with its number in Persian digits in the link the click reaches
        for (int n = p.first; n <= p.last; ++n) {
            const cQ114::Line& at = m.LineAt(static_cast<int16_t>(n));
            const std::string number = U8(PersianDigits(Decimal(at.ayeh)));
            // (a screen reader reads it as the ayah's number)
            const std::string sign = "<a id='" + std::to_string(n) + "' href='#' title='" + U8(u"پایان آیهٔ ") + number +
                                     "' aria-label='" + U8(u"آیهٔ ") + number + "'>" + U8(Text(1, kEndOfAyah)) + number + "</a>";
            EXPECT_EQ(LineMarkup(p.doc, n).find(sign) != std::string::npos, at.ayeh != 0) << page << " line " << n;
        }
        // the foot gives the page, the head its juz' and hizb, in Persian digits
        EXPECT_NE(p.doc.find("<div class='PageFoot'>" + U8(PersianDigits(Decimal(page))) + "</div>"), std::string::npos);
        const cQ114::Line& top = m.LineAt(p.first);
        EXPECT_NE(p.doc.find(U8(u"جزء " + PersianDigits(Decimal(top.joze)))), std::string::npos);
        EXPECT_NE(p.doc.find(U8(u"حزب " + PersianDigits(Decimal(top.hezb)))), std::string::npos);
    }
}

// The head: the page's surahs on the right, its juz', hizb and the quarter
// of the hizb it begins in on the left.
TEST(MushafView, TheHeadNamesTheSurahsAndTheHizbsQuarter) {
    const cQ114 m = LoadedModel();
    auto head = [&](int page) {
        const std::string doc = MushafPage(m, page).doc;
        const std::size_t at = doc.find("<div class='PageHead'>");
        return doc.substr(at, doc.find("</div>", at) - at);
    };
    EXPECT_NE(head(3).find(U8(u"<span>سورهٔ بقره</span>")), std::string::npos) << head(3);
    // a page with the end of one surah and the start of the next: both, in order
    int two = 0;
    for (int page = 2; page < 604 && !two; ++page) {
        const Page p = MushafPage(m, page);
        if (m.LineAt(p.first).soreh + 1 == m.LineAt(p.last).soreh) two = page;
    }
    ASSERT_GT(two, 0);
    const Page p = MushafPage(m, two);
    EXPECT_NE(head(two).find(U8(u"<span>سوره‌های " + WithoutNul(m.SorehNameOf(m.LineAt(p.first).soreh)) + u"، " +
                                WithoutNul(m.SorehNameOf(m.LineAt(p.last).soreh)) + u"</span>")),
              std::string::npos)
        << head(two);
    // page 604: three surahs
    EXPECT_NE(head(604).find(U8(u"سوره‌های اخلاص، فلق، ناس")), std::string::npos) << head(604);
    // page 5 begins in the first quarter of hizb 1 (none said), page 7 in the second (a quarter in)
    EXPECT_NE(head(1).find(U8(u"جزء ۱ \u00B7 حزب ۱</span>")), std::string::npos) << head(1);
    const int q = LoadedMarks().QuarterOf(m.PageFirstLine(7));
    const char16_t* fraction[] = {u"", u"\u00BC", u"\u00BD", u"\u00BE"};
    if ((q - 1) % 4) EXPECT_NE(head(7).find(U8(fraction[(q - 1) % 4])), std::string::npos) << head(7);
    int withHalf = 0;
    for (int page = 1; page <= 604; ++page) withHalf += head(page).find(U8(u"\u00BD")) != std::string::npos;
    EXPECT_GT(withHalf, 50);
}

// Two pages side by side: the first (the odd page) on the right, which in a
// right-to-left document is the first written; every line once.
TEST(MushafView, ASpreadIsTwoPagesTheOddOneFirst) {
    const cQ114 m = LoadedModel();
    const Page p3 = MushafPage(m, 3), p4 = MushafPage(m, 4);
    const std::string spread = U8(MushafSpreadDocument(m, LoadedMarks(), {p3.first, p3.last}, {p4.first, p4.last}, false,
                                                       u"FFFFFF", false));
    std::vector<int> expected;
    for (int n = p3.first; n <= p4.last; ++n) expected.push_back(n);
    EXPECT_EQ(LineIds(spread), expected);
    const std::string foot3 = "<div class='PageFoot'>" + U8(u"۳") + "</div>", foot4 = "<div class='PageFoot'>" + U8(u"۴") + "</div>";
    ASSERT_NE(spread.find(foot3), std::string::npos);
    EXPECT_LT(spread.find(foot3), spread.find(foot4));
}

TEST(MushafView, SurahHeadingsAndTheBismillah) {
    const cQ114 m = LoadedModel();
    auto headings = [](const std::string& doc) {
        std::size_t n = 0;
        for (std::size_t at = doc.find("class='SurahHead'"); at != std::string::npos; at = doc.find("class='SurahHead'", at + 1)) ++n;
        return n;
    };
    // page 1: surah 1's heading, its first ayah the Bismillah, centred, with its number
    Page p1 = MushafPage(m, 1);
    EXPECT_EQ(headings(p1.doc), 1u);
    EXPECT_NE(LineMarkup(p1.doc, 0).find("class='NoEarabBesm'"), std::string::npos);
    EXPECT_NE(LineMarkup(p1.doc, 0).find("<a id='0'"), std::string::npos);
    EXPECT_NE(p1.doc.find(U8(u"<b>سوره فاتحه</b><span>۷ آیه - مکی</span>")), std::string::npos);
    // page 2: the heading of surah 2 before its Bismillah line, which has no number
    Page p2 = MushafPage(m, 2);
    EXPECT_EQ(headings(p2.doc), 1u);
    EXPECT_LT(p2.doc.find("class='SurahHead'"), p2.doc.find("<div id='div7' class='NoEarabBesm'>"));
    EXPECT_EQ(LineMarkup(p2.doc, 7).find("<a "), std::string::npos);
    EXPECT_NE(p2.doc.find(U8(u"<span>۲</span><b>سوره بقره</b><span>۲۸۶ آیه - مدنی</span>")), std::string::npos);
    // page 187: surah 9 begins with its heading and no Bismillah
    Page p187 = MushafPage(m, 187);
    const int16_t nine = LineOf(m, 9, 1);
    EXPECT_EQ(headings(p187.doc), 1u);
    EXPECT_LT(p187.doc.find("class='SurahHead'"), p187.doc.find("<div id='div" + std::to_string(nine) + "'"));
    EXPECT_EQ(p187.doc.find("NoEarabBesm'>"), std::string::npos);
    // page 604: three surahs, three headings, three Bismillah lines
    Page p604 = MushafPage(m, 604);
    EXPECT_EQ(headings(p604.doc), 3u);
    std::size_t besm = 0;
    for (int n = p604.first; n <= p604.last; ++n) besm += m.LineAt(static_cast<int16_t>(n)).ayeh == 0;
    EXPECT_EQ(besm, 3u);
    // inside a surah no heading; page 50 begins surah 3
    EXPECT_EQ(headings(MushafPage(m, 3).doc), 0u);
    EXPECT_EQ(headings(MushafPage(m, 50).doc), 1u);
}

TEST(MushafView, QuarterAndSajdaSignsWhereTheDataPutsThem) {
    const cQ114 m = LoadedModel();
    const std::string quarter = U8(Text(1, kQuarterSign)), sajda = U8(Text(1, kSajdaSign));
    // page 5: quarter 2 begins at 2:26
    Page p5 = MushafPage(m, 5);
    const int16_t q2 = LineOf(m, 2, 26);
    for (int n = p5.first; n <= p5.last; ++n)
        EXPECT_EQ(LineMarkup(p5.doc, n).find(quarter) != std::string::npos, n == q2) << n;
    // the start of the Quran carries none
    EXPECT_EQ(MushafPage(m, 1).doc.find(quarter), std::string::npos);
    // page 187: the quarter begins at 9:1 (no Bismillah line)
    EXPECT_NE(LineMarkup(MushafPage(m, 187).doc, LineOf(m, 9, 1)).find(quarter), std::string::npos);
    // a quarter that begins with a surah's Bismillah line: the sign before its first ayah
    int16_t q = 0;
    for (int k = 2; k <= LoadedMarks().QuarterCount() && !q; ++k)
        if (m.LineAt(LoadedMarks().QuarterFirstLine(k)).ayeh == 0) q = LoadedMarks().QuarterFirstLine(k);
    ASSERT_GT(q, 0);
    Page pq = MushafPage(m, m.LineAt(q).page);
    EXPECT_EQ(LineMarkup(pq.doc, q).find(quarter), std::string::npos);
    EXPECT_NE(LineMarkup(pq.doc, q + 1).find(quarter), std::string::npos);
    // page 176: 7:206 is a recommended sajda, after its number
    Page p176 = MushafPage(m, 176);
    const std::string last = LineMarkup(p176.doc, LineOf(m, 7, 206));
    EXPECT_NE(last.find("</a><span class='Sajda' title="), std::string::npos);
    EXPECT_NE(last.find(sajda), std::string::npos);
    std::size_t signs = 0;
    for (std::size_t at = p176.doc.find(sajda); at != std::string::npos; at = p176.doc.find(sajda, at + 1)) ++signs;
    EXPECT_EQ(signs, 1u);
    // 32:15 is obligatory, marked apart
    const int16_t wajib = LineOf(m, 32, 15);
    EXPECT_NE(LineMarkup(MushafPage(m, m.LineAt(wajib).page).doc, wajib).find("class='Sajda Wajib'"), std::string::npos);
}

TEST(MushafView, TheUthmaniTextAndTheLineViewUntouched) {
    const cQ114 m = LoadedModel();
    Page p = MushafPage(m, 3, true);
    EXPECT_NE(p.doc.find(U8(m.ArabicUthmaniAt(p.first + 1))), std::string::npos);
    // the line view's document is its own
    const std::string lines = U8(PageDocument(m, p.first, p.last, true, u"FFFFFF", false));
    EXPECT_EQ(lines.find("Mushaf"), std::string::npos);
    EXPECT_EQ(lines.find(U8(Text(1, kEndOfAyah))), std::string::npos);
}

TEST(MushafView, ThePagesTranslationWithTheCurrentAyahMarked) {
    const cQ114 m = LoadedModel();
    const int16_t first = m.PageFirstLine(2), last = static_cast<int16_t>(m.PageFirstLine(3) - 1);
    const std::string doc = U8(PageTranslationDocument(m, first, last, 9, u"FFFFFF"));
    std::size_t at = 0;
    for (int n = first; n <= last; ++n) {
        const std::string cls = n == 9 ? "FarsiSelect" : "Farsi";
        const std::size_t here = doc.find("<div id='t" + std::to_string(n) + "' class='" + cls + "'>", at);
        ASSERT_NE(here, std::string::npos) << n;
        EXPECT_NE(doc.find(U8(m.MeanFarsiAt(static_cast<int16_t>(n))), here), std::string::npos);
        at = here;
    }
    EXPECT_NE(doc.find(U8(u"<b>۲</b> ")), std::string::npos);
    EXPECT_EQ(doc.find("<b>0</b>"), std::string::npos);
}

TEST(NoteCards, TheCardListAndTheExportCarryTheNotesAsText) {
    cQ114 m = LoadedModel();
    m.FishAdder(10);
    m.FishAdder(300);
    const FishNotes notes{{10, u"<script>alert('x')</script> & \"y\""}};
    const std::string list = U8(FishListDocument(m, u"FFFFFF", notes));
    EXPECT_NE(list.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;y&quot;</div>"), std::string::npos);
    EXPECT_EQ(list.find("<script>"), std::string::npos);
    // one note, under the row of its card
    EXPECT_LT(list.find("<a id='10'"), list.find("class='Note'"));
    EXPECT_EQ(list.find("class='Note'", list.find("class='Note'") + 1), std::string::npos);
    // without notes, the list as it always was
    EXPECT_EQ(FishListDocument(m, u"FFFFFF"), FishListDocument(m, u"FFFFFF", {}));
    EXPECT_EQ(U8(FishListDocument(m, u"FFFFFF")).find("Note"), std::string::npos);
    // the export
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mushaf-notes-export-test";
    std::filesystem::remove_all(folder);
    m.ExportFolder = folder;
    const std::string exported = U8(m.GetOutputOfFish(true, notes)->document);
    EXPECT_NE(exported.find("&lt;script&gt;alert(&#39;x&#39;)"), std::string::npos);
    EXPECT_EQ(exported.find("<script>"), std::string::npos);
    EXPECT_EQ(m.GetOutputOfFish(true)->document.find(u"&lt;"), Text::npos);
    std::filesystem::remove_all(folder);
}
