#pragma once
// One HTML pane of the window on Qt WebEngine. A document is written whole
// (document.open, then write: a long one in two parts, its top first); class
// changes and scrolling go through JavaScript. Everything asked of the pane
// is kept in one queue and done in order: what is asked before the pane's
// empty start document has loaded waits for it, and nothing is dropped.
#include <QAccessible>
#include <QElapsedTimer>
#include <QUrl>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QLabel;
class QWebEngineView;
class QWebEnginePage;

namespace mushaf {

class WebPane : public QWidget, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    // With `receiveClicks`, clicks on links are reported and never navigate.
    // `renderingStyle` adds style rules for this pane's rendering only.
    WebPane(QWidget* parent, bool receiveClicks, const QString& renderingStyle = QString());
    ~WebPane() override;

    // Loads a document from an address; what is asked of the pane meanwhile
    // waits for it. Without one, a pane starts on its page's own empty
    // document.
    void Navigate(const QUrl& address);
    // Replaces the document by `html`, shown from its top; with `keepPlace`
    // (the same list again, changed) the view stays where it was.
    void Write(const QString& html, bool keepPlace = false);
    // Replaces the pane's rendering-only style rules, in the document it
    // holds and in every document written later.
    void SetRenderingStyle(const QString& style);
    const QString& RenderingStyle() const { return renderingStyle_; }
    // Sets class `to` on the element `elementId` (every DIV when empty)
    // whose class is exactly `from`.
    void ReplaceClass(const QString& elementId, const QString& from, const QString& to);
    // Scrolls the first of `ids` that exists to the top of the view.
    // `nearest`: scrolled only as far as it takes to show it, if at all.
    void ScrollIntoView(const QStringList& ids, bool nearest = false);
    // Runs a script against the current document and hands its result back.
    // `done` is not called once the pane is gone.
    void Evaluate(const QString& script, std::function<void(const QVariant&)> done);

    // Calls `done` once what has been asked so far is on the screen (two
    // animation frames after it; a pane that draws no frames, hidden or
    // without a renderer, calls it a second after its script has run or been
    // lost, and a pane without a view a second after the call). Not called
    // once the pane is gone.
    void WhenPainted(std::function<void()> done);

    // Right-clicks in the pane ask for the window's menu instead of the view's.
    void EnableContextMenu();
    // Draws the pane at `factor` times its size (1: as designed), through
    // every document written later too.
    void SetZoom(double factor);
    double ZoomFactor() const { return zoom_; }

    // The view draws no more (hidden): once the compositor has settled, the
    // pane can go without a frame arriving at a view being destroyed.
    void StopDrawing();

    bool IsIdle() const;
    // whether it has made its view (a pane not yet shown may not have)
    bool HasView() const { return view_ != nullptr; }
    // whether it has a document in a renderer (shown, or read while hidden)
    bool HasPage() const { return page_ != nullptr; }
    // Makes the pane's page now, without a view, so that its document is
    // ready to be read before the pane is shown (reading does it too).
    void CreatePage();
    // The web view is made when the pane is first shown; a pane shown from
    // the start makes it at once with CreateView. A pane read before it is
    // shown makes only its page, which its view takes over when it is shown.
    void CreateView();
    // A pane that makes its view only at EndDeferral (or its page when it is
    // read): the window makes the page pane's first, since the panes share
    // one renderer. What is written meanwhile waits, and the pane is not
    // idle while it waits. EndDeferral makes the view if the pane is shown,
    // and otherwise leaves it to be made when first shown.
    void DeferView();
    void EndDeferral();
    QWebEngineView* View() const { return view_; }
    // The name and description a screen reader reads of the pane (and of
    // its view, once made).
    void SetAccessibleName(const QString& name, const QString& description);
    // Whether `object` is the pane or one of its widgets; `object` is only
    // compared, so that it may be one being destroyed.
    bool Holds(const QObject* object) const;

