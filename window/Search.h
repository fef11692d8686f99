#pragma once
// Search: the query typed in the search panel, searched in the Arabic text,
// the translation or the reader's notes, and the result pane, which lists
// either what a search found or a list of the reader's own (the note cards,
// the history) with its caption.
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "model/Found.h"
#include "model/cQ114.h"
#include "window/Command.h"
#include "window/Panes.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mushaf {

class KeptChoices;
class ReadingPart;

class SearchPart : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QLineEdit* query;
        QRadioButton *inText, *inTranslation, *inNotes;
        QLabel *queryCaption, *resultCaption;
    };
    // `backColorHex`: the documents' background; `showPanel`: the search
    // panel brought into view; `layoutChanged`: the option row changed.
    SearchPart(cQ114& model, Panes& panes, KeptChoices& choices, const ReadingPart& reading, Controls controls,
               QObject* parent = nullptr);
    void SetPanel(std::function<void()> showPanel, std::function<void(bool notesShown)> notesOption);
    std::vector<Command> Commands();

    void cmdSearch_Click();
    // The clipboard's text as the query (a double click on the caption).
    void PasteQuery(const QString& text);

    // What the result pane lists of the reader's own, rather than a search.
    enum class Listing { Search, Cards, History };
    Listing Listed() const { return listing_; }
    // A list of the reader's own in the result pane, under `caption`;
    // `keepPlace`: the same list again, changed, where the reader is in it.
    void ShowList(Listing listing, const QString& caption, const QString& document, bool keepPlace = false);
    // Whether the result pane lists what the model's last search found.
    bool SearchListed() const { return searchListed_; }
    // The notes option, shown while a note is kept.
    void UpdateNotesOption();

    // What the last search found, marked on the page (and in the
    // translation, for a search in it) until the next search or until the
    // reader clears it. Clearing says whether anything was marked.
    const FoundWords& Found() const { return found_; }

signals:
    // A search (of the text, the translation or the notes) has listed
    // `count` lines; `valid`: its query could be read.
    void Searched(int count, bool valid);

public:
    bool ClearFound();
    // Escape in the search box clears what was found.
    bool Key(const QKeyEvent* key);

private:
    void SearchNotes();
    void Write_Search_Result(bool keepPlace = false);
    void ShowResultCount(int count);
    // the caption back when a search replaces a list of the reader's own
    void LeaveList();
    void SaySearchFailed(const Text& message);
    // What was found, from now on: marked in the page and the translation.
    void SetFound(FoundWords found);
    void MarkFound();
    void MarkPage();
    void MarkTranslation(int16_t first, int16_t last);
    // the translation option searches the second translation (one is shown, and the reader chose so)
    bool SearchesSecond() const;
    // what was found was found in a translation (the first or the second)
    bool InTranslation() const;
    void Mark(PaneId pane, const QString& found, bool& marked);
    // An extract of each found line under its row (the reader's choice)
    void ToggleExtracts();
    Extract ExtractAt(int16_t line) const;

    cQ114& Q114;
    Panes& panes_;
    KeptChoices& choices_;
    const ReadingPart& reading_;
    Controls c_;
    std::function<void()> showPanel_;
    std::function<void(bool)> notesOption_;
    Listing listing_ = Listing::Search;
    bool searchListed_ = false;
    int resultCount_ = 0;
    FoundWords found_;
    bool pageMarked_ = false, translationMarked_ = false;
    bool searchedSecond_ = false;  // the last search searched the second translation
    std::pair<int16_t, int16_t> translated_{-1, -1};  // the lines the translation pane shows
};

}  // namespace mushaf
