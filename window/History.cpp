// The reader's history: every ayah the reader stayed on for ten seconds or
// more, newest first, the last ones kept; listed in the result pane.
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "window/Dialogs.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {
constexpr qint64 kStayMs = 10000, kPageReadMs = 30000;
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
    if (Q114 && Q114->Page() != pageDwell_) {
        pageDwell_ = Q114->Page();
        pageSince_ = Now();
        pageNoted_ = false;
        QTimer::singleShot(static_cast<int>(kPageReadMs), this, [this, page = pageDwell_, since = pageSince_] {
            if (page == pageDwell_ && since == pageSince_) NoteDwell();
        });
    }
}

void frmMain::NoteDwell() {
    // a page on screen long enough is read, for the khatmah plan
    if (!pageNoted_ && pageDwell_ > 0 && choices_.khatmah && Now() - pageSince_ >= kPageReadMs) {
        pageNoted_ = true;
        if (choices_.khatmah->seen.insert(pageDwell_).second) {
            SaveChoices();
            lblPage->setText(PageCaption(pageDwell_));
        }
    }
    if (dwellNoted_ || dwellLine_ < 0 || !store_ || Now() - dwellSince_ < kStayMs) return;
    dwellNoted_ = true;
    auto& history = choices_.history;
    history.erase(std::remove(history.begin(), history.end(), dwellLine_), history.end());
    history.insert(history.begin(), dwellLine_);
    if (history.size() > ReaderChoices::kHistoryLength) history.resize(ReaderChoices::kHistoryLength);
    SaveChoices();
}

void frmMain::ShowPageCaption() {
    if (Q114) lblPage->setText(PageCaption(Q114->Page()));
}

QString frmMain::PageCaption(int16_t page) const {
    QString caption = ToQ(views::PageCaption(page));
    if (sound_ != Sound::Stopped && !recitationNotice_.isEmpty()) caption += QStringLiteral("   |   ") + recitationNotice_;
    if (!choices_.khatmah) return caption;
    const auto today = KhatmahToday();
    if (!today) return caption + QStringLiteral("   |   ختم: روزهای برنامه به پایان رسید");
    return caption + QStringLiteral("   |   ختم امروز: %1، %2 از %3 خوانده شد")
                         .arg(ToQ(PortionText(*today)), ToQ(IsolatedNumber(choices_.khatmah->SeenOf(*today))),
                              ToQ(IsolatedNumber(today->count)));
}

std::optional<KhatmahPlan::Portion> frmMain::KhatmahToday() const {
    if (!choices_.khatmah) return std::nullopt;
    const QDate began = QDate::fromString(QString::fromStdString(choices_.khatmah->began), Qt::ISODate);
    const qint64 day = began.isValid() ? std::max<qint64>(0, began.daysTo(today_)) : 0;
    return choices_.khatmah->PortionOf(static_cast<int>(std::min<qint64>(day, KhatmahPlan::kMostDays)));
}

void frmMain::SetKhatmah(int days, int startPage) {
    if (!KhatmahPlan::Sound(days, startPage)) {
        ShowMessage(QStringLiteral("برنامه ختم: روزها از ۱ تا ۳۶۵ و صفحه از ۱ تا ۶۰۴"));
        return;
    }
    KhatmahPlan plan;
    plan.days = days;
    plan.startPage = startPage;
    plan.began = today_.toString(Qt::ISODate).toStdString();
    choices_.khatmah = plan;
    SaveChoices();
    ShowPageCaption();
}

void frmMain::EndKhatmah() {
    choices_.khatmah.reset();
    SaveChoices();
    ShowPageCaption();
}

void frmMain::KhatmahDialog() {
    if (!Q114) return;
    if (choices_.khatmah) {
        if (Ask(QStringLiteral("برنامهٔ ختم پایان یابد؟"))) EndKhatmah();
        return;
    }
    if (!interactive_) return;
    // from the page on screen when the dialog opens
    const auto plan = dialogs::AskNumbers(DialogLooks(QStringLiteral("برنامهٔ ختم")),
                                          QStringLiteral("ختم قرآن در چند روز و از کدام صفحه؟"),
                                          {{QStringLiteral("روزها"), 30, 1, KhatmahPlan::kMostDays},
                                           {QStringLiteral("از صفحهٔ"), Q114->Page(), 1, KhatmahPlan::kPages}});
    if (plan) SetKhatmah((*plan)[0], (*plan)[1]);
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
    listing_ = Listing::History;
    ShowResultCount(0);
    static_cast<QLabel*>(Control("lblSearchResult"))
        ->setText(QStringLiteral("تاریخچه: %1").arg(ToQ(PersianDecimal(static_cast<long long>(choices_.history.size())))));
    wbrSearchResult->Write(ToQ(views::HistoryDocument(*Q114, choices_.history, BackColorHex)));
}

}  // namespace mushaf
