// The pane on the real web engine: how documents are written into it, and
// what the reader sees of a new document.
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <csignal>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "automation/Automation.h"
#include "tests/WindowRun.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 20000) { return mushaf::WaitUntil(done, ms); }

// A result list as long as the longest the search writes (about 1800
// rows), with the things a split could spoil: a '>' in running text,
// letters outside the basic plane, and Arabic.
QString LongList(int rows) {
    QString html = QStringLiteral("<html dir='rtl'>\r\n<style>\r\n*{font-family: Tahoma;font-size: 13px;}\r\n"
                                  "</style>\r\n<body>\r\n");
    for (int n = 0; n < rows; ++n) {
        html += QStringLiteral("<span class='Radif'><a id='%1' href='#'>%2 -</A></span>"
                               "<span class='SorehName'>%3</span><span class='Ayeh'>%4</span><br>\r\n")
                    .arg(n * 3)
                    .arg(n + 1)
                    .arg(n % 7 == 0 ? QStringLiteral("a > b \U0001D400 ﷽") : QStringLiteral("بقره"))
                    .arg(n % 286);
    }
    return html + QStringLiteral("</body>\r\n</html>\r\n");
}

QString JsString(const QString& s) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// What `script` answers in the pane, once it has.
QVariant Evaluate(mushaf::WebPane* pane, const QString& script) {
    auto answer = std::make_shared<QVariant>();
    auto answered = std::make_shared<bool>(false);
    pane->Evaluate(script, [answer, answered](const QVariant& v) {
        *answer = v;
        *answered = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return *answered; })) << script.left(80).toStdString();
    return *answer;
}

struct Shown {
    QWidget host;
    mushaf::WebPane* pane;
    explicit Shown(bool visible = true) : pane(new mushaf::WebPane(&host, true)) {
        host.resize(300, 400);
        pane->resize(300, 400);
        if (visible) host.show();
        pane->Navigate(QUrl(QStringLiteral("about:blank")));
    }
    QVariant Evaluate(const QString& script) { return ::Evaluate(pane, script); }
};

}  // namespace

// The tree of a node, every node in it with its text, so that two text
// nodes side by side differ from one.
const char* kShape =
    "function shape(n){var s=n.nodeType+':'+n.nodeName;"
    "if(n.nodeType===3||n.nodeType===8)s+='='+JSON.stringify(n.data);"
    "if(n.attributes)for(var i=0;i<n.attributes.length;i++)s+=' '+n.attributes[i].name+'='+JSON.stringify(n.attributes[i].value);"
    "s+='[';for(var c=n.firstChild;c;c=c.nextSibling)s+=shape(c)+',';return s+']';}";

TEST(Pane, ALongDocumentIsTheTreeOneWriteMakes) {
    Shown shown;
    // The first part ends at the first '>' after 16K characters: put that
    // '>' in running text, in an attribute, in a comment, and at a tag.
    const QString filler = QStringLiteral("<p>") + QString(17000, QChar(0x628));
    const QString longList = LongList(1800);
    const QStringList documents{
        filler + QStringLiteral(" a > b \U0001D400 c</p>") + LongList(300),
        filler + QStringLiteral("<span title='x > y' id=t>t</span></p>") + LongList(300),
        filler + QStringLiteral("<!-- x > y --></p>") + LongList(300),
        longList,
        LongList(60),  // written whole
    };
    for (const QString& html : documents) {
        if (html.size() > 20000) {
            const qsizetype split = html.indexOf(QChar('>'), 16 * 1024);
            ASSERT_GT(split, 0);
            ASSERT_LT(split, 17200) << "the awkward place moved";
        }
        shown.pane->Write(html);
        // asked right after the write: answered on the whole document
        const QString written =
            shown.Evaluate(QString::fromLatin1(kShape) + QStringLiteral("shape(document.documentElement)")).toString();
        const QString parsed =
            shown.Evaluate(QString::fromLatin1(kShape) +
                           QStringLiteral("shape(new DOMParser().parseFromString(%1,'text/html').documentElement)")
                               .arg(JsString(html)))
                .toString();
        EXPECT_FALSE(written.isEmpty());
        EXPECT_EQ(written, parsed) << html.left(80).toStdString();
        EXPECT_TRUE(WaitUntil([&] { return shown.pane->IsIdle(); }));
    }
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 60);
}

