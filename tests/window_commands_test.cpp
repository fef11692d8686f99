// Search, function keys, buttons and the clipboard, end to end.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::testing::RunWindow;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
QString Body(const QString& doc) {
    int from = doc.indexOf("<body>"), to = doc.indexOf("</body>");
    return from < 0 || to < 0 ? QString() : doc.mid(from + 6, to - from - 6).trimmed();
}
}  // namespace

TEST(Commands, SearchThatFindsNothingAndEnterStartsIt) {
    RUN_WINDOW(r, "key:F3", "type:txtSearch:zzzz", "key:Return");
    EXPECT_EQ(Body(r.document("wbrSearchResult")), U("موردي يافت نشد"));
    EXPECT_EQ(r.state["focus"].toString(), "txtSearch");
}

TEST(Commands, SearchTheArabicTextAndClickAResult) {
    RUN_WINDOW(r, "key:F3", "type:txtSearch:" + U("بسم الله الرحمن"), "button:cmdSearch", "click:wbrSearchResult:7");
    QString list = r.document("wbrSearchResult");
    EXPECT_TRUE(list.contains(U("<span class=\"Radif\"><a id=\"0\" href=\"#\">1 -</a></span><span class=\"SorehName\">فاتحه</span>"
                               "<span class=\"AyehCaption\">آيه</span><span class=\"Ayeh\">1</span><br>")));
    // a Bismillah line shows "-" for its ayah
    EXPECT_TRUE(list.contains(U("<a id=\"7\" href=\"#\">2 -</a></span><span class=\"SorehName\">بقره</span>"
                               "<span class=\"AyehCaption\">آيه</span><span class=\"Ayeh\">-</span>")));
    EXPECT_EQ(list.count("<br>"), 114);
    // the click moved the reading view there and did not touch the search state
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 7);
    EXPECT_EQ(r.marked(), QStringList{"div7"});
    EXPECT_EQ(r.text("txtSoreh"), "2");
    EXPECT_EQ(r.text("txtAyeh"), "0");
}

TEST(Commands, SearchTheTranslationWithPersianLetters) {
    // typed with Persian kaf and yeh, stored with Persian kaf and Arabic yeh
    RUN_WINDOW(r, "key:F3", "button:optSearchInT", "type:txtSearch:" + U("کتاب آسمانی"), "key:Return");
    QString list = r.document("wbrSearchResult");
    EXPECT_TRUE(list.contains("<a id=\""));
    EXPECT_FALSE(list.contains(U("موردي يافت نشد")));
}

TEST(Commands, UnclosedBracketShowsAMessageAndKeepsThePosition) {
    RUN_WINDOW(r, "slider:20", "key:F3", "type:txtSearch:[" + U("الله"), "key:Return");
    EXPECT_EQ(Body(r.document("wbrSearchResult")), U("الگوی جستجو نادرست است"));
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 20);
    EXPECT_EQ(r.marked(), QStringList{"div20"});
}

TEST(Commands, LongPastedQuery) {
    QString query(10000, QChar(0x0628));
    RUN_WINDOW(r, "clipboard:" + query, "key:F3", "dblclick:lblSearch", "key:Return");
    EXPECT_EQ(r.text("txtSearch").size(), 10000);
    EXPECT_EQ(Body(r.document("wbrSearchResult")), U("موردي يافت نشد"));
}

TEST(Commands, PanelsAndFocus) {
    RUN_WINDOW(s, "key:F3");
    EXPECT_TRUE(s.visible("picPanelSearch"));
    EXPECT_FALSE(s.visible("picPanelQuran"));
    EXPECT_TRUE(s.enabled("cmdShowSoreh"));
    EXPECT_FALSE(s.enabled("cmdShowSearch"));
    EXPECT_EQ(s.state["focus"].toString(), "txtSearch");
    // the switch bar stands over the visible panel
    EXPECT_EQ(s.geometry("picSwitch")[2].toInt(), 3155);

    RUN_WINDOW(q, "key:F3", "key:F3", "button:cmdShowSoreh");
    EXPECT_FALSE(q.visible("picPanelSearch"));
    EXPECT_TRUE(q.visible("picPanelQuran"));
    EXPECT_FALSE(q.enabled("cmdShowSoreh"));
    EXPECT_TRUE(q.enabled("cmdShowSearch"));
    EXPECT_EQ(q.state["focus"].toString(), "txtQSearch");

    RUN_WINDOW(f, "button:cmdShowSearch", "key:F2");
    EXPECT_TRUE(f.visible("picPanelQuran"));
}

