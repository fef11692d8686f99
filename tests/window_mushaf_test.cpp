// The mushaf view and the page's translation in the window.
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

// Where to click, as a share of the pane, for the middle of the first word
// of element `id` (its first line box, a little in from its right end).
QString WordOf(const char* id) {
    return QStringLiteral("eval:wbrQuran:(function(){var r=document.getElementById('%1').getClientRects()[0];"
                          "return [(r.right-12)/window.innerWidth,(r.top+r.height/2)/window.innerHeight];})()")
        .arg(id);
}
}  // namespace

TEST(Mushaf, TheViewIsChosenMarkedAndKept) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    RUN_WINDOW_WITH(lines, {"check"}, kept);
    EXPECT_EQ(lines.state["view"].toString(), "lines");
    const QString before = lines.document("wbrQuran");

    RUN_WINDOW_WITH(on, {"key:Ctrl+M", "check"}, kept);
    EXPECT_EQ(on.state["view"].toString(), "mushaf");
    const QString page = on.document("wbrQuran");
    EXPECT_TRUE(page.contains("class=\"Mushaf\""));
    EXPECT_TRUE(page.contains(U("سوره فاتحه")));
    EXPECT_TRUE(page.contains(QChar(0x06DD)));
    EXPECT_EQ(on.marked(), QStringList{"div0"});
    // the font that draws the ornaments, unless another is chosen
    EXPECT_TRUE(on.state["renderingStyle"].toObject()["wbrQuran"].toString().contains("Amiri Quran"));
    EXPECT_FALSE(lines.state["renderingStyle"].toObject()["wbrQuran"].toString().contains("Amiri Quran"));

    // kept: the next start opens in it; moves mark as in the line view
    RUN_WINDOW_WITH(again, {"type:txtSoreh:2", "key:Return", "type:txtAyeh:5", "key:Return", "check"}, kept);
    EXPECT_EQ(again.state["view"].toString(), "mushaf");
    EXPECT_EQ(again.marked(), QStringList{"div12"});
    EXPECT_TRUE(again.document("wbrQuran").contains(U("سوره بقره")));

    // off again: the page as the line view always wrote it
    RUN_WINDOW_WITH(off, {"menu:mnuMushafView", "check"}, kept);
    EXPECT_EQ(off.state["view"].toString(), "lines");
    RUN_WINDOW_WITH(fresh, {"check"});
    EXPECT_EQ(off.document("wbrQuran"), fresh.document("wbrQuran"));
    EXPECT_EQ(before, fresh.document("wbrQuran"));
}

TEST(Mushaf, AClickOnAWordMakesItsAyahCurrentAndAHeadingDoesNothing) {
    // the page of surah 2's beginning: a word of 2:3 (line 10), then the heading
    RUN_WINDOW_WITH(where, {"menu:mnuMushafView", "slider:7", WordOf("div10"), "eval:wbrQuran:(function(){"
                             "var r=document.querySelector('.SurahHead').getBoundingClientRect();"
                             "return [(r.left+r.width/2)/window.innerWidth,(r.top+r.height/2)/window.innerHeight];})()"});
    const QJsonArray word = where.state["evaluated"].toArray()[0].toArray();
    const QJsonArray heading = where.state["evaluated"].toArray()[1].toArray();
    RUN_WINDOW(clicked, "menu:mnuMushafView", "slider:7",
               QStringLiteral("clickat:wbrQuran:%1,%2").arg(word[0].toDouble()).arg(word[1].toDouble()), "check");
    EXPECT_EQ(clicked.state["hsAllQuran"].toInt(), 10);
    EXPECT_EQ(clicked.text("txtAyeh"), "3");
    EXPECT_EQ(clicked.marked(), QStringList{"div10"});
    RUN_WINDOW(head, "menu:mnuMushafView", "slider:8",
               QStringLiteral("clickat:wbrQuran:%1,%2").arg(heading[0].toDouble()).arg(heading[1].toDouble()), "check");
    EXPECT_EQ(head.state["hsAllQuran"].toInt(), 8);
    // a click on a number works as in the line view
    RUN_WINDOW(number, "menu:mnuMushafView", "slider:7", "click:wbrQuran:11", "check");
    EXPECT_EQ(number.marked(), QStringList{"div11"});
}

