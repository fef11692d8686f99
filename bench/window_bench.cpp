// Speed and memory of the real window. Run by hand under a display:
//   xvfb-run -a build/bench/window_bench
// It starts itself as child processes: the reader's window, and for
// comparison a bare window with one web view loading one small document.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "platform/DataFolders.h"
#include "platform/qt/QtAudio.h"
#include "platform/qt/QtServices.h"
#include "tests/NullSound.h"
#include "platform/qt/QtTableSource.h"
#include "window/Start.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace {

QElapsedTimer sinceMain;

// The environment the bench was started with: each program it starts gets
// this one, not the bench's own after it prepared the toolkit, so that the
// bare view and the reader each start as they would from the desktop.
QProcessEnvironment startEnvironment;

// The model of the reader's window, read from before the application object.
std::function<std::unique_ptr<mushaf::cQ114>()> readModel;

// BENCH_TRACE=1 in the environment: the steps of each start (ms since main),
// each run's figures and each process's share of the memory, on stderr.
bool Tracing() { return qEnvironmentVariableIsSet("BENCH_TRACE"); }

void Trace(const char* step) {
    if (Tracing()) std::fprintf(stderr, "trace %s %lld\n", step, static_cast<long long>(sinceMain.elapsed()));
}

void WaitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Proportional set size of a process, in kB.
long Pss(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value;
    while (in >> key) {
        if (key == "Pss:" && in >> value) return value;
        in.ignore(1 << 20, '\n');
    }
    return 0;
}

// This process and all its descendants.
long TreePss(long root) {
    long total = 0;
    std::vector<long> todo{root};
    while (!todo.empty()) {
        long pid = todo.back();
        todo.pop_back();
        total += Pss(pid);
        if (Tracing()) {
            std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
            std::string program, argument;
            std::getline(cmdline, program, '\0');
            std::getline(cmdline, argument, '\0');
            std::fprintf(stderr, "trace pss %ld %ld kB %s %s\n", pid, Pss(pid), program.c_str(), argument.c_str());
        }
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            bool ok = false;
            long child = entry.toLong(&ok);
            if (!ok) continue;
            std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
            std::string comm, state;
            long p, ppid;
            stat >> p >> comm >> state >> ppid;
            if (ppid == pid) todo.push_back(child);
        }
    }
    return total;
}

// Two animation frames after what the pane has been asked so far: the
// document it holds has then been painted.
void WaitPainted(mushaf::WebPane* pane) {
    bool painted = false;
    pane->WhenPainted([&] { painted = true; });
    WaitUntil([&] { return painted; });
}

// The bare view: a small Arabic document, painted.
int Bare() {
    Trace("app");
    QWebEngineView view;
    view.resize(400, 300);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    view.setHtml(QString::fromUtf8("<html dir='rtl'><body>بِسْمِ اللَّهِ الرَّحْمَنِ الرَّحِيمِ</body></html>"));
    Trace("shown");
    WaitUntil([&] { return loaded; });
    Trace("loaded");
    // painted as the reader's pane is: two animation frames after the load
    view.page()->runJavaScript(QStringLiteral("window.__painted=0;requestAnimationFrame(function(){"
                                              "requestAnimationFrame(function(){window.__painted=1;});});0"));
    for (bool painted = false; !painted;) {
        bool answered = false;
        view.page()->runJavaScript(QStringLiteral("window.__painted"), [&](const QVariant& v) {
            painted = v.toInt() == 1;
            answered = true;
        });
        WaitUntil([&] { return answered; });
    }
    Trace("painted");
    std::printf("painted\n");
    std::fflush(stdout);
    return 0;
}