TEST(Pane, AHiddenPaneReadMakesOnlyItsPageWhichItsViewTakesWhenShown) {
    QWidget host;
    host.resize(300, 400);
    auto* pane = new mushaf::WebPane(&host, true);
    pane->resize(300, 400);
    auto evaluate = [pane](const QString& script) { return Evaluate(pane, script); };
    // never shown, no address: written into its page's own empty document
    pane->Write(QStringLiteral("<html><body><p id=x>written</p></body></html>"));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('x').textContent")).toString(), "written");
    EXPECT_TRUE(pane->HasPage());
    EXPECT_FALSE(pane->HasView());
    evaluate(QStringLiteral("document.getElementById('x').textContent='changed'"));
    // shown, its view takes that page and draws it
    host.show();
    ASSERT_TRUE(WaitUntil([&] { return pane->HasView(); }));
    evaluate(QStringLiteral("window.drawn=false;requestAnimationFrame(function(){window.drawn=true;});0"));
    EXPECT_TRUE(WaitUntil([&] { return evaluate(QStringLiteral("window.drawn")).toBool(); }, 5000));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('x').textContent")).toString(), "changed");
}

TEST(Pane, WhatFollowsALongDocumentWaitsForAllOfIt) {
    Shown shown;
    shown.pane->Write(LongList(1800));
    // the last row is in the second part
    shown.pane->ScrollIntoView({QString::number(1799 * 3)});
    EXPECT_GT(shown.Evaluate(QStringLiteral("window.scrollY")).toDouble(), 1000);
    // clicks on links are reported
    QString clicked;
    QObject::connect(shown.pane, &mushaf::WebPane::LinkClicked,
                     [&](const QString& tag, const QString& id) { clicked = tag + ":" + id; });
    shown.Evaluate(QStringLiteral("document.getElementById('5397').click(); 1"));
    EXPECT_TRUE(WaitUntil([&] { return !clicked.isEmpty(); }));
    EXPECT_EQ(clicked, "A:5397");
}

TEST(Pane, ALongDocumentInAHiddenPaneIsWrittenAtOnce) {
    Shown hidden(false);
    hidden.Evaluate(QStringLiteral("1"));  // the view made and loaded
    // a hidden page draws no frames: waiting for one would take the
    // fallback's second at least (written at once, it takes some 60 ms
    // here, and 760 ms was seen on a loaded machine)
    QElapsedTimer t;
    t.start();
    hidden.pane->Write(LongList(300));
    EXPECT_EQ(hidden.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 300);
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_TRUE(WaitUntil([&] { return hidden.pane->IsIdle(); }));
}

TEST(Pane, ANewDocumentStartsAtItsTop) {
    // a result list scrolled down, then a new search: the new list shows its
    // first rows (the view used to keep the old list's place)
    RUN_WINDOW(r, "button:cmdShowSearch", "type:txtSearch:الله", "key:Return",
               "eval:wbrSearchResult:window.scrollTo(0,5000);window.scrollY", "type:txtSearch:رب", "key:Return");
    EXPECT_GT(r.state["evaluated"].toArray()[0].toDouble(), 4000);
    EXPECT_EQ(r.scrollTop("wbrSearchResult"), 0);
    // and the translation of a long ayah, scrolled, then the next ayah
    RUN_WINDOW(t, "slider:506", "eval:wbrFarsi:window.scrollTo(0,400);window.scrollY", "slider:507");
    EXPECT_GT(t.state["evaluated"].toArray()[0].toDouble(), 0);
    EXPECT_EQ(t.scrollTop("wbrFarsi"), 0);
}

