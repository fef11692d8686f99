// Start-up and shutdown, the refresh sequence, the number boxes, search,
// and the clicks inside the documents.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>

#include "model/Loading.h"
#include "platform/Key_Language.h"
#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Help.h"
#include "views/Mushaf.h"
#include "views/Markup.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

// ---- start-up and shutdown -------------------------------------------------

void frmMain::Form_Load() {
    BackColorHex = views::BackColorHex(services_.colours.ButtonFace());
    ShellDocument = views::ShellDocument(BackColorHex);
    int32_t persian = 1;
    Set_Language(persian, services_.keyboard);
    if (services_.model) Q114 = services_.model();
    if (!Q114) SetBounds(Q114, services_.tables);
    marks_ = LoadMushafMarks(services_.tables);
    PageStartList = views::PageStartList(LoadTable(services_.tables, "PageUnic"), static_cast<int16_t>(Q114->LineCount()));
    state_.SetBounds(Q114->MinBound(), Q114->MaxBound());
    connect(&state_, &ReadingState::Moved, this, &frmMain::Moved);
    Q114->ExportFolder = services_.exportFolder;
    ScrollOnSelect_ = true;
    hsAllQuran->setMaximum(Q114->MaxBound());
    MoveFormCenter();
    for (WebPane* p : panes_) p->Write(ToQ(ShellDocument));
    Set_Help();
    // a click anywhere on a result row goes to its line
    wbrSearchResult->SetRowClicks(true);
    // a new text size (or pane size) keeps the marked ayah in view
    wbrQuran->KeepInView(ToQ(u"." + Text(views::kLineMarkedClass) + u", ." + Text(views::kBesmMarkedClass)));
    for (WebPane* p : panes_) connect(p, &WebPane::RendererResting, this, [this] { RendererTrouble(); });
    connect(wbrSoreh, &WebPane::LinkClicked, this, &frmMain::DocSoreh_onclick);
    connect(wbrQuran, &WebPane::LinkClicked, this, &frmMain::DocQuran_onclick);
    connect(wbrSearchResult, &WebPane::LinkClicked, this, &frmMain::DocSearchResult_onclick);
    connect(wbrTools, &WebPane::LinkClicked, this, &frmMain::DocTools_onclick);
    Show_Soreh(Text());
    LoadChoices();
    loaded_ = true;
    state_.MoveTo(0, ReadingState::From::Start);
    txtQSearch->setFocus();
}

void frmMain::Form_Unload() {
    StopRecitation();
    NoteDwell();
    KeepPlace();
    // the model goes first; no handler runs after it
    disconnect(hsAllQuran, nullptr, this, nullptr);
    disconnect(&state_, nullptr, this, nullptr);
    loaded_ = false;
    UnSetBounds(Q114);
}

// ---- the refresh sequence ----------------------------------------------------

void frmMain::Moved(ReadingState::From from) {
    hsAllQuran_Change(ReadingState::Scrolls(from));
    StartDwell();
    RecitationFollowsReader(from);
}

void frmMain::hsAllQuran_Change(bool scroll) {
    ScrollOnSelect_ = scroll;
    Refresh([this] { Q114->GoPosition(state_.Line()); });
}

void frmMain::hsPage_Change() {
    // the first line of the page the page slider shows
    const int page = hsPage->value();
    if (page >= 1 && page < static_cast<int>(PageStartList.size()))
        state_.MoveTo(PageStartList[page - 1], ReadingState::From::PageSlider);
}

void frmMain::Refresh(const std::function<void()>& place) {
    if (!Q114 || state_.Line() < 0) return;
    place();
    Set_Objects();
    Set_Quran(Q114->Page());
    Set_Ayeh(wbrQuran, state_.Line());
    Set_Farsi(wbrFarsi, state_.Line());
}

void frmMain::Set_Objects() {
    // the sliders follow the owner's line without telling it again
    {
        const QSignalBlocker quiet(hsAllQuran), quietPage(hsPage);
        hsAllQuran->setValue(Q114->GlobalAyeh());
        hsPage->setValue(Q114->Page());
    }
    txtSoreh->SetNumber(QString::number(Q114->Soreh()));
    txtAyeh->SetNumber(QString::number(Q114->Ayeh()));
    txtPage->SetNumber(QString::number(Q114->Page()));
    txtJoze->SetNumber(QString::number(Q114->Joze()));
    txtSoreh->SetTag(QString::number(Q114->SorehCount()));
    txtAyeh->SetTag(QString::number(Q114->TotalAyat()));
    txtPage->SetTag(QString::number(Q114->PageCount()));
    txtJoze->SetTag(QString::number(Q114->JozeCount()));
}

