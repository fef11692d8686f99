#include "window/Search.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "layout/ControlTree.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Styles.h"
#include "window/KeptChoices.h"

namespace mushaf {

SearchPart::SearchPart(cQ114& model, Panes& panes, const KeptChoices& choices, Controls controls,
                       std::function<const Text&()> backColorHex, QObject* parent)
    : QObject(parent), Q114(model), panes_(panes), choices_(choices), c_(controls), backColorHex_(std::move(backColorHex)) {
    // the number found above the list, in the result pane's rules
    panes_.AddStyle(PaneId::Results, [this] { return views::ResultCountRule(resultCount_); });
}

void SearchPart::SetPanel(std::function<void()> showPanel, std::function<void(bool)> notesOption) {
    showPanel_ = std::move(showPanel);
    notesOption_ = std::move(notesOption);
}

void SearchPart::cmdSearch_Click() {
    panes_.Write(PaneId::Results, ToQ(views::ShellDocument(backColorHex_()) + views::kWaitMessage));
    if (c_.inNotes->isChecked()) {
        SearchNotes();
        return;
    }
    Q114.SearchText(views::PrepareSearchQuery(FromQ(c_.query->text())));
    if (c_.inText->isChecked()) Q114.SearchTo(0);
    else if (c_.inTranslation->isChecked()) Q114.SearchTo(1);
    searchListed_ = false;
    try {
        // A query the model does not search leaves its last list; the pane
        // shows that nothing was found.
        if (!Q114.SearchesText()) return SaySearchFailed(views::kNothingFound);
        Q114.StartSearch(-1, -1);
    } catch (const InvalidPattern&) {
        return SaySearchFailed(views::kInvalidPattern);
    }
    searchListed_ = true;
    Write_Search_Result();
}

void SearchPart::SaySearchFailed(const Text& message) {
    LeaveList();
    ShowResultCount(0);
    panes_.Write(PaneId::Results, ToQ(views::ResultMessageDocument(message, backColorHex_())));
}

void SearchPart::SearchNotes() {
    // the notes are the reader's; the model's search and its list stay as they are
    searchListed_ = false;
    std::vector<int16_t> found;
    try {
        found = FindInNotes(choices_->notes, views::PrepareSearchQuery(FromQ(c_.query->text())));
    } catch (const InvalidPattern&) {
        return SaySearchFailed(views::kInvalidPattern);
    }
    LeaveList();
    ShowResultCount(static_cast<int>(found.size()));
    panes_.Write(PaneId::Results, ToQ(views::LineListDocument(Q114, found, backColorHex_(), views::kNothingFound)));
}

void SearchPart::Write_Search_Result() {
    LeaveList();
    ShowResultCount(static_cast<int>(Q114.FoundList().size()));
    panes_.Write(PaneId::Results, ToQ(views::ResultListDocument(Q114, backColorHex_())));
    // the list leaves the model on its last line
    if (!Q114.FoundList().empty()) Q114.GoPosition(Q114.FoundList().back());
}

void SearchPart::ShowResultCount(int count) {
    // every search sets it: only the result pane's rules follow
    resultCount_ = count;
    panes_.Restyle(PaneId::Results);
}

void SearchPart::PasteQuery(const QString& text) { c_.query->setText(text); }

void SearchPart::ShowList(Listing listing, const QString& caption, const QString& document, bool keepPlace) {
    if (showPanel_) showPanel_();
    listing_ = listing;
    ShowResultCount(0);
    c_.resultCaption->setText(caption);
    panes_.Write(PaneId::Results, document, keepPlace);
}

void SearchPart::LeaveList() {
    if (listing_ == Listing::Search) return;
    listing_ = Listing::Search;
    c_.resultCaption->setText(ToQ(layout::FindControl("lblSearchResult")->caption));
}

void SearchPart::UpdateNotesOption() {
    const bool shown = !choices_->notes.empty();
    if (c_.inNotes->isHidden() != shown) return;
    if (!shown && c_.inNotes->isChecked()) c_.inText->setChecked(true);
    c_.inNotes->setVisible(shown);
    // three to a row: the translation's option says only "translation"
    c_.inTranslation->setText(shown ? QStringLiteral("ترجمه") : ToQ(layout::FindControl("optSearchInT")->caption));
    if (notesOption_) notesOption_(shown);
}

}  // namespace mushaf
