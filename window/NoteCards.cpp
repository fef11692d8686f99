// Note cards and their list, the exports of the cards and of the search
// results, and the window's messages to the reader.
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "window/Dialogs.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

void frmMain::ToggleFish() {
    if (!Q114) return;
    const int16_t line = state_.Line();
    const auto note = choices_.notes.find(line);
    const bool dropsNote = Q114->FishIsExist(line) > 0 && note != choices_.notes.end();  // notes are never empty
    if (dropsNote && !Ask(QStringLiteral("یادداشت این آیه هم پاک شود؟\n\n%1").arg(ToQ(note->second).left(200)))) return;
    try {
        if (Q114->FishIsExist(line) > 0) Q114->FishRemove(line);
        else Q114->FishAdder(line);
    } catch (const ModelError& e) {
        ShowMessage(QStringLiteral("یادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    if (Q114->FishIsExist(line) <= 0) choices_.notes.erase(line);
    CardsChanged();
}

void frmMain::CardsChanged() {
    choices_.noteCards = store_->SoundCards(Q114->FishList());
    SaveChoices();
    ApplyRenderingStyle(wbrQuran);
    UpdateNotesOption();
    if (listing_ == Listing::Cards) ShowFish(true);
}

void frmMain::SetNote(const QString& note) { SetNoteOn(state_.Line(), note); }

void frmMain::SetNoteOn(int16_t line, const QString& note) {
    if (!Q114) return;
    if (Q114->FishIsExist(line) <= 0) {
        try {
            Q114->FishAdder(line);
        } catch (const ModelError& e) {
            ShowMessage(QStringLiteral("یادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
            return;
        }
    }
    if (note.trimmed().isEmpty()) choices_.notes.erase(line);
    else choices_.notes[line] = FromQ(note);
    CardsChanged();
}

void frmMain::EditNote() {
    if (!Q114 || !interactive_) return;
    // the ayah the dialog opens on, wherever the reader (or the voice) goes meanwhile
    const int16_t line = state_.Line();
    const auto now = choices_.notes.find(line);
    const cQ114::Line& at = Q114->LineAt(line);
    const QString ayah = QStringLiteral("سورهٔ %1، آیهٔ %2\n\n%3")
                             .arg(ToQ(WithoutNul(Q114->SorehNameOf(at.soreh))), ToQ(PersianDecimal(at.ayeh)),
                                  ToQ(WithoutNul(views::ShownArabicAt(*Q114, line, ShowEarab_, choices_.uthmani))));
    if (auto note = dialogs::AskText(DialogLooks(QStringLiteral("یادداشت آیه")), ayah,
                                     now == choices_.notes.end() ? QString() : ToQ(now->second)))
        SetNoteOn(line, *note);
}

dialogs::Looks frmMain::DialogLooks(const QString& title) {
    return {.parent = this, .title = title.isEmpty() ? windowTitle() : title, .night = choices_.night};
}

bool frmMain::Ask(const QString& question) {
    if (pendingAnswer_) {
        const bool yes = *pendingAnswer_;
        pendingAnswer_.reset();
        return yes;
    }
    if (!interactive_) return false;
    return dialogs::AskYesNo(DialogLooks(), question);
}

std::vector<int16_t> frmMain::NotedLines() const {
    std::vector<int16_t> lines;
    for (const auto& [line, note] : choices_.notes) lines.push_back(line);
    return lines;
}

void frmMain::ShowFish(bool keepPlace) {
    if (!Q114) return;
    if (Control("picPanelSearch")->isHidden()) cmdShowSearch_Click();
    listing_ = Listing::Cards;
    ShowResultCount(0);
    const auto cards = views::FishLines(*Q114);
    static_cast<QLabel*>(Control("lblSearchResult"))->setText(QStringLiteral("یادداشت‌ها: %1").arg(ToQ(PersianDecimal(static_cast<long long>(cards.size())))));
    wbrSearchResult->Write(ToQ(views::FishListDocument(*Q114, BackColorHex, choices_.notes)), keepPlace);
}

void frmMain::LeaveFishList() {
    if (listing_ == Listing::Search) return;
    listing_ = Listing::Search;
    static_cast<QLabel*>(Control("lblSearchResult"))->setText(ToQ(layout::FindControl("lblSearchResult")->caption));
}

void frmMain::ExportList(bool fish) {
    if (!Q114) return;
    const bool empty = fish ? views::FishLines(*Q114).empty() : !searchListed_ || Q114->FoundList().empty();
    if (empty) {
        ShowMessage(fish ? QStringLiteral("یادداشتی برای صدور نیست.") : QStringLiteral("نتیجهٔ جستجویی برای صدور نیست."));
        return;
    }
    std::filesystem::path written;
    try {
        if (fish) {
            if (auto out = Q114->GetOutputOfFish(ShowEarab_, choices_.notes)) written = out->file;
        } else {
            written = Q114->WriteExport(Q114->GetOutputOfSearch(ShowEarab_));
        }
    } catch (const ModelError& e) {
        std::error_code ec;
        const auto& folder = services_.exportFolder;
        const QString reason = std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec)
                                   ? QStringLiteral("به جای پوشه، فایلی با این نام هست")
                                   : QStringLiteral("نوشتن ممکن نشد (%1)").arg(QString::fromUtf8(e.what()));
        ShowMessage(QStringLiteral("صدور در %1 انجام نشد: %2").arg(Isolated(QString::fromStdString(folder.string())), reason));
        return;
    }
    const QString path = QString::fromStdString(written.string());
    exported_ << path;
    // the file opens in the reader's browser; the message says where it is
    ShowMessage(QStringLiteral("%1 در این فایل نوشته شد: %2")
                    .arg(fish ? QStringLiteral("یادداشت‌ها") : QStringLiteral("نتایج جستجو"), Isolated(path)),
                false);
    if (interactive_) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void frmMain::ShowMessage(const QString& text, bool warning) {
    message_ = text;
    if (interactive_) dialogs::Inform(DialogLooks(), text, warning);
}

void frmMain::ReportSettingsTrouble() {
    const auto trouble = services_.settings.Trouble();
    if (!trouble || settingsReported_) return;
    settingsReported_ = true;
    QString why;
    switch (trouble->fault) {
    case Settings::Fault::IsAFolder: why = QStringLiteral("به جای فایل، پوشه‌ای با این نام هست"); break;
    case Settings::Fault::CannotRead: why = QStringLiteral("اجازهٔ خواندن آن نیست"); break;
    case Settings::Fault::Damaged: why = QStringLiteral("فایل خراب است"); break;
    case Settings::Fault::CannotMakeFolder: why = QStringLiteral("پوشهٔ آن ساخته نمی‌شود"); break;
    case Settings::Fault::CannotWrite: why = QStringLiteral("اجازهٔ نوشتن در آن نیست"); break;
    }
    const QString file = Isolated(ToQ(trouble->file));
    ShowMessage(trouble->reading
                    ? QStringLiteral("تنظیمات از فایل %1 به‌درستی خوانده نشد: %2. آنچه خوانده نشد پیش‌فرض است و "
                                     "آنچه در این اجرا انتخاب کنید در آن فایل نوشته نمی‌شود.")
                          .arg(file, why)
                    : QStringLiteral("تنظیمات در فایل %1 نوشته نشد: %2. آنچه در این اجرا انتخاب کنید تا بستن برنامه "
                                     "به کار می‌رود، ولی نگه داشته نمی‌شود.")
                          .arg(file, why));
}

void frmMain::RendererTrouble() {
    bool resting = false;
    for (WebPane* p : panes_) resting = resting || p->Resting();
    const QString notice = QString::fromUtf16(WebPane::kRestingNotice);
    // said in the panes themselves; in the message for whoever reads it
    if (resting) message_ = notice;
    else if (message_ == notice) message_.clear();
}

}  // namespace mushaf
