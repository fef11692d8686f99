// The reader's history: every ayah the reader stayed on for ten seconds or
// more, newest first, the last ones kept; listed in the result pane.
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {
constexpr qint64 kStayMs = 10000;
}  // namespace

qint64 frmMain::Now() const { return (clock_ ? clock_->elapsed() : 0) + clockOffset_; }

void frmMain::AdvanceClock(int seconds) {
    clockOffset_ += static_cast<qint64>(seconds) * 1000;
    NoteDwell();
}

void frmMain::StartDwell() {
    if (!clock_) {
        clock_ = std::make_unique<QElapsedTimer>();
        clock_->start();
        dwellTimer_ = new QTimer(this);
        dwellTimer_->setSingleShot(true);
        connect(dwellTimer_, &QTimer::timeout, this, [this] { NoteDwell(); });
    }
    NoteDwell();
    dwellLine_ = state_.Line();
    dwellSince_ = Now();
    dwellNoted_ = false;
    dwellTimer_->start(static_cast<int>(kStayMs));
}

void frmMain::NoteDwell() {
    if (dwellNoted_ || dwellLine_ < 0 || !store_ || Now() - dwellSince_ < kStayMs) return;
    dwellNoted_ = true;
    auto& history = choices_.history;
    history.erase(std::remove(history.begin(), history.end(), dwellLine_), history.end());
    history.insert(history.begin(), dwellLine_);
    if (history.size() > ReaderChoices::kHistoryLength) history.resize(ReaderChoices::kHistoryLength);
    SaveChoices();
}

void frmMain::UpdateNotesOption() {
    const bool shown = !choices_.notes.empty();
    if (optSearchInN->isHidden() != shown) return;
    if (!shown && optSearchInN->isChecked()) optSearchInQ->setChecked(true);
    optSearchInN->setVisible(shown);
    // three to a row: the translation's option says only "translation"
    optSearchInT->setText(shown ? QStringLiteral("ترجمه") : ToQ(layout::FindControl("optSearchInT")->caption));
    geometry_.SetVisible("optSearchInN", shown);
    geometry_.OptionRowRule();
    ApplyGeometry();
}

void frmMain::ShowHistory() {
    if (!Q114) return;
    NoteDwell();
    if (Control("picPanelSearch")->isHidden()) cmdShowSearch_Click();
    // the result pane lists the history as it lists the cards
    showingFish_ = true;
    showingHistory_ = true;
    ShowResultCount(0);
    static_cast<QLabel*>(Control("lblSearchResult"))
        ->setText(QStringLiteral("تاريخچه: %1").arg(choices_.history.size()));
    wbrSearchResult->Write(ToQ(views::HistoryDocument(*Q114, choices_.history, BackColorHex)));
}

}  // namespace mushaf
