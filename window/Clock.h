#pragma once
// The reader's clock: the time since the window started, in ms, and the local
// day, both moved on together (the automation's clock:+SECONDS; --today sets
// the day it starts on). It says when the day changes, at midnight or when it
// is moved past one, so that what depends on the day follows it.
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace mushaf {

class Clock : public QObject {
    Q_OBJECT
public:
    // Starts now, on today's date (or `day`, at the time of day it is now).
    explicit Clock(QObject* parent = nullptr);
    void StartOn(const QDate& day);

    // ms since the start, moved on by Advance.
    qint64 Now() const;
    // The local day it is now, by this clock, and the moment.
    QDate Today() const;
    QDateTime When() const;
    // Moves the clock on by `seconds`, the day with it.
    void Advance(int seconds);

signals:
    // The clock was moved on.
    void Advanced();
    // The local day is another than it was.
    void DayChanged();

private:
    // The next look at the day: at the next midnight, by this clock.
    void WatchTheDay();
    void LookAtTheDay();

    QElapsedTimer elapsed_;
    qint64 offsetMs_ = 0;
    QDateTime start_;  // the wall-clock moment the clock started at
    QDate day_;        // the day as last looked at
    QTimer* midnight_ = nullptr;
};

}  // namespace mushaf
