// Recordings a reader already has, from a folder or an archive, added to a
// reciter's folder.
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

#include "model/Text.h"
#include "platform/qt/QtServices.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/MessageLine.h"
#include "window/Recitation.h"

namespace mushaf {

namespace {

// A folder's name a reader may give: not empty, no folder of its own in it,
// not hidden.
bool SoundName(const std::u16string& name) {
    return !name.empty() && name.find(u'/') == std::u16string::npos && name.find(u'\0') == std::u16string::npos &&
           name.front() != u'.';
}

QString Persian(long long n) { return ToQ(PersianDecimal(n)); }

}  // namespace

std::filesystem::path RecitationPart::FolderFor(const std::u16string& name) const {
    // the reciter's own folder where there is one of that name, else a new one in the reader's
    const auto known = reciterAt_.find(name);
    return known != reciterAt_.end() ? reciters_[known->second].folder : UserFolder() / ToQ(name).toStdString();
}

void RecitationPart::AddRecordings(const std::u16string& name, const std::filesystem::path& from) {
    const QString shown = Isolated(QString::fromStdString(from.filename().string()));
    if (!SoundName(name)) {
        messages_.Say(QStringLiteral("نام قاری نمی‌تواند تهی باشد، با نقطه آغاز شود یا «/» داشته باشد."));
        return;
    }
    if (!services_.import) {
        messages_.Say(QStringLiteral("افزودن تلاوت در این اجرا ممکن نیست."));
        return;
    }
    const std::filesystem::path into = FolderFor(name);
    lastImport_ = services_.import(from, into, [](const std::string& file) { return IsRecordingName(file); });
    const ImportReport& r = *lastImport_;
    using Failure = ImportReport::Failure;
    if (r.failure != Failure::None) qWarning("recordings: %s", r.detail.c_str());
    if (r.failure == Failure::Unreadable) {
        messages_.Say(QStringLiteral("%1 خوانده نشد یا آسیب دیده است؛ چیزی افزوده نشد.").arg(shown));
        return;
    }
    if (r.failure == Failure::NothingUsable) {
        messages_.Say(QStringLiteral("در %1 فایل تلاوتی با نام شمارهٔ سوره و آیه (مانند %2) نبود؛ چیزی افزوده نشد.")
                          .arg(shown, Isolated(QStringLiteral("001001.mp3"))));
        return;
    }
    if (r.failure == Failure::CannotWrite) {
        messages_.Say(QStringLiteral("فایل‌ها در پوشهٔ قاری نوشته نشد: %1").arg(Isolated(QString::fromStdString(into.string()))));
        return;
    }
    FindAllReciters();
    ChooseReciter(name);
    QString said = QStringLiteral("%1 فایل تلاوت به قاری «%2» افزوده شد").arg(Persian(r.copied), ToQ(name));
    if (r.passedOver > 0) said += QStringLiteral("؛ %1 فایل دیگر کنار گذاشته شد").arg(Persian(r.passedOver));
    messages_.Say(said + QStringLiteral("."));
}

void RecitationPart::AskRecordings(bool archive) {
    if (!messages_.Interactive()) return;
    const dialogs::Looks looks = messages_.Looks(archive ? QStringLiteral("بایگانی تلاوت‌ها") : QStringLiteral("پوشهٔ تلاوت‌ها"));
    // Qt's own dialog, right to left, with Persian words
    QFileDialog pick(looks.parent, looks.title);
    dialogs::DressFileDialog(pick, looks, QStringLiteral("گزینش"), !archive);
    if (archive) pick.setNameFilter(QStringLiteral("بایگانی (*.zip *.tar *.tar.gz *.tgz *.tar.xz *.tar.bz2)"));
    if (pick.exec() != QDialog::Accepted || pick.selectedFiles().isEmpty()) return;
    const QString from = pick.selectedFiles().first();
    const QString guess = QFileInfo(from).completeBaseName().section('.', 0, 0);
    const auto name = dialogs::AskText(messages_.Looks(QStringLiteral("نام قاری")), QStringLiteral("نام قاری:"), guess);
    if (name) AddRecordings(FromQ(name->trimmed()), QFile::encodeName(from).toStdString());
}

void RecitationPart::DownloadRecordings(const std::u16string& name, const QUrl& base, const std::vector<int>& surahs) {
    if (!SoundName(name)) {
        messages_.Say(QStringLiteral("نام قاری نمی‌تواند تهی باشد، با نقطه آغاز شود یا «/» داشته باشد."));
        return;
    }
    if (!base.isValid() || (base.scheme() != "http" && base.scheme() != "https")) {
        messages_.Say(QStringLiteral("نشانی درست نیست: %1").arg(Isolated(base.toString())));
        return;
    }
    QStringList names;
    for (int s : surahs)
        for (int a = 1; a <= Q114.TotalAyatOf(static_cast<int16_t>(s)); ++a)
            names << QStringLiteral("%1%2.mp3").arg(s, 3, 10, QChar('0')).arg(a, 3, 10, QChar('0'));
    if (!downloader_) {
        downloader_ = new QtDownloader(this);
        connect(downloader_, &QtDownloader::Changed, this, &RecitationPart::ShowDownload);
        connect(downloader_, &QtDownloader::Finished, this, &RecitationPart::DownloadEnded);
    }
    downloading_ = name;
    downloader_->Start(base, FolderFor(name), names, [](const QByteArray& head) { return LooksLikeAudio(head.toStdString()); });
}

void RecitationPart::CancelDownload() {
    if (downloader_) downloader_->Cancel();
}

void RecitationPart::ShowDownload() {
    const QtDownloader::Progress& p = downloader_->Now();
    if (!messages_.Interactive() || !p.running) return;
    if (!progress_) {
        progress_ = new QProgressDialog(messages_.Looks().parent);
        progress_->setWindowTitle(QStringLiteral("بارگیری تلاوت"));
        progress_->setCancelButtonText(dialogs::kCancel);
        progress_->setLayoutDirection(Qt::RightToLeft);
        progress_->setWindowModality(Qt::NonModal);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        connect(progress_, &QProgressDialog::canceled, this, &RecitationPart::CancelDownload);
    }
    progress_->setMaximum(p.total);
    progress_->setValue(p.done + p.failed);
    QString text = QStringLiteral("قاری «%1»: %2 از %3 فایل، %4 کیلوبایت")
                       .arg(ToQ(downloading_), Persian(p.done + p.failed), Persian(p.total), Persian(p.bytes / 1024));
    if (p.secondsLeft >= 0) text += QStringLiteral("، حدود %1 ثانیه مانده").arg(Persian(static_cast<long long>(p.secondsLeft + 0.5)));
    progress_->setLabelText(text);
    progress_->show();
}

void RecitationPart::DownloadEnded() {
    if (progress_) progress_->hide();
    const QtDownloader::Progress& p = downloader_->Now();
    FindAllReciters();
    if (p.done > 0 && reciterAt_.count(downloading_)) ChooseReciter(downloading_);
    QString said = QStringLiteral("بارگیری تلاوت «%1»: %2 از %3 فایل").arg(ToQ(downloading_), Persian(p.done), Persian(p.total));
    if (p.failed > 0)
        said += QStringLiteral("؛ %1 فایل بارگیری نشد: %2").arg(Persian(p.failed), Isolated(p.failedNames.join(QStringLiteral(", "))));
    messages_.Say(said + QStringLiteral("."));
}

void RecitationPart::AskDownload() {
    if (!messages_.Interactive()) return;
    const auto asked = dialogs::AskFields(
        messages_.Looks(QStringLiteral("بارگیری تلاوت")),
        QStringLiteral("نشانی‌ای که فایل هر آیه زیر آن به نام شمارهٔ سوره و آیه است (مانند %1):").arg(Isolated(QStringLiteral("001001.mp3"))),
        {{QStringLiteral("نام قاری:"), QString()},
         {QStringLiteral("نشانی:"), QStringLiteral("https://"), true},
         {QStringLiteral("سوره‌ها (همه، یا مانند %1):").arg(Isolated(QStringLiteral("۱,۱۱۲-۱۱۴"))), QStringLiteral("همه")}});
    if (!asked) return;
    const QString surahs = (*asked)[2] == QStringLiteral("همه") ? QString() : (*asked)[2];
    const auto list = SurahList(surahs.toStdU16String(), Q114.SorehCount());
    if (!list) {
        messages_.Say(QStringLiteral("فهرست سوره‌ها درست نیست: %1").arg((*asked)[2]));
        return;
    }
    DownloadRecordings(FromQ((*asked)[0]), QUrl((*asked)[1]), *list);
}

std::vector<Command> RecitationPart::AddingCommands() {
    using namespace menus;
    return {
        {.name = "mnuAddRecordingsArchive", .text = QStringLiteral("افزودن تلاوت از فایل zip یا tar…"),
         .run = [this] { AskRecordings(true); }, .menu = {kRecitation, kReciter, kAddRecordings}},
        {.name = "mnuAddRecordingsFolder", .text = QStringLiteral("افزودن تلاوت از پوشه…"),
         .run = [this] { AskRecordings(false); }, .menu = {kRecitation, kReciter, kAddRecordings}},
        {.name = "mnuDownloadRecordings", .text = QStringLiteral("بارگیری تلاوت از نشانی…"),
         .run = [this] { AskDownload(); }, .menu = {kRecitation, kReciter, kAddRecordings}},
    };
}

}  // namespace mushaf
