#include "automation/Automation.h"

#include <algorithm>
#include <cmath>
#include <QAbstractButton>
#include <QAction>
#include <QPixmap>
#include <QProcess>
#include <QKeyEvent>
#include <QScreen>
#include <QMenu>
#include <QWheelEvent>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>
#include <sys/types.h>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <memory>

#include "cli/Commands.h"
#include "platform/qt/QtServices.h"
#include "window/PaneTable.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    // looked at again after whatever the event loop has handled (an answer
    // from a page, a frame), and at least every 5 ms
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // what was let go meanwhile (a closed menu) goes as in an event loop
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

namespace {

struct Failure {
    QString what;
};

// Results of the eval actions, in order.
QJsonArray evaluated;
// Entries of the context menu the last rightclick opened.
int menuSeen = 0;
Clipboard* clipboardForActions = nullptr;


void WaitIdle(frmMain& w) {
    // twice, so that what a finished load set off is waited for as well
    for (int i = 0; i < 2; ++i) {
        if (!WaitUntil([&] { return w.PanesIdle(); }, 15000)) throw Failure{"the panes did not finish loading"};
        QApplication::processEvents();
    }
}

// Scripts in several panes at once: their answers, in the order asked.
QVariantList EvaluateAll(const std::vector<std::pair<WebPane*, QString>>& scripts, int timeoutMs = 15000) {
    struct Answers {
        QVariantList values;
        int done = 0;
    };
    // shared with the callbacks, which may come after this has given up
    auto answers = std::make_shared<Answers>();
    answers->values = QVariantList(static_cast<qsizetype>(scripts.size()));
    for (std::size_t i = 0; i < scripts.size(); ++i)
        scripts[i].first->Evaluate(scripts[i].second, [answers, i](const QVariant& v) {
            answers->values[static_cast<qsizetype>(i)] = v;
            ++answers->done;
        });
    const int all = static_cast<int>(scripts.size());
    if (!WaitUntil([&] { return answers->done == all; }, timeoutMs)) throw Failure{"a script did not answer"};
    return answers->values;
}

QVariant Evaluate(WebPane* pane, const QString& script, int timeoutMs = 10000) {
    return EvaluateAll({{pane, script}}, timeoutMs).front();
}

// Waits until the window is one moment: every pane idle and every pane's
// renderer has answered a round trip, so that what it sent before (a click
// that a key set off) has been handled; again while that changed anything.
void Settle(frmMain& w) {
    for (int round = 0; round < 100; ++round) {
        WaitIdle(w);
        const int line = static_cast<QScrollBar*>(w.Control("hsAllQuran"))->value();
        // a pane that has not made its view has nothing in flight; one that
        // has is settled when its fonts are in (a font still loading moves
        // the text once it comes)
        std::vector<std::pair<WebPane*, QString>> asked;
        for (WebPane* pane : w.Panes())
            if (pane->HasPage()) asked.emplace_back(pane, QStringLiteral("document.fonts ? document.fonts.status : 'loaded'"));
        const QVariantList status = EvaluateAll(asked, 10000);
        QApplication::processEvents();
        if (status.contains(QVariant(QStringLiteral("loading")))) {
            WaitUntil([] { return false; }, 20);
            continue;
        }
        if (w.PanesIdle() && static_cast<QScrollBar*>(w.Control("hsAllQuran"))->value() == line) return;
    }
    throw Failure{"the window did not settle"};
}

QWidget* Need(frmMain& w, const QString& name) {
    QWidget* c = w.Control(name.toStdString());
    // the parts' own controls (the player bar's buttons)
    if (!c) c = w.findChild<QWidget*>(name);
    if (!c) throw Failure{"no control " + name};
    return c;
}

struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;  // the characters the key types, as X11 sends them
};

