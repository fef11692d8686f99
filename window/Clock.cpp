#include "window/Clock.h"

#include <QTimer>
#include <algorithm>

namespace mushaf {

Clock::Clock(QObject* parent) : QObject(parent), start_(QDateTime::currentDateTime()) {
    elapsed_.start();
    midnight_ = new QTimer(this);
    midnight_->setSingleShot(true);
    connect(midnight_, &QTimer::timeout, this, &Clock::LookAtTheDay);
    day_ = Today();
    WatchTheDay();
}

void Clock::StartOn(const QDate& day) {
    if (!day.isValid()) return;
    start_ = QDateTime(day, start_.time());
    LookAtTheDay();
}

qint64 Clock::Now() const { return elapsed_.elapsed() + offsetMs_; }

QDateTime Clock::When() const { return start_.addMSecs(Now()); }

QDate Clock::Today() const { return When().date(); }

void Clock::Advance(int seconds) {
    offsetMs_ += static_cast<qint64>(seconds) * 1000;
    emit Advanced();
    LookAtTheDay();
}

void Clock::WatchTheDay() {
    const QDateTime now = When();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0));
    // a timer runs for at most about 24 days; a day is far less
    midnight_->start(static_cast<int>(std::clamp<qint64>(now.msecsTo(midnight) + 50, 50, 24LL * 3600 * 1000)));
}

void Clock::LookAtTheDay() {
    const QDate today = Today();
    WatchTheDay();
    if (today == day_) return;
    day_ = today;
    emit DayChanged();
}

}  // namespace mushaf