    // A click beside the links of a list of rows (a link a row, rows one
    // under the other) is taken as a click on its row's link.
    void SetRowClicks(bool on) { rowClicks_ = on; }
    // The element matching `selector` (a CSS selector) stays in view when the
    // pane or its text size changes size, in every document written later.
    void KeepInView(const QString& selector) { keepInView_ = selector; }
    // True while the pane rests after its renderer was lost again and again:
    // it shows a notice and tries again after a pause.
    bool Resting() const;

    // What the pane shows while it rests.
    static constexpr char16_t kRestingNotice[] =
        u"نمایش متن از کار افتاد. چند لحظهٔ دیگر دوباره امتحان می‌شود.";

signals:
    // The pane begins or ends its rest after a lost renderer.
    void RendererResting(bool resting);
    void LinkClicked(const QString& tagName, const QString& id);
    void ContextMenuRequested(const QPoint& globalPos);
    void Idle();
    // The pane has a new size.
    void Resized();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void accessibilityActiveChanged(bool active) override;

private:
    struct Op {
        Op(bool write, QString text, std::function<void(const QVariant&)> done = {}, bool keepPlace = false)
            : write(write), text(std::move(text)), done(std::move(done)), keepPlace(keepPlace) {}
        bool write = false;
        QString text;
        std::function<void(const QVariant&)> done;
        bool keepPlace = false;
    };
    void Enqueue(Op op);
    void SchedulePump();
    void Pump();
    void LoadFinished();
    void Written(int token);
    void Framed(int token);
    void Answered(int id, const QVariant& value);
    void RendererGone();
    void Remember(const Op& op);
    void Replay();
    QUrl StartAddress() const;
    void TryAgain();
    void ShowResting(bool on);
    // A screen reader reads only a document the engine navigated to: the
    // page's own first empty document, which the pane writes into without a
    // navigation, stays unread. With a screen reader there (from the start or
    // later) the page navigates once, when idle, and its document is written
    // again. Without one nothing changes.
    void BecomeReadable();

    QWebEngineView* view_ = nullptr;
    QWebEnginePage* page_ = nullptr;
    QUrl address_;
    bool navigated_ = false;  // the page has been navigated to a document
    QString accessibleName_, accessibleDescription_;
    bool contextMenu_ = false;
    bool deferView_ = false;
    double zoom_ = 1.0;
    std::deque<Op> queue_;
    bool receiveClicks_;
    QString renderingStyle_;
    bool loading_ = false;
    // loads begun and not yet ended
    int loadsUnderway_ = 0;
    // a renderer was lost and the reload for it is still to be asked for
    bool reloadDue_ = false;
    // The number of the long document whose second part is still being
    // written (0: none); each long document gets the next number.
    int writing_ = 0;
    int lastWrite_ = 0;
    std::map<int, std::function<void()>> whenPainted_;
    int lastFrame_ = 0;
    // Scripts sent, by number, with what waits for their answer; those up to
    // answeredUpTo_ went to a renderer that has gone.
    std::map<int, std::function<void(const QVariant&)>> answers_;
    int lastScript_ = 0;
    int answeredUpTo_ = 0;
    // The last document written and what was done to it since, for a new
    // renderer after the renderer has gone.
    std::vector<Op> sinceWrite_;
    int recoveries_ = 0;
    QElapsedTimer lastLoss_;
    // Lost: what is asked is answered empty until the renderer is tried again.
    bool resting_ = false;
    int pauseMs_ = 0;
    int losses_ = 0;
    QLabel* notice_ = nullptr;
    bool noticeShown_ = false;  // the pane rests, shown or hidden
    QWidget* focusFrame_ = nullptr;  // shown while the focus is in the pane
    bool rowClicks_ = false;
    QString keepInView_;
    bool pumpScheduled_ = false;
    int scriptsRunning_ = 0;
    // Held while the pane lives: the page runs its pending script callbacks
    // when it is destroyed, and they must then find the pane gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// `s` as a string in a script, quoted.
QString JsString(const QString& s);

}  // namespace mushaf
