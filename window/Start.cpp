#include <QApplication>
#include <QQuickWindow>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <cstdio>
#include <cstdlib>

#include "window/Start.h"
#include "platform/qt/QtAudio.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtTableSource.h"
#include "model/Loading.h"
#include "platform/DataFolders.h"
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

// The web engine keeps its pages from a screen reader on Linux unless told
// otherwise; told, it still does the work only while one is there.
void LetScreenReadersRead() {
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY")) qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

// All six panes share one renderer process.
void ShareOneRenderer() {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--renderer-process-limit")) flags += " --renderer-process-limit=1";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

// The panes are drawn on the CPU: Qt Quick's software scene graph, with
// which the web engine composites in software too. For pages of text this
// starts sooner and shows a change about a frame sooner; with
// NoOpenGlInSoftware it needs no GL driver either. QT_QUICK_BACKEND set in
// the environment chooses otherwise ("rhi": the graphics card). Set through
// the API, not the environment, so that the programs the reader opens (an
// exported list) draw as they would.
void DrawInSoftware() {
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

// Drawn in software, the window uses no OpenGL, yet the platform would load
// a GL driver for the context it shares with the web engine: Mesa's, with
// LLVM, some 35 MB in memory and some 60 ms of every start spent linking it.
// The platform is told to use none; only while it starts (ToolkitStarted
// takes it out of the environment again), so that the programs the reader opens
// draw as they would. A choice of the platform's GL in the environment, or
// drawing through the graphics card, keeps GL.
bool openGlTurnedOff = false;

void NoOpenGlInSoftware() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) return;
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    openGlTurnedOff = true;
}

// What the platform and the web engine say, once each, when they start
// without GL: expected when it was turned off.
bool SaysThereIsNoOpenGl(const QString& message) {
    return openGlTurnedOff && (message.contains(QLatin1String("Cannot create platform OpenGL context")) ||
                               message.trimmed() == QLatin1String("No suitable graphics backend found"));
}

// The toolkit's own words (a text box's context menu, the file dialog's
// places, buttons and tips) in Persian, from the toolkit's translations;
// the keys' names stay as the menus have always shown them (Ctrl+M, F5),
// and the application's direction as it was (the translation would turn
// every widget right to left; the window sets its own direction).
class ToolkitWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        if (context && qstrcmp(context, "QShortcut") == 0) return {};
        if (source && qstrcmp(source, "QT_LAYOUT_DIRECTION") == 0) return {};
        return QTranslator::translate(context, source, disambiguation, n);
    }
};

