#include "window/Place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "layout/ControlTree.h"
#include "window/Appearance.h"
#include "window/KeptChoices.h"
#include "window/KeptPlace.h"
#include "window/Reading.h"

namespace mushaf {

PlacePart::PlacePart(QWidget& window, ReadingState& state, KeptChoices& choices, ReadingPart& reading,
                     AppearancePart& appearance, Panel panel, QObject* parent)
    : QObject(parent), window_(window), state_(state), choices_(choices), reading_(reading), appearance_(appearance),
      panel_(std::move(panel)) {}

std::vector<Command> PlacePart::Commands() {
    return {{.name = "mnuRememberPlace", .text = QStringLiteral("باز شدن از جایی که ماندم"), .run = [this] { Toggle(); },
             .checked = [this] { return choices_->rememberPlace; }}};
}

void PlacePart::Toggle() {
    choices_.Change([](ReaderChoices& c) { c.rememberPlace = !c.rememberPlace; });
}

void PlacePart::Keep() {
    if (!choices_->rememberPlace || state_.Line() < 0) return;
    if (appearance_.FullScreen()) appearance_.ToggleFullScreen();  // the place it has when not full screen
    choices_.Change([&](ReaderChoices& c) {
        c.place.line = state_.Line();
        c.place.earab = reading_.ShowEarab();
        c.place.searchPanel = panel_.searchShown();
        c.place.window = window_.saveGeometry().toBase64().toStdString();
    });
}

bool PlacePart::Restore() {
    const ReaderChoices::Place& place = choices_->place;
    if (!choices_->rememberPlace || !place.line) return false;
    // Only a sound place is taken; otherwise the window keeps the design
    // size, centred, as it opened.
    const QByteArray kept = QByteArray::fromBase64(QByteArray::fromStdString(place.window));
    QList<QRect> screens;
    for (QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    const auto saved = ReadSavedGeometry(kept);
    const QSize minimum(layout::ToPixels(layout::kMinClientWidth), layout::ToPixels(layout::kMinClientHeight));
    if (saved && SoundPlace(*saved, minimum, screens)) window_.restoreGeometry(kept);
    if (place.earab) reading_.SetShowEarab(true);
    if (place.searchPanel) panel_.showSearch();
    state_.MoveTo(*place.line, ReadingState::From::Start);
    reading_.Redraw();
    appearance_.Restyle();
    return true;
}

void PlacePart::StartAt(std::optional<int16_t> line) {
    if (line) state_.MoveTo(*line, ReadingState::From::Start);
    else Restore();
}

}  // namespace mushaf
