#pragma once
// One HTML pane of the window on Qt WebEngine. A document is written whole;
// class changes and scrolling go through JavaScript. Everything asked of the
// pane is kept in one queue and done in order: operations asked for while a
// document loads wait until it has loaded, none is dropped.
#include <QWidget>
#include <deque>
#include <functional>

class QWebEngineView;
class QWebEnginePage;

namespace mushaf {

class WebPane : public QWidget {
    Q_OBJECT
public:
    // With `receiveClicks`, clicks on links are reported and never navigate.
    // `renderingStyle` adds style rules for this pane's rendering only.
    WebPane(QWidget* parent, bool receiveClicks, const QString& renderingStyle = QString());

    // Replaces the document by `html`.
    void Write(const QString& html);
    // Sets class `to` on the element `elementId` (every DIV when empty)
    // whose class is exactly `from`.
    void ReplaceClass(const QString& elementId, const QString& from, const QString& to);
    // Scrolls the first of `ids` that exists to the top of the view.
    void ScrollIntoView(const QStringList& ids);
    // Runs a script against the current document and hands its result back.
    void Evaluate(const QString& script, std::function<void(const QVariant&)> done);

    bool IsIdle() const;
    QWebEngineView* View() const { return view_; }

signals:
    void LinkClicked(const QString& tagName, const QString& id);
    void Idle();

private:
    struct Op {
        bool write = false;
        QString text;
        std::function<void(const QVariant&)> done;
    };
    void Enqueue(Op op);
    void Pump();
    void LoadFinished();

    QWebEngineView* view_;
    QWebEnginePage* page_;
    std::deque<Op> queue_;
    bool loading_ = false;
    bool pumpScheduled_ = false;
    int scriptsRunning_ = 0;
};

}  // namespace mushaf
