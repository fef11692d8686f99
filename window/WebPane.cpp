#include "window/WebPane.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace mushaf {

namespace {

const QString kClickPrefix = QStringLiteral("\x01mushaf-click\x01");

QString JsString(const QString& s) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// Writes a whole document into the pane's page, as document.open and one
// document.write, and then prepares it: the pane's rendering rules go into an
// adopted style sheet (so the document stays as written), and with clicks
// on, a click on a link is reported and does not navigate.
const char* kWriteScript = R"JS(
(function (html, style, clicks) {
  document.open();
  document.write(html);
  document.close();
  try {
    var sheet = new CSSStyleSheet();
    sheet.replaceSync(style);
    document.adoptedStyleSheets = [sheet];
  } catch (e) {}
  if (clicks) {
    document.addEventListener('click', function (e) {
      var link = e.target && e.target.closest ? e.target.closest('a') : null;
      var el = link || e.target;
      if (link) e.preventDefault();
      console.log('\x01mushaf-click\x01' + ((el && el.tagName) || '') + '\x01' + ((el && el.id) || ''));
    }, true);
  }
})(%1, %2, %3)
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

}  // namespace

WebPane::WebPane(QWidget* parent, bool receiveClicks, const QString& renderingStyle)
    : QWidget(parent), receiveClicks_(receiveClicks), renderingStyle_(renderingStyle) {
    setFocusPolicy(Qt::StrongFocus);  // handed on to the view once it exists
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    loading_ = true;  // until Navigate has given the pane its first document
}

WebPane::~WebPane() {
    alive_.reset();
    delete view_;  // with the page, while the pane's members still stand
}

void WebPane::CreateView() {
    if (view_) return;
    view_ = new QWebEngineView(this);
    page_ = new Page(view_, [this](const QString& payload) {
        QStringList parts = payload.split(QChar(1));
        emit LinkClicked(parts.value(0), parts.value(1));
    });
    view_->setPage(page_);
    view_->setContextMenuPolicy(contextMenu_ ? Qt::CustomContextMenu : Qt::NoContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { emit ContextMenuRequested(view_->mapToGlobal(at)); });
    if (zoom_ != 1.0) view_->setZoomFactor(zoom_);
    page_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    layout()->addWidget(view_);
    setFocusProxy(view_);
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) { LoadFinished(); });
    if (!address_.isEmpty()) page_->setUrl(address_);
}

void WebPane::EnableContextMenu() {
    contextMenu_ = true;
    if (view_) view_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void WebPane::SetZoom(double factor) {
    zoom_ = factor;
    if (view_) view_->setZoomFactor(factor);
}

void WebPane::showEvent(QShowEvent* event) {
    CreateView();
    QWidget::showEvent(event);
}

void WebPane::Navigate(const QUrl& address) {
    loading_ = true;
    address_ = address;
    if (page_) page_->setUrl(address);
}

void WebPane::Write(const QString& html) {
    // A document written after another that has not been written yet
    // replaces it: the earlier one would never be seen.
    if (!queue_.empty() && queue_.back().write) {
        queue_.back().text = html;
        return;
    }
    Enqueue(Op{true, html, {}});
}

void WebPane::SetRenderingStyle(const QString& style) {
    if (style == renderingStyle_) return;
    renderingStyle_ = style;
    Enqueue(Op{false,
               QStringLiteral("(function(s){try{var sheet=new CSSStyleSheet();sheet.replaceSync(s);"
                              "document.adoptedStyleSheets=[sheet];}catch(e){}})(%1)")
                   .arg(JsString(style)),
               {}});
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
    CreateView();  // what is read must be there
    Enqueue(Op{false, script, std::move(done)});
}

bool WebPane::IsIdle() const {
    // without a view, what is asked waits until the pane is first shown
    if (!view_) return !pumpScheduled_;
    return !loading_ && queue_.empty() && scriptsRunning_ == 0 && !pumpScheduled_;
}

void WebPane::Enqueue(Op op) {
    queue_.push_back(std::move(op));
    // Pumped from the event loop, so that what one handler asks for is
    // gathered first (two documents written in a row are written once).
    if (!pumpScheduled_) {
        pumpScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            pumpScheduled_ = false;
            Pump();
        });
    }
}

void WebPane::Pump() {
    // Scripts run in the order they are sent; only the first document load
    // holds them back. Operations without an answer that follow each other
    // go out as one script.
    while (!loading_ && !queue_.empty()) {
        QString script;
        std::function<void(const QVariant&)> done;
        while (!queue_.empty() && !done) {
            Op op = std::move(queue_.front());
            queue_.pop_front();
            if (!script.isEmpty()) script += QStringLiteral(";\n");
            script += op.write ? QString::fromLatin1(kWriteScript)
                                     .arg(JsString(op.text), JsString(renderingStyle_),
                                          receiveClicks_ ? QStringLiteral("true") : QStringLiteral("false"))
                               : op.text;
            done = std::move(op.done);
        }
        ++scriptsRunning_;
        std::weak_ptr<int> alive = alive_;
        page_->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                             [this, alive, done = std::move(done)](const QVariant& v) {
            if (alive.expired()) return;
            --scriptsRunning_;
            if (done) done(v);
            if (IsIdle()) emit Idle();
        });
    }
    if (IsIdle()) emit Idle();
}

void WebPane::LoadFinished() {
    loading_ = false;
    Pump();
}

}  // namespace mushaf