// "F4", "Tab", "Delete", "a", "3", "Ctrl+=", "Ctrl+Shift+N" ...
KeyStroke KeyByName(const QString& written) {
    struct Named {
        Qt::Key key;
        const char* text;
    };
    static const QMap<QString, Named> keys = {
        {"Left", {Qt::Key_Left, ""}},         {"Right", {Qt::Key_Right, ""}},   {"Up", {Qt::Key_Up, ""}},
        {"Down", {Qt::Key_Down, ""}},         {"Home", {Qt::Key_Home, ""}},     {"End", {Qt::Key_End, ""}},
        {"PageUp", {Qt::Key_PageUp, ""}},     {"PageDown", {Qt::Key_PageDown, ""}},
        {"BackSpace", {Qt::Key_Backspace, "\b"}}, {"Return", {Qt::Key_Return, "\r"}}, {"Enter", {Qt::Key_Enter, "\r"}},
        {"Delete", {Qt::Key_Delete, "\x7f"}}, {"Tab", {Qt::Key_Tab, "\t"}},     {"Escape", {Qt::Key_Escape, "\x1b"}},
        {"Space", {Qt::Key_Space, " "}},      {"Plus", {Qt::Key_Plus, "+"}},    {"Minus", {Qt::Key_Minus, "-"}},
    };
    KeyStroke k{Qt::Key_unknown, Qt::NoModifier, QString()};
    QString name = written;
    // modifiers before the key; a key of its own may be "+" or "-"
    while (true) {
        int plus = name.indexOf('+', 1);
        if (plus < 0) break;
        const QString m = name.left(plus);
        if (m == "Ctrl") k.modifiers |= Qt::ControlModifier;
        else if (m == "Shift") k.modifiers |= Qt::ShiftModifier;
        else if (m == "Alt") k.modifiers |= Qt::AltModifier;
        else throw Failure{"unknown modifier " + m};
        name = name.mid(plus + 1);
    }
    const bool shift = k.modifiers & Qt::ShiftModifier;
    if (keys.contains(name)) {
        k.key = keys[name].key;
        k.text = QString::fromLatin1(keys[name].text);
        if (k.key == Qt::Key_Tab && shift) {
            k.key = Qt::Key_Backtab;
        }
    } else if (name.size() >= 2 && name[0] == 'F' && name.mid(1).toInt() >= 1 && name.mid(1).toInt() <= 24) {
        k.key = static_cast<Qt::Key>(Qt::Key_F1 + name.mid(1).toInt() - 1);
    } else if (name.size() == 1) {
        QChar c = name[0];
        k.key = static_cast<Qt::Key>(c.toUpper().unicode());
        k.text = shift ? QString(c.toUpper()) : QString(c);
    } else {
        throw Failure{"unknown key " + written};
    }
    // X11 sends control characters for Ctrl with a letter, nothing for Ctrl with other keys
    if (k.modifiers & Qt::ControlModifier) {
        QChar c = k.text.isEmpty() ? QChar() : k.text[0].toUpper();
        k.text = c >= QChar('A') && c <= QChar('Z') ? QString(QChar(c.unicode() - 'A' + 1)) : QString();
    }
    return k;
}

// Through the window system, as the platform delivers keys: the press and
// the release each go to whatever has the focus at that moment.
void PressKey(QWindow* window, const KeyStroke& k) {
    QTest::sendKeyEvent(QTest::Press, window, k.key, k.text, k.modifiers);
    QApplication::processEvents();
    QTest::sendKeyEvent(QTest::Release, window, k.key, k.text, k.modifiers);
    QApplication::processEvents();
}

void Focus(QWidget* target) {
    if (!target->isVisible()) return;  // a hidden control takes no focus
    target->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
    WaitUntil([&] { return target->hasFocus(); }, 2000);
}

void TypeText(QWidget* target, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

void Click(frmMain& w, const QString& paneName, const QString& id) {
    auto* pane = qobject_cast<WebPane*>(Need(w, paneName));
    if (!pane || !pane->isVisible()) throw Failure{"pane not shown: " + paneName};
    QWidget* surface = pane->View()->focusProxy();
    if (!surface) throw Failure{"pane has no surface: " + paneName};
    // the element's middle in the page's pixels, scrolled into view first
    // when it is not in view; the page's pixels are the widget's at the
    // pane's text size, once the page has taken that size (a new size
    // reaches the page a little after the pane has it)
    const double zoom = pane->ZoomFactor();
    const QString script = QStringLiteral("(function(){var e=document.getElementById(%1);if(!e)return null;"
                                          "var r=e.getBoundingClientRect();"
                                          "if(r.bottom<=0||r.top>=innerHeight||r.right<=0||r.left>=innerWidth){"
                                          "e.scrollIntoView({block:'nearest'});r=e.getBoundingClientRect();}"
                                          "return [r.left+r.width/2,r.top+r.height/2,innerWidth];})()")
                               .arg(QString::fromUtf8(QJsonDocument(QJsonArray{id}).toJson(QJsonDocument::Compact)).mid(1).chopped(1));
    // The place is taken when two readings a frame apart agree: a new text
    // size also makes the page keep its marked line in view, a frame later.
    QVariantList xy, before;
    for (int tries = 0;; ++tries) {
        QVariant rect = Evaluate(pane, script);
        if (!rect.isValid() || rect.isNull()) throw Failure{"no element " + id + " in " + paneName};
        xy = rect.toList();
        const double pageWidth = xy.value(2).toDouble();
        if (pageWidth > 0 && std::abs(surface->width() / pageWidth - zoom) < 0.02 && xy == before) break;
        if (tries == 40) throw Failure{"the page of " + paneName + " did not hold still"};
        before = xy;
        WaitUntil([] { return false; }, 30);
    }
    QPoint at(static_cast<int>(xy.value(0).toDouble() * zoom), static_cast<int>(xy.value(1).toDouble() * zoom));
    if (!surface->rect().contains(at)) throw Failure{"element " + id + " is outside the visible part of " + paneName};
    QString clickedId;
    bool clicked = false;
    auto connection = QObject::connect(pane, &WebPane::LinkClicked, [&](const QString&, const QString& got) {
        clicked = true;
        clickedId = got;
    });
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, at);
    const bool arrived = WaitUntil([&] { return clicked; }, 3000);
    QObject::disconnect(connection);
    if (!arrived) throw Failure{"the click on " + id + " did not reach " + paneName};
    if (clickedId != id) throw Failure{"the click on " + id + " in " + paneName + " landed on " + clickedId};
}

