#include "window/WebPane.h"

#include "window/PaneScripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <utility>

namespace mushaf {

namespace {

const QString kClickPrefix = QStringLiteral("\x01mushaf-click\x01");
const QString kWrittenPrefix = QStringLiteral("\x01mushaf-written\x01");
const QString kFramePrefix = QStringLiteral("\x01mushaf-frame\x01");



// Documents longer than this are written in two parts, the first ending at
// the first tag end after kFirstPart characters.
constexpr qsizetype kTwoPartLength = 32 * 1024;
constexpr qsizetype kFirstPart = 16 * 1024;

// How often a pane starts again at once on a new renderer after its
// renderer has gone (each loss within a minute of the one before); after
// that it rests between tries, a pause that doubles from the first to the
// longest.
constexpr int kRecoveries = 3;
constexpr int kFirstPauseMs = 1000;
constexpr int kLongestPauseMs = 16000;
// How many of the changes since the last document are kept for it.
constexpr std::size_t kReplayed = 64;

class Page : public QWebEnginePage {
public:
    Page(QObject* parent, std::function<void(const QString&)> onClick, std::function<void(int)> onWritten,
         std::function<void(int)> onFrame)
        : QWebEnginePage(parent), onClick_(std::move(onClick)), onWritten_(std::move(onWritten)),
          onFrame_(std::move(onFrame)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override {
        if (message.startsWith(kClickPrefix)) onClick_(message.mid(kClickPrefix.size()));
        else if (message.startsWith(kWrittenPrefix)) onWritten_(message.mid(kWrittenPrefix.size()).toInt());
        else if (message.startsWith(kFramePrefix)) onFrame_(message.mid(kFramePrefix.size()).toInt());
    }

private:
    std::function<void(const QString&)> onClick_;
    std::function<void(int)> onWritten_;
    std::function<void(int)> onFrame_;
};

}  // namespace

QString JsString(const QString& s) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

namespace {
// A frame drawn over the pane while it has the focus; clicks pass through.
class FocusFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
};
}  // namespace

WebPane::WebPane(QWidget* parent, bool receiveClicks, const QString& renderingStyle)
    : QWidget(parent), receiveClicks_(receiveClicks), renderingStyle_(renderingStyle) {
    setFocusPolicy(Qt::StrongFocus);  // handed on to the view once it exists
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    focusFrame_ = new FocusFrame(this);
    focusFrame_->setObjectName(QStringLiteral("focusFrame"));
    focusFrame_->setAttribute(Qt::WA_TransparentForMouseEvents);
    focusFrame_->hide();
    QAccessible::installActivationObserver(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        const bool mine = now && isAncestorOf(now);
        if (mine == focusFrame_->isVisible()) return;
        focusFrame_->setGeometry(rect());
        focusFrame_->setVisible(mine);
        if (mine) focusFrame_->raise();
    });
}

WebPane::~WebPane() {
    QAccessible::removeActivationObserver(this);
    alive_.reset();
    // the view, then its page, while the pane's members still stand; what
    // the page says as it goes is not heard
    delete std::exchange(view_, nullptr);
    if (page_) disconnect(page_, nullptr, this, nullptr);
    delete std::exchange(page_, nullptr);
}

void WebPane::CreatePage() {
    if (page_) return;
    page_ = new Page(this, [this](const QString& payload) {
        QStringList parts = payload.split(QChar(1));
        emit LinkClicked(parts.value(0), parts.value(1));
    }, [this](int token) { Written(token); }, [this](int token) { Framed(token); });
    if (zoom_ != 1.0) page_->setZoomFactor(zoom_);
    page_->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    // a page fitted to a small pane draws its text as small as it must
    page_->settings()->setFontSize(QWebEngineSettings::MinimumLogicalFontSize, 1);
    page_->settings()->setFontSize(QWebEngineSettings::MinimumFontSize, 1);
    // A load is done once every load begun has ended: a load cut short by
    // a lost renderer ends too, and may say so only after the next has begun.
    connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            ++loadsUnderway_;
            return;
        }
        loadsUnderway_ = std::max(0, loadsUnderway_ - 1);
        if (loadsUnderway_ == 0) LoadFinished();
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] { RendererGone(); });
    // without an address the page's own empty document is the first one,
    // and what waits is written into it at once
    navigated_ = !address_.isEmpty();
    if (!address_.isEmpty()) page_->setUrl(address_);
    else if (!queue_.empty()) SchedulePump();
    if (QAccessible::isActive()) BecomeReadable();
}

