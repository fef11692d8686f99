// Memorisation: the page's words hidden from the current ayah on, shown a
// word or an ayah at a time, the mark moving on; across pages, kept.
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunWindow;

namespace {
// [hidden words, shown words] of the page line `line`.
QString Words(int line) {
    return QStringLiteral("eval:wbrQuran:(function(){var d=document.getElementById('div%1');var h=0,s=0;"
                          "(d.mushafWords||[]).forEach(function(w){if(w.style.visibility==='hidden')h++;else s++;});"
                          "return [h,s,!!d.mushafWords];})()")
        .arg(line);
}
QList<int> At(const mushaf::testing::WindowRun& r, int k) {
    const QJsonArray a = r.state["evaluated"].toArray()[k].toArray();
    return {a[0].toInt(), a[1].toInt(), a[2].toBool() ? 1 : 0};
}
}  // namespace

TEST(Hifz, WordsHiddenFromTheCurrentAyahShownByTheKeys) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    // 2:2 (line 9) on: 2:1 stays shown; 2:2 has 4 words, 2:3 more
    RUN_WINDOW_WITH(r, {"slider:9", "key:Ctrl+H", Words(8), Words(9), Words(10), "focus:wbrQuran", "key:Space", Words(9),
                        "check"},
                    kept);
    EXPECT_TRUE(r.state["hifz"].toBool());
    EXPECT_EQ(r.state["hiddenFrom"].toInt(), 9);
    EXPECT_EQ(At(r, 0), (QList<int>{0, 1, 1}));  // "الم"
    const int words = At(r, 1)[0];
    EXPECT_GE(words, 4);
    EXPECT_EQ(At(r, 1)[1], 0);
    EXPECT_GT(At(r, 2)[0], 0);
    EXPECT_EQ(At(r, 3), (QList<int>{words - 1, 1, 1}));
    // kept: the next start hides from its page's first line (1:1); Shift+Space completes it and moves on
    RUN_WINDOW_WITH(rest, {"focus:wbrQuran", "key:Shift+Space", "check"}, kept);
    EXPECT_TRUE(rest.state["hifz"].toBool());
    EXPECT_EQ(rest.state["hsAllQuran"].toInt(), 1);
    EXPECT_EQ(rest.state["hiddenFrom"].toInt(), 1);
}

TEST(Hifz, ACompletedAyahMovesTheMarkAPageTurnHidesTheNewPage) {
    RUN_WINDOW(r, "slider:11", "key:Ctrl+H", "focus:wbrQuran", "key:Shift+Space", Words(11), Words(12), "check");
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 12);
    EXPECT_EQ(r.marked(), QStringList{"div12"});
    EXPECT_EQ(At(r, 0)[0], 0);  // 2:4 all shown
    EXPECT_GT(At(r, 1)[0], 0);  // 2:5 hidden
    // the last ayah of page 2 completed: page 3, hidden from its first line
    RUN_WINDOW(turn, "slider:12", "key:Ctrl+H", "focus:wbrQuran", "key:Shift+Space", Words(13), "check");
    EXPECT_EQ(turn.state["hsAllQuran"].toInt(), 13);
    EXPECT_EQ(turn.state["hiddenFrom"].toInt(), 13);
    EXPECT_GT(At(turn, 0)[0], 0);
    // off: every word shown, the translation too
    RUN_WINDOW(off, "slider:9", "key:Ctrl+H", "menu:mnuHifzTranslation", "key:Ctrl+H", Words(9), "check");
    EXPECT_FALSE(off.state["hifz"].toBool());
    EXPECT_TRUE(off.state["hiddenFrom"].isNull());
    EXPECT_EQ(At(off, 0)[0], 0);
    EXPECT_FALSE(off.state["renderingStyle"].toObject()["wbrFarsi"].toString().contains("visibility: hidden"));
    RUN_WINDOW(veiled, "slider:9", "key:Ctrl+H", "menu:mnuHifzTranslation", "check");
    EXPECT_TRUE(veiled.state["renderingStyle"].toObject()["wbrFarsi"].toString().contains("visibility: hidden"));
}

TEST(Hifz, TheMushafViewHidesItsWordsAndKeepsItsSigns) {
    RUN_WINDOW(r, "key:Ctrl+M", "slider:9", "key:Ctrl+H", Words(9),
               "eval:wbrQuran:getComputedStyle(document.getElementById('9')).visibility", "check");
    EXPECT_GT(At(r, 0)[0], 0);
    EXPECT_EQ(At(r, 0)[1], 0);
    EXPECT_EQ(r.state["evaluated"].toArray()[1].toString(), "visible");
}
