#pragma once
// The window's document panes, one entry each: its name, the kept text size
// it is drawn at, whether links clicked in it reach the reader (and never
// navigate), whether a right-click opens the reader's menu, its own rendering
// rules and its night rule, and what writes its document. Zoom, the
// Ctrl+wheel, clicks, night reading and the automation read the table.
#include <QObject>
#include <QPoint>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "window/Panes.h"
#include "window/ReaderChoices.h"

class QWheelEvent;

namespace mushaf {

class KeptChoices;
class WebPane;

struct PaneEntry {
    PaneId id;
    const char* name;
    // the kept text size it is drawn at; none: as designed
    double ReaderChoices::*zoom;
    // links clicked in it are reported to its part, and never navigate
    bool clicks;
    // a right-click opens the reader's menu
    bool menu;
    // rules for its rendering only
    const char16_t* style;
    const char16_t* nightRule;
    // a click beside a row's link is one on its link (lists of rows)
    bool rowClicks = false;
    // what stays in view when the pane or its text size changes size
    const char16_t* keepInView = u"";
};

// Every pane of the window, by id.
const std::vector<PaneEntry>& PaneEntries();
const PaneEntry& EntryOf(PaneId id);
const PaneEntry* EntryNamed(const std::string& name);

class PaneTable : public QObject, public Panes {
    Q_OBJECT
public:
    explicit PaneTable(KeptChoices& choices, QObject* parent = nullptr);
    // The window's pane for an entry (made by the window from its control tree).
    void Take(PaneId id, WebPane* pane);
    WebPane* Pane(PaneId id) const { return panes_[static_cast<std::size_t>(id)]; }

    // What writes a pane's document, and writing them all (the start).
    void SetWriter(PaneId id, std::function<void()> write) override;
    void WriteAll();
    // The part that takes the pane's clicked links.
    void OnClick(PaneId id, std::function<void(const QString& tag, const QString& id)> handler);

    // The pane's text size, 1 as designed, and a step larger or smaller (0:
    // as designed); a pane without a kept size is not zoomed.
    double Zoom(PaneId id) const override;
    void ZoomPane(PaneId id, int steps) override;
    // The kept sizes, put on the panes (once the choices are read).
    void ApplyZooms();
    // Ctrl+wheel over a pane: its text size, a step a notch. True when taken.
    bool Wheel(QObject* watched, QWheelEvent* wheel);
    // The pane holding `object` (only compared: it may be one being destroyed).
    std::optional<PaneId> Holding(const QObject* object) const;

    // Panes
    void Write(PaneId pane, const QString& html, bool keepPlace = false) override;
    void ReplaceClass(PaneId pane, const QString& elementId, const QString& from, const QString& to) override;
    void ScrollIntoView(PaneId pane, const QStringList& ids, bool nearest = false) override;
    void Evaluate(PaneId pane, const QString& script, std::function<void(const QVariant&)> done) override;
    void AddStyle(PaneId pane, std::function<std::u16string()> rules) override;
    void Restyle(PaneId pane) override;
    void RestyleAll() override;
    bool HasFocus(PaneId pane) const override;
    QSize Size(PaneId pane) const override;
    void OnResize(PaneId pane, std::function<void()> resized) override;

signals:
    // A right-click in a pane that opens the reader's menu.
    void MenuAsked(const QPoint& at, const QString& pane);

private:
    KeptChoices& choices_;
    std::array<WebPane*, 6> panes_{};
    std::array<std::function<void()>, 6> writers_;
    std::array<std::vector<std::function<std::u16string()>>, 6> styles_;
    int wheelDelta_ = 0;  // Ctrl+wheel not yet taken as a step
};

// The rules of a pane from its entry and what adds to it.
QString PaneStyle(const PaneEntry& entry);

}  // namespace mushaf
