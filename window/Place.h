#pragma once
// "Open where I left off": with the reader's choice on, the line, the vowel
// marks, the side panel and the window's place are kept when the window
// closes, and taken at the next start when they are sound.
#include <QObject>
#include <functional>
#include <optional>
#include <vector>

#include "window/Command.h"
#include "window/ReadingState.h"

class QWidget;

namespace mushaf {

class AppearancePart;
class KeptChoices;
class ReadingPart;

class PlacePart : public QObject {
    Q_OBJECT
public:
    struct Panel {
        std::function<bool()> searchShown;
        std::function<void()> showSearch;
    };
    PlacePart(QWidget& window, ReadingState& state, KeptChoices& choices, ReadingPart& reading, AppearancePart& appearance,
              Panel panel, QObject* parent = nullptr);
    std::vector<Command> Commands();

    // At start-up: the line to open at (a reference given), or else the kept
    // place when the reader keeps one.
    void StartAt(std::optional<int16_t> line);
    // At the window's close.
    void Keep();

private:
    void Toggle();
    bool Restore();

    QWidget& window_;
    ReadingState& state_;
    KeptChoices& choices_;
    ReadingPart& reading_;
    AppearancePart& appearance_;
    Panel panel_;
};

}  // namespace mushaf
