#pragma once
// mushaf --dump-state [--do ACTION]...: drives the real window with real
// input events and prints what it shows as one JSON object.
#include <QStringList>

namespace mushaf {

class frmMain;
class Clipboard;

// Runs the actions on a loaded window, prints the state; the exit status.
int RunAutomation(frmMain& window, Clipboard& clipboard, const QStringList& actions);

}  // namespace mushaf