void WebPane::accessibilityActiveChanged(bool active) {
    if (active) BecomeReadable();
}

void WebPane::BecomeReadable() {
    if (!page_ || navigated_ || resting_) return;
    if (!IsIdle()) {
        // once what is under way has been done
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(this, &WebPane::Idle, this, [this, once] {
            disconnect(*once);
            BecomeReadable();
        });
        return;
    }
    navigated_ = true;
    Replay();
    page_->setUrl(StartAddress());
}

void WebPane::CreateView() {
    CreatePage();
    if (view_) return;
    deferView_ = false;
    view_ = new QWebEngineView(this);
    view_->setPage(page_);
    view_->setContextMenuPolicy(contextMenu_ ? Qt::CustomContextMenu : Qt::NoContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { emit ContextMenuRequested(view_->mapToGlobal(at)); });
    layout()->addWidget(view_);
    view_->setAccessibleName(accessibleName_);
    view_->setAccessibleDescription(accessibleDescription_);
    // the page's own size from the start, not once the layout runs: what is
    // written next is laid out and scrolled at the size it is shown at
    view_->setGeometry(rect());
    setFocusProxy(view_);
}

void WebPane::SetAccessibleName(const QString& name, const QString& description) {
    accessibleName_ = name;
    accessibleDescription_ = description;
    if (view_) {
        view_->setAccessibleName(name);
        view_->setAccessibleDescription(description);
    }
}

bool WebPane::Holds(const QObject* object) const {
    if (object == this) return true;
    const QList<QObject*> mine = findChildren<QObject*>();
    return std::find(mine.begin(), mine.end(), object) != mine.end();
}

void WebPane::StopDrawing() {
    if (view_) view_->hide();
}

void WebPane::EnableContextMenu() {
    contextMenu_ = true;
    if (view_) view_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void WebPane::SetZoom(double factor) {
    zoom_ = factor;
    if (page_) page_->setZoomFactor(factor);
}

void WebPane::DeferView() {
    if (!view_) deferView_ = true;
}

void WebPane::EndDeferral() {
    if (!deferView_) return;
    deferView_ = false;
    if (isVisible()) CreateView();
    if (IsIdle()) emit Idle();
}

void WebPane::showEvent(QShowEvent* event) {
    if (!deferView_) CreateView();
    QWidget::showEvent(event);
}

void WebPane::Navigate(const QUrl& address) {
    loading_ = true;
    writing_ = 0;  // a document still being written is left for the new one
    sinceWrite_.clear();
    address_ = address;
    navigated_ = navigated_ || page_;
    if (page_) page_->setUrl(address);
}

void WebPane::Write(const QString& html, bool keepPlace) {
    // A document written after another that has not been written yet
    // replaces it: the earlier one would never be seen.
    if (!queue_.empty() && queue_.back().write) {
        queue_.back().text = html;
        // the place kept only if both would have kept it
        queue_.back().keepPlace = queue_.back().keepPlace && keepPlace;
        return;
    }
    Enqueue(Op{true, html, {}, keepPlace});
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

void WebPane::ScrollIntoView(const QStringList& ids, bool nearest) {
    QStringList quoted;
    for (const QString& id : ids) quoted << JsString(id);
    Enqueue(Op{false,
               QStringLiteral("(function(){var ids=[%1];for(var i=0;i<ids.length;i++){var e=document.getElementById(ids[i]);"
                              "if(e){e.scrollIntoView(%2);return;}}})()")
                   .arg(quoted.join(','), nearest ? QStringLiteral("{block:'nearest'}") : QString()),
               {}});
}

void WebPane::Evaluate(const QString& script, std::function<void(const QVariant&)> done) {
    CreatePage();  // what is read must be there; a hidden pane needs no view for it
    Enqueue(Op{false, script, std::move(done)});
}

void WebPane::WhenPainted(std::function<void()> done) {
    const int token = ++lastFrame_;
    whenPainted_[token] = std::move(done);
    Op op{false,
          QStringLiteral("requestAnimationFrame(function(){requestAnimationFrame(function(){"
                         "console.log('\\x01mushaf-frame\\x01%1');});})")
              .arg(token),
          {}};
    // A page that draws no frames answers a second after the script has
    // run (or has been lost with its renderer); a pane without a view, a
    // second from now.
    auto fallback = [this, token] { QTimer::singleShot(1000, this, [this, token] { Framed(token); }); };
    if (!view_ && !deferView_) fallback();
    else op.done = [fallback](const QVariant&) { fallback(); };
    Enqueue(std::move(op));
}

void WebPane::Framed(int token) {
    auto it = whenPainted_.find(token);
    if (it == whenPainted_.end()) return;
    auto done = std::move(it->second);
    whenPainted_.erase(it);
    done();
}

bool WebPane::IsIdle() const {
    // without a page, what is asked waits until the pane is first shown or
    // read (or, deferred, until it makes its view)
    if (!page_) return !pumpScheduled_ && !(deferView_ && !queue_.empty());
    // a pane read while its view waits is not idle until it has its view
    if (deferView_) return false;
    return !loading_ && !writing_ && queue_.empty() && scriptsRunning_ == 0 && !pumpScheduled_;
}

void WebPane::Enqueue(Op op) {
    queue_.push_back(std::move(op));
    SchedulePump();
}

void WebPane::SchedulePump() {
    // Pumped from the event loop, so that what one handler asks for is
    // gathered first (two documents written in a row are written once).
    if (pumpScheduled_) return;
    pumpScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        pumpScheduled_ = false;
        Pump();
    });
}

