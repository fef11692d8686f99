// Text size, the Quran font, night reading, full screen, the script and the
// translation: how the reader sees the text. With nothing chosen the window
// is as designed; the sizes, fonts and night reading are rendering-only rules
// and palettes, the documents stay as written.
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>

#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "window/Dialogs.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {
constexpr std::array<double, 13> kZoomSteps{0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
}  // namespace

// ---- text size ----------------------------------------------------------------

double frmMain::Zoom(const std::string& pane) const {
    if (pane == "wbrQuran") return choices_.zoomPage;
    if (pane == "wbrFarsi") return choices_.zoomTranslation;
    return 1.0;
}

void frmMain::ZoomPane(WebPane* pane, int steps) {
    if (pane != wbrQuran && pane != wbrFarsi) return;
    double z = Zoom(pane->objectName().toStdString());
    if (steps == 0) {
        z = 1.0;
    } else {
        // `steps` steps on from the step nearest to where it stands
        int nearest = 0;
        for (int i = 1; i < static_cast<int>(kZoomSteps.size()); ++i)
            if (std::abs(kZoomSteps[i] - z) < std::abs(kZoomSteps[nearest] - z)) nearest = i;
        z = kZoomSteps[std::clamp(nearest + steps, 0, static_cast<int>(kZoomSteps.size()) - 1)];
    }
    (pane == wbrQuran ? choices_.zoomPage : choices_.zoomTranslation) = z;
    pane->SetZoom(z);  // the page keeps its marked ayah in view
    SaveChoices();
}

// ---- fonts and rendering rules ------------------------------------------------

QString frmMain::QuranFontName(QuranFont font) { return ToQ(views::QuranFontName(font)); }

void frmMain::ApplyRenderingStyle(WebPane* pane) {
    QString style = PaneStyle(pane->objectName().toStdString());
    auto add = [&style](const std::u16string& rule) {
        if (!rule.empty()) style += QStringLiteral(" ") + ToQ(rule);
    };
    if (pane == wbrQuran) {
        add(views::PageFontRule(choices_.quranFont, choices_.uthmani, ShowEarab_, choices_.mushafView));
        add(views::NoteCardRule(views::FishLines(*Q114), NotedLines()));
    }
    if (pane == wbrSearchResult) add(views::ResultCountRule(resultCount_));
    if (pane == wbrFarsi && choices_.hifz && choices_.hifzTranslation) add(u"body { visibility: hidden !important; }");
    if (choices_.night) add(views::kNightRule);
    pane->SetRenderingStyle(style);
}

void frmMain::ApplyRenderingStyles() {
    for (WebPane* pane : panes_) ApplyRenderingStyle(pane);
}

void frmMain::ShowResultCount(int count) {
    // every search sets it: only the result pane's rules follow
    resultCount_ = count;
    ApplyRenderingStyle(wbrSearchResult);
}

void frmMain::SetQuranFont(QuranFont font) {
    choices_.quranFont = font;
    SaveChoices();
    ApplyRenderingStyles();
}

// ---- night reading --------------------------------------------------------------

void frmMain::ApplyNightPalette() {
    // the controls, the window, and the windows of its own: the menu and its
    // sub-menus (message boxes take it when they open)
    std::vector<QWidget*> all;
    for (auto& [name, w] : controls_) all.push_back(w);  // a pane: its notice and its focus frame
    all.push_back(this);
    all.push_back(menu_);
    for (QMenu* sub : menu_->findChildren<QMenu*>()) all.push_back(sub);
    for (QWidget* w : all) {
        if (!dayPalettes_.count(w)) {
            dayPalettes_[w] = w->palette();
            dayFilled_[w] = w->autoFillBackground();
        }
        if (!choices_.night) {
            w->setPalette(dayPalettes_[w]);
            w->setAutoFillBackground(dayFilled_[w]);
            continue;
        }
        w->setPalette(dialogs::NightPalette(w->palette()));
        if (w != menu_ && !qobject_cast<QMenu*>(w) && !qobject_cast<WebPane*>(w)) w->setAutoFillBackground(true);
    }
}

void frmMain::ToggleNight() {
    choices_.night = !choices_.night;
    SaveChoices();
    ApplyNightPalette();
    ApplyRenderingStyles();
}

void frmMain::ToggleFullScreen() {
    // the window takes the screen itself too: without a window manager the
    // full-screen state alone changes nothing
    if (isFullScreen()) {
        setWindowState(stateBeforeFullScreen_);
        if (!(stateBeforeFullScreen_ & Qt::WindowMaximized) && normalPlace_.isValid()) setGeometry(normalPlace_);
    } else {
        stateBeforeFullScreen_ = windowState() & ~Qt::WindowFullScreen;
        normalPlace_ = geometry();
        if (QScreen* s = screen()) setGeometry(s->geometry());
        setWindowState(windowState() | Qt::WindowFullScreen);
    }
}

// ---- script and translation ------------------------------------------------------------

void frmMain::RedrawPage() {
    tags_["wbrQuran"] = QString();
    hsAllQuran_Change();
    ApplyRenderingStyles();
}

void frmMain::ToggleMushafView() {
    choices_.mushafView = !choices_.mushafView;
    SaveChoices();
    RedrawPage();
}

void frmMain::TogglePageTranslation() {
    choices_.pageTranslation = !choices_.pageTranslation;
    SaveChoices();
    if (Q114) Set_Farsi(wbrFarsi, state_.Line());
}

void frmMain::SetScript(bool uthmani) {
    choices_.uthmani = uthmani;
    // the Uthmani text is the text with its marks: choosing it shows them
    if (uthmani) ShowEarab_ = true;
    SaveChoices();
    RedrawPage();
}

void frmMain::SetTranslation(cQ114::Translation translation) {
    if (!Q114) return;
    Q114->ChooseTranslation(translation);
    choices_.fooladvand = translation == cQ114::Translation::Fooladvand;
    SaveChoices();
    translatedPage_ = -1;  // the other translation's page
    Q114->GoPosition(state_.Line());
    Set_Farsi(wbrFarsi, state_.Line());
}

}  // namespace mushaf