// Takes the key that marks the end of what xdotool sent (Pause, which the
// reader does not use; a key of the keyboard map, so that xdotool need not
// map it for the moment), before the window sees it.
class EndMark : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Pause) return false;
        if (event->type() == QEvent::KeyRelease) seen = true;
        return true;
    }
};

// Runs xdotool with `args` and handles what it sent: keys and clicks that come
// from the X server as a keyboard's and a mouse's do. The X server hands one
// sender's events on in order, so once the end mark has come, all has.
void RunXDoTool(const QStringList& args) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForStarted(5000)) throw Failure{"xdotool could not be started (is it installed?)"};
    if (!WaitUntil([&] { return tool.state() == QProcess::NotRunning; }, 15000)) {
        tool.kill();
        throw Failure{"xdotool did not finish"};
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) throw Failure{"xdotool failed: " + args.join(' ')};
}

void XDoTool(const QStringList& args) {
    EndMark mark;
    qApp->installEventFilter(&mark);  // the last installed sees events first
    RunXDoTool(args);
    // after all the first run sent (type takes every word after it as text)
    RunXDoTool({"key", "Pause"});
    if (!WaitUntil([&] { return mark.seen; }, 10000)) throw Failure{"what xdotool sent did not arrive: " + args.join(' ')};
}

// A click with the X server's mouse in the middle of a control.
void XClick(frmMain& w, const QString& name) {
    QWidget* target = Need(w, name);
    if (!target->isVisible()) throw Failure{name + " is not shown"};
    const QPoint at = target->mapToGlobal(target->rect().center());
    // (no --sync: it waits for ever when the pointer is there already)
    XDoTool({"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep", "0.05", "click", "1"});
}

// A click anywhere in a pane: at fractions of its width and height.
void ClickAt(frmMain& w, const QString& paneName, const QString& where) {
    auto* pane = qobject_cast<WebPane*>(Need(w, paneName));
    if (!pane) throw Failure{"not a pane: " + paneName};
    if (!pane->isVisible()) return;
    QWidget* surface = pane->View()->focusProxy();
    if (!surface) return;
    // what the reader sees is on the screen before the click is placed on it
    bool painted = false;
    pane->WhenPainted([&painted] { painted = true; });
    if (!WaitUntil([&] { return painted; }, 5000)) throw Failure{"the pane " + paneName + " did not draw"};
    const double fx = where.section(',', 0, 0).toDouble(), fy = where.section(',', 1, 1).toDouble();
    const QPoint at(static_cast<int>(fx * surface->width()), static_cast<int>(fy * surface->height()));
    // the page counts the clicks it is given, so that the action ends once this
    // one has been handled there (a round trip alone can overtake it on a busy
    // machine); a click on a scroll bar gives none, and is waited for 2 s
    const QString count = QStringLiteral(
        "(function(){if(window.__clicks===undefined){window.__clicks=0;"
        "window.addEventListener('click',function(){window.__clicks++;},true);}return window.__clicks;})()");
    const int before = Evaluate(pane, count).toInt();
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, at);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 2000 && Evaluate(pane, count).toInt() == before) {
    }
}

// What must hold after anything a reader does; throws what does not.
void Check(frmMain& w) {
    // the owner's line against everything that shows it
    const int line = w.Line();
    if (static_cast<QScrollBar*>(w.Control("hsAllQuran"))->value() != line)
        throw Failure{QStringLiteral("the slider is not on the line %1").arg(line)};
    const cQ114::Line& at = w.Model().LineAt(static_cast<int16_t>(line));
    QWidget* focus = QApplication::focusWidget();
    auto box = [&](const char* name, int expected) {
        auto* edit = static_cast<QLineEdit*>(w.Control(name));
        auto shown = ReadNumber(edit->text().toStdU16String());
        if (edit == focus || !shown) return;  // being typed, or no number
        if (RoundHalfEven(*shown) != expected)  // the model reads "2.5" as 2
            throw Failure{QStringLiteral("%1 shows %2, the line %3 is at %4").arg(name, edit->text()).arg(line).arg(expected)};
    };
    box("txtSoreh", at.soreh);
    if (ReadNumber(static_cast<QLineEdit*>(w.Control("txtSoreh"))->text().toStdU16String())) box("txtAyeh", at.ayeh);
    box("txtJoze", at.joze);
    box("txtPage", at.page);
    if (static_cast<QScrollBar*>(w.Control("hsPage"))->value() != at.page) throw Failure{"hsPage is not the line's page"};
    // (a page resting after its renderer was lost again and again shows its notice, not its document)
    const std::vector<int16_t>& shown = w.Parts().reading->ShownPages();
    if (std::count(shown.begin(), shown.end(), at.page) && !w.Pane("wbrQuran")->Resting()) {
        QVariant marked = Evaluate(w.Pane("wbrQuran"),
                                   "(function(){var r=[],d=document.getElementsByTagName('DIV');for(var i=0;i<d.length;i++)"
                                   "if(/Select$/.test(d[i].className))r.push(d[i].id);return r;})()");
        if (marked.toStringList() != QStringList{QStringLiteral("div%1").arg(line)})
            throw Failure{QStringLiteral("marked %1, the line is %2").arg(marked.toStringList().join(',')).arg(line)};
    }
    if (w.Control("picPanelQuran")->isHidden() == w.Control("picPanelSearch")->isHidden())
        throw Failure{"not exactly one side panel shown"};
}