TEST(Pane, WhenPaintedAnswersAfterTheWork) {
    Shown shown;
    bool painted = false;
    shown.pane->Write(LongList(1800));
    shown.pane->WhenPainted([&] { painted = true; });
    EXPECT_TRUE(WaitUntil([&] { return painted; }));
    EXPECT_TRUE(shown.pane->IsIdle());
    // from the page's frames, not the fallback's second
    painted = false;
    shown.pane->Write(LongList(10));
    QElapsedTimer t;
    t.start();
    shown.pane->WhenPainted([&] { painted = true; });
    EXPECT_TRUE(WaitUntil([&] { return painted; }));
    EXPECT_LT(t.elapsed(), 800);
    // a busy page answers when it is done, not from the fallback's second
    bool busyDone = false, paintedAfterBusy = false;
    painted = false;
    shown.pane->Evaluate(QStringLiteral("var t=Date.now();while(Date.now()-t<1500);1"),
                         [&](const QVariant&) { busyDone = true; });
    shown.pane->WhenPainted([&] {
        painted = true;
        paintedAfterBusy = busyDone;
    });
    EXPECT_TRUE(WaitUntil([&] { return painted; }));
    EXPECT_TRUE(paintedAfterBusy);
    // not called once the pane is gone
    bool late = false;
    auto* gone = new mushaf::WebPane(&shown.host, false);
    gone->CreateView();
    gone->Navigate(QUrl(QStringLiteral("about:blank")));
    ASSERT_TRUE(WaitUntil([&] { return gone->IsIdle(); }));
    gone->WhenPainted([&] { late = true; });
    delete gone;
    QEventLoop wait;
    QTimer::singleShot(1200, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_FALSE(late);
}

TEST(Pane, ANoteCardListChangedInPlaceKeepsThePlace) {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    {
        QSettings s(file, QSettings::IniFormat);
        QStringList cards;
        for (int line = 10; line <= 600; line += 10) cards << QString::number(line);
        s.setValue("Mushaf/Reader/FishList", cards.join(' '));
    }
    RUN_WINDOW_WITH(r, QStringList({"menu:mnuShowFish", "eval:wbrSearchResult:window.scrollTo(0,600);window.scrollY",
                                    "key:Ctrl+D"}),
                    QStringList({"--settings", file}));
    const double place = r.state["evaluated"].toArray()[0].toDouble();
    EXPECT_GT(place, 500);
    EXPECT_TRUE(r.state["FishList"].toString().startsWith("10 20"));
    EXPECT_TRUE(r.state["FishList"].toString().contains(" 0") || r.state["FishList"].toString().startsWith("0 "));
    EXPECT_EQ(r.scrollTop("wbrSearchResult"), place);
}

namespace {
// Ends the renderer `pane` draws in (every pane's), and waits until the pane
// knows.
void EndTheRenderer(mushaf::WebPane* pane) {
    QWebEnginePage* page = pane->View()->page();
    ASSERT_TRUE(WaitUntil([&] { return page->renderProcessPid() > 0; }));
    bool gone = false;
    const QMetaObject::Connection c =
        QObject::connect(page, &QWebEnginePage::renderProcessTerminated, [&] { gone = true; });
    ::kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL);
    const bool noticed = WaitUntil([&] { return gone; });
    QObject::disconnect(c);
    ASSERT_TRUE(noticed);
}

void EndTheWindowsRenderer(mushaf::frmMain& w) { EndTheRenderer(w.Pane("wbrQuran")); }

// Ends the renderer, then its replacement `afterMs` after it has started.
void EndTwoRenderers(mushaf::frmMain& w, int afterMs) {
    QWebEnginePage* page = w.Pane("wbrQuran")->View()->page();
    ASSERT_TRUE(WaitUntil([&] { return page->renderProcessPid() > 0; }));
    const qint64 first = page->renderProcessPid();
    EndTheRenderer(w.Pane("wbrQuran"));
    ASSERT_TRUE(WaitUntil([&] { return page->renderProcessPid() > 0 && page->renderProcessPid() != first; }));
    WaitUntil([] { return false; }, afterMs);
    ::kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL);
}
}  // namespace

