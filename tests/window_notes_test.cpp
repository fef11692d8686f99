// A note on a note card, in the window: set, listed, marked, exported, kept,
// and asked about before it is dropped.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowDialogs.h"
#include "tests/WindowRun.h"
#include "window/frmMain.h"

using mushaf::testing::RunWindow;
using mushaf::testing::WhenADialogOpens;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
const char* const kOdd = "<b>\"یادداشت\" & 'x'</b>";
}  // namespace

TEST(Notes, ANoteMakesItsCardIsListedMarkedExportedAndKept) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini"), "--export-dir", dir.filePath("out")};
    RUN_WINDOW_WITH(r, {"slider:9", QStringLiteral("note:") + U(kOdd), "key:F6", "menu:mnuExportFish", "check"}, kept);
    EXPECT_EQ(r.state["notes"].toObject()["9"].toString(), U(kOdd));
    EXPECT_EQ(r.state["FishList"].toString(), "9");
    // under its row in the card list, as text
    const QString list = r.document("wbrSearchResult");
    EXPECT_TRUE(list.contains(U("&lt;b&gt;\"یادداشت\" &amp; 'x'&lt;/b&gt;"))) << list.toStdString();
    EXPECT_FALSE(list.contains("<b>\""));
    // the reader's own list in Persian digits
    EXPECT_TRUE(list.contains(U("<a id=\"9\" href=\"#\">۱ -</a></span><span class=\"SorehName\">بقره</span>"
                                "<span class=\"AyehCaption\">آیه</span><span class=\"Ayeh\">۲</span>")))
        << list.toStdString();
    // marked on the page apart from a card without a note
    EXPECT_TRUE(r.state["renderingStyle"].toObject()["wbrQuran"].toString().contains("#div9 { border-right: 6px double"));
    // in the export, as text
    const QString file = r.state["exported"].toArray()[0].toString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    const QString exported = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(exported.contains(U("&lt;b&gt;&quot;یادداشت&quot; &amp; &#39;x&#39;&lt;/b&gt;")));

    // kept: read back at the next start
    RUN_WINDOW_WITH(again, {"check"}, kept);
    EXPECT_EQ(again.state["notes"].toObject()["9"].toString(), U(kOdd));
    // an empty note leaves the card without a note
    RUN_WINDOW_WITH(cleared, {"slider:9", "note:  ", "check"}, kept);
    EXPECT_TRUE(cleared.state["notes"].toObject().isEmpty());
    EXPECT_EQ(cleared.state["FishList"].toString(), "9");
}

TEST(Notes, TakingOffACardWithANoteAsksFirst) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    RUN_WINDOW_WITH(noted, {"slider:20", "note:حفظ شود", "check"}, kept);
    // no answer, or no: the card and its note stay
    RUN_WINDOW_WITH(unanswered, {"slider:20", "key:Ctrl+D", "check"}, kept);
    EXPECT_EQ(unanswered.state["FishList"].toString(), "20");
    RUN_WINDOW_WITH(no, {"slider:20", "answer:no", "key:Ctrl+D", "check"}, kept);
    EXPECT_EQ(no.state["FishList"].toString(), "20");
    EXPECT_EQ(no.state["notes"].toObject()["20"].toString(), U("حفظ شود"));
    // yes: both go
    RUN_WINDOW_WITH(yes, {"slider:20", "answer:yes", "key:Ctrl+D", "check"}, kept);
    EXPECT_EQ(yes.state["FishList"].toString(), "");
    EXPECT_TRUE(yes.state["notes"].toObject().isEmpty());
    // a card without a note goes without a question
    RUN_WINDOW_WITH(plain, {"slider:30", "key:Ctrl+D", "key:Ctrl+D", "check"}, kept);
    EXPECT_EQ(plain.state["FishList"].toString(), "");
    // the note's key is in the command table and on the help page
    bool listed = false;
    for (const QJsonValue& c : plain.state["commands"].toArray())
        if (c.toObject()["name"] == "mnuFishNote") listed = c.toObject()["keys"].toArray()[0].toString() == "Ctrl+Shift+D";
    EXPECT_TRUE(listed);
    EXPECT_TRUE(plain.document("wbrHelp").contains("Ctrl+Shift+D"));
}