int App(bool full) {
    mushaf::QtTableSource tables;
    mushaf::QtSystemColours colours;
    mushaf::QtClipboard clipboard;
    mushaf::OsKeyboardLayout keyboard;
    QTemporaryDir fresh;
    mushaf::QtSettings settings(fresh.filePath("settings.ini"));
    Trace("app");
    // as the program does: the model read while the toolkit started
    mushaf::WindowServices services{tables, colours, clipboard, keyboard, settings};
    services.model = readModel;
    // the packs as the program finds them (their list read at start-up)
    services.shippedTranslations = mushaf::ShippedData("translations");
    services.readerTranslations = fresh.filePath("translations").toStdString();
    mushaf::frmMain w(services);
    Trace("built");
    w.Form_Load();
    Trace("loaded");
    w.show();
    Trace("shown");
    mushaf::WebPane* quran = w.Pane("wbrQuran");
    WaitPainted(quran);
    Trace("painted");
    std::printf("painted\n");
    std::fflush(stdout);
    // then every pane shown has its document, painted
    WaitUntil([&] { return w.PanesIdle(); });
    for (mushaf::WebPane* pane : w.Panes())
        if (pane->isVisible()) WaitPainted(pane);
    Trace("complete");
    std::printf("complete\n");
    std::fflush(stdout);
    if (!full) return 0;
    auto* slider = static_cast<QScrollBar*>(w.Control("hsAllQuran"));
    auto rest = [&](int ms) {
        WaitUntil([&] { return w.PanesIdle(); });
        QEventLoop settle;
        QTimer::singleShot(ms, &settle, &QEventLoop::quit);
        settle.exec();
    };
    // What the screen shows of a pane.
    auto onScreen = [](QWidget* pane) {
        const QPoint at = pane->mapToGlobal(QPoint());
        return pane->screen()->grabWindow(0, at.x(), at.y(), pane->width(), pane->height()).toImage();
    };
    // A change timed two ways: to its first frame on the screen (the pane's
    // pixels change), and to the pane having done all it was asked and
    // painted that (two animation frames in the pane).
    struct Times {
        std::vector<double> shown, painted;
    };
    auto timed = [&](const std::function<void()>& act, mushaf::WebPane* pane, Times& into) {
        const QImage before = onScreen(pane);
        QElapsedTimer t;
        t.start();
        act();
        const double acted = t.nsecsElapsed() / 1e6;
        double seen = 0, idleAt = 0;
        while (!seen || !pane->IsIdle()) {
            if (t.elapsed() > 20000) {
                std::fprintf(stderr, "window_bench: the pane did not change on the screen\n");
                std::exit(1);
            }
            QEventLoop loop;
            QTimer::singleShot(1, &loop, &QEventLoop::quit);
            loop.exec();
            if (!seen && onScreen(pane) != before) seen = t.nsecsElapsed() / 1e6;
            if (!idleAt && pane->IsIdle()) idleAt = t.nsecsElapsed() / 1e6;
        }
        WaitPainted(pane);
        // where a change's time goes: the window's own work, the pane's
        // scripts answered, the screen changed, painted
        if (Tracing())
            std::fprintf(stderr, "trace change acted %.1f idle %.1f seen %.1f painted %.1f\n", acted, idleAt, seen,
                         t.nsecsElapsed() / 1e6);
        into.shown.push_back(seen);
        into.painted.push_back(t.nsecsElapsed() / 1e6);
    };
    Times turns, moves;
    const auto& model = w.Model();
    // the slider on, line by line, to the first line of `page`
    auto turnTo = [&](int page) {
        for (int line = slider->value() + 1; line <= 6347; ++line) {
            slider->setValue(line);
            if (model.Page() == page) break;
        }
    };
    for (int page = 2; page <= 51; ++page) {
        timed([&] { turnTo(page); }, quran, turns);
        rest(50);  // a reader moves within the page after the new page has been drawn
        timed([&] { slider->setValue(slider->value() + 1); }, quran, moves);
        rest(0);
    }
    std::vector<double> trips;
    for (int i = 0; i < 50; ++i) {
        bool back = false;
        QElapsedTimer t;
        t.start();
        quran->Evaluate(QStringLiteral("1"), [&](const QVariant&) { back = true; });
        WaitUntil([&] { return back; });
        trips.push_back(t.nsecsElapsed() / 1e6);
    }

    auto* query = static_cast<QLineEdit*>(w.Control("txtSearch"));
    mushaf::WebPane* results = w.Pane("wbrSearchResult");
    w.cmdShowSearch_Click();
    // The list before a search is scrolled to its end, so that the same list
    // drawn anew (from its top) differs on the screen.
    auto searches = [&](const QString& text, bool translation, int count) {
        static_cast<QRadioButton*>(w.Control(translation ? "optSearchInT" : "optSearchInQ"))->setChecked(true);
        Times times;
        for (int i = 0; i < count; ++i) {
            results->Evaluate(QStringLiteral("window.scrollTo(0,document.body.scrollHeight);0"), [](const QVariant&) {});
            rest(200);  // one search at a time, as a reader makes them
            query->setText(text);
            timed([&] { w.Parts().search->cmdSearch_Click(); }, results, times);
        }
        return times;
    };
    const Times common = searches(QString::fromUtf8("الله"), false, 7);
    const Times farsi = searches(QString::fromUtf8("بهشت"), true, 3);
    rest(200);
    long pss = TreePss(QCoreApplication::applicationPid());
    // the same page turns in the mushaf view (after the memory is read, which
    // stays the figure of the line view)
    Times mushafTurns;
    for (const mushaf::Command& c : w.Parts().commands->All())
        if (c.name == "mnuMushafView") c.run();
    rest(200);
    for (int page = 52; page <= 81; ++page) {
        timed([&] { turnTo(page); }, quran, mushafTurns);
        rest(50);
    }
    for (const mushaf::Command& c : w.Parts().commands->All())
        if (c.name == "mnuMushafView") c.run();
    rest(200);
    // the translation pane over the same page turns, with one translation and
    // with a second (a shipped pack, left to right) under it
    mushaf::WebPane* farsiPane = w.Pane("wbrFarsi");
    // in turns, four passes each, so that what the machine does meanwhile
    // falls on both alike
    auto translationTurns = [&](Times& times) {
        slider->setValue(0);
        rest(200);
        // (from page 3: page 2 opens with a Bismillah line, translated as line 0 is)
        for (int page = 3; page <= 22; ++page) {
            timed([&] { turnTo(page); }, farsiPane, times);
            rest(50);
        }
    };
    Times oneTranslation, twoTranslations;
    for (int pass = 0; pass < 4; ++pass) {
        translationTurns(oneTranslation);
        w.Parts().translations->ChooseSecond(u"English - Ahmed Ali");
        translationTurns(twoTranslations);
        w.Parts().translations->ChooseSecond(u"");
    }
    // a frame at 60 Hz
    const double frame = 1000.0 / 60;
    std::printf("script-round-trip %.2f\n", Median(trips));
    std::printf("page-turn-ms %.2f\npage-turn-shown-ms %.2f\n", Median(turns.painted), Median(turns.shown));
    std::printf("mushaf-page-turn-ms %.2f\n", Median(mushafTurns.painted));
    std::printf("same-page-ms %.2f\nsame-page-shown-ms %.2f\nsame-page-shown-frames %.1f\n", Median(moves.painted),
                Median(moves.shown), Median(moves.shown) / frame);
    std::printf("search-painted-ms %.2f\nsearch-complete-ms %.2f\n", Median(common.shown), Median(common.painted));
    std::printf("search-translation-painted-ms %.2f\nsearch-translation-complete-ms %.2f\n", Median(farsi.shown),
                Median(farsi.painted));
    std::printf("memory-mb %.1f\n", pss / 1024.0);
    // whether a screen reader was there (run under a session bus with one to time that case)
    std::printf("screen-reader %d\n", QAccessible::isActive() ? 1 : 0);
    std::printf("translation-turn-ms %.2f\ntwo-translations-turn-ms %.2f\ntwo-translations-ratio %.3f\n",
                Median(oneTranslation.painted), Median(twoTranslations.painted),
                Median(twoTranslations.painted) / Median(oneTranslation.painted));
    if (Tracing()) {
        for (const Times* t : {&oneTranslation, &twoTranslations}) {
            std::vector<double> s = t->painted;
            std::sort(s.begin(), s.end());
            for (double v : s) std::fprintf(stderr, "%.0f ", v);
            std::fprintf(stderr, "\n");
        }
    }
    return 0;
}