void Perform(frmMain& w, const QString& action) {
    const QString verb = action.section(':', 0, 0);
    const QString rest = action.section(':', 1);
    if (verb == "type") {
        QWidget* target = Need(w, rest.section(':', 0, 0));
        Focus(target);
        if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->selectAll();
        TypeText(target, rest.section(':', 1));
    } else if (verb == "xtype") {
        // a character at a time: xdotool maps a character the keyboard map
        // lacks onto a spare key for the moment, and the next character
        // would take that key before this one has been read
        for (const QChar c : rest) XDoTool({"type", QString(c)});
    } else if (verb == "xkey") {
        XDoTool({"key", "--delay", "60", rest});
    } else if (verb == "xclick") {
        XClick(w, rest);
    } else if (verb == "clickat") {
        ClickAt(w, rest.section(':', 0, 0), rest.section(':', 1));
    } else if (verb == "paste") {
        QWidget* target = Need(w, rest.section(':', 0, 0));
        clipboardForActions->SetText(rest.section(':', 1).toStdU16String());
        if (!target->isVisible()) return;
        Focus(target);
        PressKey(target->windowHandle() ? target->windowHandle() : w.windowHandle(), KeyByName("Ctrl+v"));
    } else if (verb == "menu") {
        QAction* a = w.MenuAction(rest);
        if (!a) throw Failure{"no menu entry " + rest};
        a->trigger();
    } else if (verb == "rightclick") {
        // opens the context menu with a real right-click, then closes it
        auto* pane = qobject_cast<WebPane*>(Need(w, rest));
        if (!pane || !pane->View()) throw Failure{"not a shown pane: " + rest};
        QWidget* surface = pane->View()->focusProxy();
        QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, surface->rect().center());
        if (!WaitUntil([&] { return w.ContextMenu()->isVisible(); }, 3000)) throw Failure{"no menu over " + rest};
        menuSeen = w.ContextMenu()->actions().size();
        w.ContextMenu()->close();
    } else if (verb == "wheel") {
        auto* pane = qobject_cast<WebPane*>(Need(w, rest.section(':', 0, 0)));
        if (!pane || !pane->View()) throw Failure{"not a shown pane: " + rest};
        QWidget* surface = pane->View()->focusProxy();
        const int steps = rest.section(':', 1).toInt();
        const QPointF at = surface->rect().center();
        for (int i = 0; i < std::abs(steps); ++i) {
            QWheelEvent wheel(at, surface->mapToGlobal(at), QPoint(), QPoint(0, steps > 0 ? 120 : -120), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(surface, &wheel);
        }
    } else if (verb == "shot") {
        // what the screen shows of the window, as a PNG
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);  // painted
        loop.exec();
        const QRect g = w.frameGeometry();
        if (!w.screen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).save(rest))
            throw Failure{"could not write " + rest};
    } else if (verb == "painted") {
        // until what the pane was asked is on the screen (two frames after it)
        auto* pane = qobject_cast<WebPane*>(Need(w, rest));
        if (!pane) throw Failure{"not a pane: " + rest};
        auto painted = std::make_shared<bool>(false);
        pane->WhenPainted([painted] { *painted = true; });
        if (!WaitUntil([&] { return *painted; }, 10000)) throw Failure{rest + " was not painted"};
    } else if (verb == "check") {
        Check(w);
    } else if (verb == "renderer" && rest == "kill") {
        // the renderer every pane draws in ends, as a crash would end it; the
        // action ends once the panes know
        QWebEnginePage* page = w.Pane("wbrQuran")->View() ? w.Pane("wbrQuran")->View()->page() : nullptr;
        if (!page || page->renderProcessPid() <= 0) return;
        bool gone = false;
        const auto c = QObject::connect(page, &QWebEnginePage::renderProcessTerminated, [&] { gone = true; });
        ::kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL);
        const bool noticed = WaitUntil([&] { return gone; }, 10000);
        QObject::disconnect(c);
        if (!noticed) throw Failure{"the renderer did not end"};
    } else if (verb == "focus") {
        Focus(Need(w, rest));
    } else if (verb == "key") {
        QWindow* window = QGuiApplication::focusWindow() ? QGuiApplication::focusWindow() : w.windowHandle();
        PressKey(window, KeyByName(rest));
    } else if (verb == "slider") {
        bool ok = false;
        int v = rest.toInt(&ok);
        if (!ok) throw Failure{"bad slider value " + rest};
        static_cast<QScrollBar*>(Need(w, "hsAllQuran"))->setValue(v);
    } else if (verb == "resize") {
        QStringList wh = rest.split(',');
        if (wh.size() != 2) throw Failure{"resize takes W,H"};
        w.ResizeClient(wh[0].toInt(), wh[1].toInt());
        QApplication::processEvents();
    } else if (verb == "click") {
        Click(w, rest.section(':', 0, 0), rest.section(':', 1));
    } else if (verb == "button") {
        auto* button = qobject_cast<QAbstractButton*>(Need(w, rest));
        if (!button) throw Failure{rest + " is not a button"};
        if (!button->isVisible()) throw Failure{rest + " is not shown"};
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (verb == "dblclick") {
        QWidget* target = Need(w, rest);
        QTest::mouseDClick(target, Qt::LeftButton);
    } else if (verb == "eval") {
        auto* pane = qobject_cast<WebPane*>(Need(w, rest.section(':', 0, 0)));
        if (!pane) throw Failure{"not a pane: " + rest.section(':', 0, 0)};
        evaluated.append(QJsonValue::fromVariant(Evaluate(pane, rest.section(':', 1), 5000)));
    } else if (verb == "note") {
        w.Parts().cards->SetNote(static_cast<int16_t>(w.Line()), rest);
    } else if (verb == "clock") {
        bool ok = false;
        const int seconds = rest.startsWith('+') ? rest.mid(1).toInt(&ok) : 0;
        if (!ok || seconds < 0) throw Failure{"clock:+SECONDS, not " + rest};
        w.Parts().clock->Advance(seconds);
    } else if (verb == "download") {
        // download:NAME:URL:SURAHS: the name runs to the first colon, the surahs follow the last
        const int first = static_cast<int>(rest.indexOf(':')), last = static_cast<int>(rest.lastIndexOf(':'));
        if (first < 0 || last <= first) throw Failure{"download:NAME:URL:SURAHS, not " + rest};
        const auto surahs = SurahList(rest.mid(last + 1).toStdU16String(), w.Model().SorehCount());
        if (!surahs) throw Failure{"no surahs in " + rest};
        w.Parts().recitation->DownloadRecordings(rest.left(first).toStdU16String(), QUrl(rest.mid(first + 1, last - first - 1)),
                                                 *surahs);
    } else if (verb == "cancel-download") {
        w.Parts().recitation->CancelDownload();
    } else if (verb == "add-recordings") {
        // add-recordings:NAME:PATH, the name up to the first colon
        const int colon = static_cast<int>(rest.indexOf(':'));
        if (colon < 0) throw Failure{"add-recordings:NAME:PATH, not " + rest};
        w.Parts().recitation->AddRecordings(rest.left(colon).toStdU16String(), QFile::encodeName(rest.mid(colon + 1)).toStdString());
    } else if (verb == "add-translation") {
        // add-translation:FILE
        w.Parts().translations->Add(QFile::encodeName(rest).toStdString());
    } else if (verb == "range") {
        // range:FROM:TO:TIMES[:EACH[:PAUSE]] in lines (TIMES 0: without end), or range:off
        if (rest == "off") {
            w.Parts().recitation->SetRange(std::nullopt);
        } else {
            const QStringList n = rest.split(':');
            std::vector<int> v;
            for (const QString& each : n) {
                bool ok = false;
                v.push_back(each.toInt(&ok));
                if (!ok) throw Failure{"range:FROM:TO:TIMES[:EACH[:PAUSE]], not " + rest};
            }
            using Range = ReaderChoices::Range;
            if (v.size() < 3 || v.size() > 5 || v[0] < 0 || v[0] > v[1] || v[1] > w.Model().MaxBound() || v[2] < 0 ||
                v[2] > Range::kMostTimes || (v.size() > 3 && (v[3] < 1 || v[3] > Range::kMostEach)) ||
                (v.size() > 4 && (v[4] < 0 || v[4] > Range::kLongestPause)))
                throw Failure{"a range out of bounds: " + rest};
            w.Parts().recitation->SetRange(Range{static_cast<int16_t>(v[0]), static_cast<int16_t>(v[1]), v[2],
                                                 v.size() > 3 ? v[3] : 1, v.size() > 4 ? v[4] : 0});
        }
    } else if (verb == "khatmah") {
        if (rest == "end") {
            w.Parts().khatmah->EndKhatmah();
        } else {
            bool okDays = false, okPage = false;
            const int days = rest.section(':', 0, 0).toInt(&okDays), page = rest.section(':', 1, 1).toInt(&okPage);
            if (!okDays || !okPage) throw Failure{"khatmah:DAYS:PAGE or khatmah:end, not " + rest};
            w.Parts().khatmah->SetKhatmah(days, page);
        }
    } else if (verb == "answer") {
        if (rest != "yes" && rest != "no") throw Failure{"answer:yes or answer:no, not " + rest};
        w.Parts().messages->AnswerNext(rest == "yes");
    } else if (verb == "clipboard") {
        clipboardForActions->SetText(rest.toStdU16String());
    } else if (verb == "await") {
        // await:line:N, await:stopped, await:file:NAME: until the recitation gets there (30 s at most)
        const QString what = rest.section(':', 0, 0), value = rest.section(':', 1);
        auto reached = [&] {
            const RecitationPart::State r = w.Parts().recitation->Now();
            if (what == "line") return w.Line() == value.toInt() && r.line == value.toInt();
            if (what == "file") return r.file == value;
            if (what == "stopped") return !r.playing && !r.paused;
            if (what == "moved") return w.Line() == value.toInt();  // the reader's line, by any way
            if (what == "downloaded") return !w.Parts().recitation->Downloads() || !w.Parts().recitation->Downloads()->running;
            throw Failure{"await:line:N, await:moved:N, await:file:NAME, await:stopped or await:downloaded, not " + rest};
        };
        if (!WaitUntil(reached, what == "downloaded" ? 90000 : 30000))
            throw Failure{(what == "moved" ? "the reader did not reach " : "the recitation did not reach ") + rest + QStringLiteral(" (at line %1, %2)")
                                                                         .arg(w.Parts().recitation->Now().line)
                                                                         .arg(w.Parts().recitation->Now().file)};
    } else if (verb == "wait") {
        QEventLoop loop;
        QTimer::singleShot(rest.toInt(), &loop, &QEventLoop::quit);
        loop.exec();
    } else {
        throw Failure{"unknown action " + action};
    }
    Settle(w);
}

