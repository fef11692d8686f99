#include "window/KhatmahPart.h"

#include <QTimer>
#include <algorithm>

#include "platform/qt/QtServices.h"
#include "window/Clock.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"

namespace mushaf {

KhatmahPart::KhatmahPart(const ReadingState& state, const cQ114& model, KeptChoices& choices, Clock& clock,
                         MessageLine& messages, std::function<void()> captionChanged, QObject* parent)
    : QObject(parent), state_(state), Q114(model), choices_(choices), clock_(clock), messages_(messages),
      captionChanged_(std::move(captionChanged)) {
    pageTimer_ = new QTimer(this);
    pageTimer_->setSingleShot(true);
    connect(pageTimer_, &QTimer::timeout, this, &KhatmahPart::NotePage);
    connect(&state_, &ReadingState::Moved, this, &KhatmahPart::StartPage);
    connect(&clock_, &Clock::Advanced, this, &KhatmahPart::NotePage);
    // another day: another portion
    connect(&clock_, &Clock::DayChanged, this, [this] {
        if (Plan()) captionChanged_();
    });
}

std::vector<Command> KhatmahPart::Commands() {
    return {{.name = "mnuKhatmah", .text = QStringLiteral("برنامهٔ ختم"), .run = [this] { Dialog(); },
             .checked = [this] { return Plan().has_value(); }, .menu = {menus::kStudy}}};
}

const std::optional<KhatmahPlan>& KhatmahPart::Plan() const { return choices_->khatmah; }

void KhatmahPart::StartPage() {
    const int16_t page = Q114.LineAt(state_.Line()).page;
    if (page == page_) return;
    NotePage();
    page_ = page;
    since_ = clock_.Now();
    noted_ = false;
    pageTimer_->start(static_cast<int>(kPageReadMs));
}

void KhatmahPart::NotePage() {
    // a page on screen long enough is read, for the plan
    if (noted_ || page_ <= 0 || !Plan() || clock_.Now() - since_ < kPageReadMs) return;
    noted_ = true;
    if (Plan()->seen.count(page_)) return;
    choices_.ChangeSoon([page = page_](ReaderChoices& c) { c.khatmah->seen.insert(page); });
    captionChanged_();
}

std::optional<KhatmahPlan::Portion> KhatmahPart::Today() const {
    if (!Plan()) return std::nullopt;
    const QDate began = QDate::fromString(QString::fromStdString(Plan()->began), Qt::ISODate);
    const qint64 day = began.isValid() ? std::max<qint64>(0, began.daysTo(clock_.Today())) : 0;
    return Plan()->PortionOf(static_cast<int>(std::min<qint64>(day, KhatmahPlan::kMostDays)));
}

QString KhatmahPart::Caption() const {
    if (!Plan()) return {};
    const auto today = Today();
    if (!today) return QStringLiteral("ختم: روزهای برنامه به پایان رسید");
    return QStringLiteral("ختم امروز: %1، %2 از %3 خوانده شد")
        .arg(ToQ(PortionText(*today)), ToQ(IsolatedNumber(Plan()->SeenOf(*today))), ToQ(IsolatedNumber(today->count)));
}

void KhatmahPart::SetKhatmah(int days, int startPage) {
    if (!KhatmahPlan::Sound(days, startPage)) {
        messages_.Say(QStringLiteral("برنامهٔ ختم: روزها از ۱ تا ۳۶۵ و صفحه از ۱ تا ۶۰۴"));
        return;
    }
    KhatmahPlan plan;
    plan.days = days;
    plan.startPage = startPage;
    plan.began = clock_.Today().toString(Qt::ISODate).toStdString();
    choices_.Change([&](ReaderChoices& c) { c.khatmah = plan; });
    captionChanged_();
}

void KhatmahPart::EndKhatmah() {
    choices_.Change([](ReaderChoices& c) { c.khatmah.reset(); });
    captionChanged_();
}

void KhatmahPart::Dialog() {
    if (Plan()) {
        if (messages_.Ask(QStringLiteral("برنامهٔ ختم پایان یابد؟"))) EndKhatmah();
        return;
    }
    if (!messages_.Interactive()) return;
    // from the page on screen when the dialog opens
    const int page = state_.Line() < 0 ? 1 : Q114.LineAt(state_.Line()).page;
    const auto plan = dialogs::AskNumbers(messages_.Looks(QStringLiteral("برنامهٔ ختم")),
                                          QStringLiteral("ختم قرآن در چند روز و از کدام صفحه؟"),
                                          {{QStringLiteral("روزها"), 30, 1, KhatmahPlan::kMostDays},
                                           {QStringLiteral("از صفحهٔ"), page, 1, KhatmahPlan::kPages}});
    if (plan) SetKhatmah((*plan)[0], (*plan)[1]);
}

}  // namespace mushaf
