// mushaf-automation: the reader with --dump-state [--do ACTION]..., for tests
// and scripts. The reader itself carries none of this.
#include "automation/Automation.h"
#include "window/Start.h"
#include "window/frmMain.h"

int main(int argc, char** argv) {
    bool dumpState = false;
    QStringList actions;
    mushaf::StartExtension automation;
    automation.usage = QStringLiteral("  --dump-state     open, do the actions, print what the window shows as JSON, close\n"
                                       "  --do ACTION      an action for --dump-state (see the README)");
    automation.option = [&](const QStringList& args, int& i) {
        if (args[i] == QLatin1String("--dump-state")) {
            dumpState = true;
            return true;
        }
        if (args[i] == QLatin1String("--do") && i + 1 < args.size()) {
            actions << args[++i];
            return true;
        }
        return false;
    };
    automation.drives = [&] { return dumpState; };
    // without --dump-state it is the reader as it is
    automation.shown = [&](mushaf::frmMain& window, mushaf::Clipboard& clipboard) -> std::optional<int> {
        if (!dumpState) return std::nullopt;
        return mushaf::RunAutomation(window, clipboard, actions);
    };
    return mushaf::RunReader(argc, argv, &automation);
}
