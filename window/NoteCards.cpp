// Note cards and their list, the exports of the cards and of the search
// results.
#include "window/NoteCards.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Styles.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"
#include "window/Panes.h"
#include "window/Reading.h"
#include "window/Search.h"

namespace mushaf {

NoteCardsPart::NoteCardsPart(const ReadingState& state, cQ114& model, Panes& panes, KeptChoices& choices,
                             MessageLine& messages, const ReadingPart& reading, SearchPart& search,
                             std::filesystem::path exportFolder, QObject* parent)
    : QObject(parent), state_(state), Q114(model), panes_(panes), choices_(choices), messages_(messages),
      reading_(reading), search_(search), exportFolder_(std::move(exportFolder)) {
    Q114.ExportFolder = exportFolder_;
    // a card's line marked on the page, a card with a note apart
    panes_.AddStyle(PaneId::Page, [this] { return views::NoteCardRule(views::FishLines(Q114), NotedLines()); });
}

void NoteCardsPart::Load() { Q114.FishList(ChoiceStore::CardText(choices_->noteCards)); }

std::vector<Command> NoteCardsPart::Commands() {
    using K = QKeySequence;
    using namespace menus;
    return {
        {.name = "mnuFish", .text = QStringLiteral("افزودن به یادداشت‌ها یا برداشتن"),
         .help = QStringLiteral("افزودن آیهٔ جاری به یادداشت‌ها یا برداشتن آن"), .keys = {K(Qt::CTRL | Qt::Key_D)},
         .run = [this] { ToggleFish(); }},
        {.name = "mnuFishNote", .text = QStringLiteral("یادداشت آیه"),
         .help = QStringLiteral("نوشتن یادداشتی برای آیهٔ جاری"), .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_D)},
         .run = [this] { EditNote(); }},
        {.name = "mnuShowFish", .text = QStringLiteral("یادداشت‌ها"),
         .help = QStringLiteral("فهرست یادداشت‌ها در صفحهٔ جستجو"), .keys = {K(Qt::Key_F6)},
         .run = [this] { ShowFish(); }, .menu = {kStudy}},
        {.name = "mnuExportFish", .text = QStringLiteral("صدور یادداشت‌ها"), .run = [this] { ExportList(true); },
         .menu = {kExport}},
        {.name = "mnuExportSearch", .text = QStringLiteral("صدور نتایج جستجو"), .run = [this] { ExportList(false); },
         .menu = {kExport}},
    };
}

void NoteCardsPart::ToggleFish() {
    const int16_t line = state_.Line();
    const auto note = choices_->notes.find(line);
    const bool dropsNote = Q114.FishIsExist(line) > 0 && note != choices_->notes.end();  // notes are never empty
    if (dropsNote &&
        !messages_.Ask(QStringLiteral("یادداشت این آیه هم پاک شود؟\n\n%1").arg(ToQ(note->second).left(200))))
        return;
    try {
        if (Q114.FishIsExist(line) > 0) Q114.FishRemove(line);
        else Q114.FishAdder(line);
    } catch (const ModelError& e) {
        messages_.Say(QStringLiteral("یادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    const bool off = Q114.FishIsExist(line) <= 0;
    CardsChanged([&](ReaderChoices& c) {
        if (off) c.notes.erase(line);
    });
}

void NoteCardsPart::CardsChanged(const std::function<void(ReaderChoices&)>& also) {
    // the cards and what changed with them, kept as one
    choices_.Change([&](ReaderChoices& c) {
        also(c);
        c.noteCards = choices_.Store().SoundCards(Q114.FishList());
    });
    panes_.Restyle(PaneId::Page);
    search_.UpdateNotesOption();
    if (search_.Listed() == SearchPart::Listing::Cards) ShowFish(true);
}

void NoteCardsPart::SetNote(int16_t line, const QString& note) {
    if (Q114.FishIsExist(line) <= 0) {
        try {
            Q114.FishAdder(line);
        } catch (const ModelError& e) {
            messages_.Say(QStringLiteral("یادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
            return;
        }
    }
    CardsChanged([&](ReaderChoices& c) {
        if (note.trimmed().isEmpty()) c.notes.erase(line);
        else c.notes[line] = FromQ(note);
    });
}

void NoteCardsPart::EditNote() {
    if (!messages_.Interactive()) return;
    // the ayah the dialog opens on, wherever the reader (or the voice) goes meanwhile
    const int16_t line = state_.Line();
    const auto now = choices_->notes.find(line);
    const cQ114::Line& at = Q114.LineAt(line);
    const QString ayah = QStringLiteral("سورهٔ %1، آیهٔ %2\n\n%3")
                             .arg(ToQ(WithoutNul(Q114.SorehNameOf(at.soreh))), ToQ(PersianDecimal(at.ayeh)),
                                  ToQ(WithoutNul(views::ShownArabicAt(Q114, line, reading_.ShowEarab(), choices_->uthmani))));
    if (auto note = dialogs::AskText(messages_.Looks(QStringLiteral("یادداشت آیه")), ayah,
                                     now == choices_->notes.end() ? QString() : ToQ(now->second)))
        SetNote(line, *note);
}

std::vector<int16_t> NoteCardsPart::NotedLines() const {
    std::vector<int16_t> lines;
    for (const auto& [line, note] : choices_->notes) lines.push_back(line);
    return lines;
}

void NoteCardsPart::ShowFish(bool keepPlace) {
    const auto cards = views::FishLines(Q114);
    search_.ShowList(SearchPart::Listing::Cards,
                     QStringLiteral("یادداشت‌ها: %1").arg(ToQ(PersianDecimal(static_cast<long long>(cards.size())))),
                     ToQ(views::FishListDocument(Q114, reading_.BackColorHex(), choices_->notes)), keepPlace);
}

void NoteCardsPart::ExportList(bool fish) {
    const bool empty = fish ? views::FishLines(Q114).empty() : !search_.SearchListed() || Q114.FoundList().empty();
    if (empty) {
        messages_.Say(fish ? QStringLiteral("یادداشتی برای صدور نیست.") : QStringLiteral("نتیجهٔ جستجویی برای صدور نیست."));
        return;
    }
    std::filesystem::path written;
    try {
        if (fish) {
            if (auto out = Q114.GetOutputOfFish(reading_.ShowEarab(), choices_->notes)) written = out->file;
        } else {
            written = Q114.WriteExport(Q114.GetOutputOfSearch(reading_.ShowEarab()));
        }
    } catch (const ModelError& e) {
        std::error_code ec;
        const QString reason = std::filesystem::exists(exportFolder_, ec) && !std::filesystem::is_directory(exportFolder_, ec)
                                   ? QStringLiteral("به جای پوشه، فایلی با این نام هست")
                                   : QStringLiteral("نوشتن ممکن نشد (%1)").arg(QString::fromUtf8(e.what()));
        messages_.Say(
            QStringLiteral("صدور در %1 انجام نشد: %2").arg(Isolated(QString::fromStdString(exportFolder_.string())), reason));
        return;
    }
    const QString path = QString::fromStdString(written.string());
    exported_ << path;
    // the file opens in the reader's browser; the message says where it is
    messages_.Say(QStringLiteral("%1 در این فایل نوشته شد: %2")
                      .arg(fish ? QStringLiteral("یادداشت‌ها") : QStringLiteral("نتایج جستجو"), Isolated(path)),
                  false);
    if (messages_.Interactive()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace mushaf