TEST(Commands, FunctionKeysReachTheWindowFromInsideAPane) {
    RUN_WINDOW(r, "click:wbrQuran:2", "key:F3");
    EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), 2);
    EXPECT_TRUE(r.visible("picPanelSearch"));
}

TEST(Commands, VowelMarksOnAndOff) {
    RUN_WINDOW(on, "slider:3", "key:F4");
    EXPECT_TRUE(on.state["ShowEarab"].toBool());
    EXPECT_TRUE(on.document("wbrQuran").contains(QChar(0x064E)));
    EXPECT_EQ(on.marked(), QStringList{"div3"});
    RUN_WINDOW(off, "slider:3", "key:F4", "key:F4");
    EXPECT_FALSE(off.state["ShowEarab"].toBool());
    EXPECT_FALSE(off.document("wbrQuran").contains(QChar(0x064E)));
    EXPECT_EQ(off.marked(), QStringList{"div3"});
}

TEST(Commands, CopyAnAyahWithItsTranslation) {
    RUN_WINDOW(r, "key:F9");
    QString clip = r.state["clipboard"].toString();
    QString expected = U("سوره فاتحه [1] - آيه 1\r\n\r\nبسم الله الرحمن الرحيم\r\n\r\n") + r.model()["MeanFarsi"].toString();
    EXPECT_EQ(clip, expected);

    // a Bismillah line, with marks, by a double click on the caption
    RUN_WINDOW(b, "slider:7", "key:F4", "dblclick:lblFarsi");
    EXPECT_EQ(b.state["clipboard"].toString(), U("سوره بقره [2] - آيه 0\r\n\r\n") + b.model()["ArabicByEarab"].toString() +
                                                   "\r\n\r\n" + b.model()["MeanFarsi"].toString());

    // after the index writer moved the model, the copy is still of the highlighted line
    RUN_WINDOW(i, "slider:12", "type:txtQSearch:" + U("ن"), "key:F9");
    EXPECT_TRUE(i.state["clipboard"].toString().startsWith(U("سوره بقره [2] - آيه 5\r\n")));
    // and a paste puts it into the search box
    RUN_WINDOW(p, "key:F9", "key:F3", "dblclick:lblSearch");
    EXPECT_EQ(p.text("txtSearch"), p.state["clipboard"].toString());
}

TEST(Commands, AClickAnywhereOnAResultRowGoesThereAndTheCountIsShown) {
    const QStringList search{"key:F3", "type:txtSearch:" + U("بسم الله الرحمن"), "key:Return"};
    // where the third row's surah name and the space beside its ayah number stand, as fractions of the pane
    RUN_WINDOW(where, search + QStringList{
        "eval:wbrSearchResult:(function(){var s=document.getElementsByClassName('SorehName')[2].getBoundingClientRect();"
        "var a=document.getElementsByClassName('Ayeh')[2].getBoundingClientRect();"
        "return [(s.left+s.right)/2/innerWidth,(s.top+s.bottom)/2/innerHeight,(a.left-8)/innerWidth];})()"});
    const QJsonArray at = where.state["evaluated"].toArray()[0].toArray();
    ASSERT_EQ(at.size(), 3);
    const QString y = QString::number(at[1].toDouble());
    for (const QString& x : {QString::number(at[0].toDouble()), QString::number(at[2].toDouble())}) {
        RUN_WINDOW(r, search + QStringList{"clickat:wbrSearchResult:" + x + "," + y});
        EXPECT_EQ(r.state["hsAllQuran"].toInt(), 294) << x.toStdString();  // 3:0, the third row
    }
    // the number found stands above the list, in Persian digits; the caption keeps its text
    EXPECT_TRUE(where.state["renderingStyle"].toObject()["wbrSearchResult"].toString().contains(U("۱۱۴ مورد یافت شد")));
    EXPECT_EQ(where.state["lblSearchResult"].toString(), U("نـتايـج جـسـتـجـو"));
    // gone with a search that finds nothing
    RUN_WINDOW(none, search + QStringList{"type:txtSearch:zzzz", "key:Return"});
    EXPECT_FALSE(none.state["renderingStyle"].toObject()["wbrSearchResult"].toString().contains(U("مورد یافت شد")));
}

