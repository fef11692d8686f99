#pragma once
// mushaf --dump-state [--do ACTION]...: drives the real window with real
// input events and prints what it shows as one JSON object.
#include <QJsonObject>
#include <QStringList>
#include <functional>

namespace mushaf {

class frmMain;
class Clipboard;

// Runs the actions on a loaded window and answers the state it then shows,
// or {"error": ...}.
QJsonObject RunActions(frmMain& window, Clipboard& clipboard, const QStringList& actions);
// The same, printed as one line; the exit status.
int RunAutomation(frmMain& window, Clipboard& clipboard, const QStringList& actions);
// Runs the event loop until `done` answers true (true) or `timeoutMs` has
// passed (false).
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace mushaf
