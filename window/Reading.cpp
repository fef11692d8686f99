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
#include "window/PaneScripts.h"
#include "window/Panes.h"

namespace mushaf {

ReadingPart::ReadingPart(ReadingState& state, cQ114& model, Panes& panes, const KeptChoices& choices, Services services,
                         Controls controls, QObject* parent)
    : QObject(parent), state_(state), Q114(model), panes_(panes), choices_(choices), services_(services), c_(controls) {
    // the first to hear a move: the page is drawn before the other parts follow it
    connect(&state_, &ReadingState::Moved, this, &ReadingPart::Moved);
    // a pane that grows wide enough for two pages, or no longer is
    panes_.OnResize(PaneId::Page, [this] {
        if (state_.Line() >= 0 && SpreadFits() != spread_) Redraw();
    });
}

namespace {
// Two readable pages side by side need a pane this wide, and this much
// wider than it is tall (a printed page is about 1.45 times as tall as wide).
constexpr int kSpreadWidth = 900;
constexpr double kSpreadAspect = 1.2;
}  // namespace

bool ReadingPart::SpreadFits() const {
    const QSize size = panes_.Size(PaneId::Page);
    return choices_->mushafView && choices_->spread && size.width() >= kSpreadWidth &&
           size.width() >= kSpreadAspect * size.height();
}

std::pair<int16_t, int16_t> ReadingPart::LinesOf(int page) const {
    return {pageStarts_[page - 1], static_cast<int16_t>(pageStarts_[page] - 1)};
}

// ---- the load ------------------------------------------------------------------

void ReadingPart::Load(uint32_t buttonFace, const std::vector<views::HelpKey>& keys) {
    backColorHex_ = views::BackColorHex(buttonFace);
    shellDocument_ = views::ShellDocument(backColorHex_);
    marks_ = LoadMushafMarks(services_.tables);
    pageStarts_ = views::PageStartList(LoadTable(services_.tables, "PageUnic"), static_cast<int16_t>(Q114.LineCount()));
    scrollOnSelect_ = true;
    c_.line->setMaximum(Q114.MaxBound());
    // the panes' first documents: the shell, and in the help and index panes theirs
    for (PaneId pane : {PaneId::Page, PaneId::Translation, PaneId::Results, PaneId::Tools})
        panes_.SetWriter(pane, [this, pane] { panes_.Write(pane, ToQ(shellDocument_)); });
    panes_.SetWriter(PaneId::Help, [this, keys] {
        panes_.Write(PaneId::Help, ToQ(shellDocument_));
        Set_Help(keys);
    });
    panes_.SetWriter(PaneId::Index, [this] {
        panes_.Write(PaneId::Index, ToQ(shellDocument_));
        Show_Soreh(Text());
    });
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
    const int pages = static_cast<int>(pageStarts_.size()) - 1;
    // a spread opens at its odd page, on the right: pages 1 and 2 together
    const bool spread = SpreadFits() && pages > 1;
    const int16_t key = spread ? static_cast<int16_t>(std::min(page - (page + 1) % 2, pages - 1)) : page;
    if (ReadNumber(FromQ(QStringLiteral("0") + pageTag_)) == static_cast<double>(key) && spread == spread_) return;
    pageTag_ = QString::number(key);
    spread_ = spread;
    if (page < 1 || page > pages) return;
    shown_ = spread ? std::vector<int16_t>{key, static_cast<int16_t>(key + 1)} : std::vector<int16_t>{page};
    ShowPageCaption();
    const ReaderChoices& c = choices_.Get();
    const auto [first, last] = LinesOf(key);
    QString document;
    if (spread) document = ToQ(views::MushafSpreadDocument(Q114, marks_, LinesOf(key), LinesOf(key + 1), showEarab_,
                                                           backColorHex_, c.uthmani));
    else if (c.mushafView) document = ToQ(views::MushafPageDocument(Q114, marks_, first, last, showEarab_, backColorHex_, c.uthmani));
    else document = ToQ(views::PageDocument(Q114, first, last, showEarab_, backColorHex_, c.uthmani));
    panes_.Write(PaneId::Page, document);
    // the mushaf page sized to the pane, in the same script as its writing
    if (c.mushafView)
        panes_.Evaluate(PaneId::Page, QString::fromLatin1(pane_scripts::kFitScript).arg(panes_.Zoom(PaneId::Page)),
                        [](const QVariant&) {});
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
    const views::TranslationsLook look = translationLook_ ? translationLook_() : views::TranslationsLook{};
    views::Translation t = views::TranslationDocument(Q114, line, backColorHex_, look);
    c_.translationCaption->setText(ToQ(t.caption));
    if (!choices_->pageTranslation) {
        translatedPage_ = -1;
        panes_.Write(PaneId::Translation, ToQ(t.document));
        emit TranslationWritten(line, line);
        return;
    }
    // the page's translation is written once a page; a move within it moves the mark
    using namespace views;
    const int16_t page = Q114.LineAt(line).page;
    const QString id = ToQ(TranslationLineId(line));
    if (page != translatedPage_) {
        translatedPage_ = page;
        const int16_t first = pageStarts_[page - 1], last = static_cast<int16_t>(pageStarts_[page] - 1);
        panes_.Write(PaneId::Translation, ToQ(PageTranslationDocument(Q114, first, last, line, backColorHex_, look)));
        emit TranslationWritten(first, last);
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
    // forward stays, on the first back goes to its first line); a spread at
    // a time where two pages show
    const bool next = action == QAbstractSlider::SliderPageStepAdd;
    if (pageStarts_.size() < 2 || (!next && action != QAbstractSlider::SliderPageStepSub)) return;
    const int page = Q114.LineAt(state_.Line()).page;
    const int pages = static_cast<int>(pageStarts_.size()) - 1;
    const int step = spread_ ? 2 : 1;
    const int from = spread_ ? page - (page + 1) % 2 : page;
    const int to = std::clamp(next ? from + step : from - step, 1, pages);
    c_.line->setSliderPosition(next && from + step > pages ? c_.line->value() : pageStarts_[to - 1]);
}

void ReadingPart::TurnBy(int pages, ReadingState::From from) {
    const int page = Q114.LineAt(state_.Line()).page;
    const int last = static_cast<int>(pageStarts_.size()) - 1;
    const int at = spread_ ? page - (page + 1) % 2 : page;
    const int to = at + pages * (spread_ ? 2 : 1);
    if (to < 1 || to > last) return;
    state_.MoveTo(pageStarts_[to - 1], from);
}

bool ReadingPart::PageKey(int key) {
    using From = ReadingState::From;
    const int16_t line = state_.Line();
    if (line < 0) return false;
    const auto [first, last] = LinesOf(Q114.LineAt(line).page);
    switch (key) {
    case Qt::Key_Left: TurnBy(1, From::PageKeys); return true;  // the book is read right to left
    case Qt::Key_Right: TurnBy(-1, From::PageKeys); return true;
    case Qt::Key_Down: state_.MoveTo(line + 1, From::PageKeys); return true;
    case Qt::Key_Up: state_.MoveTo(line - 1, From::PageKeys); return true;
    case Qt::Key_Home: state_.MoveTo(first, From::PageKeys); return true;
    case Qt::Key_End: state_.MoveTo(last, From::PageKeys); return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        // the pane scrolls while it can; at its end the page turns
        const int way = key == Qt::Key_PageDown ? 1 : -1;
        panes_.Evaluate(PaneId::Page,
                        QStringLiteral("(function(){var y=scrollY;scrollBy(0,%1*innerHeight*0.9);return scrollY!==y;})()").arg(way),
                        [this, way, line](const QVariant& moved) {
                            if (!moved.toBool() && state_.Line() == line) TurnBy(way, From::PageKeys);
                        });
        return true;
    }
    default: return false;
    }
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
