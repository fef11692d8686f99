// Keys and clicks as the X server sends them (xdotool): digits of every
// script in the number boxes, the caret and the selection a click and the
// cursor keys leave there, Up and Down in a box, the page steps of the line
// slider, Return in the surah filter, the tab order and the focus. The X
// server sends them to whatever window has its focus: these tests run on
// their own (the suite X11Keys, a test entry that runs alone).
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

// The line a page starts at, as the page box goes there.
int FirstLineOfPage(int page) {
    mushaf::testing::WindowRun r = mushaf::testing::RunWindow({"type:txtPage:" + QString::number(page)});
    EXPECT_EQ(r.status, 0) << r.error.toStdString();
    return r.state["hsAllQuran"].toInt();
}
}  // namespace

TEST(X11Keys, DigitsMoveAtEachKey) {
    // 36:1 is line 3739; ayah 12 of surah 36 is reached at the second key.
    // (Persian and Arabic-Indic digits: number_box_test, with the events X11
    // gives when a tool maps them onto a spare key for the moment, which
    // xdotool does too quickly for a test to be sure of them.)
    RUN_WINDOW(r, "slider:3739", "focus:txtAyeh", "xtype:12");
    EXPECT_EQ(r.model()["Soreh"].toInt(), 36);
    EXPECT_EQ(r.model()["Ayeh"].toInt(), 12);
    EXPECT_EQ(r.text("txtAyeh"), "12");
    // and clamped: surah 36 has 83 ayat
    RUN_WINDOW(over, "slider:3739", "focus:txtAyeh", "xtype:123");
    EXPECT_EQ(over.model()["Ayeh"].toInt(), 83);
    EXPECT_EQ(over.text("txtAyeh"), "83");
}

TEST(X11Keys, TheFirstCursorKeyAfterAClickInABoxIsKept) {
    // on surah 2: a click selects the box, Ctrl+A selects it again, 5 replaces it
    RUN_WINDOW(all, "slider:10", "xclick:txtSoreh", "xkey:ctrl+a", "xtype:5");
    EXPECT_EQ(all.text("txtSoreh"), "5");
    EXPECT_EQ(all.model()["Soreh"].toInt(), 5);
    // Home puts the caret before the 2
    RUN_WINDOW(home, "slider:10", "xclick:txtSoreh", "xkey:Home", "xtype:5");
    EXPECT_EQ(home.text("txtSoreh"), "52");
    // after a full box, Ctrl+A still selects and the next digits replace it
    for (const char* box : {"txtSoreh", "txtPage"}) {
        const QString full = QString::fromLatin1(box) == "txtSoreh" ? "114" : "604";
        RUN_WINDOW(r, "xclick:" + QString::fromLatin1(box), "xtype:" + full, "xkey:ctrl+a", "xtype:7");
        EXPECT_EQ(r.text(box), "7") << box;
        EXPECT_EQ(r.model()[QString::fromLatin1(box) == "txtSoreh" ? "Soreh" : "Page"].toInt(), 7) << box;
    }
}

TEST(X11Keys, UpAndDownStepABoxAndMoveThere) {
    RUN_WINDOW(up, "slider:3739", "focus:txtAyeh", "xkey:Up", "xkey:Up");
    EXPECT_EQ(up.model()["Ayeh"].toInt(), 3);
    EXPECT_EQ(up.text("txtAyeh"), "3");
    RUN_WINDOW(down, "type:txtPage:50", "xkey:Down");
    EXPECT_EQ(down.model()["Page"].toInt(), 49);
    // clamped to 1 and to the bound
    RUN_WINDOW(low, "type:txtSoreh:1", "xkey:Down");
    EXPECT_EQ(low.text("txtSoreh"), "1");
    RUN_WINDOW(high, "type:txtJoze:30", "xkey:Up");
    EXPECT_EQ(high.text("txtJoze"), "30");
    EXPECT_EQ(high.model()["Joze"].toInt(), 30);
}

TEST(X11Keys, PageKeysAndTheTrackTurnAPage) {
    const int page50 = FirstLineOfPage(50), page51 = FirstLineOfPage(51), page49 = FirstLineOfPage(49);
    ASSERT_GT(page51 - page50, 1);
    // from within page 50
    RUN_WINDOW(down, "slider:" + QString::number(page50 + 1), "focus:hsAllQuran", "xkey:Next");
    EXPECT_EQ(down.state["hsAllQuran"].toInt(), page51);
    RUN_WINDOW(up, "slider:" + QString::number(page50 + 1), "focus:hsAllQuran", "xkey:Prior");
    EXPECT_EQ(up.state["hsAllQuran"].toInt(), page49);
    // a click in the track, away from the thumb, turns one page too
    RUN_WINDOW(track, "slider:" + QString::number(page50 + 1), "xclick:hsAllQuran");
    const int line = track.state["hsAllQuran"].toInt();
    EXPECT_TRUE(line == page49 || line == page51) << line;
}