void frmMain::Set_Quran(int16_t page) {
    auto key = ReadNumber(FromQ(QStringLiteral("0") + tags_["wbrQuran"]));
    if (key && static_cast<int>(*key) == page) return;
    tags_["wbrQuran"] = QString::number(page);
    if (page < 1 || page >= static_cast<int>(PageStartList.size())) return;
    int16_t first = PageStartList[page - 1];
    int16_t last = static_cast<int16_t>(PageStartList[page] - 1);
    lblPage->setText(PageCaption(page));
    wbrQuran->Write(ToQ(choices_.mushafView
                            ? views::MushafPageDocument(*Q114, marks_, first, last, ShowEarab_, BackColorHex, choices_.uthmani)
                            : views::PageDocument(*Q114, first, last, ShowEarab_, BackColorHex, choices_.uthmani)));
    ApplyHifz(true);
}

void frmMain::Set_Ayeh(WebPane* pane, int16_t line) {
    using namespace views;
    const QString id = ToQ(LineId(line));
    pane->ReplaceClass(QString(), ToQ(kLineMarkedClass), ToQ(kLineClass));
    pane->ReplaceClass(QString(), ToQ(kBesmMarkedClass), ToQ(kBesmClass));
    pane->ReplaceClass(id, ToQ(kLineClass), ToQ(kLineMarkedClass));
    pane->ReplaceClass(id, ToQ(kBesmClass), ToQ(kBesmMarkedClass));
    // the mushaf page keeps its head in view while the marked ayah is shown
    if (ScrollOnSelect_ && choices_.mushafView) pane->ScrollIntoView({id}, true);
    else if (ScrollOnSelect_) pane->ScrollIntoView({ToQ(LineId(line - 1)), id});
}

void frmMain::Set_Farsi(WebPane* pane, int16_t line) {
    views::Translation t = views::TranslationDocument(*Q114, line, BackColorHex);
    lblFarsi->setText(ToQ(t.caption));
    if (!choices_.pageTranslation) {
        translatedPage_ = -1;
        pane->Write(ToQ(t.document));
        return;
    }
    // the page's translation is written once a page; a move within it moves the mark
    using namespace views;
    const int16_t page = Q114->LineAt(line).page;
    const QString id = ToQ(TranslationLineId(line));
    if (page != translatedPage_) {
        translatedPage_ = page;
        pane->Write(ToQ(PageTranslationDocument(*Q114, PageStartList[page - 1],
                                                static_cast<int16_t>(PageStartList[page] - 1), line, BackColorHex)));
    } else {
        pane->ReplaceClass(QString(), ToQ(kTranslationMarkedClass), ToQ(kTranslationLineClass));
        pane->ReplaceClass(id, ToQ(kTranslationLineClass), ToQ(kTranslationMarkedClass));
    }
    pane->ScrollIntoView({id}, true);
}

void frmMain::Set_Help() {
    auto bytes = services_.tables.Lookup("Help", 1);
    if (!bytes) throw ModelError("resource not found", "Help");
    Text help = Utf16LE(*bytes);
    if (!help.empty()) help.erase(0, 1);
    // the keys of the commands beyond the window's own, as the command table gives them
    std::vector<views::HelpKey> keys;
    for (const Command& c : commands_)
        if (!c.formKey && !c.keys.isEmpty())
            keys.push_back({FromQ(c.keys.first().toString(QKeySequence::PortableText)),
                            FromQ(c.help.isEmpty() ? c.text : c.help)});
    wbrHelp->Write(ToQ(views::HelpPage(help, keys)));
}

void frmMain::Show_Soreh(const Text& filter) {
    wbrSoreh->Write(ToQ(views::SorehIndexDocument(*Q114, filter, BackColorHex)));
    // the index leaves the model where the design has it: on surah 114
    Q114->GoPosition(Q114->SorehFirstLine(114));
}

// ---- number boxes and the slider ---------------------------------------------

void frmMain::NumberBox_Entered(NumberBox* box) {
    if (!Q114) return;
    try {
        if (box == txtSoreh) Q114->GoSoreh(FromQ(txtSoreh->text()));
        else if (box == txtJoze) Q114->GoJoze(FromQ(txtJoze->text()));
        else if (box == txtPage) Q114->GoPage(FromQ(txtPage->text()));
        else if (box == txtAyeh) {
            // with no surah number in its box there is nothing to go to
            if (!ReadNumber(FromQ(txtSoreh->text()))) return;
            Q114->GoAyehOfSoreh(FromQ(txtSoreh->text()), FromQ(txtAyeh->text()));
        }
    } catch (const ModelError&) {
        return;  // the position stays where it was
    }
    state_.MoveTo(Q114->GlobalAyeh(), ReadingState::From::NumberBox);
}

