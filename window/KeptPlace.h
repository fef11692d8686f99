#pragma once
// The window's kept place (QWidget::saveGeometry) read back before it is
// used: restored only when it is sound, since a damaged or foreign value
// would open a window of any size anywhere.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>
#include <optional>

namespace mushaf {

struct SavedGeometry {
    QRect frame, normal, client;  // client: the widget's own geometry
    bool maximized = false, fullScreen = false;
};

// The rectangles of a saved geometry; nothing for bytes that are not one
// (another magic number, a version this reading does not know, too short).
std::optional<SavedGeometry> ReadSavedGeometry(const QByteArray& saved);

// A kept place is sound when its window is at least `minimum` and at most
// the available area of the screen it stands on, and it stands on one of
// `screens` (their available areas).
bool SoundPlace(const SavedGeometry& place, const QSize& minimum, const QList<QRect>& screens);

}  // namespace mushaf