void WebPane::Pump() {
    // Scripts run in the order they are sent; a document load, and a long
    // document until its second part is in, hold back what follows.
    // Operations without an answer that follow each other go out as one
    // script.
    while (page_ && !loading_ && !writing_ && !queue_.empty()) {
        if (resting_) {
            // answered empty at once; the document and its changes wait for
            // the next renderer
            Op op = std::move(queue_.front());
            queue_.pop_front();
            if (op.done) op.done(QVariant());
            else Remember(op);
            continue;
        }
        QString script;
        std::function<void(const QVariant&)> done;
        int twoParts = 0;
        while (!queue_.empty() && !done && !twoParts) {
            Op op = std::move(queue_.front());
            queue_.pop_front();
            if (!script.isEmpty()) script += QStringLiteral(";\n");
            if (op.write) {
                qsizetype split = op.text.size();
                if (op.text.size() > kTwoPartLength && !op.keepPlace) {
                    const qsizetype end = op.text.indexOf(QChar('>'), kFirstPart);
                    if (end >= 0) split = end + 1;
                }
                if (split < op.text.size()) twoParts = ++lastWrite_;
                script += QString::fromLatin1(pane_scripts::kWriteScript)
                              .arg(JsString(op.text.left(split)), JsString(op.text.mid(split)),
                                   JsString(renderingStyle_),
                                   QString::number(receiveClicks_ ? (rowClicks_ ? 2 : 1) : 0),
                                   QString::number(twoParts),
                                   op.keepPlace ? QStringLiteral("true") : QStringLiteral("false"),
                                   JsString(keepInView_));
            } else {
                script += op.text;
            }
            done = std::move(op.done);
            if (!done) Remember(op);
        }
        ++scriptsRunning_;
        writing_ = twoParts;
        const int id = ++lastScript_;
        if (done) answers_[id] = std::move(done);
        std::weak_ptr<int> alive = alive_;
        page_->runJavaScript(script, QWebEngineScript::ApplicationWorld, [this, alive, id](const QVariant& v) {
            if (alive.expired()) return;
            Answered(id, v);
        });
    }
    if (IsIdle()) emit Idle();
}

void WebPane::Answered(int id, const QVariant& value) {
    // a script sent to a renderer that has gone was answered then
    if (id <= answeredUpTo_) return;
    --scriptsRunning_;
    auto it = answers_.find(id);
    if (it != answers_.end()) {
        auto done = std::move(it->second);
        answers_.erase(it);
        done(value);
    }
    if (IsIdle()) emit Idle();
}

