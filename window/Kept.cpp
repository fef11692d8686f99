// The reader's kept choices, read once at start-up and written each time
// one changes, and the remembered place.
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "window/WebPane.h"
#include "window/frmMain.h"
#include "window/KeptPlace.h"

namespace mushaf {

void frmMain::LoadChoices() {
    store_.emplace(services_.settings, Q114->MinBound(), Q114->MaxBound(), cQ114::kMaxFish);
    choices_ = store_->Load();
    wbrQuran->SetZoom(choices_.zoomPage);
    wbrFarsi->SetZoom(choices_.zoomTranslation);
    // the Uthmani text is the text with its marks
    if (choices_.uthmani) ShowEarab_ = true;
    if (choices_.fooladvand) Q114->ChooseTranslation(cQ114::Translation::Fooladvand);
    Q114->FishList(ChoiceStore::CardText(choices_.noteCards));
    if (choices_.night) ApplyNightPalette();
    ApplyRenderingStyles();
    UpdateNotesOption();
    UpdateChecks();
    // once the window is shown
    QTimer::singleShot(0, this, [this] { ReportSettingsTrouble(); });
}

void frmMain::SaveChoices() {
    if (store_) store_->Save(choices_);
    UpdateChecks();
    ReportSettingsTrouble();
}

// ---- the remembered place ------------------------------------------------------------

void frmMain::ToggleRememberPlace() {
    choices_.rememberPlace = !choices_.rememberPlace;
    SaveChoices();
}

void frmMain::KeepPlace() {
    if (!choices_.rememberPlace || !loaded_) return;
    if (isFullScreen()) ToggleFullScreen();  // the place it has when not full screen
    choices_.place.line = state_.Line();
    choices_.place.earab = ShowEarab_;
    choices_.place.searchPanel = !Control("picPanelSearch")->isHidden();
    choices_.place.window = saveGeometry().toBase64().toStdString();
    SaveChoices();
}

bool frmMain::RestorePlace() {
    const ReaderChoices::Place& place = choices_.place;
    if (!choices_.rememberPlace || !place.line) return false;
    // Only a sound place is taken; otherwise the window keeps the design
    // size, centred, as it opened.
    const QByteArray kept = QByteArray::fromBase64(QByteArray::fromStdString(place.window));
    QList<QRect> screens;
    for (QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    const auto saved = ReadSavedGeometry(kept);
    const QSize minimum(layout::ToPixels(layout::kMinClientWidth), layout::ToPixels(layout::kMinClientHeight));
    if (saved && SoundPlace(*saved, minimum, screens)) restoreGeometry(kept);
    if (place.earab && !ShowEarab_) {
        ShowEarab_ = true;
        tags_["wbrQuran"] = QString();
    }
    if (place.searchPanel) cmdShowSearch_Click();
    state_.MoveTo(*place.line, ReadingState::From::Start);
    RedrawPage();
    return true;
}

void frmMain::StartAt(std::optional<int16_t> line) {
    if (line) state_.MoveTo(*line, ReadingState::From::Start);
    else RestorePlace();
}

}  // namespace mushaf
