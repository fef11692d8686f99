#pragma once
// The start routine of the reader: the toolkit, the services, the one window,
// and the event loop until it closes. mushaf-automation runs the same start
// with an extension of its own.
#include <QStringList>
#include <functional>
#include <optional>

namespace mushaf {

class frmMain;
class Clipboard;

struct StartExtension {
    // Takes the option at args[i] (moving i past its value) or answers false.
    std::function<bool(const QStringList& args, int& i)> option;
    // Runs from the event loop once the window is shown; a result closes the
    // window and ends the program with it.
    std::function<std::optional<int>(frmMain& window, Clipboard& clipboard)> shown;
    // The extension's part of the usage line.
    QString usage;
    // After the options: whether the extension drives the window (then it
    // opens no dialog and no exported file).
    std::function<bool()> drives;
};

int RunReader(int argc, char** argv, const StartExtension* extension = nullptr);

// What must be set before the application object exists: the shipped font
// configuration (looked for next to the executable, then in
// ../share/mushaf/fonts/ from its folder; `argv0` where /proc/self/exe is
// missing), one renderer process for all panes, drawing in software unless
// QT_QUICK_BACKEND says otherwise, shared GL contexts.
void PrepareToolkit(const char* argv0);

}  // namespace mushaf
