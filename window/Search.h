#pragma once
// Search: the query typed in the search panel, searched in the Arabic text,
// the translation or the reader's notes, and the result pane, which lists
// either what a search found or a list of the reader's own (the note cards,
// the history) with its caption.
#include <QObject>
#include <QString>
#include <functional>

#include "model/cQ114.h"
#include "window/Panes.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mushaf {

class KeptChoices;

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
    SearchPart(cQ114& model, Panes& panes, const KeptChoices& choices, Controls controls,
               std::function<const Text&()> backColorHex, QObject* parent = nullptr);
    void SetPanel(std::function<void()> showPanel, std::function<void(bool notesShown)> notesOption);

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

private:
    void SearchNotes();
    void Write_Search_Result();
    void ShowResultCount(int count);
    // the caption back when a search replaces a list of the reader's own
    void LeaveList();
    void SaySearchFailed(const Text& message);

    cQ114& Q114;
    Panes& panes_;
    const KeptChoices& choices_;
    Controls c_;
    std::function<const Text&()> backColorHex_;
    std::function<void()> showPanel_;
    std::function<void(bool)> notesOption_;
    Listing listing_ = Listing::Search;
    bool searchListed_ = false;
    int resultCount_ = 0;
};

}  // namespace mushaf
