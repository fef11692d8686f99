#pragma once
// Memorisation: the page's words hidden from the current ayah on, each in
// its place; Space in the page shows the next word, Shift+Space the rest of
// the ayah, and a completed ayah makes the next one current. A new page
// starts hidden from its first line. The translation can hide with it.
#include <QObject>
#include <vector>

#include "model/cQ114.h"
#include "window/Command.h"
#include "window/ReadingState.h"

class QKeyEvent;

namespace mushaf {

class KeptChoices;
class Panes;
class ReadingPart;

class HifzPart : public QObject {
    Q_OBJECT
public:
    HifzPart(ReadingState& state, const cQ114& model, Panes& panes, KeptChoices& choices, const ReadingPart& reading,
             QObject* parent = nullptr);
    std::vector<Command> Commands();

    void Toggle();
    void ToggleTranslation();
    // The next word of the first hidden ayah shown (`all`: the rest of it);
    // a completed ayah makes the next one current.
    void RevealWord(bool all);
    // Space or Shift+Space while the page has the focus; true when taken.
    bool Key(const QKeyEvent* key);
    // The first line whose words are hidden (some may be shown), or -1.
    int16_t HiddenFrom() const { return hiddenFrom_; }

private:
    // The page pane hides what it should; after a page is written, from its
    // first line when it is another page.
    void Apply(bool newPage = false);

    ReadingState& state_;
    const cQ114& Q114;
    Panes& panes_;
    KeptChoices& choices_;
    const ReadingPart& reading_;
    int16_t hiddenFrom_ = -1;
    int revealed_ = 0;  // words of the line hiddenFrom_ shown
};

}  // namespace mushaf