// Recitation to a null sound output, recorded from the sink's monitor:
// recitation-start-ms is F5 to the first sound arriving from the recorder
// (cold: the first F5 of the process, which loads the player; warm: the
// median of the next ones), recitation-gap-ms the silence between one
// recording's end and the next one's sound: 1:1 to 1:7 (tones of 0.5 s with
// no silence of their own) from the first sound to the last, less the
// tones' length, over the six gaps; the median of three runs
// (recitation-gap-150-ms: the same at 1.5 times the speed).
int Recite() {
    mushaf::testing::NullSound sound;
    if (!sound.Trouble().isEmpty()) {
        std::fprintf(stderr, "window_bench: %s\n", qPrintable(sound.Trouble()));
        return 1;
    }
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Tones"));
    for (int a = 1; a <= 7; ++a)
        QProcess::execute("sox", {"-n", "-r", "44100", "-c", "1", dir.filePath(QString("Tones/00100%1.wav").arg(a)), "synth",
                                  "0.5", "sine", QString::number(400 + 50 * a)});
    mushaf::QtTableSource tables;
    mushaf::QtSystemColours colours;
    mushaf::QtClipboard clipboard;
    mushaf::OsKeyboardLayout keyboard;
    mushaf::QtSettings settings(dir.filePath("settings.ini"));
    mushaf::WindowServices services{tables, colours, clipboard, keyboard, settings};
    services.recitationFolders = {dir.path().toStdString()};
    services.audio = mushaf::MakeQtAudioPlayer;
    mushaf::frmMain w(services);
    w.Form_Load();
    w.show();
    WaitUntil([&] { return w.PanesIdle(); });
    auto run = [&](const char* name) {
        for (const mushaf::Command& c : w.Parts().commands->All())
            if (c.name == name) c.run();
    };
    run("mnuPlayToPage");
    constexpr int kRate = 8000;
    std::vector<double> starts, gaps, fastGaps;
    for (int i = 0; i < 6; ++i) {
        // three runs at the speed recorded, three at 1.5
        const double speed = i < 3 ? 1.0 : 1.5;
        if (i == 3) run("mnuSpeed150");
        sound.StartRecording(kRate, true);
        QProcess& rec = sound.Recording();
        QByteArray audio;
        WaitUntil([&] { return rec.waitForReadyRead(10) && (audio += rec.readAllStandardOutput()).size() > kRate / 10; });
        auto loud = [](const QByteArray& pcm, qsizetype from) {
            for (qsizetype i = from & ~qsizetype(1); i + 1 < pcm.size(); i += 2)
                if (std::abs(static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) | (static_cast<uint8_t>(pcm[i + 1]) << 8))) > 500)
                    return i / 2;
            return qsizetype(-1);
        };
        const qsizetype before = audio.size();
        double startMs = -1;
        QElapsedTimer clock;
        QObject::connect(&rec, &QProcess::readyReadStandardOutput, &w, [&] {
            audio += rec.readAllStandardOutput();
            if (startMs < 0 && loud(audio, before) >= 0) startMs = clock.nsecsElapsed() / 1e6;
        });
        clock.start();
        run("mnuPlay");
        WaitUntil([&] { return !w.Parts().recitation->Now().playing; });
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        audio += sound.StopRecording();
        QObject::disconnect(&rec, nullptr, &w, nullptr);
        if (speed == 1.0) starts.push_back(startMs);
        // the silence added between the recordings: the span from the first
        // sound to the last, less the seven tones' own 3.5 s, a sixth of it a
        // gap (negative: sound lost)
        const int window = kRate / 200;  // 5 ms
        qsizetype first = -1, last = -1;
        const auto samples = audio.size() / 2;
        for (qsizetype at = 0, n = 0; at + window <= samples; at += window, ++n)
            if (loud(audio.mid(at * 2, window * 2), 0) >= 0) {
                if (first < 0) first = n;
                last = n;
            }
        if (first >= 0) (speed == 1.0 ? gaps : fastGaps).push_back(((last - first + 1) * 5.0 - 7 * 500.0 / speed) / 6);
        if (Tracing()) std::fprintf(stderr, "trace recitation start %.0f gap %.0f\n", startMs, gaps.empty() ? 0.0 : gaps.back());
        // from 1:1 again
        static_cast<QScrollBar*>(w.Control("hsAllQuran"))->setValue(0);
    }
    std::printf("recitation-start-cold-ms %.1f\nrecitation-start-ms %.1f\nrecitation-gap-ms %.1f\nrecitation-gap-150-ms %.1f\n",
                starts[0], Median({starts.begin() + 1, starts.end()}), Median(gaps), Median(fastGaps));
    std::fflush(stdout);
    return 0;
}