TEST(Mushaf, ThePagesTranslation) {
    RUN_WINDOW(r, "menu:mnuPageTranslation", "slider:9", "check");
    EXPECT_TRUE(r.state["pageTranslation"].toBool());
    const QString farsi = r.document("wbrFarsi");
    // every line of page 2, the current one marked
    for (int n = 7; n <= 12; ++n) EXPECT_TRUE(farsi.contains(QStringLiteral("id=\"t%1\"").arg(n))) << n;
    EXPECT_FALSE(farsi.contains("id=\"t13\""));
    EXPECT_TRUE(farsi.contains("id=\"t9\" class=\"FarsiSelect\""));
    EXPECT_EQ(farsi.count("FarsiSelect\""), 1);
    EXPECT_EQ(r.text("lblFarsi").trimmed(), U("سوره بقره - آيه 2"));
    // a move within the page moves the mark; the next page and the other translation are written anew
    RUN_WINDOW(moved, "menu:mnuPageTranslation", "slider:9", "slider:11", "check");
    EXPECT_TRUE(moved.document("wbrFarsi").contains("id=\"t11\" class=\"FarsiSelect\""));
    EXPECT_EQ(moved.document("wbrFarsi").count("FarsiSelect\""), 1);
    RUN_WINDOW(next, "menu:mnuPageTranslation", "slider:9", "slider:13", "menu:mnuTransFooladvand", "check");
    EXPECT_TRUE(next.document("wbrFarsi").contains("id=\"t13\" class=\"FarsiSelect\""));
    EXPECT_FALSE(next.document("wbrFarsi").contains("id=\"t9\""));
    EXPECT_EQ(next.state["translation"].toString(), "fooladvand");
    EXPECT_TRUE(next.document("wbrFarsi").contains(next.model()["MeanFarsi"].toString().trimmed()));
    RUN_WINDOW(off, "menu:mnuPageTranslation", "menu:mnuPageTranslation", "slider:9", "check");
    EXPECT_FALSE(off.state["pageTranslation"].toBool());
    EXPECT_FALSE(off.document("wbrFarsi").contains("id=\"t8\""));
}

namespace {
// How many of the page's ayah signs (and sajda signs) stand apart from the
// last word of their ayah: on another line than the word's last letter.
const char* kSignsApart = R"JS((function(){
  var apart = [], signs = document.querySelectorAll('.Mushaf a, .Mushaf .Sajda');
  for (var i = 0; i < signs.length; i++) {
    var s = signs[i], line = s.closest('div'), walker = document.createTreeWalker(line, NodeFilter.SHOW_TEXT), last = null, t;
    while ((t = walker.nextNode())) {
      if (s.contains(t) || (s.compareDocumentPosition(t) & Node.DOCUMENT_POSITION_FOLLOWING)) break;
      if (t.nodeValue.trim() && !t.parentNode.closest('a, .Sajda')) last = t;
    }
    if (!last) continue;
    var r = document.createRange(), text = last.nodeValue.replace(/\s+$/, '');
    r.setStart(last, text.length - 1); r.setEnd(last, text.length);
    var word = r.getClientRects(), sign = s.getClientRects();
    if (!word.length || !sign.length) continue;
    var w = word[word.length - 1], g = sign[0];
    if (Math.abs((w.top + w.bottom) / 2 - (g.top + g.bottom) / 2) > w.height / 2) apart.push(line.id);
  }
  return apart;
})())JS";
}  // namespace

