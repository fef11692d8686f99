// A range said over and over, for memorising: from one ayah to another, the
// whole some times, each ayah some times within it, a pause before each
// repeat.
#include <QTimer>
#include <algorithm>

#include "platform/qt/QtServices.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"
#include "window/Recitation.h"

namespace mushaf {

int RecitationPart::EachTimes() const { return choices_->range ? choices_->range->each : choices_->repeat; }

int RecitationPart::PauseMs() const { return choices_->range ? choices_->range->pause * 1000 : 0; }

bool RecitationPart::AnotherRound() const {
    const auto& range = choices_->range;
    return range && (range->times == 0 || round_ + 1 < range->times);
}

void RecitationPart::AfterPause(std::function<void()> then) {
    if (PauseMs() == 0) return then();
    QTimer::singleShot(PauseMs(), this, [this, then = std::move(then), waiting = ++waiting_] {
        if (waiting != waiting_ || sound_ == Sound::Stopped) return;
        if (sound_ == Sound::Paused) onResume_ = then;
        else then();
    });
}

void RecitationPart::SetRange(std::optional<ReaderChoices::Range> range) {
    choices_.Change([&](ReaderChoices& c) { c.range = range; });
    if (sound_ == Sound::Stopped) return;
    Stop();
    PlayOrPause();
}

int16_t RecitationPart::LineOf(int surah, int ayah) const {
    const auto s = static_cast<int16_t>(std::clamp(surah, 1, static_cast<int>(Q114.SorehCount())));
    const int16_t first = Q114.SorehFirstLine(s);
    // a surah's lines begin with its Bismillah (ayah 0) where it has one
    const int a = std::clamp(ayah, 1, static_cast<int>(Q114.TotalAyatOf(s)));
    return static_cast<int16_t>(first + a - Q114.LineAt(first).ayeh);
}

ReaderChoices::Range RecitationPart::RangeOf(int fromSurah, int fromAyah, int toSurah, int toAyah, int times, int each,
                                             int pause) const {
    using Range = ReaderChoices::Range;
    int16_t from = LineOf(fromSurah, fromAyah), to = LineOf(toSurah, toAyah);
    if (from > to) std::swap(from, to);
    return Range{from, to, std::clamp(times, 0, Range::kMostTimes), std::clamp(each, 1, Range::kMostEach),
                 std::clamp(pause, 0, Range::kLongestPause)};
}

void RecitationPart::AskRange() {
    if (!messages_.Interactive()) return;
    using Range = ReaderChoices::Range;
    // the kept range, or the current ayah to the end of its page
    Range now;
    if (choices_->range) {
        now = *choices_->range;
    } else {
        now.from = std::max<int16_t>(state_.Line(), 0);
        const int page = Q114.LineAt(now.from).page;
        now.to = static_cast<int16_t>(pageStarts_[static_cast<std::size_t>(page)] - 1);
    }
    const auto [fromSurah, fromAyah] = SurahAyahOf(now.from);
    const auto [toSurah, toAyah] = SurahAyahOf(now.to);
    const int surahs = Q114.SorehCount();
    const auto asked = dialogs::AskNumbers(
        messages_.Looks(QStringLiteral("تکرار بازه")), QStringLiteral("کدام آیه‌ها، چند بار؟"),
        {{QStringLiteral("از سورهٔ"), fromSurah, 1, surahs},
         {QStringLiteral("آیهٔ"), std::max(fromAyah, 1), 1, 286},
         {QStringLiteral("تا سورهٔ"), toSurah, 1, surahs},
         {QStringLiteral("آیهٔ"), std::max(toAyah, 1), 1, 286},
         {QStringLiteral("همهٔ بازه، بار (۰: بی‌پایان)"), now.times, 0, Range::kMostTimes},
         {QStringLiteral("هر آیه، بار"), now.each, 1, Range::kMostEach},
         {QStringLiteral("مکث پیش از هر تکرار، ثانیه"), now.pause, 0, Range::kLongestPause}});
    if (!asked) return;
    const std::vector<int>& n = *asked;
    SetRange(RangeOf(n[0], n[1], n[2], n[3], n[4], n[5], n[6]));
}

std::vector<Command> RecitationPart::RangeCommands() {
    using namespace menus;
    return {
        {.name = "mnuRange", .text = QStringLiteral("تکرار بازه…"),
         .help = QStringLiteral("تکرار آیه‌هایی از یک آیه تا آیه‌ای دیگر، برای حفظ"), .run = [this] { AskRange(); },
         .checked = [this] { return choices_->range.has_value(); }, .menu = {kRecitation, kRepeat}, .separatorBefore = true},
        {.name = "mnuRangeOff", .text = QStringLiteral("برداشتن تکرار بازه"), .run = [this] { SetRange(std::nullopt); },
         .menu = {kRecitation, kRepeat}},
    };
}

}  // namespace mushaf
