#pragma once
// Note cards and their notes: an ayah on a card or off it, a note on its
// card, the cards listed in the result pane and marked on the page, and the
// exports of the cards and of the search results.
#include <QObject>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <vector>

#include "model/cQ114.h"
#include "window/Command.h"
#include "window/ReaderChoices.h"
#include "window/ReadingState.h"

namespace mushaf {

class KeptChoices;
class MessageLine;
class Panes;
class ReadingPart;
class SearchPart;

class NoteCardsPart : public QObject {
    Q_OBJECT
public:
    NoteCardsPart(const ReadingState& state, cQ114& model, Panes& panes, KeptChoices& choices, MessageLine& messages,
                  const ReadingPart& reading, SearchPart& search, std::filesystem::path exportFolder,
                  QObject* parent = nullptr);
    std::vector<Command> Commands();
    // Once the choices are read: the cards into the model.
    void Load();

    void ToggleFish();
    // The note of `line`'s card (the card made if there is none; an empty
    // note leaves the card without one).
    void SetNote(int16_t line, const QString& note);
    // The note dialog of the current ayah's card.
    void EditNote();
    // `keepPlace`: the list shown is refreshed where the reader is in it.
    void ShowFish(bool keepPlace = false);
    void ExportList(bool fish);
    const QStringList& Exported() const { return exported_; }

private:
    // After a card changed, with what changed with it (its note): kept as
    // one, marked on the page, the list shown again.
    void CardsChanged(const std::function<void(ReaderChoices&)>& also);
    std::vector<int16_t> NotedLines() const;

    const ReadingState& state_;
    cQ114& Q114;
    Panes& panes_;
    KeptChoices& choices_;
    MessageLine& messages_;
    const ReadingPart& reading_;
    SearchPart& search_;
    std::filesystem::path exportFolder_;
    QStringList exported_;
};

}  // namespace mushaf
