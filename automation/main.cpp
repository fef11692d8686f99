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
    automation.options = {QCommandLineOption(QStringLiteral("dump-state")),
                          QCommandLineOption(QStringLiteral("do"), QString(), QStringLiteral("ACTION"))};
    automation.take = [&](const QCommandLineParser& parsed) {
        dumpState = parsed.isSet(QStringLiteral("dump-state"));
        actions = parsed.values(QStringLiteral("do"));
    };
    automation.drives = [&] { return dumpState; };
    // without --dump-state it is the reader as it is
    automation.shown = [&](mushaf::frmMain& window, mushaf::Clipboard& clipboard) -> std::optional<int> {
        if (!dumpState) return std::nullopt;
        return mushaf::RunAutomation(window, clipboard, actions);
    };
    return mushaf::RunReader(argc, argv, &automation);
}
