#pragma once
// The parts of the window, each a feature with its own state, and the
// services they share: what the window makes, wires and hands out.
#include "window/Appearance.h"
#include "window/Clock.h"
#include "window/CommandTable.h"
#include "window/Hifz.h"
#include "window/History.h"
#include "window/KeptChoices.h"
#include "window/KhatmahPart.h"
#include "window/MessageLine.h"
#include "window/NoteCards.h"
#include "window/PaneTable.h"
#include "window/Place.h"
#include "window/PlayerBar.h"
#include "window/Reading.h"
#include "window/Recitation.h"
#include "window/ScreenReader.h"
#include "window/Search.h"
#include "window/Translations.h"

namespace mushaf {

struct WindowParts {
    // the services the parts share
    KeptChoices* choices = nullptr;
    Clock* clock = nullptr;
    MessageLine* messages = nullptr;
    CommandTable* commands = nullptr;
    PaneTable* panes = nullptr;
    // the features
    ReadingPart* reading = nullptr;
    SearchPart* search = nullptr;
    AppearancePart* appearance = nullptr;
    NoteCardsPart* cards = nullptr;
    HistoryPart* history = nullptr;
    KhatmahPart* khatmah = nullptr;
    HifzPart* hifz = nullptr;
    RecitationPart* recitation = nullptr;
    PlacePart* place = nullptr;
    PlayerBar* playerBar = nullptr;
    TranslationsPart* translations = nullptr;
    ScreenReaderPart* screenReader = nullptr;
};

}  // namespace mushaf
