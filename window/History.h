#pragma once
// The reader's history: every ayah the reader stayed on for ten seconds or
// more, newest first, the last ones kept; listed in the result pane.
#include <QObject>
#include <vector>

#include "model/cQ114.h"
#include "window/Command.h"
#include "window/ReadingState.h"

class QTimer;

namespace mushaf {

class Clock;
class KeptChoices;
class ReadingPart;
class SearchPart;

class HistoryPart : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kStayMs = 10000;

    HistoryPart(const ReadingState& state, const cQ114& model, KeptChoices& choices, Clock& clock, SearchPart& search,
                const ReadingPart& reading, QObject* parent = nullptr);
    std::vector<Command> Commands();
    // The current line into the history once the reader has stayed on it.
    void NoteDwell();
    void ShowHistory();

private:
    // The line the reader is on now: the one before is in the history if it
    // was read long enough.
    void StartDwell();

    const ReadingState& state_;
    const cQ114& Q114;
    KeptChoices& choices_;
    Clock& clock_;
    SearchPart& search_;
    const ReadingPart& reading_;
    int16_t dwellLine_ = -1;
    qint64 dwellSince_ = 0;
    bool dwellNoted_ = false;
    QTimer* dwellTimer_ = nullptr;
};

}  // namespace mushaf
