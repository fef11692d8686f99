// Module1: the start routine. Opens the one window and runs until it closes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "Automation.h"
#include "QtServices.h"
#include "QtTableSource.h"
#include "frmMain.h"

namespace {

// The fonts the documents name are mapped by the configuration shipped next
// to the program; the web renderer processes inherit it.
void UseShippedFonts(const char* argv0) {
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) return;
    QString conf = QFileInfo(QString::fromLocal8Bit(argv0)).absoluteDir().filePath(QStringLiteral("fonts/fonts.conf"));
    if (QFileInfo::exists(conf)) qputenv("FONTCONFIG_FILE", conf.toLocal8Bit());
}

// All six panes share one renderer process.
void ShareOneRenderer() {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--renderer-process-limit")) flags += " --renderer-process-limit=1";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

// A window system that cannot be reached ends the toolkit's start with a
// fatal message and an abort. While the application starts, messages are
// held back; a fatal one becomes one line and status 1.
QStringList startMessages;

void HoldStartMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        startMessages << message;
        return;
    }
    const QString why = startMessages.isEmpty() ? message.simplified() : startMessages.first().simplified();
    std::fprintf(stderr, "mushaf: cannot open the window: %s. Run it on a desktop, or without one under Xvfb: "
                 "xvfb-run -a mushaf\n", why.toLocal8Bit().constData());
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    UseShippedFonts(argv[0]);
    ShareOneRenderer();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(HoldStartMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& m : startMessages) qWarning().noquote() << m;

    QStringList actions;
    bool dumpState = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dump-state")) {
            dumpState = true;
        } else if (args[i] == QLatin1String("--do") && i + 1 < args.size()) {
            actions << args[++i];
        } else {
            std::fprintf(stderr, "usage: mushaf [--dump-state [--do ACTION]...]\n");
            return 2;
        }
    }

    mushaf::QtTableSource tables;
    mushaf::QtSystemColours colours;
    mushaf::QtClipboard clipboard;
    mushaf::OsKeyboardLayout keyboard;
    auto* window = new mushaf::frmMain({tables, colours, clipboard, keyboard});
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
    if (dumpState) {
        QTimer::singleShot(0, window, [&] {
            int status = mushaf::RunAutomation(*window, clipboard, actions);
            window->close();
            QCoreApplication::exit(status);
        });
    }
    return app.exec();
}
