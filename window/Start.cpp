#include <QApplication>
#include <QQuickWindow>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <memory>
#include <string>
#include <cstdio>
#include <cstdlib>

#include "window/Start.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtTableSource.h"
#include "model/Loading.h"
#include "controls/NumberBox.h"
#include "version/Version.h"
#include "window/frmMain.h"

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

// The panes are drawn on the CPU: Qt Quick's software scene graph, with
// which the web engine composites in software too. For pages of text this
// starts sooner, shows a change about a frame sooner and keeps no GL driver
// in memory (without a GPU the driver is a compiler of its own, some 45 MB).
// QT_QUICK_BACKEND set in the environment chooses otherwise ("rhi": the
// graphics card). Set through the API, not the environment, so that the
// programs the reader opens (an exported list) draw as they would.
void DrawInSoftware() {
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
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
    DrawInSoftware();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

namespace {

const char* kUsage =
    "usage: %s [OPTION]... [SURAH:AYAH]\n"
    "A Quran reader with a Persian translation.\n"
    "\n"
    "  SURAH:AYAH       open at that ayah, e.g. 2:255 (Persian and Arabic-Indic digits too)\n"
    "  --page N         open at the first line of page N (1 to 604)\n"
    "  --juz N          open at the first line of juz' N (1 to 30)\n"
    "  --settings FILE  keep the reader's choices in this INI file instead of the user's settings\n"
    "  --export-dir DIR write exported note cards and search results into DIR\n"
    "                   (default ~/Documents/Zendar)\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "%s";

// Persian and Arabic-Indic digits as 0-9.
QString AsciiDigits(QString text) {
    for (QChar& c : text) c = NumberBox::AsciiDigit(c);
    return text;
}

// The options Qt and its web engine take for themselves (-platform X,
// --platform=X, -session ID, --no-sandbox ...): passed over, with a value
// where they take one; everything after --webEngineArgs is the engine's.
bool ToolkitOption(const QStringList& args, int& i) {
    static const QStringList withValue{"platform", "platformpluginpath", "platformtheme", "plugin", "style",
                                       "stylesheet", "display", "geometry", "qwindowgeometry", "qwindowicon",
                                       "qwindowtitle", "session", "name", "title", "visual"};
    static const QStringList flags{"reverse", "nograb", "dograb", "sync", "widgetcount", "no-sandbox",
                                   "disable-gpu", "single-process"};
    const QString& a = args[i];
    if (a == "--webEngineArgs") {
        i = static_cast<int>(args.size());
        return true;
    }
    if (!a.startsWith('-')) return false;
    QString name = a.mid(a.startsWith("--") ? 2 : 1);
    const int eq = static_cast<int>(name.indexOf('='));
    if (eq > 0) return withValue.contains(name.left(eq));
    if (flags.contains(name)) return true;
    if (withValue.contains(name) && i + 1 < args.size()) {
        ++i;
        return true;
    }
    return false;
}

std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString t = AsciiDigits(text.trimmed());
    if (!digits.match(t).hasMatch()) return std::nullopt;
    return t.toInt();
}

struct Failure {
    std::string message;
};

// The line a reference names, or a Failure saying what is wrong.
int16_t ReferenceLine(cQ114& model, const QString& kind, const QString& text) {
    auto need = [&](std::optional<int> n, const char* what) {
        if (!n) throw Failure{"not a " + std::string(what) + ": " + text.toStdString()};
        return *n;
    };
    if (kind == "page" || kind == "juz") {
        const bool page = kind == "page";
        const int n = need(WholeNumber(text), page ? "page number" : "juz' number");
        const int last = page ? 604 : 30;
        if (n < 1 || n > last)
            throw Failure{(page ? "page " : "juz' ") + std::to_string(n) + (page ? ": pages are 1 to " : ": juz' are 1 to ") +
                          std::to_string(last)};
        if (page) model.GoPage(Decimal(n));
        else model.GoJoze(Decimal(n));
        return model.GlobalAyeh();
    }
    const QString ref = AsciiDigits(text);
    const int colon = ref.indexOf(':');
    if (colon < 0) throw Failure{"not a reference: " + text.toStdString() + " (write SURAH:AYAH, for example 2:255)"};
    const int surah = need(WholeNumber(ref.left(colon)), "reference");
    const int ayah = need(WholeNumber(ref.mid(colon + 1)), "reference");
    if (surah < 1 || surah > 114) throw Failure{"surah " + std::to_string(surah) + ": surahs are 1 to 114"};
    model.GoSoreh(Decimal(surah));
    const int count = model.TotalAyat();
    if (ayah < 1 || ayah > count)
        throw Failure{"ayah " + std::to_string(ayah) + " of surah " + std::to_string(surah) + ": surah " +
                      std::to_string(surah) + " has ayat 1 to " + std::to_string(count)};
    model.GoAyehOfSoreh(Decimal(surah), Decimal(ayah));
    return model.GlobalAyeh();
}

}  // namespace