QString ControlName(frmMain& w, QWidget* widget) {
    for (QWidget* p = widget; p; p = p->parentWidget())
        for (const auto& [name, c] : w.Controls())
            if (c == p) return QString::fromStdString(name);
    return QString();
}

// The controls: values, texts, tags, visibility, geometry, focus.
void ControlsState(frmMain& w, QJsonObject& o) {
    auto text = [&](const char* n) { return static_cast<QLineEdit*>(w.Control(n))->text(); };
    o["hsAllQuran"] = static_cast<QScrollBar*>(w.Control("hsAllQuran"))->value();
    o["hsPage"] = static_cast<QScrollBar*>(w.Control("hsPage"))->value();
    for (const char* n : {"txtSoreh", "txtAyeh", "txtJoze", "txtPage", "txtQSearch", "txtSearch"}) o[n] = text(n);
    o["lblPage"] = static_cast<QLabel*>(w.Control("lblPage"))->text();
    o["lblFarsi"] = static_cast<QLabel*>(w.Control("lblFarsi"))->text();
    o["lblSearchResult"] = static_cast<QLabel*>(w.Control("lblSearchResult"))->text();
    QJsonObject tags, visible, enabled, geometry;
    for (const auto& [name, c] : w.Controls()) {
        QString n = QString::fromStdString(name);
        tags[n] = w.Tag(name);
        visible[n] = !c->isHidden();
        enabled[n] = c->isEnabled();
        const auto& r = w.Layout()[name];
        geometry[n] = QJsonArray{r.left, r.top, r.width, r.height};
    }
    o["tags"] = tags;
    o["visible"] = visible;
    o["enabled"] = enabled;
    o["geometry"] = geometry;
    const QRect frame = w.frameGeometry();
    o["window"] = QJsonObject{{"left", frame.left()}, {"top", frame.top()}, {"width", frame.width()}, {"height", frame.height()}};
    o["focus"] = ControlName(w, QApplication::focusWidget() ? QApplication::focusWidget() : w.focusWidget());
}

