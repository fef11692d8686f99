#pragma once
// The khatmah plan in the window: made from its dialog (from today, by the
// reader's clock), ended, and said beside the page's number: today's pages
// and how many of them have been read (on screen for 30 seconds or more).
// Today is the clock's: the caption follows the day as it changes.
#include <QObject>
#include <optional>
#include <vector>

#include "model/cQ114.h"
#include "window/Command.h"
#include "window/Khatmah.h"
#include "window/ReadingState.h"

class QTimer;

namespace mushaf {

class Clock;
class KeptChoices;
class MessageLine;

class KhatmahPart : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kPageReadMs = 30000;

    // `captionChanged` says the page's caption again.
    KhatmahPart(const ReadingState& state, const cQ114& model, KeptChoices& choices, Clock& clock, MessageLine& messages,
                std::function<void()> captionChanged, QObject* parent = nullptr);
    std::vector<Command> Commands();

    // A plan as its dialog sets it, from today; its end.
    void SetKhatmah(int days, int startPage);
    void EndKhatmah();
    // The plan's dialog, or (with a plan) its end.
    void Dialog();
    const std::optional<KhatmahPlan>& Plan() const;
    // Today's portion: none without a plan or once its days are over.
    std::optional<KhatmahPlan::Portion> Today() const;
    // What the page's caption says of the plan; empty without one.
    QString Caption() const;
    // The page on screen counted as read once it has been there long enough.
    void NotePage();

private:
    void StartPage();

    const ReadingState& state_;
    const cQ114& Q114;
    KeptChoices& choices_;
    Clock& clock_;
    MessageLine& messages_;
    std::function<void()> captionChanged_;
    // the page on screen, since when, and whether it counts as read yet
    int16_t page_ = -1;
    qint64 since_ = 0;
    bool noted_ = false;
    QTimer* pageTimer_ = nullptr;
};

}  // namespace mushaf
