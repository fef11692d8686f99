// The pane on the real web engine: how documents are written into it, and
// what the reader sees of a new document.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "tests/WindowRun.h"
#include "window/WebPane.h"

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

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

struct Shown {
    QWidget host;
    mushaf::WebPane* pane;
    explicit Shown(bool visible = true) : pane(new mushaf::WebPane(&host, true)) {
        host.resize(300, 400);
        pane->resize(300, 400);
        if (visible) host.show();
        pane->Navigate(QUrl(QStringLiteral("about:blank")));
    }
    QVariant Evaluate(const QString& script) {
        auto answer = std::make_shared<QVariant>();
        auto answered = std::make_shared<bool>(false);
        pane->Evaluate(script, [answer, answered](const QVariant& v) {
            *answer = v;
            *answered = true;
        });
        EXPECT_TRUE(WaitUntil([&] { return *answered; })) << script.left(80).toStdString();
        return *answer;
    }
};

}  // namespace

TEST(Pane, ALongDocumentIsTheTreeOneWriteMakes) {
    Shown shown;
    for (int rows : {1800, 60}) {  // written in two parts, and whole
        const QString html = LongList(rows);
        shown.pane->Write(html);
        // asked right after the write: answered on the whole document
        const QString written = shown.Evaluate(QStringLiteral("document.documentElement.outerHTML")).toString();
        const QString parsed = shown.Evaluate(
            QStringLiteral("new DOMParser().parseFromString(%1,'text/html').documentElement.outerHTML").arg(JsString(html)))
                                   .toString();
        EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), rows);
        EXPECT_FALSE(written.isEmpty());
        EXPECT_EQ(written, parsed) << rows << " rows";
        EXPECT_TRUE(WaitUntil([&] { return shown.pane->IsIdle(); }));
    }
}

TEST(Pane, WhatFollowsALongDocumentWaitsForAllOfIt) {
    Shown shown;
    shown.pane->Write(LongList(1800));
    // the last row is in the second part
    shown.pane->ScrollIntoView({QString::number(1799 * 3)});
    EXPECT_GT(shown.Evaluate(QStringLiteral("window.scrollY")).toDouble(), 1000);
    // clicks are reported from the first part on
    EXPECT_EQ(shown.Evaluate(QStringLiteral("document.getElementById('0').click(); 1")).toInt(), 1);
}

TEST(Pane, ALongDocumentInAHiddenPaneIsWrittenAllTheSame) {
    Shown hidden(false);
    hidden.pane->Write(LongList(1800));
    EXPECT_EQ(hidden.Evaluate(QStringLiteral("document.getElementsByTagName('A').length")).toInt(), 1800);
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
    // not called once the pane is gone
    bool late = false;
    auto* gone = new mushaf::WebPane(&shown.host, false);
    gone->Navigate(QUrl(QStringLiteral("about:blank")));
    gone->WhenPainted([&] { late = true; });
    delete gone;
    QEventLoop wait;
    QTimer::singleShot(1200, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_FALSE(late);
}