// Process start to the line "painted" on its output, from outside (and to
// the line "complete" in `complete`).
double Painted(const QString& mode, QString* output = nullptr, double* complete = nullptr) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setProcessEnvironment(startEnvironment);
    p.start(QCoreApplication::applicationFilePath(), {mode});
    double at = 0;
    QString out;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        p.waitForReadyRead(100);
        out += QString::fromUtf8(p.readAllStandardOutput());
        if (!at && out.contains("painted")) at = t.nsecsElapsed() / 1e6;
        if (complete && !*complete && out.contains("complete")) *complete = t.nsecsElapsed() / 1e6;
        if (p.state() == QProcess::NotRunning && !p.bytesAvailable()) break;
    }
    p.waitForFinished(120000);
    out += QString::fromUtf8(p.readAllStandardOutput());
    if (output) *output = out;
    return at;
}

// A whole process, from its start to its end, in ms.
double WholeProcess(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment = startEnvironment) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setProcessEnvironment(environment);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, arguments);
    p.waitForFinished(120000);
    return t.nsecsElapsed() / 1e6;
}

// The reader's whole process as the automation runs it with no action (to
// every shown pane loaded, then closed) against the bare view's (one small
// document painted, then ended): medians of five alternating runs.
//
// Also against a bare view that, like the reader, loads no GL driver
// (QT_XCB_GL_INTEGRATION=none): what is left is the reader's own work.
void ProcessRatio() {
    QTemporaryDir fresh;
    QProcessEnvironment withoutGl = startEnvironment;
    if (!withoutGl.contains("QT_XCB_GL_INTEGRATION")) withoutGl.insert("QT_XCB_GL_INTEGRATION", "none");
    std::vector<double> bare, bareWithoutGl, reader;
    for (int i = 0; i < 5; ++i) {
        bare.push_back(WholeProcess(QCoreApplication::applicationFilePath(), {"--bare"}));
        reader.push_back(WholeProcess(QStringLiteral(MUSHAF_AUTOMATION),
                                      {"--dump-state", "--settings", fresh.filePath("settings.ini")}));
        bareWithoutGl.push_back(WholeProcess(QCoreApplication::applicationFilePath(), {"--bare"}, withoutGl));
    }
    std::printf("bare-process-ms %.1f\nprocess-ms %.1f\nprocess-ratio %.2f\n", Median(bare), Median(reader),
                Median(reader) / Median(bare));
    std::printf("bare-without-gl-process-ms %.1f\nprocess-ratio-without-gl %.2f\n", Median(bareWithoutGl),
                Median(reader) / Median(bareWithoutGl));
}

}  // namespace

