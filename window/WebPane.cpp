#include "WebPane.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace mushaf {

namespace {

const QString kClickPrefix = QStringLiteral("\x01mushaf-click\x01");

// Rendering only: spans take the widths their style rules give them, and a
// focused link draws no focus frame. The rules live in an adopted style
// sheet, so the documents themselves stay as they were written.
const char* kPaneScript = R"JS(
(function () {
  try {
    var sheet = new CSSStyleSheet();
    sheet.replaceSync('span.Radif, span.SorehName, span.Ayat, span.Ayeh, span.AyehCaption, span.Dash ' +
                      '{ display: inline-block; } a:focus { outline: none; } ' + %3);
    document.adoptedStyleSheets = [sheet];
  } catch (e) {}
  if (%1) {
    document.addEventListener('click', function (e) {
      var link = e.target && e.target.closest ? e.target.closest('a') : null;
      var el = link || e.target;
      if (link) e.preventDefault();
      console.log('%2' + ((el && el.tagName) || '') + '\x01' + ((el && el.id) || ''));
    }, true);
  }
})();
)JS";

class Page : public QWebEnginePage {
public:
    Page(QObject* parent, std::function<void(const QString&)> onClick)
        : QWebEnginePage(parent), onClick_(std::move(onClick)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override {
        if (message.startsWith(kClickPrefix)) onClick_(message.mid(kClickPrefix.size()));
    }

private:
    std::function<void(const QString&)> onClick_;
};

QString JsString(const QString& s) {
    return QString::fromUtf8(QJsonDocument::fromVariant(QVariantList{s}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

}  // namespace

WebPane::WebPane(QWidget* parent, bool receiveClicks, const QString& renderingStyle) : QWidget(parent) {
    view_ = new QWebEngineView(this);
    page_ = new Page(view_, [this](const QString& payload) {
        QStringList parts = payload.split(QChar(1));
        emit LinkClicked(parts.value(0), parts.value(1));
    });
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    page_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    page_->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);

    QWebEngineScript script;
    script.setName(QStringLiteral("mushaf-pane"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QString::fromLatin1(kPaneScript)
                             .arg(receiveClicks ? QStringLiteral("true") : QStringLiteral("false"), QStringLiteral("\\x01mushaf-click\\x01"),
                                  JsString(renderingStyle)));
    page_->scripts().insert(script);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) { LoadFinished(); });
}

void WebPane::Write(const QString& html) {
    // A document written after another that has not started loading yet
    // replaces it: the earlier one would never be seen.
    if (!queue_.empty() && queue_.back().write) {
        queue_.back().text = html;
        return;
    }
    Enqueue(Op{true, html, {}});
}

void WebPane::ReplaceClass(const QString& elementId, const QString& from, const QString& to) {
    QString js;
    if (elementId.isEmpty())
        js = QStringLiteral("(function(){var d=document.getElementsByTagName('DIV');for(var i=0;i<d.length;i++)"
                            "if(d[i].className===%1)d[i].className=%2;})()");
    else
        js = QStringLiteral("(function(){var e=document.getElementById(%3);if(e&&e.className===%1)e.className=%2;})()");
    js = js.replace("%1", JsString(from)).replace("%2", JsString(to)).replace("%3", JsString(elementId));
    Enqueue(Op{false, js, {}});
}

void WebPane::ScrollIntoView(const QStringList& ids) {
    QStringList quoted;
    for (const QString& id : ids) quoted << JsString(id);
    Enqueue(Op{false,
               QStringLiteral("(function(){var ids=[%1];for(var i=0;i<ids.length;i++){var e=document.getElementById(ids[i]);"
                              "if(e){e.scrollIntoView();return;}}})()")
                   .arg(quoted.join(',')),
               {}});
}

void WebPane::Evaluate(const QString& script, std::function<void(const QVariant&)> done) {
    Enqueue(Op{false, script, std::move(done)});
}

bool WebPane::IsIdle() const { return !loading_ && queue_.empty() && scriptsRunning_ == 0 && !pumpScheduled_; }

void WebPane::Enqueue(Op op) {
    queue_.push_back(std::move(op));
    // Pumped from the event loop, so that what one handler asks for is
    // gathered first (two documents written in a row load once).
    if (!pumpScheduled_) {
        pumpScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            pumpScheduled_ = false;
            Pump();
        });
    }
}

void WebPane::Pump() {
    while (!loading_ && !queue_.empty()) {
        Op& front = queue_.front();
        if (front.write) {
            if (scriptsRunning_ > 0) return;  // the document's scripts finish first
            loading_ = true;
            QString html = std::move(front.text);
            queue_.pop_front();
            page_->setHtml(html);
            return;
        }
        Op op = std::move(front);
        queue_.pop_front();
        ++scriptsRunning_;
        page_->runJavaScript(op.text, QWebEngineScript::ApplicationWorld, [this, done = std::move(op.done)](const QVariant& v) {
            --scriptsRunning_;
            if (done) done(v);
            Pump();
        });
    }
    if (IsIdle()) emit Idle();
}

void WebPane::LoadFinished() {
    loading_ = false;
    Pump();
}

}  // namespace mushaf