void frmMain::TurnPage(int action) {
    // to the first line of the next or the previous page (on the last page
    // forward stays, on the first back goes to its first line)
    const bool next = action == QAbstractSlider::SliderPageStepAdd;
    if (!Q114 || PageStartList.size() < 2 || (!next && action != QAbstractSlider::SliderPageStepSub)) return;
    const int page = Q114->LineAt(state_.Line()).page;
    const int pages = static_cast<int>(PageStartList.size()) - 1;
    const int to = std::clamp(next ? page + 1 : page - 1, 1, pages);
    hsAllQuran->setSliderPosition(next && page == pages ? hsAllQuran->value() : PageStartList[to - 1]);
}

// ---- search --------------------------------------------------------------------

void frmMain::cmdSearch_Click() {
    if (!Q114) return;
    wbrSearchResult->Write(ToQ(ShellDocument + views::kWaitMessage));
    if (optSearchInN->isChecked()) {
        SearchNotes();
        return;
    }
    Q114->SearchText(views::PrepareSearchQuery(FromQ(txtSearch->text())));
    if (optSearchInQ->isChecked()) Q114->SearchTo(0);
    else if (optSearchInT->isChecked()) Q114->SearchTo(1);
    searchListed_ = false;
    try {
        // A query the model does not search leaves its last list; the pane
        // shows that nothing was found.
        if (!Q114->SearchesText()) {
            LeaveFishList();
            ShowResultCount(0);
            wbrSearchResult->Write(ToQ(views::ResultMessageDocument(views::kNothingFound, BackColorHex)));
            return;
        }
        Q114->StartSearch(-1, -1);
    } catch (const InvalidPattern&) {
        LeaveFishList();
        ShowResultCount(0);
        wbrSearchResult->Write(ToQ(views::ResultMessageDocument(views::kInvalidPattern, BackColorHex)));
        return;
    }
    searchListed_ = true;
    Write_Search_Result();
}

void frmMain::SearchNotes() {
    // the notes are the reader's; the model's search and its list stay as they are
    searchListed_ = false;
    LeaveFishList();
    std::vector<int16_t> found;
    try {
        found = FindInNotes(choices_.notes, views::PrepareSearchQuery(FromQ(txtSearch->text())));
    } catch (const InvalidPattern&) {
        ShowResultCount(0);
        wbrSearchResult->Write(ToQ(views::ResultMessageDocument(views::kInvalidPattern, BackColorHex)));
        return;
    }
    ShowResultCount(static_cast<int>(found.size()));
    wbrSearchResult->Write(ToQ(views::LineListDocument(*Q114, found, BackColorHex, views::kNothingFound)));
}

void frmMain::Write_Search_Result() {
    LeaveFishList();
    ShowResultCount(static_cast<int>(Q114->FoundList().size()));
    wbrSearchResult->Write(ToQ(views::ResultListDocument(*Q114, BackColorHex)));
    // the list leaves the model on its last line
    if (!Q114->FoundList().empty()) Q114->GoPosition(Q114->FoundList().back());
}

// ---- clicks in documents -------------------------------------------------------

namespace {
std::optional<int16_t> LinkNumber(const QString& id) {
    auto v = ReadNumber(FromQ(id));
    if (!v || *v < -32768 || *v > 32767) return std::nullopt;
    return static_cast<int16_t>(RoundHalfEven(*v));
}
}  // namespace

void frmMain::DocQuran_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    auto n = LinkNumber(id);
    // a number outside the corpus moves nothing
    if (!n || *n < Q114->MinBound() || *n > Q114->MaxBound()) return;
    state_.MoveTo(*n, ReadingState::From::Page);
}

void frmMain::DocSoreh_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    try {
        Q114->GoSoreh(FromQ(id));
    } catch (const ModelError&) {
        return;
    }
    state_.MoveTo(Q114->GlobalAyeh(), ReadingState::From::Index);
}

void frmMain::DocSearchResult_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    if (auto n = LinkNumber(id)) state_.MoveTo(*n, ReadingState::From::Results);
}

void frmMain::DocTools_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    if (id == QStringLiteral("01")) {
        SetPanelVisible("picPanelSearch", false);
        SetPanelVisible("picPanelQuran", true);
    } else if (id == QStringLiteral("02")) {
        SetPanelVisible("picPanelSearch", true);
        SetPanelVisible("picPanelQuran", false);
    }
}

}  // namespace mushaf
