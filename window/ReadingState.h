#pragma once
// The one owner of where the reader is: the current line. Every input asks
// it to move, naming where the move came from; it tells the window, which
// moves the model once and draws the sliders, the boxes and the panes. None
// of them calls back: the sliders and the boxes are set without their own
// signals.
#include <QObject>
#include <algorithm>
#include <cstdint>

namespace mushaf {

class ReadingState : public QObject {
    Q_OBJECT
public:
    enum class From {
        Start,       // the first page, a reference or the remembered place
        Slider,      // the line slider (keys, mouse, the automation)
        PageSlider,  // the page slider
        NumberBox,   // the surah, ayah, juz' or page box
        Page,        // a click on an ayah of the page itself
        Index,       // the surah index
        Results,     // a row of the search results or the note cards
        Random,      // a random ayah
        Recited,     // memorisation: the ayah before was completed
        Voice,       // the recitation went on to the next ayah
        PageKeys,    // the keys of the page pane: the next ayah or page
    };

    // Lines first..last.
    void SetBounds(int16_t first, int16_t last) {
        first_ = first;
        last_ = last;
    }
    // The current line; -1 before the first move.
    int16_t Line() const { return line_; }
    // Moves to `line` (held to the bounds). Nothing happens when the reader
    // is there already.
    void MoveTo(int line, From from) {
        const auto to = static_cast<int16_t>(std::clamp(line, static_cast<int>(first_), static_cast<int>(last_)));
        if (to == line_) return;
        line_ = to;
        emit Moved(from);
    }
    // A move scrolls the page to the marked line unless the reader moved
    // within the page itself.
    static bool Scrolls(From from) { return from != From::Page; }

signals:
    void Moved(ReadingState::From from);

private:
    int16_t line_ = -1, first_ = 0, last_ = 0;
};

}  // namespace mushaf