// Every pane's document and scroll, and the page's marked ayat, asked at once.
void DocumentsState(frmMain& w, QJsonObject& o) {
    std::vector<std::pair<WebPane*, QString>> scripts;
    for (WebPane* pane : w.Panes())
        scripts.emplace_back(pane, QStringLiteral("[document.documentElement ? document.documentElement.outerHTML : '',"
                                                  "document.scrollingElement ? document.scrollingElement.scrollTop : 0]"));
    scripts.emplace_back(w.Pane("wbrQuran"),
                         QStringLiteral("(function(){var r=[],d=document.getElementsByTagName('DIV');for(var i=0;i<d.length;i++)"
                                        "if(/Select$/.test(d[i].className))r.push(d[i].id);return r;})()"));
    // the words marked as found, in the page and the translation
    const QString found = QStringLiteral(
        "Array.prototype.map.call(document.querySelectorAll('.Found'),function(e){return e.textContent;})");
    scripts.emplace_back(w.Pane("wbrQuran"), found);
    scripts.emplace_back(w.Pane("wbrFarsi"), found);
    const QVariantList answers = EvaluateAll(scripts);
    QJsonObject documents, scroll, styles;
    for (std::size_t i = 0; i < w.Panes().size(); ++i) {
        WebPane* pane = w.Panes()[i];
        const QVariantList pair = answers[static_cast<qsizetype>(i)].toList();
        documents[pane->objectName()] = pair.value(0).toString();
        // a pane never shown has not been scrolled (its page, read without a
        // view, is laid out at no size)
        scroll[pane->objectName()] = pane->HasView() ? QJsonValue(pair.value(1).toDouble()) : QJsonValue(QJsonValue::Null);
        styles[pane->objectName()] = pane->RenderingStyle();
    }
    o["documents"] = documents;
    o["scrollTop"] = scroll;
    o["renderingStyle"] = styles;
    QJsonArray ids;
    const qsizetype extra = static_cast<qsizetype>(w.Panes().size());
    for (const QVariant& v : answers[extra].toList()) ids.append(v.toString());
    o["marked"] = ids;
    o["found"] = QJsonObject{{"wbrQuran", QJsonArray::fromStringList(answers[extra + 1].toStringList())},
                             {"wbrFarsi", QJsonArray::fromStringList(answers[extra + 2].toStringList())}};
    QJsonObject zoom;
    for (const PaneEntry& e : PaneEntries())
        if (e.zoom) zoom[e.name] = w.Parts().panes->Zoom(e.id);
    o["zoom"] = zoom;
}

