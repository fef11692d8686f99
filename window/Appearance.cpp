// Text size, the Quran font, the vowel marks, night reading, full screen,
// the script and the translation: how the reader sees the text.
#include "window/Appearance.h"

#include <QMenu>
#include <QScreen>
#include <QWidget>

#include "platform/qt/QtServices.h"
#include "window/CommandTable.h"
#include "window/Dialogs.h"
#include "window/KeptChoices.h"
#include "window/Panes.h"
#include "window/Reading.h"
#include "window/WebPane.h"

namespace mushaf {

using views::QuranFont;

AppearancePart::AppearancePart(QWidget& window, cQ114& model, Panes& panes, KeptChoices& choices, ReadingPart& reading,
                               std::function<std::vector<QWidget*>()> surfaces, QObject* parent)
    : QObject(parent), window_(window), Q114(model), panes_(panes), choices_(choices), reading_(reading),
      surfaces_(std::move(surfaces)) {
    // the page's lines in the font chosen, or the one its script and view need
    panes_.AddStyle(PaneId::Page, [this] {
        return views::PageFontRule(choices_->quranFont, choices_->uthmani, reading_.ShowEarab(), choices_->mushafView);
    });
}

void AppearancePart::Load() {
    if (choices_->night) ApplyNightPalette();
}

// ---- the commands ----------------------------------------------------------------

std::vector<Command> AppearancePart::Commands(const CommandTable& table) {
    using K = QKeySequence;
    using namespace menus;
    auto size = [this, &table](int steps) { return [this, &table, steps] { panes_.ZoomPane(SizedPane(table), steps); }; };
    const bool yes = true;
    std::vector<Command> commands = {
        {.name = "mnuMushafView", .text = QStringLiteral("نمای مصحف"),
         .help = QStringLiteral("نمای مصحف: صفحه همچون مصحف چاپی، با سرسوره، نشانهٔ آیه، حزب و سجده"),
         .keys = {K(Qt::CTRL | Qt::Key_M)}, .run = [this] { ToggleMushafView(); },
         .checked = [this] { return choices_->mushafView; }, .menu = {kView}},
        {.name = "mnuSpread", .text = QStringLiteral("دو صفحه کنار هم"),
         .help = QStringLiteral("نمای مصحف: دو صفحه کنار هم، آنجا که جا هست"), .run = [this] { ToggleSpread(); },
         .checked = [this] { return choices_->spread; }, .menu = {kView}},
        {.name = "mnuPageTranslation", .text = QStringLiteral("ترجمهٔ همهٔ صفحه"), .run = [this] { TogglePageTranslation(); },
         .checked = [this] { return choices_->pageTranslation; }, .menu = {kView}},
        {.name = "mnuNight", .text = QStringLiteral("مطالعه در شب"), .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
         .run = [this] { ToggleNight(); }, .checked = [this] { return choices_->night; }, .menu = {kView}},
        {.name = "mnuFullScreen", .text = QStringLiteral("تمام‌صفحه"), .help = QStringLiteral("تمام‌صفحه؛ Esc برای بیرون آمدن"),
         .keys = {K(Qt::Key_F11)}, .run = [this] { ToggleFullScreen(); }, .checked = [this] { return FullScreen(); },
         .menu = {kView}},
        {.name = "mnuZoomIn", .text = QStringLiteral("درشت‌تر"),
         .help = QStringLiteral("درشت‌تر؛ Ctrl و چرخ موشی روی هر صفحه هم اندازهٔ متن آن را عوض می‌کند"),
         .keys = {K(Qt::CTRL | Qt::Key_Plus), K(Qt::CTRL | Qt::Key_Equal), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
                  K(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal)},
         .run = size(1), .menu = {kView}, .separatorBefore = yes},
        {.name = "mnuZoomOut", .text = QStringLiteral("ریزتر"), .keys = {K(Qt::CTRL | Qt::Key_Minus)}, .run = size(-1),
         .menu = {kView}},
        {.name = "mnuZoomReset", .text = QStringLiteral("اندازهٔ اصلی"), .help = QStringLiteral("اندازهٔ اصلی متن"),
         .keys = {K(Qt::CTRL | Qt::Key_0)}, .run = size(0), .menu = {kView}},
    };
    for (Command& c : LookCommands()) commands.push_back(std::move(c));
    return commands;
}

// The font and the script, each a sub-menu of the view's.
std::vector<Command> AppearancePart::LookCommands() {
    using namespace menus;
    auto font = [this](QuranFont f) { return [this, f] { SetQuranFont(f); }; };
    auto fontIs = [this](QuranFont f) { return [this, f] { return choices_->quranFont == f; }; };
    const bool yes = true;
    return {
        {.name = "mnuFontDefault", .text = QStringLiteral("قلم صفحه"), .run = font(QuranFont::Default),
         .checked = fontIs(QuranFont::Default), .menu = {kView, kFont}, .exclusive = yes},
        {.name = "mnuFontAmiriQuran", .text = QStringLiteral("Amiri Quran"), .run = font(QuranFont::AmiriQuran),
         .checked = fontIs(QuranFont::AmiriQuran), .menu = {kView, kFont}, .exclusive = yes},
        {.name = "mnuFontNotoNaskh", .text = QStringLiteral("Noto Naskh Arabic"), .run = font(QuranFont::NotoNaskh),
         .checked = fontIs(QuranFont::NotoNaskh), .menu = {kView, kFont}, .exclusive = yes},
        {.name = "mnuScriptSimple", .text = QStringLiteral("ساده"), .run = [this] { SetScript(false); },
         .checked = [this] { return !choices_->uthmani; }, .menu = {kView, kScript}, .exclusive = yes},
        {.name = "mnuScriptUthmani", .text = QStringLiteral("عثمانی"), .run = [this] { SetScript(true); },
         .checked = [this] { return choices_->uthmani; }, .menu = {kView, kScript}, .exclusive = yes},
    };
}

PaneId AppearancePart::SizedPane(const CommandTable& table) const {
    if (table.OpenedOver() == QStringLiteral("wbrFarsi")) return PaneId::Translation;
    if (!table.OpenedOver().isEmpty()) return PaneId::Page;
    return panes_.HasFocus(PaneId::Translation) ? PaneId::Translation : PaneId::Page;
}

// ---- marks, fonts, script, translation, view ---------------------------------------------

void AppearancePart::ToggleMarks() {
    reading_.SetShowEarab(!reading_.ShowEarab());
    reading_.Redraw();
    panes_.RestyleAll();  // the Uthmani script's font goes with the marks
}

void AppearancePart::Restyle() { panes_.RestyleAll(); }

void AppearancePart::SetQuranFont(QuranFont font) {
    choices_.Change([&](ReaderChoices& c) { c.quranFont = font; });
    panes_.RestyleAll();
}

void AppearancePart::SetScript(bool uthmani) {
    choices_.Change([&](ReaderChoices& c) { c.uthmani = uthmani; });
    // the Uthmani text is the text with its marks: choosing it shows them
    if (uthmani) reading_.SetShowEarab(true);
    reading_.Redraw();
    panes_.RestyleAll();
}

void AppearancePart::ToggleMushafView() {
    choices_.Change([](ReaderChoices& c) { c.mushafView = !c.mushafView; });
    reading_.Redraw();
    panes_.RestyleAll();
}

void AppearancePart::ToggleSpread() {
    choices_.Change([](ReaderChoices& c) { c.spread = !c.spread; });
    reading_.Redraw();
}

void AppearancePart::TogglePageTranslation() {
    choices_.Change([](ReaderChoices& c) { c.pageTranslation = !c.pageTranslation; });
    reading_.RewriteTranslation();
}

// ---- night reading and full screen ---------------------------------------------------------

void AppearancePart::ApplyNightPalette() {
    // the controls, the window, and the windows of its own: the menu and its
    // sub-menus (message boxes take it when they open)
    for (QWidget* w : surfaces_()) {
        if (!dayPalettes_.count(w)) {
            dayPalettes_[w] = w->palette();
            dayFilled_[w] = w->autoFillBackground();
        }
        if (!choices_->night) {
            w->setPalette(dayPalettes_[w]);
            w->setAutoFillBackground(dayFilled_[w]);
            continue;
        }
        w->setPalette(dialogs::NightPalette(w->palette()));
        if (!qobject_cast<QMenu*>(w) && !qobject_cast<WebPane*>(w)) w->setAutoFillBackground(true);
    }
}

void AppearancePart::ToggleNight() {
    choices_.Change([](ReaderChoices& c) { c.night = !c.night; });
    ApplyNightPalette();
    panes_.RestyleAll();
}

bool AppearancePart::FullScreen() const { return window_.isFullScreen(); }

void AppearancePart::ToggleFullScreen() {
    // the window takes the screen itself too: without a window manager the
    // full-screen state alone changes nothing
    if (window_.isFullScreen()) {
        window_.setWindowState(stateBeforeFullScreen_);
        if (!(stateBeforeFullScreen_ & Qt::WindowMaximized) && normalPlace_.isValid()) window_.setGeometry(normalPlace_);
    } else {
        stateBeforeFullScreen_ = window_.windowState() & ~Qt::WindowFullScreen;
        normalPlace_ = window_.geometry();
        if (QScreen* s = window_.screen()) window_.setGeometry(s->geometry());
        window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
    }
}

}  // namespace mushaf