int main(int argc, char** argv) {
    sinceMain.start();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    startEnvironment = QProcessEnvironment::systemEnvironment();
    const QString mode = argc > 1 ? QString(argv[1]) : QString();
    if (mode == "--driver-only") return 0;
    // the reader's window starts as the program starts it, the model read
    // while the toolkit starts
    const bool reader = !mode.isEmpty() && mode != "--bare";
    if (reader) mushaf::PrepareToolkit(argv[0]);
    mushaf::QtTableSource tables;
    if (mode == "--startup" || mode == "--full") readModel = mushaf::ReadModelAhead(tables);
    // the bare view draws as the reader does (in software), so that the
    // ratios measure the reader's own work
    if (mode == "--bare" && !qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    if (reader) mushaf::ToolkitStarted();
    if (mode == "--bare") return Bare();
    if (mode == "--startup") return App(false);
    if (mode == "--full") return App(true);
    if (mode == "--recite") return Recite();
    // the whole-process figures alone
    if (mode == "--process") {
        ProcessRatio();
        return 0;
    }
    // the recitation's figures alone
    if (mode == "--recitation") {
        QString out;
        Painted("--recite", &out);
        std::printf("%s", qPrintable(out));
        return 0;
    }

    std::vector<double> bare, startup, complete;
    for (int i = 0; i < 9; ++i) {
        bare.push_back(Painted("--bare"));
        complete.push_back(0);
        startup.push_back(Painted("--startup", nullptr, &complete.back()));
        if (Tracing()) std::fprintf(stderr, "trace run bare %.0f startup %.0f\n", bare.back(), startup.back());
    }
    QString full;
    Painted("--full", &full);
    const double b = Median(bare);
    std::printf("bare-painted-ms %.1f\nstartup-painted-ms %.1f\nstartup-ratio %.2f\nstartup-complete-ms %.1f\n", b,
                Median(startup), Median(startup) / b, Median(complete));
    for (const QString& line : full.split('\n', Qt::SkipEmptyParts)) {
        if (!line.contains(' ')) continue;  // the child's "painted" and "complete"
        std::printf("%s\n", qPrintable(line));
        const QString name = line.section(' ', 0, 0);
        const double v = line.section(' ', 1, 1).toDouble();
        if (name == "page-turn-ms") std::printf("page-turn-ratio %.3f\n", v / b);
        if (name == "mushaf-page-turn-ms") std::printf("mushaf-page-turn-ratio %.3f\n", v / b);
        if (name == "page-turn-shown-ms") std::printf("page-turn-shown-ratio %.3f\n", v / b);
        if (name == "same-page-ms") std::printf("same-page-ratio %.3f\n", v / b);
        if (name == "same-page-shown-ms") std::printf("same-page-shown-ratio %.3f\n", v / b);
        if (name == "search-painted-ms") std::printf("search-painted-ratio %.3f\n", v / b);
        // the whole list in and painted
        if (name == "search-complete-ms") std::printf("search-list-ratio %.3f\n", v / b);
    }
    ProcessRatio();
    QString recited;
    Painted("--recite", &recited);
    std::printf("%s", qPrintable(recited));
    return 0;
}
