#pragma once
// Appearance: how the reader sees the text. The text size of the page and
// the translation, the Quran font, the vowel marks, night reading, full
// screen, the script, the mushaf view and the page's translation. With nothing chosen the window is as designed; sizes, fonts
// and night reading are rendering-only rules and palettes.
#include <QObject>
#include <QPalette>
#include <QRect>
#include <functional>
#include <map>
#include <vector>

#include "model/cQ114.h"
#include "views/Styles.h"
#include "window/Command.h"
#include "window/Panes.h"

class QWidget;

namespace mushaf {

class CommandTable;
class KeptChoices;
class Panes;
class ReadingPart;

class AppearancePart : public QObject {
    Q_OBJECT
public:
    // `surfaces`: the window's own widgets the night palette reaches.
    AppearancePart(QWidget& window, cQ114& model, Panes& panes, KeptChoices& choices, ReadingPart& reading,
                   std::function<std::vector<QWidget*>()> surfaces, QObject* parent = nullptr);
    std::vector<Command> Commands(const CommandTable& table);
    // Once the choices are read: the text sizes, the translation, the palette and the rules.
    void Load();

    void ToggleMarks();  // F4
    // Every pane's rules again (the marks or the view changed).
    void Restyle();
    void ToggleNight();
    void ToggleFullScreen();
    bool FullScreen() const;
    void SetQuranFont(views::QuranFont font);
    void SetScript(bool uthmani);
    void ToggleMushafView();
    // two pages side by side in the mushaf view, where the pane is wide enough
    void ToggleSpread();
    void TogglePageTranslation();

private:
    // the pane a size command is for: the one the menu was opened over, or
    // from the keys the translation when it has the focus, else the page
    PaneId SizedPane(const CommandTable& table) const;
    void ApplyNightPalette();
    std::vector<Command> LookCommands();

    QWidget& window_;
    cQ114& Q114;
    Panes& panes_;
    KeptChoices& choices_;
    ReadingPart& reading_;
    std::function<std::vector<QWidget*>()> surfaces_;
    std::map<QWidget*, QPalette> dayPalettes_;
    std::map<QWidget*, bool> dayFilled_;
    QRect normalPlace_;  // the window's place before full screen
    Qt::WindowStates stateBeforeFullScreen_;
};

}  // namespace mushaf
