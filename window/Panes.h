#pragma once
// The document panes as the parts of the window see them: each by its id,
// asked to write a document, mark, scroll, run a script or draw its rules
// again. The window's pane table answers for its WebPanes; a test can answer
// for none.
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <string>

namespace mushaf {

enum class PaneId { Page, Translation, Index, Results, Tools, Help };

class Panes {
public:
    virtual ~Panes() = default;
    // Replaces the pane's document (`keepPlace`: the same list again, changed; the view stays).
    virtual void Write(PaneId pane, const QString& html, bool keepPlace = false) = 0;
    // Class `to` on the element `elementId` (every DIV when empty) whose class is `from`.
    virtual void ReplaceClass(PaneId pane, const QString& elementId, const QString& from, const QString& to) = 0;
    // The first of `ids` that exists scrolled into view (`nearest`: only as far as needed).
    virtual void ScrollIntoView(PaneId pane, const QStringList& ids, bool nearest = false) = 0;
    virtual void Evaluate(PaneId pane, const QString& script, std::function<void(const QVariant&)> done) = 0;

    // What writes a pane's first document (the part that owns it).
    virtual void SetWriter(PaneId pane, std::function<void()> write) = 0;

    // Rendering rules a part adds to a pane (empty: none), composed with the
    // pane's own rules and, at night, its night rule.
    virtual void AddStyle(PaneId pane, std::function<std::u16string()> rules) = 0;
    // The pane's rules composed again, after what they depend on changed.
    virtual void Restyle(PaneId pane) = 0;
    virtual void RestyleAll() = 0;
    // Whether the keyboard's focus is in the pane.
    virtual bool HasFocus(PaneId pane) const = 0;

    // The pane's text size (1: as designed), and `steps` steps larger or
    // smaller (0: as designed, again), kept; a pane not sized stays.
    virtual double Zoom(PaneId pane) const = 0;
    virtual void ZoomPane(PaneId pane, int steps) = 0;

    // The pane's size on the screen, and what follows when it changes.
    virtual QSize Size(PaneId pane) const = 0;
    virtual void OnResize(PaneId pane, std::function<void()> resized) = 0;
};

}  // namespace mushaf
