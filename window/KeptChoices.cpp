#include "window/KeptChoices.h"

#include <QTimer>

#include "platform/qt/QtServices.h"

namespace mushaf {

namespace {
// a change from reading alone waits at most this long to be written
constexpr int kSoonMs = 1000;
}  // namespace

KeptChoices::KeptChoices(Settings& settings, QObject* parent) : QObject(parent), settings_(settings) {
    soon_ = new QTimer(this);
    soon_->setSingleShot(true);
    connect(soon_, &QTimer::timeout, this, &KeptChoices::Keep);
}

void KeptChoices::Load(int16_t firstLine, int16_t lastLine, std::size_t maxCards) {
    store_.emplace(settings_, firstLine, lastLine, maxCards);
    choices_ = store_->Load();
    // once the window is shown
    QTimer::singleShot(0, this, &KeptChoices::SayTrouble);
}

void KeptChoices::Change(const std::function<void(ReaderChoices&)>& edit) {
    edit(choices_);
    Keep();
}

void KeptChoices::ChangeSoon(const std::function<void(ReaderChoices&)>& edit) {
    edit(choices_);
    if (!soon_->isActive()) soon_->start(kSoonMs);
    emit Changed();
}

void KeptChoices::Flush() {
    if (soon_->isActive()) Keep();
}

void KeptChoices::Keep() {
    soon_->stop();
    if (store_) store_->Save(choices_);
    emit Changed();
    SayTrouble();
}

QString KeptChoices::TroubleText() const {
    const auto trouble = settings_.Trouble();
    if (!trouble) return {};
    QString why;
    switch (trouble->fault) {
    case Settings::Fault::IsAFolder: why = QStringLiteral("به جای فایل، پوشه‌ای با این نام هست"); break;
    case Settings::Fault::CannotRead: why = QStringLiteral("اجازهٔ خواندن آن نیست"); break;
    case Settings::Fault::Damaged: why = QStringLiteral("فایل خراب است"); break;
    case Settings::Fault::CannotMakeFolder: why = QStringLiteral("پوشهٔ آن ساخته نمی‌شود"); break;
    case Settings::Fault::CannotWrite: why = QStringLiteral("اجازهٔ نوشتن در آن نیست"); break;
    }
    const QString file = Isolated(ToQ(trouble->file));
    return trouble->reading ? QStringLiteral("تنظیمات از فایل %1 به‌درستی خوانده نشد: %2. آنچه خوانده نشد پیش‌فرض است و "
                                             "آنچه در این اجرا انتخاب کنید در آن فایل نوشته نمی‌شود.")
                                  .arg(file, why)
                            : QStringLiteral("تنظیمات در فایل %1 نوشته نشد: %2. آنچه در این اجرا انتخاب کنید تا بستن برنامه "
                                             "به کار می‌رود، ولی نگه داشته نمی‌شود.")
                                  .arg(file, why);
}

void KeptChoices::SayTrouble() {
    if (troubleSaid_) return;
    const QString text = TroubleText();
    if (text.isEmpty()) return;
    troubleSaid_ = true;
    emit Troubled(text);
}

}  // namespace mushaf