TEST(Pane, WhatWasLostWithTheRendererIsAnsweredAndDrawnAgain) {
    Shown shown;
    shown.pane->Write(LongList(60));
    shown.pane->ScrollIntoView({QString::number(50 * 3)});
    ASSERT_GT(shown.Evaluate(QStringLiteral("window.scrollY")).toDouble(), 100);
    // a script that never ends: lost with the renderer, answered once, empty
    int answers = 0;
    QVariant answer = 42;
    shown.pane->Evaluate(QStringLiteral("for(;;){}"), [&](const QVariant& v) {
        ++answers;
        answer = v;
    });
    EndTheRenderer(shown.pane);
    EXPECT_TRUE(WaitUntil([&] { return answers > 0; }));
    EXPECT_FALSE(answer.isValid());
    // the document again, scrolled as it was
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 60);
    EXPECT_GT(shown.Evaluate(QStringLiteral("window.scrollY")).toDouble(), 100);
    EXPECT_TRUE(WaitUntil([&] { return shown.pane->IsIdle(); }));
    EXPECT_EQ(answers, 1);
    // a long document lost half-way is written whole on the next renderer
    shown.pane->Write(LongList(1800));
    WaitUntil([] { return false; }, 5);
    EndTheRenderer(shown.pane);
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 1800);
    EXPECT_TRUE(WaitUntil([&] { return shown.pane->IsIdle(); }));
}

TEST(Pane, ARendererThatKeepsGoingIsRestedAndTriedAgain) {
    Shown shown;
    shown.pane->Write(LongList(10));
    ASSERT_EQ(shown.Evaluate(QStringLiteral("1+1")).toInt(), 2);
    for (int loss = 0; loss < 4; ++loss) {
        // each loss once the pane has drawn again (the fourth rests)
        ASSERT_TRUE(WaitUntil([&] { return shown.pane->IsIdle() && !shown.pane->Resting(); }));
        EndTheRenderer(shown.pane);
    }
    // resting: it says so, answers at once, is idle: nothing waits on it
    EXPECT_TRUE(shown.pane->Resting());
    EXPECT_FALSE(shown.Evaluate(QStringLiteral("1+1")).isValid());
    shown.pane->Write(LongList(12));
    bool painted = false;
    shown.pane->WhenPainted([&] { painted = true; });
    EXPECT_TRUE(WaitUntil([&] { return painted && shown.pane->IsIdle(); }, 3000));
    // and is back by itself with the document written meanwhile
    QElapsedTimer back;
    back.start();
    EXPECT_TRUE(WaitUntil([&] { return !shown.pane->Resting(); }, 20000));
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 12);
    // lost again at once: a longer rest, and back again, within 20 s of the loss
    EndTheRenderer(shown.pane);
    EXPECT_TRUE(shown.pane->Resting());
    back.restart();
    EXPECT_TRUE(WaitUntil([&] { return !shown.pane->Resting(); }, 20000));
    EXPECT_GT(back.elapsed(), 1500);
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 12);
}

TEST(Pane, AfterTheRendererIsGoneThePanesDrawAgain) {
    RUN_WINDOW(before);
    mushaf::testing::WindowRun again = mushaf::testing::RunWindow({}, {}, EndTheWindowsRenderer);
    ASSERT_EQ(again.status, 0) << again.error.toStdString();
    // the same documents, the same marked line, on a new renderer
    EXPECT_EQ(again.marked(), before.marked());
    for (const char* pane : {"wbrQuran", "wbrFarsi", "wbrSoreh"}) {
        EXPECT_FALSE(again.document(pane).isEmpty()) << pane;
        EXPECT_EQ(again.document(pane), before.document(pane)) << pane;
    }
    // and the reader goes on
    mushaf::testing::WindowRun on = mushaf::testing::RunWindow(
        {"slider:300", "key:F3", "type:txtSearch:" + QString::fromUtf8("الله"), "key:Return"}, {}, EndTheWindowsRenderer);
    ASSERT_EQ(on.status, 0) << on.error.toStdString();
    EXPECT_EQ(on.marked(), QStringList{"div300"});
    EXPECT_EQ(on.document("wbrSearchResult").count("<br>"), 1858);
}

