// The reading window end to end: the real program under Xvfb.
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunWindow;

namespace {
int Count(const QString& text, const QString& what) { return static_cast<int>(text.count(what)); }
QJsonArray R(int l, int t, int w, int h) { return QJsonArray{l, t, w, h}; }
}  // namespace

TEST(ReadingWindow, StartUp) {
    RUN_WINDOW(r);
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 0);
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 0);
    EXPECT_EQ(r.state["hsPage"].toInt(), 1);
    for (const char* box : {"txtSoreh", "txtAyeh", "txtJoze", "txtPage"}) EXPECT_EQ(r.text(box), "1") << box;
    EXPECT_EQ(r.tag("txtSoreh"), "114");
    EXPECT_EQ(r.tag("txtAyeh"), "7");
    EXPECT_EQ(r.tag("txtPage"), "604");
    EXPECT_EQ(r.tag("txtJoze"), "30");
    EXPECT_EQ(r.tag("wbrQuran"), "1");
    EXPECT_EQ(r.text("lblPage"), QString::fromUtf8("صفحه 1"));
    EXPECT_EQ(r.text("lblFarsi"), QString::fromUtf8("  سوره فاتحه - آيه 1  "));
    EXPECT_EQ(r.marked(), QStringList{"div0"});
    EXPECT_FALSE(r.state["ShowEarab"].toBool());
    EXPECT_TRUE(r.state["ScrollOnSelect"].toBool());
    EXPECT_EQ(r.state["focus"].toString(), "txtQSearch");
    for (const char* hidden : {"picHelp", "picPanelSearch", "picTools", "hsPage"}) EXPECT_FALSE(r.visible(hidden)) << hidden;
    EXPECT_TRUE(r.visible("picPanelQuran"));
    EXPECT_FALSE(r.enabled("cmdShowSoreh"));
    EXPECT_TRUE(r.enabled("cmdShowSearch"));

    // the page without marks, line 0 in the Bismillah style, seven lines
    QString page = r.document("wbrQuran");
    EXPECT_EQ(Count(page, "<div id="), 7);
    EXPECT_TRUE(page.contains("<div id=\"div0\" class=\"NoEarabBesmSelect\">"));
    EXPECT_TRUE(page.contains("<a id=\"6\" href=\"#\">7.</a>"));
    EXPECT_FALSE(page.contains(QChar(0x064E)));
    // every surah in the index; the tools strip keeps the shell document
    EXPECT_EQ(Count(r.document("wbrSoreh"), "<br>"), 114);
    EXPECT_TRUE(r.document("wbrTools").contains("<body>\n</body>"));
    EXPECT_TRUE(r.document("wbrSearchResult").contains(".Soreh{margin: 0px; hideFocus : True;}"));
    // the help page: its own grey, no byte-order mark, the credits
    QString help = r.document("wbrHelp");
    EXPECT_TRUE(help.contains("#F4F4F4"));
    EXPECT_FALSE(help.contains(QChar(0xFEFF)));
    EXPECT_TRUE(help.contains("https://tanzil.net"));
    EXPECT_TRUE(help.contains("Tanzil Quran Text"));
    EXPECT_TRUE(help.contains("quran-meta"));
}

TEST(ReadingWindow, LayoutAtTheDesignSizeAndAfterResizing) {
    RUN_WINDOW(r, "resize:10635,9210");
    EXPECT_EQ(r.geometry("wbrQuran"), R(100, 450, 7180, 6310));
    EXPECT_EQ(r.geometry("picSwitch"), R(7380, 8790, 3255, 320));
    EXPECT_EQ(r.geometry("cmdShowSoreh"), R(2250, 0, 905, 320));
    EXPECT_EQ(r.geometry("wbrSoreh"), R(100, 450, 3055, 5850));

    RUN_WINDOW(big, "resize:12630,10215", "key:F3");
    EXPECT_EQ(big.geometry("picMPanel"), R(0, 0, 9375, 10215));
    EXPECT_EQ(big.geometry("wbrQuran"), R(100, 450, 9175, 7315));
    EXPECT_EQ(big.geometry("picPanelSearch"), R(9375, 0, 3255, 10215));
    EXPECT_EQ(big.geometry("picSwitch"), R(9375, 9795, 3155, 320));
    EXPECT_EQ(big.geometry("wbrSearchResult")[3].toInt(), 6485 + 1005);

    // too small for the fixed rows: the absorbing panes keep their last height
    RUN_WINDOW(small, "resize:10635,9210", "resize:3000,1500");
    EXPECT_EQ(small.geometry("wbrQuran")[3].toInt(), 6310);
    EXPECT_EQ(small.geometry("picHelp"), R(0, 0, 3000, 1500));
}