// An ayah's sign and its sajda mark never begin a line: they stay with the
// ayah's last word, at any size, in either script.
TEST(Mushaf, TheAyahSignStaysWithItsAyah) {
    for (const char* size : {"resize:10650,9225", "resize:16000,12000"}) {
        for (const char* script : {"menu:mnuScriptSimple", "menu:mnuScriptUthmani"}) {
            QStringList actions{"menu:mnuMushafView", size, script};
            // pages 3, 528 and 597; 53:62 and 96:19 end with a sajda
            for (int line : {20, 4879, 4897, 6190, 6224}) {
                actions << QStringLiteral("slider:%1").arg(line) << QStringLiteral("eval:wbrQuran:") + kSignsApart;
            }
            RUN_WINDOW(r, actions);
            for (const QJsonValue& apart : r.state["evaluated"].toArray())
                EXPECT_TRUE(apart.toArray().isEmpty()) << size << " " << script << ": "
                                                       << QJsonDocument(apart.toArray()).toJson(QJsonDocument::Compact).toStdString();
        }
    }
}

namespace {
// Whether the page pane scrolls, and where its head and foot stand in it.
const char* kPageInView = R"JS((function(){
  var e = document.scrollingElement, heads = document.querySelectorAll('.PageHead'), feet = document.querySelectorAll('.PageFoot');
  var seen = true;
  for (var i = 0; i < heads.length; i++) {
    var h = heads[i].getBoundingClientRect(), f = feet[i].getBoundingClientRect();
    seen = seen && h.top >= -1 && h.bottom <= innerHeight + 1 && f.top >= -1 && f.bottom <= innerHeight + 1;
  }
  return {scrolls: e.scrollHeight > innerHeight + 1, seen: seen, pages: heads.length,
          fit: parseFloat(document.documentElement.style.getPropertyValue('--fit')) || 0};
})())JS";
}  // namespace

// At 100% the whole page shows, head to foot, without scrolling, at every
// window size from the smallest to the full screen; a larger text scrolls
// under a head and foot that stay in view; the line view is as it was.
TEST(Mushaf, TheWholePageShowsAtAnySize) {
    const QString inView = QStringLiteral("eval:wbrQuran:") + kPageInView;
    for (const char* size : {"resize:6510,4605", "resize:10650,9225", "resize:15000,12000"}) {
        QStringList actions{"menu:mnuMushafView", size};
        for (int line : {20, 2162, 3479, 4879}) actions << QStringLiteral("slider:%1").arg(line) << inView;  // pages 3, 293, 416, 528
        RUN_WINDOW(r, actions);
        for (const QJsonValue& v : r.state["evaluated"].toArray()) {
            const QJsonObject page = v.toObject();
            EXPECT_FALSE(page["scrolls"].toBool()) << size << " " << QJsonDocument(page).toJson(QJsonDocument::Compact).toStdString();
            EXPECT_TRUE(page["seen"].toBool()) << size;
            EXPECT_GT(page["fit"].toDouble(), QString(size) == "resize:6510,4605" ? 0.1 : 0.5);
        }
    }
    // full screen: still the whole page (or spread), larger
    RUN_WINDOW(full, "menu:mnuMushafView", "slider:20", "eval:wbrQuran:" + QString(kPageInView), "key:F11", "wait:300",
               "eval:wbrQuran:" + QString(kPageInView));
    const QJsonObject small = full.state["evaluated"].toArray()[0].toObject(), large = full.state["evaluated"].toArray()[1].toObject();
    EXPECT_FALSE(large["scrolls"].toBool());
    EXPECT_TRUE(large["seen"].toBool());
    EXPECT_TRUE(large["fit"].toDouble() > small["fit"].toDouble() || large["pages"].toInt() == 2);
    // Ctrl+= beyond the fit: larger, scrolling, the head and foot in view after a scroll
    RUN_WINDOW(larger, "menu:mnuMushafView", "slider:20", "focus:wbrQuran", "key:Ctrl+=", "key:Ctrl+=", "wait:200",
               "eval:wbrQuran:window.scrollTo(0,60);0", "eval:wbrQuran:" + QString(kPageInView));
    const QJsonObject zoomed = larger.state["evaluated"].toArray()[1].toObject();
    EXPECT_TRUE(zoomed["scrolls"].toBool());
    EXPECT_TRUE(zoomed["seen"].toBool());
    // the line view is not fitted
    RUN_WINDOW(lines, "slider:20", "eval:wbrQuran:document.documentElement.style.getPropertyValue('--fit')");
    EXPECT_EQ(lines.state["evaluated"].toArray()[0].toString(), "");
}