void SpeakPersian() {
    auto* toolkit = new ToolkitWords(QCoreApplication::instance());
    if (toolkit->load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(toolkit);
    else
        delete toolkit;
}

QtMessageHandler defaultMessages = nullptr;

// A reader's start prints nothing: the toolkit's and the web engine's notes
// (their settings, the sandbox, a runtime folder) are for whoever asks with
// --verbose or the toolkit's own QT_LOGGING_RULES. What ends the program is
// said whatever is asked.
bool verboseMessages = false;

bool Said(QtMsgType type, const QString& message) {
    if (type == QtFatalMsg) return true;
    if (!verboseMessages) return false;
    return !(type == QtWarningMsg && SaysThereIsNoOpenGl(message));
}

void Messages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (Said(type, message) && defaultMessages) defaultMessages(type, context, message);
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
    LetScreenReadersRead();
    DrawInSoftware();
    NoOpenGlInSoftware();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void SayEverything(bool on) { verboseMessages = on || qEnvironmentVariableIsSet("QT_LOGGING_RULES"); }

void ToolkitStarted() {
    SpeakPersian();
    qInstallMessageHandler(nullptr);
    if (openGlTurnedOff) qunsetenv("QT_XCB_GL_INTEGRATION");
    defaultMessages = qInstallMessageHandler(Messages);
    for (const QString& m : startMessages)
        if (Said(QtWarningMsg, m)) qWarning().noquote() << m;
    startMessages.clear();
}

namespace {

const char* kUsage =
    "usage: %s [--settings FILE] [--export-dir DIR] [--recitations DIR] [--translations DIR]\n"
    "       [--today DAY] [--verbose]\n"
    "       [SURAH:AYAH | --page N | --juz N]\n"
    "A Quran reader with a Persian translation.\n"
    "\n"
    "  SURAH:AYAH         open at that ayah, e.g. 2:255 (Persian and Arabic-Indic digits too)\n"
    "  --page N           open at the first line of page N (1 to 604)\n"
    "  --juz N            open at the first line of juz' N (1 to 30)\n"
    "  --settings FILE    keep the reader's choices in this INI file instead of the user's settings\n"
    "  --export-dir DIR   write exported note cards and search results into DIR\n"
    "                     (default ~/Documents/Zendar)\n"
    "  --recitations DIR  look for reciters' folders in DIR too (besides\n"
    "                     ~/.local/share/mushaf/recitations)\n"
    "  --translations DIR keep the reader's translation packs in DIR (instead of\n"
    "                     ~/.local/share/mushaf/translations)\n"
    "  --today DAY        the day the khatmah plan takes as today, YYYY-MM-DD\n"
    "  --verbose          print the toolkit's and the web engine's diagnostics\n"
    "                     (QT_LOGGING_RULES in the environment does too)\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "%s";

// The options Qt and its web engine take for themselves (-platform X,
// --platform=X, -session ID, --no-sandbox ...): passed over, with a value
// where they take one; everything after --webEngineArgs is the engine's.
void AddToolkitOptions(QCommandLineParser& parser) {
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style", "stylesheet", "display",
                             "geometry", "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "name", "title",
                             "visual"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : {"reverse", "nograb", "dograb", "sync", "widgetcount", "no-sandbox", "disable-gpu",
                             "single-process"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
}

std::optional<int> WholeNumber(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString t = ToQ(AsciiDigits(FromQ(text.trimmed())));
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
        const int last = page ? model.PageCount() : model.JozeCount();
        if (n < 1 || n > last)
            throw Failure{(page ? "page " : "juz' ") + std::to_string(n) + (page ? ": pages are 1 to " : ": juz' are 1 to ") +
                          std::to_string(last)};
        if (page) model.GoPage(Decimal(n));
        else model.GoJoze(Decimal(n));
        return model.GlobalAyeh();
    }
    const QString ref = ToQ(AsciiDigits(FromQ(text)));
    const int colon = ref.indexOf(':');
    if (colon < 0) throw Failure{"not a reference: " + text.toStdString() + " (write SURAH:AYAH, for example 2:255)"};
    const int surah = need(WholeNumber(ref.left(colon)), "reference");
    const int ayah = need(WholeNumber(ref.mid(colon + 1)), "reference");
    if (surah < 1 || surah > model.SorehCount())
        throw Failure{"surah " + std::to_string(surah) + ": surahs are 1 to " + std::to_string(model.SorehCount())};
    model.GoSoreh(Decimal(surah));
    const int count = model.TotalAyat();
    if (ayah < 1 || ayah > count)
        throw Failure{"ayah " + std::to_string(ayah) + " of surah " + std::to_string(surah) + ": surah " +
                      std::to_string(surah) + " has ayat 1 to " + std::to_string(count)};
    model.GoAyehOfSoreh(Decimal(surah), Decimal(ayah));
    return model.GlobalAyeh();
}

}  // namespace

namespace {

struct StartOptions {
    QString settingsFile, exportDir, refKind, refText, recitations, translations;
    QDate today;  // invalid: the system's
    bool verbose = false;
};

// The second place to open at, as typed: the later of the two in `args`.
QString SecondPlace(const QStringList& args, const QStringList& places) {
    std::vector<std::pair<qsizetype, QString>> at;
    for (const QString& p : places) {
        qsizetype i = 0;
        while (i < args.size() && args[i] != p && !args[i].endsWith('=' + p)) ++i;
        at.emplace_back(i, p);
    }
    std::sort(at.begin(), at.end());
    return at[1].second;
}

// Reads the options into `out`; a status when the program ends here (help,
// version, or a wrong option, said on standard error).
std::optional<int> ParseOptions(QStringList args, const QString& program, const StartExtension* extension,
                                StartOptions& out) {
    if (const qsizetype engine = args.indexOf(QStringLiteral("--webEngineArgs")); engine >= 0) args = args.mid(0, engine);
    const QString extra = extension ? "\n" + extension->usage + "\n" : QString();
    auto wrong = [&](const QString& what) {
        std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), what.toLocal8Bit().constData());
        std::fprintf(stderr, kUsage, program.toLocal8Bit().constData(), extra.toLocal8Bit().constData());
        return 2;
    };
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    parser.addOption(QCommandLineOption(QStringLiteral("verbose")));
    for (const char* name : {"settings", "export-dir", "page", "juz", "today", "recitations", "translations"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    AddToolkitOptions(parser);
    if (extension) parser.addOptions(extension->options);
    if (!parser.parse(QStringList{program} + args)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            for (const QString& a : args)
                if (a.startsWith('-') && a.mid(a.startsWith(QStringLiteral("--")) ? 2 : 1).section('=', 0, 0) == name)
                    return wrong("unknown option " + a);
            return wrong("unknown option " + name);
        }
        const QString error = parser.errorText();
        const qsizetype open = error.indexOf('\''), close = error.lastIndexOf('\'');
        return wrong(open >= 0 && close > open ? error.mid(open + 1, close - open - 1) + " needs a value" : error);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf(kUsage, program.toLocal8Bit().constData(), extra.toLocal8Bit().constData());
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", program.toLocal8Bit().constData(), MUSHAF_VERSION);
        return 0;
    }
    for (const char* name : {"settings", "export-dir", "page", "juz", "today", "recitations", "translations"})
        for (const QString& v : parser.values(QString::fromLatin1(name)))
            if (v.isEmpty() || v.startsWith(QStringLiteral("--"))) return wrong("--" + QString::fromLatin1(name) + " needs a value");
    out.verbose = parser.isSet(QStringLiteral("verbose"));
    out.settingsFile = parser.value(QStringLiteral("settings"));
    out.exportDir = parser.value(QStringLiteral("export-dir"));
    out.recitations = parser.value(QStringLiteral("recitations"));
    out.translations = parser.value(QStringLiteral("translations"));
    if (parser.isSet(QStringLiteral("today"))) {
        out.today = QDate::fromString(parser.value(QStringLiteral("today")), Qt::ISODate);
        if (!out.today.isValid()) return wrong("--today takes a day as YYYY-MM-DD: " + parser.value(QStringLiteral("today")));
    }
    const QStringList pages = parser.values(QStringLiteral("page")), juz = parser.values(QStringLiteral("juz")),
                      refs = parser.positionalArguments();
    const QStringList places = pages + juz + refs;
    if (places.size() > 1) return wrong("one place to open at, not two: " + SecondPlace(args, places));
    if (!places.isEmpty()) {
        out.refKind = !pages.isEmpty() ? QStringLiteral("page") : !juz.isEmpty() ? QStringLiteral("juz") : QStringLiteral("ayah");
        out.refText = places.first();
    }
    if (extension && extension->take) extension->take(parser);
    return std::nullopt;
}

}  // namespace