// Whatever the losses, close together or not, the window ends as after one:
// every shown pane has its document back.
TEST(Pane, TwoLossesCloseTogetherEndAsOneDoes) {
    RUN_WINDOW(before, "slider:300");
    for (int afterMs : {0, 50, 150, 400}) {
        mushaf::testing::WindowRun r =
            mushaf::testing::RunWindow({"slider:300", "check"}, {}, [afterMs](mushaf::frmMain& w) { EndTwoRenderers(w, afterMs); });
        ASSERT_EQ(r.status, 0) << afterMs << " ms: " << r.error.toStdString();
        EXPECT_EQ(r.marked(), QStringList{"div300"}) << afterMs;
        for (const char* pane : {"wbrQuran", "wbrFarsi", "wbrSoreh"})
            EXPECT_EQ(r.document(pane), before.document(pane)) << pane << " after " << afterMs << " ms";
    }
    // five in a burst: the panes rest, then come back by themselves
    mushaf::testing::WindowRun burst = mushaf::testing::RunWindow({"slider:300"}, {}, [](mushaf::frmMain& w) {
        for (int afterMs : {0, 30, 100, 0}) EndTwoRenderers(w, afterMs);
        EXPECT_TRUE(WaitUntil([&] {
            for (mushaf::WebPane* p : w.Panes())
                if (p->Resting() || !p->IsIdle()) return false;
            return true;
        }, 30000));
    });
    ASSERT_EQ(burst.status, 0) << burst.error.toStdString();
    EXPECT_EQ(burst.marked(), QStringList{"div300"});
    EXPECT_EQ(burst.document("wbrQuran"), before.document("wbrQuran"));
}

TEST(Pane, TheWindowSaysWhenItsPanesRest) {
    // the fourth loss in a row: every pane rests, the message says so; then
    // the panes come back with the page and the message goes. The search
    // panel, opened once and hidden again, rests and comes back with them.
    auto fourLosses = [](mushaf::frmMain& w) {
        w.cmdShowSearch_Click();
        w.cmdShowSoreh_Click();
        for (int loss = 0; loss < 4; ++loss) {
            ASSERT_TRUE(WaitUntil([&] { return w.PanesIdle() && !w.Pane("wbrQuran")->Resting(); }));
            EndTheWindowsRenderer(w);
        }
        ASSERT_TRUE(w.Pane("wbrQuran")->Resting());
        EXPECT_TRUE(w.Pane("wbrSearchResult")->Resting());
        EXPECT_EQ(w.Parts().messages->Last(), QString::fromUtf16(mushaf::WebPane::kRestingNotice));
        EXPECT_TRUE(w.Pane("wbrQuran")->findChild<QWidget*>("lblRendererNotice")->isVisible());
        EXPECT_TRUE(WaitUntil([&] {
            for (mushaf::WebPane* p : w.Panes())
                if (p->Resting()) return false;
            return true;
        }));
    };
    mushaf::testing::WindowRun r = mushaf::testing::RunWindow({"slider:300", "key:F3"}, {}, fourLosses);
    ASSERT_EQ(r.status, 0) << r.error.toStdString();
    EXPECT_EQ(r.marked(), QStringList{"div300"});
    EXPECT_EQ(r.state["message"].toString(), "");
    EXPECT_TRUE(r.visible("wbrSearchResult"));
}
