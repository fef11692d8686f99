// The reader's history: the ayat stayed on for ten seconds or more, newest
// first, kept and listed; the reader's clock moved on by the automation.
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunWindow;

namespace {
QList<int> Lines(const mushaf::testing::WindowRun& r) {
    QList<int> out;
    for (const QJsonValue& v : r.state["history"].toArray()) out << v.toInt();
    return out;
}
}  // namespace

TEST(History, TheAyatStayedOnNewestFirstKeptAndListed) {
    QTemporaryDir dir;
    const QStringList kept{"--settings", dir.filePath("settings.ini")};
    // 9 s on line 3 is not enough, 10 s on line 5 is; line 8 again moves to the front
    RUN_WINDOW_WITH(r, {"slider:3", "clock:+9", "slider:5", "clock:+10", "slider:8", "clock:+30", "slider:5",
                        "clock:+12", "slider:8", "clock:+10", "check"},
                    kept);
    EXPECT_EQ(Lines(r), (QList<int>{8, 5}));
    // kept, and listed by Ctrl+Y as the card list is, a row a click away
    RUN_WINDOW_WITH(again, {"key:Ctrl+Y", "click:wbrSearchResult:5", "check"}, kept);
    EXPECT_EQ(Lines(again).mid(0, 2), (QList<int>{8, 5}));
    EXPECT_TRUE(again.document("wbrSearchResult").contains("id=\"8\""));
    EXPECT_LT(again.document("wbrSearchResult").indexOf("id=\"8\""), again.document("wbrSearchResult").indexOf("id=\"5\""));
    EXPECT_EQ(again.state["hsAllQuran"].toInt(), 5);
    EXPECT_TRUE(again.state["lblSearchResult"].toString().contains(QString::fromUtf8("تاریخچه")));
    // a fresh reader has none, and says so
    RUN_WINDOW(fresh, "menu:mnuHistory");
    EXPECT_TRUE(Lines(fresh).isEmpty());
    EXPECT_TRUE(fresh.document("wbrSearchResult").contains(QString::fromUtf8("هنوز آیه‌ای خوانده نشده است")));
}

TEST(History, OnlyTheLastTwoHundredAreKept) {
    QStringList actions;
    for (int line = 100; line < 310; ++line) actions << QStringLiteral("slider:%1").arg(line) << "clock:+10";
    RUN_WINDOW_WITH(r, actions);
    const QList<int> lines = Lines(r);
    ASSERT_EQ(lines.size(), 200);
    EXPECT_EQ(lines.first(), 309);
    EXPECT_EQ(lines.last(), 110);
}
