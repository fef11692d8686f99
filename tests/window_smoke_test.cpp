// The real program, mushaf-automation, in a process of its own: the smoke
// layer (start-up, a search, a click, a copy) and what only a process shows
// (a crash at exit, no display).
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunProcess;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
}  // namespace

TEST(Process, StartUpSearchClickAndCopy) {
    RUN_PROCESS(start, {});
    EXPECT_EQ(start.model()["GlobalAyeh"].toInt(), 0);
    EXPECT_EQ(start.marked(), QStringList{"div0"});
    EXPECT_EQ(start.document("wbrSoreh").count("<br>"), 114);

    RUN_PROCESS(r, {"key:F3", "type:txtSearch:" + U("بسم الله الرحمن"), "key:Return", "click:wbrSearchResult:7", "key:F9"});
    EXPECT_EQ(r.document("wbrSearchResult").count("<br>"), 114);
    EXPECT_EQ(r.state["hsAllQuran"].toInt(), 7);
    EXPECT_EQ(r.marked(), QStringList{"div7"});
    EXPECT_TRUE(r.state["clipboard"].toString().startsWith(U("سوره بقره [2] - آيه 0\r\n\r\n")));
}

TEST(Process, DrawsWithTheGraphicsCardWhenAsked) {
    // the panes are drawn in software unless QT_QUICK_BACKEND says otherwise
    const QByteArray before = qgetenv("QT_QUICK_BACKEND");
    qputenv("QT_QUICK_BACKEND", "rhi");
    mushaf::testing::WindowRun r = RunProcess({"slider:300", "key:F3", "type:txtSearch:" + U("الله"), "key:Return"});
    if (before.isNull()) qunsetenv("QT_QUICK_BACKEND");
    else qputenv("QT_QUICK_BACKEND", before);
    ASSERT_EQ(r.status, 0) << r.error.toStdString();
    EXPECT_EQ(r.marked(), QStringList{"div300"});
    EXPECT_EQ(r.document("wbrSearchResult").count("<br>"), 1858);
}

TEST(Process, ClosingWhileAScriptIsPendingDoesNotCrash) {
    // the script never answers: the automation gives up, the window closes
    // with the script's callback still pending
    mushaf::testing::WindowRun r = RunProcess({"eval:wbrQuran:for(;;){}"});
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.error, "a script did not answer");
}

TEST(Process, NoDisplayIsOneClearLine) {
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
