// The real program, mushaf-automation, in a process of its own: the smoke
// layer (start-up, a search, a click, a copy) and what only a process shows
// (a crash at exit, no display).
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "tests/WindowRun.h"

using mushaf::testing::RunProcess;

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

// A process and those it started, and theirs.
QList<qint64> WithDescendants(qint64 pid) {
    QList<qint64> all{pid};
    for (qsizetype i = 0; i < all.size(); ++i)
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            if (!entry.toLongLong() || !stat.open(QIODevice::ReadOnly)) continue;
            // pid (name) state ppid ...: the name may hold spaces
            const QList<QByteArray> rest = stat.readAll().split(')').last().trimmed().split(' ');
            if (rest.size() > 1 && rest[1].toLongLong() == all[i]) all << entry.toLongLong();
        }
    return all;
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Started {
    QByteArray maps;     // every file the reader and its processes map
    QByteArray environ;  // the environments its processes started with
    bool drawn = false;  // a web engine process has the panes' font
    QByteArray said;     // its standard error
};

// The reader as it is (no automation), started with `env` added, once its
// panes are drawn with their font.
Started StartReader(const QStringList& env) {
    QTemporaryDir fresh;
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : env) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(MUSHAF_BIN), {"--settings", fresh.filePath("settings.ini")});
    Started s;
    if (!p.waitForStarted(10000)) return s;
    for (int i = 0; i < 300 && !s.drawn; ++i) {
        QThread::msleep(100);
        s = {};
        for (qint64 pid : WithDescendants(p.processId())) {
            const QByteArray maps = Read(QStringLiteral("/proc/%1/maps").arg(pid));
            s.maps += maps;
            if (pid == p.processId()) continue;
            s.environ += Read(QStringLiteral("/proc/%1/environ").arg(pid)).replace('\0', '\n') + '\n';
            s.drawn = s.drawn || maps.contains("NotoSansArabic");
        }
    }
    p.kill();
    p.waitForFinished(10000);
    s.said = p.readAllStandardError();
    return s;
}

// A vendor's GL library (libGLX_mesa, libGLX_nvidia...) or a Mesa driver.
bool MapsAGlDriver(const QByteArray& maps) {
    return maps.contains("/libGLX_") || maps.contains("_dri.so") || maps.contains("/libLLVM");
}
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

TEST(Process, DrawnInSoftwareItLoadsNoGlDriver) {
    // Drawn in software, no GL driver (Mesa's, with LLVM) is loaded, and the
    // processes the reader starts do not inherit its turning GL off.
    const Started soft = StartReader({});
    ASSERT_TRUE(soft.drawn) << "the panes were not drawn";
    EXPECT_FALSE(MapsAGlDriver(soft.maps));
    EXPECT_FALSE(soft.environ.contains("QT_XCB_GL_INTEGRATION="));
    // and the platform's and the web engine's word that there is no GL is
    // not passed on: it was asked for
    EXPECT_FALSE(soft.said.contains("OpenGL context")) << soft.said.toStdString();
    EXPECT_FALSE(soft.said.contains("No suitable graphics backend")) << soft.said.toStdString();
    // the reader's choice of GL in the environment holds
    const Started chosen = StartReader({"QT_XCB_GL_INTEGRATION=xcb_glx"});
    ASSERT_TRUE(chosen.drawn) << "the panes were not drawn";
    EXPECT_TRUE(MapsAGlDriver(chosen.maps));
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

// A reader's start prints nothing on the terminal; --verbose (or
// QT_LOGGING_RULES) brings the toolkit's and the web engine's notes back.
TEST(Process, ANormalStartIsQuiet) {
    RUN_PROCESS(quiet, {"slider:300", "key:Ctrl+M"});
    EXPECT_EQ(quiet.standardError.trimmed(), "") << quiet.standardError.toStdString();
    RUN_PROCESS(verbose, {}, {"--verbose"});
    EXPECT_TRUE(verbose.standardError.contains("qt.webenginecontext")) << verbose.standardError.toStdString();
}