// A turn lays the page out twice at most: once at the last page's size to
// measure it, once at its own. A third (the page shrunk once more because
// the measure ran over) is counted by the page; forty turns, in one page and
// in the spread, take none, and every page they show fits.
TEST(Mushaf, APageTurnLaysThePageOutTwiceAtMost) {
    for (const bool full : {false, true}) {
        QStringList actions{"menu:mnuMushafView"};
        if (full) actions << "key:F11" << "wait:300";
        actions << "slider:20" << "focus:wbrQuran";
        for (int turn = 0; turn < 40; ++turn) {
            actions << "key:Left" << QStringLiteral("eval:wbrQuran:") + kPageInView;
        }
        actions << "eval:wbrQuran:window.mushafFitShrinks||0" << "check";
        RUN_WINDOW(r, actions);
        const QJsonArray evaluated = r.state["evaluated"].toArray();
        ASSERT_EQ(evaluated.size(), 41);
        EXPECT_EQ(evaluated.last().toInt(), 0) << "full screen " << full;
        for (int turn = 0; turn < 40; ++turn) {
            EXPECT_FALSE(evaluated[turn].toObject()["scrolls"].toBool()) << "turn " << turn << " full screen " << full;
        }
        EXPECT_EQ(r.model()["Page"].toInt(), full ? 83 : 43);
    }
}

// Where the page pane is wide enough (the full screen here), two pages side
// by side: the odd one on the right; a turn moves by the spread; the current
// ayah is marked on whichever page it is; the choice turns it off.
TEST(Mushaf, TwoPagesSideBySideWhereThereIsRoom) {
    const QString rightPageFirst = "eval:wbrQuran:document.querySelectorAll('.PageFoot')[0].getBoundingClientRect().left>"
                                   "document.querySelectorAll('.PageFoot')[1].getBoundingClientRect().left";
    RUN_WINDOW(r, "menu:mnuMushafView", "key:F11", "wait:300", "slider:30", rightPageFirst, "check");
    EXPECT_EQ(r.state["pages"].toArray(), (QJsonArray{3, 4}));  // line 30 is on page 4
    EXPECT_EQ(r.marked(), QStringList{"div30"});
    EXPECT_TRUE(r.state["evaluated"].toArray()[0].toBool());
    EXPECT_EQ(r.model()["Page"].toInt(), 4);
    // pages 1 and 2 open together; a turn from there goes to 3 and 4
    RUN_WINDOW(first, "menu:mnuMushafView", "key:F11", "wait:300", "slider:0", "check");
    EXPECT_EQ(first.state["pages"].toArray(), (QJsonArray{1, 2}));
    RUN_WINDOW(turned, "menu:mnuMushafView", "key:F11", "wait:300", "slider:0", "focus:hsAllQuran", "key:PageDown", "check");
    EXPECT_EQ(turned.state["pages"].toArray(), (QJsonArray{3, 4}));
    EXPECT_EQ(turned.model()["Page"].toInt(), 3);
    // the choice off, kept: one page again
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    RUN_WINDOW_WITH(off, {"menu:mnuMushafView", "menu:mnuSpread", "key:F11", "wait:300", "slider:30", "check"}, kept);
    EXPECT_EQ(off.state["pages"].toArray(), (QJsonArray{4}));
    EXPECT_FALSE(off.state["spread"].toBool());
    RUN_WINDOW_WITH(again, {"check"}, kept);
    EXPECT_FALSE(again.state["spread"].toBool());
    // at the design size, one page
    RUN_WINDOW(design, "menu:mnuMushafView", "slider:30");
    EXPECT_EQ(design.state["pages"].toArray(), (QJsonArray{4}));
}

