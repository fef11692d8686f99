#include "window/Hifz.h"

#include <QKeyEvent>

#include "model/Found.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "window/KeptChoices.h"
#include "window/PaneScripts.h"
#include "window/Panes.h"
#include "window/Reading.h"

namespace mushaf {

HifzPart::HifzPart(ReadingState& state, const cQ114& model, Panes& panes, KeptChoices& choices, const ReadingPart& reading,
                   QObject* parent)
    : QObject(parent), state_(state), Q114(model), panes_(panes), choices_(choices), reading_(reading) {
    panes_.AddStyle(PaneId::Translation, [this]() -> std::u16string {
        return choices_->hifz && choices_->hifzTranslation ? u"body { visibility: hidden !important; }" : u"";
    });
    connect(&reading, &ReadingPart::PageWritten, this, [this] { Apply(true); });
}

std::vector<Command> HifzPart::Commands() {
    using namespace menus;
    return {
        {.name = "mnuHifz", .text = QStringLiteral("حفظ"),
         .help = QStringLiteral("حفظ: متن از آیهٔ جاری پنهان؛ Space واژهٔ بعد، Shift+Space باقی آیه"),
         .keys = {QKeySequence(Qt::CTRL | Qt::Key_H)}, .run = [this] { Toggle(); },
         .checked = [this] { return choices_->hifz; }, .menu = {kStudy}, .separatorBefore = true},
        {.name = "mnuHifzTranslation", .text = QStringLiteral("پنهان کردن ترجمه در حفظ"),
         .run = [this] { ToggleTranslation(); }, .checked = [this] { return choices_->hifzTranslation; },
         .menu = {kStudy}},
    };
}

void HifzPart::Toggle() {
    choices_.Change([](ReaderChoices& c) { c.hifz = !c.hifz; });
    hiddenFrom_ = choices_->hifz ? state_.Line() : -1;
    revealed_ = 0;
    Apply();
    panes_.Restyle(PaneId::Translation);
}

void HifzPart::ToggleTranslation() {
    choices_.Change([](ReaderChoices& c) { c.hifzTranslation = !c.hifzTranslation; });
    panes_.Restyle(PaneId::Translation);
}

void HifzPart::Apply(bool newPage) {
    if (!choices_->hifz) {
        hiddenFrom_ = -1;
        if (newPage) return;  // a new page shows every word as written
    } else if (const int16_t page = Q114.LineAt(state_.Line()).page;
               newPage && (hiddenFrom_ < 0 || Q114.LineAt(hiddenFrom_).page != page)) {
        hiddenFrom_ = reading_.PageStartList()[page - 1];
        revealed_ = 0;
    }
    panes_.Evaluate(PaneId::Page,
                    QString::fromLatin1(pane_scripts::kWordsFunction) +
                        QString::fromLatin1(pane_scripts::kHifzScript).arg(hiddenFrom_).arg(revealed_),
                    [](const QVariant&) {});
}

void HifzPart::RevealWord(bool all) {
    if (!choices_->hifz || hiddenFrom_ < 0) return;
    // the words as the page splits them
    const int words = static_cast<int>(
        WordsOf(views::ShownArabicAt(Q114, hiddenFrom_, reading_.ShowEarab(), choices_->uthmani)).size());
    revealed_ = all ? words : revealed_ + 1;
    if (revealed_ < words) {
        Apply();
        return;
    }
    // the ayah is complete: the next one becomes current and starts hidden
    const int16_t next = static_cast<int16_t>(hiddenFrom_ + 1);
    if (next > Q114.MaxBound()) {
        Apply();
        return;
    }
    hiddenFrom_ = next;
    revealed_ = 0;
    Apply();
    state_.MoveTo(next, ReadingState::From::Recited);
}

bool HifzPart::Key(const QKeyEvent* key) {
    if (!choices_->hifz || key->key() != Qt::Key_Space || !panes_.HasFocus(PaneId::Page) ||
        (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return false;
    RevealWord(key->modifiers() & Qt::ShiftModifier);
    return true;
}

}  // namespace mushaf