std::function<std::unique_ptr<cQ114>()> ReadModelAhead(const TableSource& tables) {
    auto read = [&tables] {
        std::unique_ptr<cQ114> model;
        SetBounds(model, tables);
        return model;
    };
    auto reading = std::make_shared<std::future<std::unique_ptr<cQ114>>>();
    try {
        *reading = std::async(std::launch::async, read);
    } catch (const std::system_error&) {
        // no thread to be had: read when it is asked for
        *reading = std::async(std::launch::deferred, read);
    }
    return [reading]() -> std::unique_ptr<cQ114> {
        if (!reading->valid()) return nullptr;
        return reading->get();
    };
}

// The line a reference on the command line names; false (with a word on the
// terminal) when the text names none.
static bool StartLineOf(cQ114& model, const StartOptions& options, const QString& program,
                        std::optional<int16_t>& line) {
    try {
        line = ReferenceLine(model, options.refKind, options.refText);
        return true;
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s: %s\n", program.toLocal8Bit().constData(), f.message.c_str());
        return false;
    }
}

int RunReader(int argc, char** argv, const StartExtension* extension) {
    // the options first: a wrong one opens no window and needs no display
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    StartOptions options;
    if (std::optional<int> status = ParseOptions(args, program, extension, options)) return *status;
    const QString &settingsFile = options.settingsFile, &exportDir = options.exportDir;
    QtTableSource tables;
    // the model is read while the toolkit starts
    std::function<std::unique_ptr<cQ114>()> readModel = ReadModelAhead(tables);
    std::unique_ptr<cQ114> model;
    std::optional<int16_t> startLine;
    if (!options.refKind.isEmpty()) {
        model = readModel();
        if (!StartLineOf(*model, options, program, startLine)) return 2;
    }

    SayEverything(options.verbose);
    PrepareToolkit(argv[0]);
    qInstallMessageHandler(HoldStartMessages);
    QApplication app(argc, argv);
    ToolkitStarted();

    QtSystemColours colours;
    QtClipboard clipboard;
    OsKeyboardLayout keyboard;
    QtSettings settings = settingsFile.isEmpty() ? QtSettings() : QtSettings(settingsFile);
    WindowServices services{tables, colours, clipboard, keyboard, settings};
    if (!exportDir.isEmpty()) services.exportFolder = exportDir.toStdString();
    services.recitationFolders = {RecitationPart::UserFolder()};
    if (!options.recitations.isEmpty()) services.recitationFolders.push_back(options.recitations.toStdString());
    services.shippedTranslations = ShippedData("translations");
    services.readerTranslations =
        options.translations.isEmpty() ? ReaderData("translations") : std::filesystem::path(options.translations.toStdString());
    services.audio = MakeQtAudioPlayer;
    services.importRecordings = ImportRecordings;
    services.model = [&] { return model ? std::move(model) : readModel(); };
    // The window lives until the program ends, which ends with it: its pages
    // are never destroyed under the compositor, and nothing the reader
    // keeps waits for a destructor (the choices are written as they change).
    auto* window = new frmMain(services);
    // a driven window opens no dialog, from its start on
    if (extension && extension->drives && extension->drives()) window->SetInteractive(false);
    if (options.today.isValid()) window->Parts().clock->StartOn(options.today);
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
    const int status = app.exec();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace mushaf
