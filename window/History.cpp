#include "window/History.h"

#include <QTimer>
#include <algorithm>

#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "window/Clock.h"
#include "window/KeptChoices.h"
#include "window/Reading.h"
#include "window/Search.h"

namespace mushaf {

HistoryPart::HistoryPart(const ReadingState& state, const cQ114& model, KeptChoices& choices, Clock& clock,
                         SearchPart& search, const ReadingPart& reading, QObject* parent)
    : QObject(parent), state_(state), Q114(model), choices_(choices), clock_(clock), search_(search), reading_(reading) {
    dwellTimer_ = new QTimer(this);
    dwellTimer_->setSingleShot(true);
    connect(dwellTimer_, &QTimer::timeout, this, &HistoryPart::NoteDwell);
    connect(&state_, &ReadingState::Moved, this, &HistoryPart::StartDwell);
    connect(&clock_, &Clock::Advanced, this, &HistoryPart::NoteDwell);
}

std::vector<Command> HistoryPart::Commands() {
    return {{.name = "mnuHistory", .text = QStringLiteral("تاریخچه"),
             .help = QStringLiteral("آیه‌هایی که خوانده‌اید، تازه‌ترین در بالا"), .keys = {QKeySequence(Qt::CTRL | Qt::Key_Y)},
             .run = [this] { ShowHistory(); }, .menu = {menus::kStudy}}};
}

void HistoryPart::StartDwell() {
    NoteDwell();
    dwellLine_ = state_.Line();
    dwellSince_ = clock_.Now();
    dwellNoted_ = false;
    dwellTimer_->start(static_cast<int>(kStayMs));
}

void HistoryPart::NoteDwell() {
    if (dwellNoted_ || dwellLine_ < 0 || clock_.Now() - dwellSince_ < kStayMs) return;
    dwellNoted_ = true;
    // from reading alone: kept within a second, with whatever else changed
    choices_.ChangeSoon([line = dwellLine_](ReaderChoices& c) {
        auto& history = c.history;
        history.erase(std::remove(history.begin(), history.end(), line), history.end());
        history.insert(history.begin(), line);
        if (history.size() > ReaderChoices::kHistoryLength) history.resize(ReaderChoices::kHistoryLength);
    });
}

void HistoryPart::ShowHistory() {
    NoteDwell();
    // the result pane lists the history as it lists the cards
    const auto& history = choices_->history;
    search_.ShowList(SearchPart::Listing::History,
                     QStringLiteral("تاریخچه: %1").arg(ToQ(PersianDecimal(static_cast<long long>(history.size())))),
                     ToQ(views::HistoryDocument(Q114, history, reading_.BackColorHex())));
}

}  // namespace mushaf
