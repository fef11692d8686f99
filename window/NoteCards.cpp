// Note cards and their list, the exports of the cards and of the search
// results, and the window's messages to the reader.
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>

#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {
// A path inside a Persian sentence, kept left to right (its slashes where
// they belong).
QString Isolated(const QString& path) { return QChar(0x2066) + path + QChar(0x2069); }
}  // namespace

void frmMain::ToggleFish() {
    if (!Q114) return;
    const int16_t line = state_.Line();
    try {
        if (Q114->FishIsExist(line) > 0) Q114->FishRemove(line);
        else Q114->FishAdder(line);
    } catch (const ModelError& e) {
        ShowMessage(QStringLiteral("يادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    choices_.noteCards = store_->SoundCards(Q114->FishList());
    SaveChoices();
    ApplyRenderingStyles();
    if (showingFish_) ShowFish(true);
}

void frmMain::ShowFish(bool keepPlace) {
    if (!Q114) return;
    if (Control("picPanelSearch")->isHidden()) cmdShowSearch_Click();
    showingFish_ = true;
    ShowResultCount(0);
    const auto cards = views::FishLines(*Q114);
    static_cast<QLabel*>(Control("lblSearchResult"))->setText(QStringLiteral("يادداشت ها: %1").arg(cards.size()));
    wbrSearchResult->Write(ToQ(views::FishListDocument(*Q114, BackColorHex)), keepPlace);
}

void frmMain::LeaveFishList() {
    if (!showingFish_) return;
    showingFish_ = false;
    static_cast<QLabel*>(Control("lblSearchResult"))->setText(ToQ(layout::FindControl("lblSearchResult")->caption));
}

void frmMain::ExportList(bool fish) {
    if (!Q114) return;
    const bool empty = fish ? views::FishLines(*Q114).empty() : !searchListed_ || Q114->FoundList().empty();
    if (empty) {
        ShowMessage(fish ? QStringLiteral("يادداشتي براي صدور نيست.") : QStringLiteral("نتيجه جستجويي براي صدور نيست."));
        return;
    }
    std::filesystem::path written;
    try {
        if (fish) {
            if (auto out = Q114->GetOutputOfFish(ShowEarab_)) written = out->file;
        } else {
            written = Q114->WriteExport(Q114->GetOutputOfSearch(ShowEarab_));
        }
    } catch (const ModelError& e) {
        std::error_code ec;
        const auto& folder = services_.exportFolder;
        const QString reason = std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec)
                                   ? QStringLiteral("به جاي پوشه، فايلي با اين نام هست")
                                   : QStringLiteral("نوشتن ممکن نشد (%1)").arg(QString::fromUtf8(e.what()));
        ShowMessage(QStringLiteral("صدور در %1 انجام نشد: %2").arg(Isolated(QString::fromStdString(folder.string())), reason));
        return;
    }
    const QString path = QString::fromStdString(written.string());
    exported_ << path;
    // the file opens in the reader's browser; the message says where it is
    ShowMessage(QStringLiteral("%1 در اين فايل نوشته شد: %2")
                    .arg(fish ? QStringLiteral("يادداشت ها") : QStringLiteral("نتايج جستجو"), Isolated(path)),
                false);
    if (interactive_) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void frmMain::ShowMessage(const QString& text, bool warning) {
    message_ = text;
    if (!interactive_) return;
    auto* box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information, windowTitle(), text,
                                QMessageBox::Ok, this);
    box->setLayoutDirection(Qt::RightToLeft);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("تاييد"));
    if (choices_.night) box->setPalette(NightPalette(box->palette()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void frmMain::ReportSettingsTrouble() {
    const auto trouble = services_.settings.Trouble();
    if (!trouble || settingsReported_) return;
    settingsReported_ = true;
    QString why;
    switch (trouble->fault) {
    case Settings::Fault::IsAFolder: why = QStringLiteral("به جاي فايل، پوشه اي با اين نام هست"); break;
    case Settings::Fault::CannotRead: why = QStringLiteral("اجازه خواندن آن نيست"); break;
    case Settings::Fault::Damaged: why = QStringLiteral("فايل خراب است"); break;
    case Settings::Fault::CannotMakeFolder: why = QStringLiteral("پوشه آن ساخته نمي شود"); break;
    case Settings::Fault::CannotWrite: why = QStringLiteral("اجازه نوشتن در آن نيست"); break;
    }
    const QString file = Isolated(ToQ(trouble->file));
    ShowMessage(trouble->reading
                    ? QStringLiteral("تنظيمات از فايل %1 به درستي خوانده نشد: %2. آنچه خوانده نشد پيش فرض است و "
                                     "آنچه در اين اجرا انتخاب کنيد در آن فايل نوشته نمي شود.")
                          .arg(file, why)
                    : QStringLiteral("تنظيمات در فايل %1 نوشته نشد: %2. آنچه در اين اجرا انتخاب کنيد تا بستن برنامه "
                                     "به کار مي رود، ولي نگه داشته نمي شود.")
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
