// Recordings a reader already has, from a folder or an archive, added to a
// reciter's folder.
#include <QFileDialog>
#include <QFileInfo>

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
    // the reciter's own folder where there is one of that name, else a new one in the reader's
    const auto known = reciterAt_.find(name);
    const std::filesystem::path into =
        known != reciterAt_.end() ? reciters_[known->second].folder : UserFolder() / QString(ToQ(name)).toStdString();
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
    pick.setOption(QFileDialog::DontUseNativeDialog);
    pick.setFileMode(archive ? QFileDialog::ExistingFile : QFileDialog::Directory);
    if (archive) pick.setNameFilter(QStringLiteral("بایگانی (*.zip *.tar *.tar.gz *.tgz *.tar.xz *.tar.bz2)"));
    pick.setLabelText(QFileDialog::LookIn, QStringLiteral("در:"));
    pick.setLabelText(QFileDialog::FileName, archive ? QStringLiteral("نام فایل:") : QStringLiteral("پوشه:"));
    pick.setLabelText(QFileDialog::FileType, QStringLiteral("گونه:"));
    pick.setLabelText(QFileDialog::Accept, QStringLiteral("گزینش"));
    pick.setLabelText(QFileDialog::Reject, dialogs::kCancel);
    dialogs::Dress(pick, looks);
    if (pick.exec() != QDialog::Accepted || pick.selectedFiles().isEmpty()) return;
    const QString from = pick.selectedFiles().first();
    const QString guess = QFileInfo(from).completeBaseName().section('.', 0, 0);
    const auto name = dialogs::AskText(messages_.Looks(QStringLiteral("نام قاری")), QStringLiteral("نام قاری:"), guess);
    if (name) AddRecordings(FromQ(name->trimmed()), QFile::encodeName(from).toStdString());
}

std::vector<Command> RecitationPart::AddingCommands() {
    using namespace menus;
    return {
        {.name = "mnuAddRecordingsArchive", .text = QStringLiteral("افزودن تلاوت از فایل zip یا tar…"),
         .run = [this] { AskRecordings(true); }, .menu = {kRecitation, kReciter}, .separatorBefore = true},
        {.name = "mnuAddRecordingsFolder", .text = QStringLiteral("افزودن تلاوت از پوشه…"),
         .run = [this] { AskRecordings(false); }, .menu = {kRecitation, kReciter}},
    };
}

}  // namespace mushaf
