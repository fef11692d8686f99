// Reading: the refresh sequence, the number boxes, the page slider's steps,
// the clicks inside the documents, the surah index and the copy of an ayah.
#include "window/Reading.h"

#include <QAbstractSlider>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "controls/NumberBox.h"
#include "model/Loading.h"
#include "platform/Key_Language.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "views/Mushaf.h"
#include "window/KeptChoices.h"
#include "window/Panes.h"

namespace mushaf {

ReadingPart::ReadingPart(ReadingState& state, cQ114& model, Panes& panes, const KeptChoices& choices, Services services,
                         Controls controls, QObject* parent)
    : QObject(parent), state_(state), Q114(model), panes_(panes), choices_(choices), services_(services), c_(controls) {}

// ---- the load ------------------------------------------------------------------

void ReadingPart::Load(uint32_t buttonFace, const std::vector<views::HelpKey>& keys) {
    backColorHex_ = views::BackColorHex(buttonFace);
    shellDocument_ = views::ShellDocument(backColorHex_);
    marks_ = LoadMushafMarks(services_.tables);
    pageStarts_ = views::PageStartList(LoadTable(services_.tables, "PageUnic"), static_cast<int16_t>(Q114.LineCount()));
    scrollOnSelect_ = true;
    c_.line->setMaximum(Q114.MaxBound());
    for (PaneId pane : {PaneId::Page, PaneId::Translation, PaneId::Index, PaneId::Results, PaneId::Tools, PaneId::Help})
        panes_.Write(pane, ToQ(shellDocument_));
    Set_Help(keys);
    Show_Soreh(Text());
    connect(&state_, &ReadingState::Moved, this, &ReadingPart::Moved);
    // the Uthmani text is the text with its marks
    if (choices_->uthmani) showEarab_ = true;
}

// ---- the refresh sequence ----------------------------------------------------------

void ReadingPart::Moved(ReadingState::From from) { hsAllQuran_Change(ReadingState::Scrolls(from)); }

void ReadingPart::hsAllQuran_Change(bool scroll) {
    scrollOnSelect_ = scroll;
    Refresh();
}

void ReadingPart::Refresh() {
    if (state_.Line() < 0) return;
    Q114.GoPosition(state_.Line());
    Set_Objects();
    Set_Quran(Q114.Page());
    Set_Ayeh(state_.Line());
    Set_Farsi(state_.Line());
}

void ReadingPart::Redraw() {
    pageTag_.clear();
    hsAllQuran_Change();
}

void ReadingPart::RewriteTranslation() {
    translatedPage_ = -1;
    if (state_.Line() < 0) return;
    Q114.GoPosition(state_.Line());
    Set_Farsi(state_.Line());
}

void ReadingPart::SetShowEarab(bool on) {
    if (showEarab_ == on) return;
    showEarab_ = on;
    pageTag_.clear();
}

void ReadingPart::Set_Objects() {
    // the sliders follow the owner's line without telling it again
    {
        const QSignalBlocker quiet(c_.line), quietPage(c_.page);
        c_.line->setValue(Q114.GlobalAyeh());
        c_.page->setValue(Q114.Page());
    }
    c_.surah->SetNumber(QString::number(Q114.Soreh()));
    c_.ayah->SetNumber(QString::number(Q114.Ayeh()));
    c_.pageBox->SetNumber(QString::number(Q114.Page()));
    c_.juz->SetNumber(QString::number(Q114.Joze()));
    c_.surah->SetTag(QString::number(Q114.SorehCount()));
    c_.ayah->SetTag(QString::number(Q114.TotalAyat()));
    c_.pageBox->SetTag(QString::number(Q114.PageCount()));
    c_.juz->SetTag(QString::number(Q114.JozeCount()));
}

void ReadingPart::Set_Quran(int16_t page) {
    auto key = ReadNumber(FromQ(QStringLiteral("0") + pageTag_));
    if (key && static_cast<int>(*key) == page) return;
    pageTag_ = QString::number(page);
    if (page < 1 || page >= static_cast<int>(pageStarts_.size())) return;
    const int16_t first = pageStarts_[page - 1];
    const int16_t last = static_cast<int16_t>(pageStarts_[page] - 1);
    ShowPageCaption();
    const ReaderChoices& c = choices_.Get();
    panes_.Write(PaneId::Page,
                 ToQ(c.mushafView ? views::MushafPageDocument(Q114, marks_, first, last, showEarab_, backColorHex_, c.uthmani)
                                  : views::PageDocument(Q114, first, last, showEarab_, backColorHex_, c.uthmani)));
    emit PageWritten();
}

void ReadingPart::Set_Ayeh(int16_t line) {
    using namespace views;
    const QString id = ToQ(LineId(line));
    panes_.ReplaceClass(PaneId::Page, QString(), ToQ(kLineMarkedClass), ToQ(kLineClass));
    panes_.ReplaceClass(PaneId::Page, QString(), ToQ(kBesmMarkedClass), ToQ(kBesmClass));
    panes_.ReplaceClass(PaneId::Page, id, ToQ(kLineClass), ToQ(kLineMarkedClass));
    panes_.ReplaceClass(PaneId::Page, id, ToQ(kBesmClass), ToQ(kBesmMarkedClass));
    // the mushaf page keeps its head in view while the marked ayah is shown
    if (scrollOnSelect_ && choices_->mushafView) panes_.ScrollIntoView(PaneId::Page, {id}, true);
    else if (scrollOnSelect_) panes_.ScrollIntoView(PaneId::Page, {ToQ(LineId(line - 1)), id});
}

void ReadingPart::Set_Farsi(int16_t line) {
    views::Translation t = views::TranslationDocument(Q114, line, backColorHex_);
    c_.translationCaption->setText(ToQ(t.caption));
    if (!choices_->pageTranslation) {
        translatedPage_ = -1;
        panes_.Write(PaneId::Translation, ToQ(t.document));
        return;
    }
    // the page's translation is written once a page; a move within it moves the mark
    using namespace views;
    const int16_t page = Q114.LineAt(line).page;
    const QString id = ToQ(TranslationLineId(line));
    if (page != translatedPage_) {
        translatedPage_ = page;
        panes_.Write(PaneId::Translation, ToQ(PageTranslationDocument(Q114, pageStarts_[page - 1],
                                                                     static_cast<int16_t>(pageStarts_[page] - 1), line,
                                                                     backColorHex_)));
    } else {
        panes_.ReplaceClass(PaneId::Translation, QString(), ToQ(kTranslationMarkedClass), ToQ(kTranslationLineClass));
        panes_.ReplaceClass(PaneId::Translation, id, ToQ(kTranslationLineClass), ToQ(kTranslationMarkedClass));
    }
    panes_.ScrollIntoView(PaneId::Translation, {id}, true);
}

void ReadingPart::Set_Help(const std::vector<views::HelpKey>& keys) {
    auto bytes = services_.tables.Lookup("Help", 1);
    if (!bytes) throw ModelError("resource not found", "Help");
    Text help = Utf16LE(*bytes);
    if (!help.empty()) help.erase(0, 1);
    panes_.Write(PaneId::Help, ToQ(views::HelpPage(help, keys)));
}

void ReadingPart::AddCaption(std::function<QString()> note) { captions_.push_back(std::move(note)); }

void ReadingPart::ShowPageCaption() {
    const int16_t line = state_.Line();
    QString caption = ToQ(views::PageCaption(line < 0 ? int16_t(1) : Q114.LineAt(line).page));
    for (const auto& note : captions_)
        if (const QString said = note(); !said.isEmpty()) caption += QStringLiteral("   |   ") + said;
    c_.pageCaption->setText(caption);
}

// ---- the surah index ------------------------------------------------------------

void ReadingPart::Show_Soreh(const Text& filter) {
    panes_.Write(PaneId::Index, ToQ(views::SorehIndexDocument(Q114, filter, backColorHex_)));
    // the index leaves the model where the design has it: on surah 114
    Q114.GoPosition(Q114.SorehFirstLine(114));
}

void ReadingPart::OpenFirstSurah(const Text& filter) {
    if (auto surah = views::FirstSurahShown(Q114, filter)) DocSoreh_onclick(QStringLiteral("A"), QString::number(*surah));
}

// ---- number boxes and the sliders ---------------------------------------------------

void ReadingPart::NumberBox_Entered(NumberBox* box) {
    try {
        if (box == c_.surah) Q114.GoSoreh(FromQ(c_.surah->text()));
        else if (box == c_.juz) Q114.GoJoze(FromQ(c_.juz->text()));
        else if (box == c_.pageBox) Q114.GoPage(FromQ(c_.pageBox->text()));
        else if (box == c_.ayah) {
            // with no surah number in its box there is nothing to go to
            if (!ReadNumber(FromQ(c_.surah->text()))) return;
            Q114.GoAyehOfSoreh(FromQ(c_.surah->text()), FromQ(c_.ayah->text()));
        }
    } catch (const ModelError&) {
        return;  // the position stays where it was
    }
    state_.MoveTo(Q114.GlobalAyeh(), ReadingState::From::NumberBox);
}

void ReadingPart::TurnPage(int action) {
    // to the first line of the next or the previous page (on the last page
    // forward stays, on the first back goes to its first line)
    const bool next = action == QAbstractSlider::SliderPageStepAdd;
    if (pageStarts_.size() < 2 || (!next && action != QAbstractSlider::SliderPageStepSub)) return;
    const int page = Q114.LineAt(state_.Line()).page;
    const int pages = static_cast<int>(pageStarts_.size()) - 1;
    const int to = std::clamp(next ? page + 1 : page - 1, 1, pages);
    c_.line->setSliderPosition(next && page == pages ? c_.line->value() : pageStarts_[to - 1]);
}

void ReadingPart::hsPage_Change() {
    // the first line of the page the page slider shows
    const int page = c_.page->value();
    if (page >= 1 && page < static_cast<int>(pageStarts_.size()))
        state_.MoveTo(pageStarts_[page - 1], ReadingState::From::PageSlider);
}

// ---- clicks in documents -------------------------------------------------------

namespace {
std::optional<int16_t> LinkNumber(const QString& id) {
    auto v = ReadNumber(FromQ(id));
    if (!v || *v < -32768 || *v > 32767) return std::nullopt;
    return static_cast<int16_t>(RoundHalfEven(*v));
}
}  // namespace

void ReadingPart::DocQuran_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    auto n = LinkNumber(id);
    // a number outside the corpus moves nothing
    if (!n || *n < Q114.MinBound() || *n > Q114.MaxBound()) return;
    state_.MoveTo(*n, ReadingState::From::Page);
}

