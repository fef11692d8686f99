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
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "QtServices.h"
#include "QtTableSource.h"
#include "WebPane.h"
#include "frmMain.h"

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

int Bare() {
    QWebEngineView view;
    view.resize(400, 300);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    view.setHtml(QString::fromUtf8("<html dir='rtl'><body>بِسْمِ اللَّهِ الرَّحْمَنِ الرَّحِيمِ</body></html>"));
    WaitUntil([&] { return loaded; });
    std::printf("%.1f\n", sinceMain.nsecsElapsed() / 1e6);
    return 0;
}

int App(bool full) {
    mushaf::QtTableSource tables;
    mushaf::QtSystemColours colours;
    mushaf::QtClipboard clipboard;
    mushaf::OsKeyboardLayout keyboard;
    double atStart = sinceMain.nsecsElapsed() / 1e6;
    mushaf::frmMain w({tables, colours, clipboard, keyboard});
    double built = sinceMain.nsecsElapsed() / 1e6;
    w.Form_Load();
    double loadedAt = sinceMain.nsecsElapsed() / 1e6;
    w.show();
    if (qEnvironmentVariableIsSet("MUSHAF_BENCH_STEPS"))
        std::fprintf(stderr, "app %.1f built %.1f form-load %.1f shown %.1f\n", atStart, built, loadedAt,
                     sinceMain.nsecsElapsed() / 1e6);
    mushaf::WebPane* quran = w.Pane("wbrQuran");
    WaitUntil([&] { return quran->IsIdle(); });
    double startup = sinceMain.nsecsElapsed() / 1e6;
    if (!full) {
        std::printf("%.1f\n", startup);
        return 0;
    }
    WaitUntil([&] { return w.PanesIdle(); });
    auto* slider = static_cast<QScrollBar*>(w.Control("hsAllQuran"));
    auto timed = [&](const std::function<void()>& act, mushaf::WebPane* pane) {
        QElapsedTimer t;
        t.start();
        act();
        WaitUntil([&] { return pane->IsIdle(); });
        return t.nsecsElapsed() / 1e6;
    };
    std::vector<double> turns, moves;
    const auto& model = w.Model();
    for (int page = 2; page <= 101; ++page) {
        turns.push_back(timed([&] {
            // the first line of the page
            for (int line = slider->value() + 1; line <= 6347; ++line) {
                slider->setValue(line);
                if (model.Page() == page) break;
            }
        }, quran));
        // a reader moves within the page after the new page has been drawn
        WaitUntil([&] { return w.PanesIdle(); });
        QEventLoop drawn;
        QTimer::singleShot(100, &drawn, &QEventLoop::quit);
        drawn.exec();
        moves.push_back(timed([&] { slider->setValue(slider->value() + 1); }, quran));
        WaitUntil([&] { return w.PanesIdle(); });
    }
    long pss = TreePss(QCoreApplication::applicationPid());
    std::vector<double> trips;
    for (int i = 0; i < 50; ++i) {
        bool back = false;
        QElapsedTimer t;
        t.start();
        quran->Evaluate(QStringLiteral("1"), [&](const QVariant&) { back = true; });
        WaitUntil([&] { return back; });
        trips.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("script-round-trip %.2f\n", Median(trips));

    auto* query = static_cast<QLineEdit*>(w.Control("txtSearch"));
    mushaf::WebPane* results = w.Pane("wbrSearchResult");
    w.cmdShowSearch_Click();
    auto searches = [&](const QString& text, bool translation) {
        static_cast<QRadioButton*>(w.Control(translation ? "optSearchInT" : "optSearchInQ"))->setChecked(true);
        std::vector<double> times;
        for (int i = 0; i < 20; ++i) {
            // one search at a time, as a reader makes them: the last list has been drawn
            WaitUntil([&] { return w.PanesIdle(); });
            QEventLoop settle;
            QTimer::singleShot(300, &settle, &QEventLoop::quit);
            settle.exec();
            query->setText(text);
            times.push_back(timed([&] { w.cmdSearch_Click(); }, results));
        }
        return Median(times);
    };
    double common = searches(QString::fromUtf8("الله"), false);
    double farsi = searches(QString::fromUtf8("بهشت"), true);
    std::printf("startup %.1f\npage-turn %.2f\nsame-page %.2f\nmemory-mb %.1f\nsearch-arabic %.2f\nsearch-translation %.2f\n",
                startup, Median(turns), Median(moves), pss / 1024.0, common, farsi);
    return 0;
}

double RunChild(const QString& mode, QString* output = nullptr) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {mode});
    p.waitForFinished(120000);
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (output) *output = out;
    return out.trimmed().section('\n', 0, 0).toDouble();
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
        bare.push_back(RunChild("--bare"));
        startup.push_back(RunChild("--startup"));
    }
    QString full;
    RunChild("--full", &full);
    std::printf("bare web view to first load: median %.1f ms\n", Median(bare));
    std::printf("reader start-up to first page loaded: median %.1f ms (ratio %.2f)\n", Median(startup),
                Median(startup) / Median(bare));
    std::printf("%s", qPrintable(full));
    return 0;
}
