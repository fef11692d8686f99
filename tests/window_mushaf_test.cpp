// The mushaf view and the page's translation in the window.
#include <QJsonArray>
#include <QJsonDocument>
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