int RunReader(int argc, char** argv, const StartExtension* extension) {
    // the options first: a wrong one opens no window and needs no display
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        // --page=50 is --page 50 for the options that take a value
        const QString a = QString::fromLocal8Bit(argv[i]);
        const int eq = static_cast<int>(a.indexOf('='));
        static const QStringList valued{"--settings", "--export-dir", "--page", "--juz", "--do"};
        if (a.startsWith("--") && eq > 2 && valued.contains(a.left(eq))) args << a.left(eq) << a.mid(eq + 1);
        else args << a;
    }
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    const QString extra = extension ? "\n" + extension->usage + "\n" : QString();
    QString settingsFile, exportDir, refKind, refText;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (extension && extension->option(args, i)) continue;
        if (a == "--help" || a == "-h") {
            std::printf(kUsage, program.toLocal8Bit().constData(), extra.toLocal8Bit().constData());
            return 0;
        }
        if (a == "--version") {
            std::printf("%s %s\n", program.toLocal8Bit().constData(), MUSHAF_VERSION);
            return 0;
        }
        auto wrong = [&](const QString& what) {
            std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), what.toLocal8Bit().constData());
            std::fprintf(stderr, kUsage, program.toLocal8Bit().constData(), extra.toLocal8Bit().constData());
            return 2;
        };
        if (a == "--settings" || a == "--export-dir" || a == "--page" || a == "--juz") {
            if (i + 1 >= args.size() || args[i + 1].startsWith("--") || args[i + 1].isEmpty())
                return wrong(a + " needs a value");
            const QString value = args[++i];
            if (a == "--settings") settingsFile = value;
            else if (a == "--export-dir") exportDir = value;
            else if (!refKind.isEmpty()) return wrong("one place to open at, not two: " + value);
            else refKind = a.mid(2), refText = value;
            continue;
        }
        if (ToolkitOption(args, i)) continue;
        if (!a.startsWith('-')) {
            if (!refKind.isEmpty()) return wrong("one place to open at, not two: " + a);
            refKind = QStringLiteral("ayah");
            refText = a;
            continue;
        }
        return wrong("unknown option " + a);
    }
    QtTableSource tables;
    std::optional<int16_t> startLine;
    if (!refKind.isEmpty()) {
        std::unique_ptr<cQ114> model;
        SetBounds(model, tables);
        try {
            startLine = ReferenceLine(*model, refKind, refText);
        } catch (const Failure& f) {
            std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), f.message.c_str());
            return 2;
        }
    }

    PrepareToolkit(argv[0]);
    qInstallMessageHandler(HoldStartMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& m : startMessages) qWarning().noquote() << m;

    QtSystemColours colours;
    QtClipboard clipboard;
    OsKeyboardLayout keyboard;
    QtSettings settings = settingsFile.isEmpty() ? QtSettings() : QtSettings(settingsFile);
    WindowServices services{tables, colours, clipboard, keyboard, settings};
    if (!exportDir.isEmpty()) services.exportFolder = exportDir.toStdString();
    auto* window = new frmMain(services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // a driven window opens no dialog, from its start on
    if (extension && extension->drives && extension->drives()) window->SetInteractive(false);
    window->Form_Load();
    window->StartAt(startLine);
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
