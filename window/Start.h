#pragma once
// The start routine of the reader: the toolkit, the services, the one window,
// and the event loop until it closes. mushaf-automation runs the same start
// with an extension of its own.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace mushaf {

class frmMain;
class Clipboard;
class TableSource;
class cQ114;

struct StartExtension {
    // The extension's own options, and what it takes of them once they are read.
    QList<QCommandLineOption> options;
    std::function<void(const QCommandLineParser& parsed)> take;
    // Runs from the event loop once the window is shown; a result closes the
    // window and ends the program with it.
    std::function<std::optional<int>(frmMain& window, Clipboard& clipboard)> shown;
    // The extension's part of the usage line.
    QString usage;
    // After the options: whether the extension drives the window (then it
    // opens no dialog and no exported file).
    std::function<bool()> drives;
};

// Reads the text model from `tables` on a thread of its own, from now on,
// while the toolkit and the window start. The function returned waits for it
// and hands it over once (then an empty pointer); a table that cannot be
// read is thrown there, as reading it at once would throw it. `tables` must
// outlive the reading.
std::function<std::unique_ptr<cQ114>()> ReadModelAhead(const TableSource& tables);

int RunReader(int argc, char** argv, const StartExtension* extension = nullptr);

// What must be set before the application object exists: the shipped font
// configuration (looked for next to the executable, then in
// ../share/mushaf/fonts/ from its folder; `argv0` where /proc/self/exe is
// missing), one renderer process for all panes, drawing in software unless
// QT_QUICK_BACKEND says otherwise (and then without a GL driver), shared GL
// contexts.
void PrepareToolkit(const char* argv0);
// Whether the toolkit's and the web engine's messages are printed (by
// default only what ends the program is); QT_LOGGING_RULES in the
// environment prints them too.
void SayEverything(bool on);
// Once the application object stands (after PrepareToolkit): the messages
// its start held back are said, and what PrepareToolkit set in the
// environment for the platform's start only is taken out again.
void ToolkitStarted();

}  // namespace mushaf
