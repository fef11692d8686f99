// What a reader (or the automation) can throw at the program without it
// crashing, growing without bound, or reporting a mixed state.
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "WindowRun.h"

using mushaf::testing::RunWindow;

TEST(Robustness, ClosingWhileAScriptIsPendingDoesNotCrash) {
    // the script never answers: the automation gives up, the window closes
    // with the script's callback still pending
    mushaf::testing::WindowRun r = RunWindow({"eval:wbrQuran:for(;;){}"});
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.error, "a script did not answer");
}

TEST(Robustness, TheDumpIsOneMoment) {
    // Return on the clicked link clicks it again: that click comes back from
    // the renderer after the key, and is handled before the state is read
    for (int run = 0; run < 3; ++run) {
        RUN_WINDOW(r, "click:wbrQuran:3", "key:F12", "key:Return");
        const int line = r.state["hsAllQuran"].toInt();
        EXPECT_EQ(r.model()["GlobalAyeh"].toInt(), line);
        EXPECT_EQ(r.text("txtPage").toInt(), r.state["hsPage"].toInt());
        if (r.tag("wbrQuran") == r.text("txtPage")) {
            EXPECT_EQ(r.marked(), QStringList{QStringLiteral("div%1").arg(line)});
        }
    }
}

TEST(Robustness, ResizeIsBoundedByTheScreen) {
    RUN_WINDOW(r, "resize:2147483647,2147483647");
    const QJsonObject w = r.state["window"].toObject();
    EXPECT_LE(w["width"].toInt(), 1280 + 64);  // the Xvfb screen, with room for a frame
    EXPECT_LE(w["height"].toInt(), 1024 + 64);
    RUN_WINDOW(tiny, "resize:1,1", "resize:-50,-50", "check");
    EXPECT_GE(tiny.state["window"].toObject()["width"].toInt(), 1);
}

TEST(Robustness, NoDisplayIsOneClearLine) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MUSHAF_BIN), {"--dump-state"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    EXPECT_TRUE(err.startsWith("mushaf: cannot open the window:")) << err.toStdString();
    EXPECT_TRUE(err.contains("xvfb-run")) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 0) << err.toStdString();
}
