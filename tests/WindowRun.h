#pragma once
// Runs the window with the automation's actions and reads back the state it
// then shows: RunWindow in this process, on a new window with in-memory
// clipboard and keyboard layouts; RunProcess through the real program
// mushaf-automation (for start-up, crashes and the smoke layer).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

#include "platform/Audio.h"

namespace mushaf {
class frmMain;
}

namespace mushaf::testing {

struct WindowRun {
    QJsonObject state;
    int status = -1;
    bool crashed = false;
    QString error;
    QString standardError;  // of a process run

    QJsonObject model() const { return state["model"].toObject(); }
    QString text(const char* name) const { return state[name].toString(); }
    QString document(const char* pane) const { return state["documents"].toObject()[pane].toString(); }
    bool visible(const char* name) const { return state["visible"].toObject()[name].toBool(); }
    bool enabled(const char* name) const { return state["enabled"].toObject()[name].toBool(); }
    QString tag(const char* name) const { return state["tags"].toObject()[name].toString(); }
    double scrollTop(const char* pane) const { return state["scrollTop"].toObject()[pane].toDouble(); }
    QJsonArray geometry(const char* name) const { return state["geometry"].toObject()[name].toArray(); }
    QStringList marked() const {
        QStringList ids;
        for (const auto& v : state["marked"].toArray()) ids << v.toString();
        return ids;
    }
};

// What plays recordings in RunWindow's windows (the Qt player unless a test
// puts another in its place).
AudioPlayerMaker& AudioForRuns();

// In this process (the test program's main sets up the application), with
// the settings in a new file unless `options` names one with --settings
// FILE; --export-dir DIR and --recitations DIR as the program takes them
// (the user's own recitations are not looked at). `first`, when given, runs
// once every pane has its first document, before the actions.
WindowRun RunWindow(const QStringList& actions, const QStringList& options = {},
                    const std::function<void(frmMain&)>& first = {});

// Settings in a new file unless `options` names one: tests never touch the
// user's own.
inline WindowRun RunProcess(const QStringList& actions, const QStringList& options = {}) {
    QStringList args{"--dump-state"};
    QTemporaryDir fresh;
    if (!options.contains("--settings")) args << "--settings" << fresh.filePath("settings.ini");
    args << options;
    for (const QString& a : actions) args << "--do" << a;
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    // MUSHAF_BIN in the environment runs the tests against another build
    const QString bin = qEnvironmentVariableIsSet("MUSHAF_BIN") ? qEnvironmentVariable("MUSHAF_BIN") : QStringLiteral(MUSHAF_BIN);
    p.start(bin, args);
    WindowRun run;
    if (!p.waitForFinished(120000)) {
        p.kill();
        run.error = "timed out";
        return run;
    }
    run.status = p.exitCode();
    run.crashed = p.exitStatus() == QProcess::CrashExit;
    QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();
    run.standardError = QString::fromUtf8(err);
    QJsonParseError parse{};
    QJsonDocument doc = QJsonDocument::fromJson(out.trimmed(), &parse);
    if (parse.error != QJsonParseError::NoError) run.error = "no JSON: " + QString::fromUtf8(out.left(300)) + QString::fromUtf8(err.right(500));
    run.state = doc.object();
    if (run.state.contains("error")) run.error = run.state["error"].toString();
    return run;
}

// A run that must succeed.
#define RUN_WINDOW(var, ...)                                        \
    mushaf::testing::WindowRun var = mushaf::testing::RunWindow({__VA_ARGS__}); \
    ASSERT_EQ(var.status, 0) << var.error.toStdString() << var.standardError.right(600).toStdString(); \
    ASSERT_TRUE(var.error.isEmpty()) << var.error.toStdString()

// The same, with options (as the program takes them).
#define RUN_WINDOW_WITH(var, ...)                                   \
    mushaf::testing::WindowRun var = mushaf::testing::RunWindow(__VA_ARGS__); \
    ASSERT_EQ(var.status, 0) << var.error.toStdString() << var.standardError.right(600).toStdString(); \
    ASSERT_TRUE(var.error.isEmpty()) << var.error.toStdString()

#define RUN_PROCESS(var, ...)                                       \
    mushaf::testing::WindowRun var = mushaf::testing::RunProcess(__VA_ARGS__); \
    ASSERT_EQ(var.status, 0) << var.error.toStdString() << var.standardError.right(600).toStdString(); \
    ASSERT_TRUE(var.error.isEmpty()) << var.error.toStdString()

}  // namespace mushaf::testing