// With the focus in the page (either view): Left the next page, Right the
// previous, Down and Up the next and previous ayah, Home and End the page's
// first and last, PageDown the next page once the pane cannot scroll.
TEST(Mushaf, ThePagesKeys) {
    auto line = [](const char* view, const QStringList& keys, int from = 20) {
        QStringList actions{view, QStringLiteral("slider:%1").arg(from), "focus:wbrQuran"};
        for (const QString& k : keys) actions << "key:" + k;
        auto run = RunWindow(actions + QStringList{"check"});
        EXPECT_EQ(run.status, 0) << run.error.toStdString();
        return run.state["hsAllQuran"].toInt();
    };
    for (const char* view : {"menu:mnuMushafView", "check"}) {
        EXPECT_EQ(line(view, {"Left"}), 24) << view;                // page 3 (lines 13-23) to page 4
        EXPECT_EQ(line(view, {"Right"}), 7) << view;                // to page 2
        EXPECT_EQ(line(view, {"Down", "Down", "Up"}), 21) << view;  // the next ayah, twice, and back
        EXPECT_EQ(line(view, {"End"}), 23) << view;
        EXPECT_EQ(line(view, {"Down", "Home"}), 13) << view;
    }
    // the fitted page cannot scroll: PageDown turns at once
    EXPECT_EQ(line("menu:mnuMushafView", {"PageDown"}), 24);
    EXPECT_EQ(line("menu:mnuMushafView", {"PageDown", "PageUp"}), 13);
    // the line view scrolls first (a page longer than the pane), then turns
    EXPECT_EQ(line("check", {"PageDown"}, 13), 13);
    EXPECT_EQ(line("check", {"PageDown", "PageDown", "PageDown"}, 13), 24);
    // elsewhere the arrows still walk the links: the index's second surah
    // (the page acts on its keys in its own time: the move is awaited)
    RUN_WINDOW(index, "focus:wbrSoreh", "key:Down", "key:Down", "key:Return", "await:moved:7");
    EXPECT_EQ(index.state["hsAllQuran"].toInt(), 7);
}

// The quarter and sajda signs at least three quarters as wide as the ayah's
// sign, apart by colour by day and at night, each saying what it is.
TEST(Mushaf, TheMarksAreLegibleAndApart) {
    auto measure = [](const char* mark) {
        return QStringLiteral(R"JS(eval:wbrQuran:(function(){
          var a = document.querySelector('.Mushaf a'), m = document.querySelector('%1');
          var w = function (e) { return e.getBoundingClientRect().width; };
          return {ayah: w(a), mark: w(m), colour: getComputedStyle(m).color, titles: [a.title, m.title]};
        })())JS").arg(QString::fromLatin1(mark));
    };
    // a quarter begins on page 5 (2:26); 7:206 on page 176 is a recommended sajda
    for (const char* night : {"check", "menu:mnuNight"}) {
        RUN_WINDOW(r, "menu:mnuMushafView", night, "slider:33", measure(".Quarter"), "slider:1165", measure(".Sajda"));
        const QJsonObject q = r.state["evaluated"].toArray()[0].toObject(), s = r.state["evaluated"].toArray()[1].toObject();
        const QJsonArray qt = q["titles"].toArray(), st = s["titles"].toArray();
        const QJsonObject m{{"ayah", q["ayah"]}, {"quarter", q["mark"]}, {"sajda", s["mark"]}, {"quarterColour", q["colour"]},
                            {"sajdaColour", s["colour"]}, {"titles", QJsonArray{qt.at(0), qt.at(1), st.at(1)}}};
        EXPECT_GE(m["quarter"].toDouble(), 0.75 * m["ayah"].toDouble()) << night;
        EXPECT_GE(m["sajda"].toDouble(), 0.75 * m["ayah"].toDouble()) << night;
        EXPECT_NE(m["quarterColour"].toString(), m["sajdaColour"].toString()) << night;
        const QJsonArray titles = m["titles"].toArray();
        EXPECT_TRUE(titles[0].toString().startsWith(QString::fromUtf8("پایان آیهٔ")));
        EXPECT_EQ(titles[1].toString(), QString::fromUtf8("آغاز ربع حزب"));
        EXPECT_EQ(titles[2].toString(), QString::fromUtf8("سجدهٔ مستحب"));
    }
}