TEST(Notes, TheNotesSearchIsAThirdOptionWhileACardHasANote) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    // no note: the search row as designed
    RUN_WINDOW_WITH(plain, {"key:F3", "check"}, kept);
    EXPECT_FALSE(plain.visible("optSearchInN"));
    EXPECT_EQ(plain.geometry("optSearchInT"), (QJsonArray{65, 100, 1395, 295}));
    // notes on two cards; the option appears and finds them as the translation search would (kaf and yeh folded)
    RUN_WINDOW_WITH(r, {"slider:12", U("note:برای حفظ کردن"), "slider:40", U("note:تفسير الميزان"), "slider:41",
                        "key:Ctrl+D", "key:F3", "button:optSearchInN", U("type:txtSearch:براي"), "key:Return", "check"},
                    kept);
    EXPECT_TRUE(r.visible("optSearchInN"));
    const QString found = r.document("wbrSearchResult");
    EXPECT_TRUE(found.contains("id=\"12\""));
    EXPECT_FALSE(found.contains("id=\"40\""));
    EXPECT_FALSE(found.contains("id=\"41\""));
    // the model's own search is untouched by it
    EXPECT_EQ(r.state["model"].toObject()["GlobalAyeh"].toInt(), r.state["hsAllQuran"].toInt());
    RUN_WINDOW_WITH(wild, {"key:F3", "button:optSearchInN", U("type:txtSearch:ت*ميزان"), "key:Return", "click:wbrSearchResult:40",
                           "check"},
                    kept);
    EXPECT_EQ(wild.state["hsAllQuran"].toInt(), 40);
    // the last note gone, the option goes and the row is as designed again
    RUN_WINDOW_WITH(gone, {"slider:12", "note:", "slider:40", "note:", "key:F3", "check"}, kept);
    EXPECT_FALSE(gone.visible("optSearchInN"));
    EXPECT_EQ(gone.geometry("optSearchInT"), (QJsonArray{65, 100, 1395, 295}));
}

TEST(Notes, AtNightTheNotesAndTheStudyListsAreLegible) {
    RUN_WINDOW(r, "menu:mnuNight", "slider:9", "note:یادداشت شب", "key:F6",
               "eval:wbrSearchResult:getComputedStyle(document.querySelector('.Note')).color", "key:Ctrl+Y",
               "key:Ctrl+M", "key:Ctrl+H", "check");
    // the note in the night's light text, not its day colour
    EXPECT_EQ(r.state["evaluated"].toArray()[0].toString(), "rgb(227, 199, 126)");
    EXPECT_TRUE(r.state["night"].toBool());
    EXPECT_EQ(r.state["view"].toString(), "mushaf");
    EXPECT_TRUE(r.state["hifz"].toBool());
}


// The note dialog acts on the ayah it was opened for, though the reader (or
// the voice) moves while it is open.
TEST(Notes, ANoteGoesToTheAyahItsDialogWasOpenedFor) {
    auto opened = std::make_shared<QString>();
    RUN_WINDOW_WITH(r, {"check"}, {}, [opened](mushaf::frmMain& w) {
        w.Control("hsAllQuran")->setProperty("value", 12);
        w.SetInteractive(true);
        WhenADialogOpens([&w, opened](QDialog& dialog) {
            auto* text = dialog.findChild<QPlainTextEdit*>();
            if (const QString shots = qEnvironmentVariable("MUSHAF_SHOTS"); !shots.isEmpty())
                dialog.grab().save(shots + "/note-dialog.png");
            *opened = dialog.layoutDirection() == Qt::RightToLeft ? "rtl" : "ltr";
            static_cast<QScrollBar*>(w.Control("hsAllQuran"))->setValue(30);  // the reader moves on
            text->setPlainText(QString::fromUtf8("برای آیهٔ ۱۲"));
            dialog.accept();
        });
        w.MenuAction("mnuFishNote")->trigger();
        w.SetInteractive(false);
    });
    EXPECT_EQ(*opened, "rtl");
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 30);
    EXPECT_EQ(r.state["notes"].toObject().keys(), QStringList{"12"});
    EXPECT_EQ(r.state["notes"].toObject()["12"].toString(), QString::fromUtf8("برای آیهٔ ۱۲"));
    EXPECT_EQ(r.state["FishList"].toString(), "12");
}