TEST(X11Keys, TextSizeKeepsTheMarkedAyahInView) {
    // line 6250 stands low on page 599; each size and the wheel keep it on screen
    const QString inView =
        "eval:wbrQuran:(function(){var r=document.getElementById('div6250').getBoundingClientRect();"
        "return r.bottom>0&&r.top<innerHeight;})()";
    for (const QStringList& sizes : {QStringList{"key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+=", "key:Ctrl+="},
                                     QStringList{"wheel:wbrQuran:5"}, QStringList{"key:Ctrl+-", "key:Ctrl+-"}}) {
        // the page follows its new size in the next frame
        RUN_WINDOW(r, QStringList{"slider:6250"} + sizes + QStringList{"painted:wbrQuran", inView});
        EXPECT_TRUE(r.state["evaluated"].toArray()[0].toBool()) << sizes.join(' ').toStdString();
        EXPECT_NE(r.state["zoom"].toObject()["wbrQuran"].toDouble(), 1.0);
    }
}

TEST(X11Keys, APaneIsOneStopOfTheTabChainAndEnteringItKeepsItsPlace) {
    // from the help button: the page, the translation, the surah index, the slider
    RUN_WINDOW(before, "slider:6250");
    ASSERT_GT(before.scrollTop("wbrQuran"), 0);
    const QStringList chain{"wbrQuran", "wbrFarsi", "wbrSoreh", "hsAllQuran", "txtQSearch"};
    for (int tabs = 1; tabs <= chain.size(); ++tabs) {
        QStringList actions{"slider:6250", "focus:cmdHelp"};
        for (int k = 0; k < tabs; ++k) actions << "xkey:Tab";
        RUN_WINDOW(r, actions);
        EXPECT_EQ(r.state["focus"].toString(), chain[tabs - 1]) << tabs << " tabs";
        // no pane moved to its first link
        for (const char* pane : {"wbrQuran", "wbrSoreh"}) EXPECT_EQ(r.scrollTop(pane), before.scrollTop(pane)) << pane;
        EXPECT_EQ(r.marked(), QStringList{"div6250"});
    }
    // and back
    RUN_WINDOW(back, "focus:hsAllQuran", "xkey:shift+Tab", "xkey:shift+Tab");
    EXPECT_EQ(back.state["focus"].toString(), "wbrFarsi");
}

TEST(X11Keys, TheFocusIsVisibleOnAPane) {
    RUN_WINDOW(r, "focus:cmdHelp", "xkey:Tab", "eval:wbrQuran:1");
    ASSERT_EQ(r.state["focus"].toString(), "wbrQuran");
    mushaf::testing::WindowRun shown = mushaf::testing::RunWindow({}, {}, [](mushaf::frmMain& w) {
        mushaf::WebPane* page = w.Pane("wbrQuran");
        page->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        EXPECT_TRUE(page->findChild<QWidget*>("focusFrame")->isVisible());
        EXPECT_FALSE(w.Pane("wbrFarsi")->findChild<QWidget*>("focusFrame")->isVisible());
    });
    EXPECT_EQ(shown.status, 0);
}

TEST(X11Keys, SurahFilterWithTheArticleAndReturnOpensTheSurah) {
    for (const char* typed : {"الكهف", "الکهف", "کهف"}) {
        RUN_WINDOW(r, "type:txtQSearch:" + U(typed), "xkey:Return");
        EXPECT_TRUE(r.document("wbrSoreh").contains("<a id=\"18\" href=\"#\">")) << typed;
        EXPECT_EQ(r.model()["Soreh"].toInt(), 18) << typed;
        EXPECT_EQ(r.text("txtSoreh"), "18") << typed;
    }
    // the first of several; a filter that shows none says so and Return moves nothing
    RUN_WINDOW(first, "slider:300", "type:txtQSearch:" + U("ال"), "xkey:Return");
    EXPECT_EQ(first.text("txtSoreh"), "8");  // انفال, the first name holding "ال"
    RUN_WINDOW(none, "slider:300", "type:txtQSearch:zzz", "xkey:Return");
    EXPECT_TRUE(none.document("wbrSoreh").contains(U("سوره‌ای با این نام نیست")));
    EXPECT_EQ(none.state["hsAllQuran"].toInt(), 300);
}

TEST(X11Keys, UpAndDownMoveAmongAPanesLinksAndReturnFollowsOne) {
    // the second result row, from the keyboard alone
    RUN_WINDOW(list, "key:F3", "type:txtSearch:" + U("بسم الله الرحمن"), "key:Return", "focus:wbrSearchResult",
               "xkey:Down", "xkey:Down", "xkey:Return");
    EXPECT_EQ(list.state["hsAllQuran"].toInt(), 7);
    // the second surah of the index; Up goes back
    RUN_WINDOW(index, "focus:wbrSoreh", "xkey:Down", "xkey:Down", "xkey:Down", "xkey:Up", "xkey:Return");
    EXPECT_EQ(index.model()["Soreh"].toInt(), 2);
    EXPECT_EQ(index.state["hsAllQuran"].toInt(), 7);
}
