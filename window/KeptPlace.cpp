#include "window/KeptPlace.h"

#include <QDataStream>

namespace mushaf {

std::optional<SavedGeometry> ReadSavedGeometry(const QByteArray& saved) {
    QDataStream in(saved);
    in.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0, minor = 0;
    in >> magic >> major >> minor;
    if (in.status() != QDataStream::Ok || magic != 0x1D9D0CB || major < 1 || major > 3) return std::nullopt;
    SavedGeometry g;
    qint32 screen = 0, screenWidth = 0;
    quint8 maximized = 0, fullScreen = 0;
    in >> g.frame >> g.normal >> screen >> maximized >> fullScreen;
    if (major >= 2) in >> screenWidth;
    g.client = g.normal;
    if (major >= 3) in >> g.client;
    if (in.status() != QDataStream::Ok) return std::nullopt;
    g.maximized = maximized != 0;
    g.fullScreen = fullScreen != 0;
    return g;
}

bool SoundPlace(const SavedGeometry& place, const QSize& minimum, const QList<QRect>& screens) {
    // the place the window has when it is not maximized or full screen
    const QRect& r = place.normal;
    if (!r.isValid() || r.width() < minimum.width() || r.height() < minimum.height()) return false;
    // wide coordinates: the kept numbers may be anything
    const qint64 cx = (qint64(r.left()) + r.right()) / 2, cy = (qint64(r.top()) + r.bottom()) / 2;
    for (const QRect& s : screens) {
        if (cx < s.left() || cx > s.right() || cy < s.top() || cy > s.bottom()) continue;
        if (r.width() > s.width() || r.height() > s.height()) return false;
        // the frame and the client of that place no larger either
        for (const QRect& other : {place.frame, place.client})
            if (!other.isValid() || other.width() > s.width() + 100 || other.height() > s.height() + 100) return false;
        return true;
    }
    return false;
}

}  // namespace mushaf