namespace {
QStringList Found(const mushaf::testing::WindowRun& r, const char* pane) {
    QStringList words;
    for (const auto& v : r.state["found"].toObject()[pane].toArray()) words << v.toString();
    return words;
}
QStringList Search(const char* query) {
    return {"key:F3", "type:txtSearch:" + U(query), "button:cmdSearch"};
}
// A word without its vowel marks and the signs written over it.
QString Bare(QString word) {
    word.remove(QRegularExpression(QString::fromUtf8("[\u064B-\u065F\u0670\u06D6-\u06ED]")));
    return word;
}
QStringList Bare(const QStringList& words) {
    QStringList out;
    for (const QString& w : words) out << Bare(w);
    return out;
}
// Actions, lists of them and single ones, in order.
void Add(QStringList& out, const QStringList& list) { out += list; }
void Add(QStringList& out, const QString& one) { out << one; }
void Add(QStringList& out, const char* one) { out << QString::fromUtf8(one); }
template <class... T>
QStringList Acts(const T&... parts) {
    QStringList out;
    (Add(out, parts), ...);
    return out;
}
}  // namespace

TEST(Mushaf, WhatASearchFoundIsMarkedInEitherScriptAndView) {
    // 2:3 (line 10) as the result's row opens it; each writing of the page
    // marks the word, the Uthmani one as it spells it
    const QStringList prayer = Acts(Search("الصلاه"), "click:wbrSearchResult:10");
    RUN_WINDOW_WITH(bare, Acts(prayer, "check"));
    EXPECT_EQ(bare.state["hsAllQuran"].toInt(), 10);
    EXPECT_EQ(Found(bare, "wbrQuran"), QStringList{U("الصلاة")});
    EXPECT_TRUE(Found(bare, "wbrFarsi").isEmpty());
    EXPECT_TRUE(bare.state["renderingStyle"].toObject()["wbrQuran"].toString().contains(".Found"));
    RUN_WINDOW_WITH(marks, Acts(prayer, "key:F4", "check"));
    const QStringList withMarks = Found(marks, "wbrQuran");
    EXPECT_EQ(Bare(withMarks), QStringList{U("الصلاة")});
    EXPECT_NE(withMarks, Bare(withMarks));
    RUN_WINDOW_WITH(uthmani, Acts(prayer, "menu:mnuScriptUthmani", "key:Ctrl+M", "check"));
    EXPECT_EQ(uthmani.state["view"].toString(), "mushaf");
    EXPECT_EQ(Bare(Found(uthmani, "wbrQuran")), QStringList{U("ٱلصلوة")});
    // two simple words that the Uthmani script writes as one, on page 4 (2:21, line 28)
    RUN_WINDOW_WITH(people, Acts("menu:mnuScriptUthmani", Search("يا أيها الناس"), "click:wbrSearchResult:28", "check"));
    EXPECT_EQ(Bare(Found(people, "wbrQuran")), (QStringList{U("يأيها"), U("ٱلناس")}));
    // kept across a page turn and back; Escape in the search box clears it,
    // and the next search marks only its own
    RUN_WINDOW_WITH(kept, Acts(prayer, "slider:40", "slider:10", "check"));
    EXPECT_EQ(Found(kept, "wbrQuran"), QStringList{U("الصلاة")});
    RUN_WINDOW_WITH(cleared, Acts(prayer, "focus:txtSearch", "key:Escape", "check"));
    EXPECT_TRUE(Found(cleared, "wbrQuran").isEmpty());
    RUN_WINDOW_WITH(next, Acts(prayer, "type:txtSearch:" + U("يؤمنون"), "button:cmdSearch",
               "check"));
    EXPECT_EQ(Found(next, "wbrQuran"), (QStringList{U("يؤمنون"), U("يؤمنون")}));  // 2:3 and 2:4
    // nothing found: nothing marked
    RUN_WINDOW_WITH(none, Acts(prayer, "type:txtSearch:" + U("ظظظ"), "button:cmdSearch", "check"));
    EXPECT_TRUE(Found(none, "wbrQuran").isEmpty());
}

