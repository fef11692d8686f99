#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "Start.h"
#include "QtServices.h"
#include "QtTableSource.h"
#include "frmMain.h"

namespace {

// The fonts the documents name are mapped by the configuration shipped with
// the program: next to it in the build tree (fonts/fonts.conf), or where it
// is installed (../share/mushaf/fonts/fonts.conf from bin/). The web renderer
// processes inherit it. The program's folder comes from /proc/self/exe where
// there is one, since a program started from the PATH (the desktop's menu)
// gets a bare name as argv[0].
void UseShippedFonts(const char* argv0) {
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE")) return;
    QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QDir dir = self.exists() ? QFileInfo(self.canonicalFilePath()).absoluteDir()
                                   : QFileInfo(QString::fromLocal8Bit(argv0)).absoluteDir();
    for (const QString& rel : {QStringLiteral("fonts/fonts.conf"), QStringLiteral("../share/mushaf/fonts/fonts.conf")}) {
        const QString conf = QDir::cleanPath(dir.filePath(rel));
        if (QFileInfo::exists(conf)) {
            qputenv("FONTCONFIG_FILE", conf.toLocal8Bit());
            return;
        }
    }
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

namespace mushaf {

void PrepareToolkit(const char* argv0) {
    UseShippedFonts(argv0);
    ShareOneRenderer();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int RunReader(int argc, char** argv, const StartExtension* extension) {
    PrepareToolkit(argv[0]);
    qInstallMessageHandler(HoldStartMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& m : startMessages) qWarning().noquote() << m;

    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (extension && extension->option(args, i)) continue;
        std::fprintf(stderr, "usage: %s%s\n", QFileInfo(app.arguments().value(0)).fileName().toLocal8Bit().constData(),
                     extension ? (" " + extension->usage).toLocal8Bit().constData() : "");
        return 2;
    }

    QtTableSource tables;
    QtSystemColours colours;
    QtClipboard clipboard;
    OsKeyboardLayout keyboard;
    auto* window = new frmMain({tables, colours, clipboard, keyboard});
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
    if (extension && extension->shown) {
        QTimer::singleShot(0, window, [&] {
            if (std::optional<int> status = extension->shown(*window, clipboard)) {
                window->close();
                QCoreApplication::exit(*status);
            }
        });
    }
    return app.exec();
}

}  // namespace mushaf