namespace {
// Every list of the menu, the menu itself first, as it opens.
std::vector<QMenu*> Lists(QMenu* menu) {
    std::vector<QMenu*> all{menu};
    for (QAction* a : menu->actions())
        if (a->menu())
            for (QMenu* sub : Lists(a->menu())) all.push_back(sub);
    return all;
}
}  // namespace

// The menu in groups, most used first, each sub-menu one kind of choice, no
// list taller than half the screen, though the reader has many reciters.
TEST(Commands, TheMenuIsGroupedAndNoListIsTallerThanHalfTheScreen) {
    QTemporaryDir dir;
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(QDir().mkdir(dir.filePath(QString("Qari %1").arg(i, 2, 10, QChar('0')))));
    std::map<QString, QStringList> entries;
    RUN_WINDOW_WITH(r, {"rightclick:wbrQuran"}, {"--recitations", dir.path()}, [&](mushaf::frmMain& w) {
        const int half = w.screen()->availableGeometry().height() / 2;
        for (QMenu* list : Lists(w.ContextMenu())) {
            list->ensurePolished();
            EXPECT_LE(list->sizeHint().height(), half) << list->objectName().toStdString();
            EXPECT_EQ(list->layoutDirection(), Qt::RightToLeft);
            for (QAction* a : list->actions()) {
                if (a->isSeparator()) continue;
                entries[list->objectName()] << (a->menu() ? a->menu()->objectName() : a->objectName());
                // Persian letters: yeh and kaf as Persian writes them
                EXPECT_FALSE(a->text().contains(QChar(0x064A)) || a->text().contains(QChar(0x0643))) << a->text().toStdString();
            }
            if (const QString shots = qEnvironmentVariable("MUSHAF_SHOTS"); !shots.isEmpty()) {
                list->adjustSize();
                list->grab().save(shots + "/menu-" + (list->objectName().isEmpty() ? "top" : list->objectName()) + ".png");
            }
        }
    });
    const QStringList top = entries[""];
    // the most used first
    EXPECT_EQ(top.mid(0, 5), (QStringList{"mnuPlay", "mnuStop", "mnuFish", "mnuFishNote", "mnuCopy"}));
    for (const char* group : {"mnuView", "mnuStudy", "mnuRecitation", "mnuExport"}) EXPECT_TRUE(top.contains(group)) << group;
    EXPECT_EQ(entries["mnuRecitation"], (QStringList{"mnuReciter", "mnuRepeat", "mnuPlayTo", "mnuSpeed"}));
    // how often, and nothing else: each ayah, or a range
    EXPECT_EQ(entries["mnuRepeat"], (QStringList{"mnuRepeat1", "mnuRepeat2", "mnuRepeat3", "mnuRepeat5", "mnuRepeat10",
                                                 "mnuRepeatForever", "mnuRange", "mnuRangeOff"}));
    EXPECT_TRUE(entries["mnuPlayTo"].contains("mnuPlayToSurah"));
    EXPECT_FALSE(entries["mnuRepeat"].contains("mnuPlayToSurah"));
    // the first reciters, the list of all, and the ways to add one
    EXPECT_EQ(entries["mnuReciter"].size(), 14);
    EXPECT_EQ(entries["mnuReciter"].mid(12), (QStringList{"mnuAllReciters", "mnuAddRecordings"}));
    EXPECT_EQ(entries["mnuAddRecordings"], (QStringList{"mnuAddRecordingsArchive", "mnuAddRecordingsFolder", "mnuDownloadRecordings"}));
    // every reciter still answers the automation and the commands list
    RUN_WINDOW_WITH(last, {"menu:mnuReciter:Qari 39"}, {"--recitations", dir.path()});
    EXPECT_EQ(last.state["recitation"].toObject()["reciter"].toString(), "Qari 39");
}