// How the reader sees the text.
void LooksState(frmMain& w, QJsonObject& o) {
    const ReaderChoices& c = w.Parts().choices->Get();
    o["ShowEarab"] = w.Parts().reading->ShowEarab();
    o["ScrollOnSelect"] = w.Parts().reading->ScrollOnSelect();
    o["quranFont"] = ToQ(views::QuranFontName(c.quranFont));
    o["night"] = c.night;
    o["fullScreen"] = w.isFullScreen();
    o["rememberPlace"] = c.rememberPlace;
    o["script"] = c.uthmani ? "uthmani" : "simple";
    o["view"] = c.mushafView ? "mushaf" : "lines";
    o["pageTranslation"] = c.pageTranslation;
    o["spread"] = c.spread;
    o["foundText"] = c.foundText;
    QJsonArray pages;
    for (int16_t page : w.Parts().reading->ShownPages()) pages.append(page);
    o["pages"] = pages;
    const TranslationsPart& translations = *w.Parts().translations;
    o["translation"] = ToQ(translations.Shown());
    const std::u16string& second = translations.ShownSecond();
    o["secondTranslation"] = second.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(ToQ(second));
    o["searchSecond"] = c.searchSecond;
}

// The translations there are, and what the last pack added became.
void TranslationsState(frmMain& w, QJsonObject& o) {
    QJsonArray list;
    for (const TranslationsPart::Listed& t : w.Parts().translations->List())
        list.append(QJsonObject{{"name", t.name}, {"language", t.language}, {"direction", t.direction}, {"from", t.from}});
    o["translations"] = list;
    const auto& added = w.Parts().translations->LastAdd();
    o["addedTranslation"] = !added ? QJsonValue(QJsonValue::Null)
                                   : QJsonValue(QJsonObject{{"name", added->name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(added->name)},
                                                            {"problems", QJsonArray::fromStringList(added->problems)},
                                                            {"moreProblems", added->moreProblems}});
}

// The study tools: notes, history, memorisation, the khatmah plan.
void StudyState(frmMain& w, QJsonObject& o) {
    const ReaderChoices& c = w.Parts().choices->Get();
    o["hifz"] = c.hifz;
    const int16_t hidden = w.Parts().hifz->HiddenFrom();
    o["hiddenFrom"] = hidden < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(hidden);
    QJsonObject notes;
    for (const auto& [line, note] : c.notes) notes[QString::number(line)] = ToQ(note);
    o["notes"] = notes;
    QJsonArray history;
    for (int16_t line : c.history) history.append(line);
    o["history"] = history;
    o["khatmah"] = QJsonValue::Null;
    if (const auto& plan = w.Parts().khatmah->Plan()) {
        QJsonObject k{{"days", plan->days}, {"startPage", plan->startPage}, {"began", QString::fromStdString(plan->began)}};
        if (const auto today = w.Parts().khatmah->Today()) {
            k["first"] = today->first;
            k["last"] = today->last;
            k["seen"] = plan->SeenOf(*today);
        }
        o["khatmah"] = k;
    }
    o["FishList"] = ToQ(w.Model().FishList());
    o["exported"] = QJsonArray::fromStringList(w.Parts().cards->Exported());
}

QJsonValue AddedState(frmMain& w) {
    const auto& r = w.Parts().recitation->LastImport();
    if (!r) return QJsonValue::Null;
    const char* failures[] = {nullptr, "unreadable", "nothing usable", "cannot write"};
    const auto failure = failures[static_cast<int>(r->failure)];
    return QJsonObject{{"copied", r->copied},
                       {"passedOver", r->passedOver},
                       {"failure", failure ? QJsonValue(failure) : QJsonValue(QJsonValue::Null)}};
}