TEST(ReadingWindow, NumberBoxes) {
    RUN_WINDOW(r, "type:txtSoreh:200");
    EXPECT_EQ(r.text("txtSoreh"), "114");
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6341);
    EXPECT_EQ(r.text("txtPage"), "604");

    RUN_WINDOW(p, "type:txtPage:10", "type:txtPage:0");
    EXPECT_EQ(p.text("txtPage"), "1");
    EXPECT_EQ(p.model()["Page"].toInt(), 1);

    RUN_WINDOW(a, "type:txtSoreh:9", "type:txtAyeh:129");
    EXPECT_EQ(a.model()["Soreh"].toInt(), 9);
    EXPECT_EQ(a.model()["Ayeh"].toInt(), 129);

    RUN_WINDOW(b, "type:txtSoreh:2", "type:txtAyeh:5");
    EXPECT_EQ(b.model()["GlobalAyeh"].toInt(), 12);
    EXPECT_EQ(b.text("lblFarsi"), QString::fromUtf8("  سوره بقره - آيه 5  "));
    EXPECT_EQ(b.marked(), QStringList{"div12"});

    // Persian digits typed on the Persian layout count as digits
    RUN_WINDOW(fa, "type:txtSoreh:" + QString::fromUtf8("۱۸"));
    EXPECT_EQ(fa.text("txtSoreh"), "18");
    EXPECT_EQ(fa.model()["Soreh"].toInt(), 18);
    RUN_WINDOW(ar, "type:txtJoze:" + QString::fromUtf8("٣٠"));
    EXPECT_EQ(ar.model()["GlobalAyeh"].toInt(), 5747);

    // letters are dropped; "-" is typed but moves nothing
    RUN_WINDOW(l, "type:txtSoreh:5", "type:txtSoreh:x", "type:txtPage:-");
    EXPECT_EQ(l.text("txtSoreh"), "5");
    EXPECT_EQ(l.text("txtPage"), "-");
    EXPECT_EQ(l.model()["Soreh"].toInt(), 5);

    // every key release re-applies the box: an arrow in the surah box goes to its first line
    RUN_WINDOW(k, "type:txtSoreh:2", "type:txtAyeh:5", "type:txtSoreh:2", "key:Left");
    EXPECT_EQ(k.model()["GlobalAyeh"].toInt(), 7);
    // the juz' box takes two characters at most
    RUN_WINDOW(j, "type:txtJoze:123");
    EXPECT_EQ(j.text("txtJoze"), "12");
}

TEST(ReadingWindow, SliderMovesTheHighlightWithinAPage) {
    RUN_WINDOW(r, "slider:3", "eval:wbrQuran:document.body.keptPage = 1", "slider:4",
               "eval:wbrQuran:document.body.keptPage === 1", "slider:8", "eval:wbrQuran:document.body.keptPage === 1");
    QJsonArray kept = r.state["evaluated"].toArray();
    ASSERT_EQ(kept.size(), 3);
    EXPECT_TRUE(kept[1].toBool());   // same page: the document stayed
    EXPECT_FALSE(kept[2].toBool());  // line 8 is on page 2: written anew
    EXPECT_EQ(r.marked(), QStringList{"div8"});
    EXPECT_EQ(r.tag("wbrQuran"), "2");
    EXPECT_EQ(r.text("lblPage"), QString::fromUtf8("صفحه 2"));
    EXPECT_EQ(r.text("lblFarsi"), QString::fromUtf8("  سوره بقره - آيه 1  "));
    QString page = r.document("wbrQuran");
    EXPECT_TRUE(page.contains("<div id=\"div7\" class=\"NoEarabBesm\">"));
    EXPECT_TRUE(page.contains("<a id=\"8\" href=\"#\">1.</a>"));
}

