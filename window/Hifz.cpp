// Memorisation: the page's text hidden from the current ayah on, each word
// in its place; Space shows the next word, Shift+Space the rest of the ayah,
// and a completed ayah makes the next one current.
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "window/PaneScripts.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {
// The words of a line as the page shows them: its runs of non-space.
int WordCount(const Text& text) {
    int n = 0;
    bool inWord = false;
    for (char16_t c : text) {
        const bool space = c == u' ' || c == u'\u00A0' || c == u'\t' || c == u'\n' || c == u'\r';
        if (!space && !inWord) ++n;
        inWord = !space;
    }
    return n;
}
}  // namespace

void frmMain::ToggleHifz() {
    choices_.hifz = !choices_.hifz;
    SaveChoices();
    hiddenFrom_ = choices_.hifz ? state_.Line() : -1;
    revealed_ = 0;
    ApplyHifz();
    ApplyRenderingStyle(wbrFarsi);
}

void frmMain::ToggleHifzTranslation() {
    choices_.hifzTranslation = !choices_.hifzTranslation;
    SaveChoices();
    ApplyRenderingStyle(wbrFarsi);
}

void frmMain::ApplyHifz(bool newPage) {
    if (!Q114) return;
    if (!choices_.hifz) {
        hiddenFrom_ = -1;
        if (newPage) return;  // a new page shows every word as written
    } else if (newPage && (hiddenFrom_ < 0 || Q114->LineAt(hiddenFrom_).page != Q114->Page())) {
        hiddenFrom_ = PageStartList[Q114->Page() - 1];
        revealed_ = 0;
    }
    wbrQuran->Evaluate(QString::fromLatin1(pane_scripts::kHifzScript).arg(hiddenFrom_).arg(revealed_),
                       [](const QVariant&) {});
}

void frmMain::RevealWord(bool all) {
    if (!Q114 || !choices_.hifz || hiddenFrom_ < 0) return;
    const int words = WordCount(views::ShownArabicAt(*Q114, hiddenFrom_, ShowEarab_, choices_.uthmani));
    revealed_ = all ? words : revealed_ + 1;
    if (revealed_ < words) {
        ApplyHifz();
        return;
    }
    // the ayah is complete: the next one becomes current and starts hidden
    const int16_t next = static_cast<int16_t>(hiddenFrom_ + 1);
    if (next > Q114->MaxBound()) {
        ApplyHifz();
        return;
    }
    hiddenFrom_ = next;
    revealed_ = 0;
    ApplyHifz();
    state_.MoveTo(next, ReadingState::From::Recited);
}

}  // namespace mushaf