QJsonValue DownloadsState(frmMain& w) {
    const QtDownloader::Progress* p = w.Parts().recitation->Downloads();
    if (!p) return QJsonValue::Null;
    return QJsonObject{{"running", p->running}, {"total", p->total},   {"done", p->done},
                       {"failed", p->failed},   {"bytes", p->bytes},   {"failedFiles", QJsonArray::fromStringList(p->failedNames)}};
}

QJsonObject PlayerBarState(frmMain& w) {
    const PlayerBar::Shown bar = w.Parts().playerBar->Now();
    return QJsonObject{{"visible", bar.visible}, {"playing", bar.playing}, {"reciter", bar.reciter},
                       {"ayah", bar.ayah},       {"repeat", bar.repeat},   {"speed", bar.speed}};
}

QJsonObject RecitationState(frmMain& w) {
    const RecitationPart::State r = w.Parts().recitation->Now();
    const ReaderChoices& c = w.Parts().choices->Get();
    QJsonArray reciters;
    for (const Reciter& each : w.Parts().recitation->Reciters()) reciters.append(ToQ(each.name));
    const char* to[] = {"page", "surah", "juz", "quran"};
    auto line = [](int16_t n) { return n < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(n); };
    return QJsonObject{
        {"reciters", reciters},
        {"reciter", r.reciter.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.reciter)},
        {"playing", r.playing},
        {"paused", r.paused},
        {"line", line(r.line)},
        {"file", r.file.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.file)},
        {"played", r.played},
        {"stopLine", line(r.stopLine)},
        {"repeat", c.repeat == 0 ? QJsonValue("forever") : QJsonValue(c.repeat)},
        {"to", to[static_cast<int>(c.playTo)]},
        {"speed", c.speed / 100.0},
        {"round", r.round},
        {"added", AddedState(w)},
        {"range", c.range ? QJsonValue(QJsonObject{{"from", c.range->from},
                                                   {"to", c.range->to},
                                                   {"times", c.range->times == 0 ? QJsonValue("forever") : QJsonValue(c.range->times)},
                                                   {"each", c.range->each},
                                                   {"pause", c.range->pause}})
                          : QJsonValue(QJsonValue::Null)},
    };
}

QJsonObject State(frmMain& w, Clipboard& clipboard) {
    QJsonObject o;
    ControlsState(w, o);
    o["model"] = QJsonDocument::fromJson(QByteArray::fromStdString(PositionJson(w.Model()))).object();
    o["clipboard"] = ToQ(clipboard.Text());
    DocumentsState(w, o);
    o["evaluated"] = evaluated;
    LooksState(w, o);
    TranslationsState(w, o);
    StudyState(w, o);
    o["recitation"] = RecitationState(w);
    o["playerBar"] = PlayerBarState(w);
    o["downloads"] = DownloadsState(w);
    o["message"] = w.Parts().messages->Last();
    o["menuEntries"] = menuSeen;
    QJsonArray commands;
    for (const Command& c : w.Parts().commands->All()) {
        QJsonArray keys;
        for (const QKeySequence& k : c.keys) keys.append(k.toString(QKeySequence::PortableText));
        QJsonObject command{{"name", c.name}, {"keys", keys}};
        if (c.checked) command["checked"] = c.checked();
        commands.append(command);
    }
    o["commands"] = commands;
    return o;
}

void Print(const QJsonObject& o) {
    QByteArray out = QJsonDocument(o).toJson(QJsonDocument::Compact);
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

QJsonObject RunActions(frmMain& window, Clipboard& clipboard, const QStringList& actions) {
    clipboardForActions = &clipboard;
    evaluated = QJsonArray();
    menuSeen = 0;
    window.SetInteractive(false);
    try {
        // (not QTest's waits, which sleep between looks and hold the pages'
        // answers back meanwhile)
        if (!WaitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 15000))
            throw Failure{"the window was not shown"};
        window.activateWindow();
        (void)WaitUntil([&] { return window.isActiveWindow(); }, 2000);
        Settle(window);
        // the shown panes have drawn a frame: a click from now on reaches
        // what the reader sees
        auto painted = std::make_shared<int>(0);
        int shown = 0;
        for (WebPane* pane : window.Panes()) {
            if (!pane->HasView() || !pane->isVisible()) continue;
            ++shown;
            pane->WhenPainted([painted] { ++*painted; });
        }
        // With nothing to do but read the window, the panes not shown make
        // their pages now, so that their documents load while the shown
        // panes wait for their frames. Otherwise a pane makes its page when
        // it is first shown or read, as in the reader's window.
        if (actions.isEmpty())
            for (WebPane* pane : window.Panes()) pane->CreatePage();
        if (!WaitUntil([&] { return *painted == shown; }, 10000)) throw Failure{"a pane did not draw"};
        for (const QString& action : actions) Perform(window, action);
        return State(window, clipboard);
    } catch (const Failure& f) {
        return QJsonObject{{"error", f.what}};
    }
}

int RunAutomation(frmMain& window, Clipboard& clipboard, const QStringList& actions) {
    QJsonObject state = RunActions(window, clipboard, actions);
    Print(state);
    return state.contains("error") ? 1 : 0;
}

}  // namespace mushaf