void ReadingPart::DocSoreh_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    try {
        Q114.GoSoreh(FromQ(id));
    } catch (const ModelError&) {
        return;
    }
    state_.MoveTo(Q114.GlobalAyeh(), ReadingState::From::Index);
}

void ReadingPart::DocSearchResult_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    if (auto n = LinkNumber(id)) state_.MoveTo(*n, ReadingState::From::Results);
}

// ---- the copy and a random ayah -----------------------------------------------------------

void ReadingPart::Copy_Ayeh() {
    // the highlighted line, wherever the index or the result list left the model
    const int16_t line = state_.Line();
    Q114.GoPosition(line);
    Text text = views::CopyText(Q114, line, showEarab_, choices_->uthmani);
    int32_t persian = 1;
    Set_Language(persian, services_.keyboard);
    services_.clipboard.Clear();
    services_.clipboard.SetText(text);
}

void ReadingPart::GoRandomAyeh() {
    using namespace std::chrono;
    auto now = system_clock::now().time_since_epoch();
    auto ofDay = duration_cast<milliseconds>(now).count() % (24LL * 3600 * 1000);
    std::mt19937 rng(static_cast<uint32_t>(ofDay));
    float r = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
    if (r >= 1.0f) r = 0.0f;
    float v = r * static_cast<float>(Q114.MaxBound() - 1) + 1.0f;
    state_.MoveTo(static_cast<int16_t>(std::nearbyint(v)), ReadingState::From::Random);
}

}  // namespace mushaf