void WebPane::RendererGone() {
    if (!alive_ || !page_) return;  // the pane is being destroyed
    // What was sent is not coming back: what waits for an answer gets none.
    answeredUpTo_ = lastScript_;
    scriptsRunning_ = 0;
    writing_ = 0;
    auto answers = std::move(answers_);
    answers_.clear();
    // A new renderer gets the document again, with what was done to it since
    // (the marked line, the scrolling), ahead of what waits. A renderer that
    // keeps failing (more than kRecoveries times, each within a minute of the
    // one before) is tried again only after a pause, while the pane rests.
    if (!lastLoss_.isValid() || lastLoss_.elapsed() > 60000) {
        recoveries_ = 0;
        pauseMs_ = kFirstPauseMs;
    }
    lastLoss_.start();
    if (++recoveries_ > kRecoveries) {
        // What waits, and what comes while the pane rests, is answered at
        // once; the document is drawn again when the renderer is tried again.
        resting_ = true;
        loading_ = false;
        ShowResting(true);
        const int loss = ++losses_;
        QTimer::singleShot(pauseMs_, this, [this, loss] {
            if (loss == losses_ && resting_) TryAgain();
        });
        pauseMs_ = std::min(pauseMs_ * 2, kLongestPauseMs);
    } else {
        Replay();
    }
    // Not from inside the engine's report of the loss: the reload and the
    // answers (which may wait on an event loop of their own) come next. Until
    // the reload is asked for, what ends is a load the loss cut short.
    reloadDue_ = !resting_;
    QTimer::singleShot(0, this, [this, answers = std::move(answers)]() mutable {
        if (reloadDue_ && !resting_) {
            navigated_ = true;
            page_->setUrl(StartAddress());
        }
        reloadDue_ = false;
        for (auto& [id, done] : answers) done(QVariant());
        Pump();
    });
}

void WebPane::Remember(const Op& op) {
    // what is needed to draw the document again on a new renderer
    if (op.write) sinceWrite_.clear();
    sinceWrite_.push_back(Op{op.write, op.text, {}, op.keepPlace});
    // the later changes make the state; the document stays first
    if (sinceWrite_.size() > kReplayed) sinceWrite_.erase(sinceWrite_.begin() + (sinceWrite_.front().write ? 1 : 0));
}

void WebPane::Replay() {
    // the document and its changes, ahead of what waits, once the pane has
    // loaded again
    for (auto it = sinceWrite_.rbegin(); it != sinceWrite_.rend(); ++it) queue_.push_front(*it);
    sinceWrite_.clear();
    loading_ = true;
}

QUrl WebPane::StartAddress() const { return address_.isEmpty() ? QUrl(QStringLiteral("about:blank")) : address_; }

void WebPane::TryAgain() {
    resting_ = false;
    Replay();
    navigated_ = true;
    page_->setUrl(StartAddress());
}

void WebPane::ShowResting(bool on) {
    if (on == noticeShown_) return;
    noticeShown_ = on;
    if (on && !notice_) {
        notice_ = new QLabel(this);
        notice_->setObjectName(QStringLiteral("lblRendererNotice"));
        notice_->setWordWrap(true);
        notice_->setAlignment(Qt::AlignCenter);
        notice_->setAutoFillBackground(true);
        notice_->setText(QString::fromUtf16(kRestingNotice));
    }
    if (notice_) {
        notice_->setGeometry(rect());
        notice_->setVisible(on);
        if (on) notice_->raise();
    }
    emit RendererResting(on);
}

bool WebPane::Resting() const { return noticeShown_; }

void WebPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
    if (notice_) notice_->setGeometry(rect());
    focusFrame_->setGeometry(rect());
}

void WebPane::Written(int token) {
    if (!writing_ || token != writing_) return;
    writing_ = 0;
    Pump();
}

void WebPane::LoadFinished() {
    // the pane going, a load the lost renderer reported, or one the reload
    // after a loss will replace
    if (!alive_ || resting_ || reloadDue_) return;
    loading_ = false;
    ShowResting(false);
    Pump();
}

}  // namespace mushaf
