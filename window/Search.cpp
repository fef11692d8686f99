#include "window/Search.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "layout/ControlTree.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "views/Mushaf.h"
#include "views/Styles.h"
#include "window/KeptChoices.h"
#include "window/PaneScripts.h"
#include "window/Reading.h"

namespace mushaf {

SearchPart::SearchPart(cQ114& model, Panes& panes, KeptChoices& choices, const ReadingPart& reading, Controls controls,
                       QObject* parent)
    : QObject(parent), Q114(model), panes_(panes), choices_(choices), reading_(reading), c_(controls) {
    // the number found above the list, in the result pane's rules
    panes_.AddStyle(PaneId::Results, [this] { return views::ResultCountRule(resultCount_); });
    // the found words' mark (a rule that matches nothing until a search marks words)
    for (PaneId pane : {PaneId::Page, PaneId::Translation}) panes_.AddStyle(pane, [] { return Text(views::kFoundRule); });
    connect(&reading, &ReadingPart::PageWritten, this, [this] {
        pageMarked_ = false;  // a new document
        MarkPage();
    });
    connect(&reading, &ReadingPart::TranslationWritten, this, [this](int16_t first, int16_t last) {
        translated_ = {first, last};
        translationMarked_ = false;
        MarkTranslation(first, last);
    });
}

std::vector<Command> SearchPart::Commands() {
    return {
        {.name = "mnuFoundText", .text = QStringLiteral("گزیدهٔ آیه زیر هر نتیجهٔ جستجو"),
         .help = QStringLiteral("زیر هر نتیجهٔ جستجو واژه‌های پیرامون آنچه یافت شد"), .run = [this] { ToggleExtracts(); },
         .checked = [this] { return choices_->foundText; }, .menu = {menus::kView}},
    };
}

void SearchPart::SetPanel(std::function<void()> showPanel, std::function<void(bool)> notesOption) {
    showPanel_ = std::move(showPanel);
    notesOption_ = std::move(notesOption);
}

void SearchPart::cmdSearch_Click() {
    panes_.Write(PaneId::Results, ToQ(views::ShellDocument(reading_.BackColorHex()) + views::kWaitMessage));
    if (c_.inNotes->isChecked()) {
        SetFound({});
        SearchNotes();
        return;
    }
    Q114.SearchText(views::PrepareSearchQuery(FromQ(c_.query->text())));
    if (c_.inText->isChecked()) Q114.SearchTo(0);
    else if (c_.inTranslation->isChecked()) Q114.SearchTo(SearchesSecond() ? 2 : 1);
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
    // the list first (its extracts read what was found), then the marks on the page
    searchedSecond_ = Q114.SearchTo() == 2;
    const bool pack = searchedSecond_ || Q114.ChosenTranslation() == cQ114::Translation::Pack;
    found_ = FoundWords(Q114.SearchText(), Q114.SearchTo() == 0 ? FoundWords::In::Arabic
                                           : pack               ? FoundWords::In::Pack
                                                                : FoundWords::In::Translation);
    Write_Search_Result();
    MarkFound();
    emit Searched(static_cast<int>(Q114.FoundList().size()), true);
}

void SearchPart::SaySearchFailed(const Text& message) {
    SetFound({});
    LeaveList();
    ShowResultCount(0);
    emit Searched(0, message != views::kInvalidPattern);
    panes_.Write(PaneId::Results, ToQ(views::ResultMessageDocument(message, reading_.BackColorHex())));
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
    emit Searched(static_cast<int>(found.size()), true);
    panes_.Write(PaneId::Results, ToQ(views::LineListDocument(Q114, found, reading_.BackColorHex(), views::kNothingFound)));
}

void SearchPart::Write_Search_Result(bool keepPlace) {
    LeaveList();
    ShowResultCount(static_cast<int>(Q114.FoundList().size()));
    if (choices_->foundText)
        panes_.Write(PaneId::Results, ToQ(views::ResultListDocument(Q114, reading_.BackColorHex(),
                                                                    [this](int16_t line) { return ExtractAt(line); },
                                                                    found_.Where() == FoundWords::In::Arabic)),
                     keepPlace);
    else panes_.Write(PaneId::Results, ToQ(views::ResultListDocument(Q114, reading_.BackColorHex())), keepPlace);
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

bool SearchPart::SearchesSecond() const { return choices_->searchSecond && Q114.HasSecond(); }

bool SearchPart::InTranslation() const {
    return found_.Where() == FoundWords::In::Translation || found_.Where() == FoundWords::In::Pack;
}

void SearchPart::UpdateNotesOption() {
    const bool shown = !choices_->notes.empty();
    // three to a row: the translation's option says only "translation";
    // searching the second translation, it says so
    c_.inTranslation->setText(SearchesSecond() ? QStringLiteral("ترجمهٔ دوم")
                              : shown          ? QStringLiteral("ترجمه")
                                               : ToQ(layout::FindControl("optSearchInT")->caption));
    if (c_.inNotes->isHidden() != shown) return;
    if (!shown && c_.inNotes->isChecked()) c_.inText->setChecked(true);
    c_.inNotes->setVisible(shown);
    if (notesOption_) notesOption_(shown);
}

// ---- what a search found -------------------------------------------------------

void SearchPart::SetFound(FoundWords found) {
    found_ = std::move(found);
    MarkFound();
}

void SearchPart::MarkFound() {
    MarkPage();
    if (translated_.first >= 0) MarkTranslation(translated_.first, translated_.second);
}

bool SearchPart::ClearFound() {
    if (found_.Where() == FoundWords::In::Nothing) return false;
    SetFound({});
    return true;
}

bool SearchPart::Key(const QKeyEvent* key) {
    return key->key() == Qt::Key_Escape && !(key->modifiers() & ~Qt::KeypadModifier) && c_.query->hasFocus() &&
           ClearFound();
}

void SearchPart::MarkPage() {
    if (found_.Where() != FoundWords::In::Arabic) return Mark(PaneId::Page, QString(), pageMarked_);
    // the page's own writing, and the other script's, where the match may be
    const bool uthmani = choices_->uthmani && reading_.ShowEarab();
    QJsonObject lines;
    for (int16_t page : reading_.ShownPages()) {
        const auto& starts = reading_.PageStartList();
        if (page < 1 || static_cast<std::size_t>(page) >= starts.size()) continue;
        for (int16_t n = starts[page - 1]; n < starts[page]; n = static_cast<int16_t>(n + 1)) {
            const Text shown = views::ShownArabicAt(Q114, n, reading_.ShowEarab(), choices_->uthmani);
            const std::vector<int> words = found_.InArabic(shown, views::ShownArabicAt(Q114, n, true, !uthmani));
            if (words.empty()) continue;
            QJsonArray list;
            for (int w : words) list.append(w);
            lines[QStringLiteral("#") + ToQ(views::LineId(n))] = list;
        }
    }
    Mark(PaneId::Page, QString::fromUtf8(QJsonDocument(lines).toJson(QJsonDocument::Compact)), pageMarked_);
}

void SearchPart::MarkTranslation(int16_t first, int16_t last) {
    if (!InTranslation()) return Mark(PaneId::Translation, QString(), translationMarked_);
    QJsonObject lines;
    const bool second = searchedSecond_ && Q114.HasSecond();
    for (int16_t n = first; n <= last; n = static_cast<int16_t>(n + 1)) {
        const std::vector<int> words = found_.InTranslation(second ? Q114.SecondAt(n) : Q114.MeanFarsiAt(n));
        if (words.empty()) continue;
        QJsonArray list;
        for (int w : words) list.append(w);
        // the page's translation, or the one line's; the first or the second
        const QString selector = choices_->pageTranslation
                                     ? QStringLiteral("#") + ToQ(second ? views::SecondLineId(n) : views::TranslationLineId(n))
                                     : (second ? QStringLiteral("#") + ToQ(views::kSecondId) : QStringLiteral(".Farsi"));
        lines[selector] = list;
    }
    Mark(PaneId::Translation, QString::fromUtf8(QJsonDocument(lines).toJson(QJsonDocument::Compact)), translationMarked_);
}

void SearchPart::Mark(PaneId pane, const QString& found, bool& marked) {
    // nothing to mark where nothing is: a page turn without a search runs no script
    if (found.isEmpty() && !marked) return;
    marked = !found.isEmpty();
    panes_.Evaluate(pane,
                    QString::fromLatin1(pane_scripts::kWordsFunction) +
                        QString::fromLatin1(pane_scripts::kFoundScript).arg(found.isEmpty() ? QStringLiteral("{}") : found),
                    [](const QVariant&) {});
}

void SearchPart::ToggleExtracts() {
    choices_.Change([](ReaderChoices& c) { c.foundText = !c.foundText; });
    if (searchListed_ && listing_ == Listing::Search) Write_Search_Result(true);
}

Extract SearchPart::ExtractAt(int16_t line) const {
    if (InTranslation()) {
        const Text farsi = views::Shown(searchedSecond_ && Q114.HasSecond() ? Q114.SecondAt(line) : Q114.MeanFarsiAt(line));
        return ExtractOf(farsi, found_.InTranslation(farsi));
    }
    const bool uthmani = choices_->uthmani && reading_.ShowEarab();
    const Text shown = views::Shown(views::ShownArabicAt(Q114, line, reading_.ShowEarab(), choices_->uthmani));
    return ExtractOf(shown, found_.InArabic(shown, views::ShownArabicAt(Q114, line, true, !uthmani)));
}

}  // namespace mushaf
