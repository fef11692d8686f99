#include "window/PlayerBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "model/Text.h"
#include "platform/qt/QtServices.h"
#include "window/KeptChoices.h"
#include "window/Recitation.h"

namespace mushaf {

namespace {

QString Persian(long long n) { return ToQ(PersianDecimal(n)); }

const QString kPause = QStringLiteral("\u275A\u275A"), kPlay = QStringLiteral("\u25B6");

// 1.25 as a reader writes it: Persian digits and the Persian decimal point
QString SpeedText(int percent) {
    QString text = Persian(percent / 100);
    if (const int rest = percent % 100) {
        QString fraction = Persian(rest).rightJustified(2, QChar(0x06F0));
        while (fraction.endsWith(QChar(0x06F0))) fraction.chop(1);
        text += QChar(0x066B) + fraction;
    }
    return text;
}

}  // namespace

PlayerBar::PlayerBar(RecitationPart& recitation, const cQ114& model, const KeptChoices& choices, QWidget* pane)
    : QFrame(pane), recitation_(recitation), Q114(model), choices_(choices) {
    setObjectName("picPlayerBar");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setLayoutDirection(Qt::RightToLeft);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    // signs drawn in the text's colour, by day and at night
    auto button = [this, row](const char* name, const QString& sign, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(sign);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoRaise(true);
        row->addWidget(b);
        return b;
    };
    playPause_ = button("cmdPlayerPlay", kPause, QStringLiteral("مکث"));
    stop_ = button("cmdPlayerStop", QStringLiteral("\u25A0"), QStringLiteral("پایان تلاوت"));
    connect(playPause_, &QToolButton::clicked, &recitation_, &RecitationPart::PlayOrPause);
    connect(stop_, &QToolButton::clicked, &recitation_, &RecitationPart::Stop);
    for (QLabel** label : {&reciter_, &ayah_, &repeat_, &speed_}) {
        *label = new QLabel(this);
        row->addSpacing(12);
        row->addWidget(*label);
    }
    reciter_->setObjectName("lblPlayerReciter");
    ayah_->setObjectName("lblPlayerAyah");
    repeat_->setObjectName("lblPlayerRepeat");
    speed_->setObjectName("lblPlayerSpeed");
    row->addStretch(1);
    pane->installEventFilter(this);
    connect(&recitation_, &RecitationPart::Changed, this, &PlayerBar::Update);
    connect(&choices_, &KeptChoices::Changed, this, &PlayerBar::Update);
    hide();
}

QString PlayerBar::AyahText(int16_t line) const {
    const cQ114::Line& at = Q114.LineAt(line);
    const QString surah = QStringLiteral("سورهٔ ") + ToQ(Q114.SorehNameOf(at.soreh));
    return at.ayeh == 0 ? surah + QStringLiteral("، بسم‌الله") : surah + QStringLiteral("، آیهٔ ") + Persian(at.ayeh);
}

QString PlayerBar::RepeatText() const {
    const RecitationPart::State now = recitation_.Now();
    if (const auto& range = choices_->range) {
        const QString rounds = range->times == 0 ? QStringLiteral("تکرار بازه بی‌پایان")
                                                 : QStringLiteral("تکرار بازه: %1 دور دیگر").arg(Persian(range->times - now.round - 1));
        if (range->each == 1) return rounds;
        return rounds + QStringLiteral("، این آیه %1 بار دیگر").arg(Persian(range->each - now.played - 1));
    }
    const int repeat = choices_->repeat;
    if (repeat == 1) return QString();
    if (repeat == 0) return QStringLiteral("تکرار بی‌پایان");
    return QStringLiteral("تکرار: %1 بار دیگر").arg(Persian(repeat - now.played - 1));
}

void PlayerBar::Update() {
    const RecitationPart::State now = recitation_.Now();
    const bool on = now.playing || now.paused;
    if (on) {
        playPause_->setText(now.playing ? kPause : kPlay);
        const QString tip = now.playing ? QStringLiteral("مکث") : QStringLiteral("ادامهٔ تلاوت");
        playPause_->setToolTip(tip);
        playPause_->setAccessibleName(tip);
        reciter_->setText(QStringLiteral("قاری: ") + now.reciter);
        ayah_->setText(now.line >= 0 ? AyahText(now.line) : QString());
        repeat_->setText(RepeatText());
        repeat_->setVisible(!repeat_->text().isEmpty());
        speed_->setText(QStringLiteral("سرعت %1 برابر").arg(SpeedText(choices_->speed)));
    }
    if (on == isVisible()) return;
    setVisible(on);
    if (on) {
        Place();
        raise();
    }
}

void PlayerBar::Place() {
    const QWidget* pane = parentWidget();
    const int height = sizeHint().height();
    setGeometry(0, pane->height() - height, pane->width(), height);
}

bool PlayerBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) Place();
    return QFrame::eventFilter(watched, event);
}

PlayerBar::Shown PlayerBar::Now() const {
    return {isVisible(), recitation_.Now().playing, reciter_->text(), ayah_->text(),
            repeat_->isVisible() ? repeat_->text() : QString(), speed_->text()};
}

}  // namespace mushaf