TEST(ReadingWindow, HighlightScrollsTheLineBeforeToTheTop) {
    RUN_WINDOW(r, "slider:6334", "eval:wbrQuran:document.getElementById('div6333').getBoundingClientRect().top");
    EXPECT_EQ(r.marked(), QStringList{"div6334"});
    EXPECT_GT(r.scrollTop("wbrQuran"), 0);
    EXPECT_NEAR(r.state["evaluated"].toArray()[0].toDouble(), 0.0, 1.0);
    // the first line of a page goes to the top itself
    RUN_WINDOW(f, "slider:6330");
    EXPECT_EQ(f.scrollTop("wbrQuran"), 0);
}

TEST(ReadingWindow, SurahIndexFilter) {
    RUN_WINDOW(r, "type:txtQSearch:" + QString::fromUtf8("بقر"));
    EXPECT_EQ(Count(r.document("wbrSoreh"), "<br>"), 1);
    EXPECT_TRUE(r.document("wbrSoreh").contains("<span class=\"Radif\">2</span>"));
    // the reading view stays where it was
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 6341);  // the index writer leaves the model on surah 114
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 0);

    RUN_WINDOW(w, "type:txtQSearch:" + QString::fromUtf8("بقر"), "key:BackSpace", "key:BackSpace");
    EXPECT_GT(Count(w.document("wbrSoreh"), "<br>"), 1);

    RUN_WINDOW(bad, "type:txtQSearch:[");
    EXPECT_EQ(Count(bad.document("wbrSoreh"), "<br>"), 0);
}

TEST(ReadingWindow, HelpPane) {
    RUN_WINDOW(r, "key:F1");
    EXPECT_TRUE(r.visible("picHelp"));
    RUN_WINDOW(h, "key:F1", "key:F1", "type:txtQSearch:a");
    EXPECT_FALSE(h.visible("picHelp"));
    RUN_WINDOW(b, "button:cmdHelp");
    EXPECT_TRUE(b.visible("picHelp"));
    EXPECT_EQ(b.geometry("picHelp"), b.geometry("picHelp"));
    // the help lists the first key of every command that has one, stored or generated
    QString help = r.document("wbrHelp");
    EXPECT_FALSE(help.contains("<!--keys-->"));
    int listed = 0;
    for (const QJsonValue& c : r.state["commands"].toArray()) {
        QJsonArray keys = c.toObject()["keys"].toArray();
        if (keys.isEmpty()) continue;
        QString key = keys.first().toString();
        ++listed;
        EXPECT_TRUE(help.contains("<bdi dir=\"ltr\">" + key + "</bdi> : ") || help.contains("\n" + key + " : "))
            << c.toObject()["name"].toString().toStdString() << " " << key.toStdString();
    }
    EXPECT_GE(listed, 11);
}

TEST(ReadingWindow, RandomAyahNeverLandsOnLineZero) {
    RUN_WINDOW(r, "key:F12", "wait:20", "key:F12");
    int line = r.model()["GlobalAyeh"].toInt();
    EXPECT_GE(line, 1);
    EXPECT_LE(line, 6347);
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), line);
    EXPECT_EQ(r.marked(), QStringList{QString("div%1").arg(line)});
}

TEST(ReadingWindow, ClicksInThePageAndTheIndex) {
    RUN_WINDOW(r, "click:wbrQuran:3");
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 3);
    EXPECT_EQ(r.marked(), QStringList{"div3"});
    EXPECT_EQ(r.scrollTop("wbrQuran"), 0);  // marked without scrolling
    EXPECT_TRUE(r.document("wbrQuran").contains("<div id=\"div0\""));  // no navigation

    RUN_WINDOW(s, "click:wbrSoreh:9");
    EXPECT_EQ(s.model()["GlobalAyeh"].toInt(), 1242);
    EXPECT_EQ(s.text("txtPage"), "187");
    RUN_WINDOW(b, "click:wbrSoreh:2");
    EXPECT_EQ(b.model()["GlobalAyeh"].toInt(), 7);
    EXPECT_EQ(b.marked(), QStringList{"div7"});
    // a click on plain text changes nothing
    RUN_WINDOW(t, "click:wbrQuran:div0");
    EXPECT_EQ(t.model()["GlobalAyeh"].toInt(), 0);
}

TEST(ReadingWindow, UnknownActionFails) {
    auto r = RunWindow({"frobnicate:1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.error.contains("unknown action"));
}
