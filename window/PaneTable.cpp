#include "window/PaneTable.h"

#include <QApplication>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/qt/QtServices.h"
#include "views/Markup.h"
#include "views/Styles.h"
#include "window/KeptChoices.h"
#include "window/WebPane.h"

namespace mushaf {

namespace {

constexpr std::array<double, 13> kZoomSteps{0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

std::size_t At(PaneId id) { return static_cast<std::size_t>(id); }

}  // namespace

const std::vector<PaneEntry>& PaneEntries() {
    // (the page's lines are drawn larger than the design's, with room for
    // their marks; every pane dark at night)
    static const std::vector<PaneEntry> entries = {
        {PaneId::Page, "wbrQuran", &ReaderChoices::zoomPage, true, true, views::kPageStyle, views::kNightRule, false,
         u".NoEarabSelect, .NoEarabBesmSelect"},
        {PaneId::Translation, "wbrFarsi", &ReaderChoices::zoomTranslation, false, true, u"", views::kNightRule},
        {PaneId::Index, "wbrSoreh", nullptr, true, false, u"", views::kNightRule},
        {PaneId::Results, "wbrSearchResult", nullptr, true, false, u"", views::kNightRule, true},
        {PaneId::Tools, "wbrTools", nullptr, true, false, u"", views::kNightRule},
        {PaneId::Help, "wbrHelp", nullptr, false, false, u"", views::kNightRule},
    };
    return entries;
}

const PaneEntry& EntryOf(PaneId id) { return PaneEntries()[At(id)]; }

const PaneEntry* EntryNamed(const std::string& name) {
    for (const PaneEntry& e : PaneEntries())
        if (name == e.name) return &e;
    return nullptr;
}

QString PaneStyle(const PaneEntry& entry) {
    QString style = ToQ(views::kPaneStyle);
    if (*entry.style) style += QStringLiteral(" ") + QString::fromUtf16(entry.style);
    return style;
}

PaneTable::PaneTable(KeptChoices& choices, QObject* parent) : QObject(parent), choices_(choices) {}

void PaneTable::Take(PaneId id, WebPane* pane) {
    panes_[At(id)] = pane;
    pane->SetRowClicks(EntryOf(id).rowClicks);
    if (*EntryOf(id).keepInView) pane->KeepInView(QString::fromUtf16(EntryOf(id).keepInView));
    if (!EntryOf(id).menu) return;
    pane->EnableContextMenu();
    connect(pane, &WebPane::ContextMenuRequested, this,
            [this, id](const QPoint& at) { emit MenuAsked(at, QString::fromLatin1(EntryOf(id).name)); });
}

void PaneTable::SetWriter(PaneId id, std::function<void()> write) { writers_[At(id)] = std::move(write); }

void PaneTable::WriteAll() {
    for (const auto& write : writers_)
        if (write) write();
}

void PaneTable::OnClick(PaneId id, std::function<void(const QString&, const QString&)> handler) {
    connect(Pane(id), &WebPane::LinkClicked, this, std::move(handler));
}

double PaneTable::Zoom(PaneId id) const {
    const auto zoom = EntryOf(id).zoom;
    return zoom ? choices_.Get().*zoom : 1.0;
}

void PaneTable::ZoomPane(PaneId id, int steps) {
    const auto zoom = EntryOf(id).zoom;
    if (!zoom) return;
    double z = 1.0;
    if (steps != 0) {
        // `steps` steps on from the step nearest to where it stands
        const double now = Zoom(id);
        int nearest = 0;
        for (int i = 1; i < static_cast<int>(kZoomSteps.size()); ++i)
            if (std::abs(kZoomSteps[i] - now) < std::abs(kZoomSteps[nearest] - now)) nearest = i;
        z = kZoomSteps[std::clamp(nearest + steps, 0, static_cast<int>(kZoomSteps.size()) - 1)];
    }
    choices_.Change([&](ReaderChoices& c) { c.*zoom = z; });
    Pane(id)->SetZoom(z);  // the page keeps its marked ayah in view
}

void PaneTable::ApplyZooms() {
    for (const PaneEntry& e : PaneEntries())
        if (e.zoom) Pane(e.id)->SetZoom(Zoom(e.id));
}

std::optional<PaneId> PaneTable::Holding(const QObject* object) const {
    for (const PaneEntry& e : PaneEntries())
        if (Pane(e.id) && Pane(e.id)->Holds(object)) return e.id;
    return std::nullopt;
}

bool PaneTable::Wheel(QObject* watched, QWheelEvent* wheel) {
    if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
    const auto id = Holding(watched);
    if (!id || !EntryOf(*id).zoom) return false;
    // one step a notch: a touchpad's small deltas add up to one
    const int delta = wheel->angleDelta().y();
    if ((delta > 0) != (wheelDelta_ > 0)) wheelDelta_ = 0;
    wheelDelta_ += delta;
    while (std::abs(wheelDelta_) >= 120) {
        ZoomPane(*id, wheelDelta_ > 0 ? 1 : -1);
        wheelDelta_ -= wheelDelta_ > 0 ? 120 : -120;
    }
    return true;
}

void PaneTable::Write(PaneId pane, const QString& html, bool keepPlace) { Pane(pane)->Write(html, keepPlace); }

void PaneTable::ReplaceClass(PaneId pane, const QString& elementId, const QString& from, const QString& to) {
    Pane(pane)->ReplaceClass(elementId, from, to);
}

void PaneTable::ScrollIntoView(PaneId pane, const QStringList& ids, bool nearest) {
    Pane(pane)->ScrollIntoView(ids, nearest);
}

void PaneTable::Evaluate(PaneId pane, const QString& script, std::function<void(const QVariant&)> done) {
    Pane(pane)->Evaluate(script, std::move(done));
}

void PaneTable::AddStyle(PaneId pane, std::function<std::u16string()> rules) { styles_[At(pane)].push_back(std::move(rules)); }

void PaneTable::Restyle(PaneId id) {
    const PaneEntry& entry = EntryOf(id);
    QString style = PaneStyle(entry);
    auto add = [&style](const std::u16string& rule) {
        if (!rule.empty()) style += QStringLiteral(" ") + ToQ(rule);
    };
    for (const auto& rules : styles_[At(id)]) add(rules());
    if (choices_->night) add(entry.nightRule);
    Pane(id)->SetRenderingStyle(style);
}

void PaneTable::RestyleAll() {
    for (const PaneEntry& e : PaneEntries()) Restyle(e.id);
}

QSize PaneTable::Size(PaneId pane) const { return Pane(pane)->size(); }

void PaneTable::OnResize(PaneId pane, std::function<void()> resized) {
    connect(Pane(pane), &WebPane::Resized, this, std::move(resized));
}

bool PaneTable::HasFocus(PaneId pane) const {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == Pane(pane) || Pane(pane)->isAncestorOf(focus));
}

}  // namespace mushaf