TEST(Mushaf, WhatASearchInTheTranslationFoundIsMarkedThere) {
    const QStringList given{"key:F3", "button:optSearchInT", "type:txtSearch:" + U("روزی داده"), "button:cmdSearch",
                            "click:wbrSearchResult:10"};
    RUN_WINDOW_WITH(one, Acts(given, "check"));
    ASSERT_EQ(one.state["hsAllQuran"].toInt(), 10);
    // the translation writes Arabic yeh; the search takes either
    const QStringList words = Found(one, "wbrFarsi");
    EXPECT_EQ(QStringList(words).replaceInStrings(QChar(0x064A), QChar(0x06CC)), (QStringList{U("روزی"), U("داده")}));
    EXPECT_TRUE(Found(one, "wbrQuran").isEmpty());
    // the page's translation marks it in its line; the next ayah's has none
    RUN_WINDOW_WITH(page, Acts("menu:mnuPageTranslation", given, "check"));
    EXPECT_EQ(Found(page, "wbrFarsi"), words);
    RUN_WINDOW_WITH(moved, Acts(given, "slider:11", "check"));
    EXPECT_TRUE(Found(moved, "wbrFarsi").isEmpty());
}

TEST(Mushaf, AnExtractUnderEachResultRowIsAChoice) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    RUN_WINDOW_WITH(plain, Acts(Search("الصلاه"), "check"), kept);
    const QString list = plain.document("wbrSearchResult");
    EXPECT_FALSE(list.contains("Extract"));
    EXPECT_FALSE(plain.state["foundText"].toBool());

    RUN_WINDOW_WITH(with, Acts("menu:mnuFoundText", Search("الصلاه"), "check"), kept);
    EXPECT_TRUE(with.state["foundText"].toBool());
    const QString extracts = with.document("wbrSearchResult");
    const int rows = list.count("class=\"Radif\"");
    ASSERT_GT(rows, 50);
    EXPECT_EQ(extracts.count("class=\"Extract\""), rows);
    // each at most twelve words, the match marked in it
    QRegularExpression div("<div class=\"Extract\"[^>]*>(.*?)</div>");
    int checked = 0;
    for (auto it = div.globalMatch(extracts); it.hasNext(); ++checked) {
        const QString inner = it.next().captured(1);
        QString text = inner;
        text.remove(QRegularExpression("<[^>]*>"));
        text.remove(QChar(0x2026));
        EXPECT_LE(text.split(' ', Qt::SkipEmptyParts).size(), 12) << inner.toStdString();
        EXPECT_TRUE(inner.contains("<span class=\"Match\">")) << inner.toStdString();
    }
    EXPECT_EQ(checked, rows);
    // a click on an extract opens its ayah
    RUN_WINDOW_WITH(opened, Acts(Search("الصلاه"), "eval:wbrSearchResult:(function(){"
                    "var e=document.querySelectorAll('.Extract')[1],r=e.getBoundingClientRect();"
                    "return [(r.left+r.width/2)/window.innerWidth,(r.top+r.height/2)/window.innerHeight,"
                    "e.getAttribute('data-for')];})()"), kept);
    const QJsonArray at = opened.state["evaluated"].toArray()[0].toArray();
    RUN_WINDOW_WITH(clicked, Acts(Search("الصلاه"), QStringLiteral("clickat:wbrSearchResult:%1,%2")
                    .arg(at[0].toDouble()).arg(at[1].toDouble()), "check"), kept);
    EXPECT_EQ(clicked.state["hsAllQuran"].toInt(), at[2].toString().toInt());
    EXPECT_GT(at[2].toString().toInt(), 0);

    // kept; off again, the list exactly as without the choice
    RUN_WINDOW_WITH(off, Acts("menu:mnuFoundText", Search("الصلاه"), "check"), kept);
    EXPECT_FALSE(off.state["foundText"].toBool());
    EXPECT_EQ(off.document("wbrSearchResult"), list);
    // in the translation: the translation's words
    RUN_WINDOW_WITH(farsi, Acts("menu:mnuFoundText", "key:F3", "button:optSearchInT", "type:txtSearch:" + U("نماز"),
               "button:cmdSearch", "check"));
    EXPECT_TRUE(farsi.document("wbrSearchResult").contains(U("<span class=\"Match\">نماز")));
}
