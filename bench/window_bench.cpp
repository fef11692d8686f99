// Speed and memory of the real window. Run by hand under a display:
//   xvfb-run -a build/bench/window_bench
// It starts itself as child processes: the reader's window, and for
// comparison a bare window with one web view loading one small document.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "platform/qt/QtServices.h"
#include "platform/qt/QtTableSource.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace {

QElapsedTimer sinceMain;

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

// Asks the pane for two animation frames after what it has been asked so far:
// the document it holds has then been painted.
void WaitPainted(mushaf::WebPane* pane) {
    auto frames = std::make_shared<bool>(false);
    pane->Evaluate(QStringLiteral("window.__painted=0;requestAnimationFrame(function(){requestAnimationFrame("
                                  "function(){window.__painted=1;});});0"),
                   [](const QVariant&) {});
    while (!*frames) {
        auto answered = std::make_shared<bool>(false);
        pane->Evaluate(QStringLiteral("window.__painted"), [frames, answered](const QVariant& v) {
            *frames = v.toInt() == 1;
            *answered = true;
        });
        WaitUntil([&] { return *answered; });
    }
}

// The bare view: a small Arabic document, painted.
int Bare() {
    QWebEngineView view;
    view.resize(400, 300);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    view.setHtml(QString::fromUtf8("<html dir='rtl'><body>بِسْمِ اللَّهِ الرَّحْمَنِ الرَّحِيمِ</body></html>"));
    WaitUntil([&] { return loaded; });
    bool painted = false;
    view.page()->runJavaScript(QStringLiteral("new Promise(function(r){requestAnimationFrame(function(){"
                                              "requestAnimationFrame(function(){r(1);});});})"),
                               [&](const QVariant&) { painted = true; });
    WaitUntil([&] { return painted; });
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
    mushaf::frmMain w({tables, colours, clipboard, keyboard, settings});
    w.Form_Load();
    w.show();
    mushaf::WebPane* quran = w.Pane("wbrQuran");
    WaitUntil([&] { return quran->IsIdle(); });
    WaitPainted(quran);
    if (!full) {
        std::printf("painted\n");
        std::fflush(stdout);
        return 0;
    }
    WaitUntil([&] { return w.PanesIdle(); });
    auto* slider = static_cast<QScrollBar*>(w.Control("hsAllQuran"));
    auto timed = [&](const std::function<void()>& act, mushaf::WebPane* pane) {
        QElapsedTimer t;
        t.start();
        act();
        WaitUntil([&] { return pane->IsIdle(); });
        WaitPainted(pane);
        return t.nsecsElapsed() / 1e6;
    };
    auto rest = [&](int ms) {
        WaitUntil([&] { return w.PanesIdle(); });
        QEventLoop settle;
        QTimer::singleShot(ms, &settle, &QEventLoop::quit);
        settle.exec();
    };
    std::vector<double> turns, moves;
    const auto& model = w.Model();
    for (int page = 2; page <= 51; ++page) {
        turns.push_back(timed([&] {
            for (int line = slider->value() + 1; line <= 6347; ++line) {
                slider->setValue(line);
                if (model.Page() == page) break;
            }
        }, quran));
        rest(50);  // a reader moves within the page after the new page has been drawn
        moves.push_back(timed([&] { slider->setValue(slider->value() + 1); }, quran));
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
    auto searches = [&](const QString& text, bool translation, int count) {
        static_cast<QRadioButton*>(w.Control(translation ? "optSearchInT" : "optSearchInQ"))->setChecked(true);
        std::vector<double> times;
        for (int i = 0; i < count; ++i) {
            rest(200);  // one search at a time, as a reader makes them
            query->setText(text);
            times.push_back(timed([&] { w.cmdSearch_Click(); }, results));
        }
        return Median(times);
    };
    double common = searches(QString::fromUtf8("الله"), false, 7);
    double farsi = searches(QString::fromUtf8("بهشت"), true, 3);
    rest(200);
    long pss = TreePss(QCoreApplication::applicationPid());
    std::printf("script-round-trip %.2f\npage-turn-ms %.2f\nsame-page-ms %.2f\nsearch-painted-ms %.2f\n"
                "search-translation-painted-ms %.2f\nmemory-mb %.1f\n",
                Median(trips), Median(turns), Median(moves), common, farsi, pss / 1024.0);
    return 0;
}

// Process start to the line "painted" on its output, from outside.
double Painted(const QString& mode, QString* output = nullptr) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(), {mode});
    double at = 0;
    QString out;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        p.waitForReadyRead(100);
        out += QString::fromUtf8(p.readAllStandardOutput());
        if (!at && out.contains("painted")) at = t.nsecsElapsed() / 1e6;
        if (p.state() == QProcess::NotRunning && !p.bytesAvailable()) break;
    }
    p.waitForFinished(120000);
    out += QString::fromUtf8(p.readAllStandardOutput());
    if (output) *output = out;
    return at;
}

}  // namespace

int main(int argc, char** argv) {
    sinceMain.start();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (argc > 1 && QString(argv[1]) == "--driver-only") return 0;
    QApplication app(argc, argv);
    QString mode = argc > 1 ? QString(argv[1]) : QString();
    if (mode == "--bare") return Bare();
    if (mode == "--startup") return App(false);
    if (mode == "--full") return App(true);

    std::vector<double> bare, startup;
    for (int i = 0; i < 5; ++i) {
        bare.push_back(Painted("--bare"));
        startup.push_back(Painted("--startup"));
    }
    QString full;
    Painted("--full", &full);
    const double b = Median(bare);
    std::printf("bare-painted-ms %.1f\nstartup-painted-ms %.1f\nstartup-ratio %.2f\n", b, Median(startup), Median(startup) / b);
    for (const QString& line : full.split('\n', Qt::SkipEmptyParts)) {
        std::printf("%s\n", qPrintable(line));
        const QString name = line.section(' ', 0, 0);
        const double v = line.section(' ', 1, 1).toDouble();
        if (name == "page-turn-ms") std::printf("page-turn-ratio %.3f\n", v / b);
        if (name == "same-page-ms") std::printf("same-page-ratio %.3f\n", v / b);
        if (name == "search-painted-ms") std::printf("search-painted-ratio %.3f\n", v / b);
    }
    return 0;
}
