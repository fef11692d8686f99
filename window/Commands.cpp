// The commands: one table gives each its menu entry, keys and handler
// (BuildCommands); from it come the context menu, the keys the window takes
// and the automation's menu: actions. Also the key preview, the wheel, the
// tab order, the buttons and the clipboard.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <chrono>
#include <cmath>
#include <random>

#include "platform/Key_Language.h"
#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "views/Documents.h"
#include "views/Markup.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {

// The window's own keys as its key handler numbers them.
constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF9 = 120, kF12 = 123;

int VbKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kF1 + (qtKey - Qt::Key_F1);
    return 0;
}

}  // namespace

// ---- the command table and the menu ----------------------------------------------

void frmMain::BuildCommands() {
    using K = QKeySequence;
    using namespace menus;
    auto formKey = [this](int code) { return [this, code] { Form_KeyDown(code, 0); }; };
    const bool yes = true;
    commands_ = {
        // the window's own keys: its key handler runs them, and the stored help lists them
        {.name = "mnuEarab", .text = QStringLiteral("اعراب"), .keys = {K(Qt::Key_F4)}, .run = formKey(kF4),
         .checked = [this] { return ShowEarab_; }, .menu = {kView}, .formKey = yes},
        {.name = "mnuCopy", .text = QStringLiteral("کپی آیه و ترجمه"), .keys = {K(Qt::Key_F9)}, .run = formKey(kF9),
         .formKey = yes},
        {.name = "mnuRandom", .text = QStringLiteral("آیهٔ تصادفی"), .keys = {K(Qt::Key_F12)}, .run = formKey(kF12),
         .formKey = yes},
        {.name = "mnuHelp", .text = QStringLiteral("راهنما"), .keys = {K(Qt::Key_F1)}, .run = formKey(kF1),
         .formKey = yes},
        {.name = "mnuFish", .text = QStringLiteral("افزودن به یادداشت‌ها یا برداشتن"),
         .help = QStringLiteral("افزودن آیهٔ جاری به یادداشت‌ها یا برداشتن آن"), .keys = {K(Qt::CTRL | Qt::Key_D)},
         .run = [this] { ToggleFish(); }},
        {.name = "mnuFishNote", .text = QStringLiteral("یادداشت آیه"),
         .help = QStringLiteral("نوشتن یادداشتی برای آیهٔ جاری"), .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_D)},
         .run = [this] { EditNote(); }},
        {.name = "mnuShowFish", .text = QStringLiteral("یادداشت‌ها"),
         .help = QStringLiteral("فهرست یادداشت‌ها در صفحهٔ جستجو"), .keys = {K(Qt::Key_F6)},
         .run = [this] { ShowFish(); }, .menu = {kStudy}},
        {.name = "mnuHistory", .text = QStringLiteral("تاریخچه"),
         .help = QStringLiteral("آیه‌هایی که خوانده‌اید، تازه‌ترین در بالا"), .keys = {K(Qt::CTRL | Qt::Key_Y)},
         .run = [this] { ShowHistory(); }, .menu = {kStudy}},
        {.name = "mnuKhatmah", .text = QStringLiteral("برنامهٔ ختم"),
         .run = [this] { KhatmahDialog(); }, .checked = [this] { return choices_.khatmah.has_value(); },
         .menu = {kStudy}},
        {.name = "mnuExportFish", .text = QStringLiteral("صدور یادداشت‌ها"), .run = [this] { ExportList(true); },
         .menu = {kExport}},
        {.name = "mnuExportSearch", .text = QStringLiteral("صدور نتایج جستجو"), .run = [this] { ExportList(false); },
         .menu = {kExport}},
    };
    for (Command& c : LookCommands()) commands_.push_back(std::move(c));
    for (Command& c : RecitationCommands()) commands_.push_back(std::move(c));
}

// The commands of how the page looks: its font, script, translation and view.
std::vector<Command> frmMain::LookCommands() {
    using K = QKeySequence;
    using namespace menus;
    auto font = [this](QuranFont f) { return [this, f] { SetQuranFont(f); }; };
    auto size = [this](int steps) { return [this, steps] { ZoomPane(SizedPane(), steps); }; };
    const bool yes = true;
    return {
        {.name = "mnuFontDefault", .text = QStringLiteral("قلم صفحه"), .run = font(QuranFont::Default),
         .checked = [this] { return choices_.quranFont == QuranFont::Default; }, .menu = {kView, kFont}, .exclusive = yes},
        {.name = "mnuFontAmiriQuran", .text = QStringLiteral("Amiri Quran"), .run = font(QuranFont::AmiriQuran),
         .checked = [this] { return choices_.quranFont == QuranFont::AmiriQuran; }, .menu = {kView, kFont},
         .exclusive = yes},
        {.name = "mnuFontNotoNaskh", .text = QStringLiteral("Noto Naskh Arabic"), .run = font(QuranFont::NotoNaskh),
         .checked = [this] { return choices_.quranFont == QuranFont::NotoNaskh; }, .menu = {kView, kFont},
         .exclusive = yes},
        {.name = "mnuScriptSimple", .text = QStringLiteral("ساده"), .run = [this] { SetScript(false); },
         .checked = [this] { return !choices_.uthmani; }, .menu = {kView, kScript}, .exclusive = yes},
        {.name = "mnuScriptUthmani", .text = QStringLiteral("عثمانی"), .run = [this] { SetScript(true); },
         .checked = [this] { return choices_.uthmani; }, .menu = {kView, kScript}, .exclusive = yes},
        {.name = "mnuTransAnsarian", .text = QStringLiteral("انصاریان"),
         .run = [this] { SetTranslation(cQ114::Translation::Ansarian); },
         .checked = [this] { return !choices_.fooladvand; }, .menu = {kView, kTranslation}, .exclusive = yes},
        {.name = "mnuTransFooladvand", .text = QStringLiteral("فولادوند"),
         .run = [this] { SetTranslation(cQ114::Translation::Fooladvand); },
         .checked = [this] { return choices_.fooladvand; }, .menu = {kView, kTranslation}, .exclusive = yes},
        {.name = "mnuHifz", .text = QStringLiteral("حفظ"),
         .help = QStringLiteral("حفظ: متن از آیهٔ جاری پنهان؛ Space واژهٔ بعد، Shift+Space باقی آیه"),
         .keys = {K(Qt::CTRL | Qt::Key_H)}, .run = [this] { ToggleHifz(); }, .checked = [this] { return choices_.hifz; },
         .menu = {kStudy}, .separatorBefore = yes},
        {.name = "mnuHifzTranslation", .text = QStringLiteral("پنهان کردن ترجمه در حفظ"),
         .run = [this] { ToggleHifzTranslation(); }, .checked = [this] { return choices_.hifzTranslation; },
         .menu = {kStudy}},
        {.name = "mnuMushafView", .text = QStringLiteral("نمای مصحف"),
         .help = QStringLiteral("نمای مصحف: صفحه همچون مصحف چاپی، با سرسوره، نشانهٔ آیه، حزب و سجده"),
         .keys = {K(Qt::CTRL | Qt::Key_M)}, .run = [this] { ToggleMushafView(); },
         .checked = [this] { return choices_.mushafView; }, .menu = {kView}},
        {.name = "mnuPageTranslation", .text = QStringLiteral("ترجمهٔ همهٔ صفحه"), .run = [this] { TogglePageTranslation(); },
         .checked = [this] { return choices_.pageTranslation; }, .menu = {kView}},
        {.name = "mnuNight", .text = QStringLiteral("مطالعه در شب"), .keys = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
         .run = [this] { ToggleNight(); }, .checked = [this] { return choices_.night; }, .menu = {kView}},
        {.name = "mnuFullScreen", .text = QStringLiteral("تمام‌صفحه"), .help = QStringLiteral("تمام‌صفحه؛ Esc برای بیرون آمدن"),
         .keys = {K(Qt::Key_F11)}, .run = [this] { ToggleFullScreen(); }, .checked = [this] { return isFullScreen(); },
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
        {.name = "mnuRememberPlace", .text = QStringLiteral("باز شدن از جایی که ماندم"),
         .run = [this] { ToggleRememberPlace(); }, .checked = [this] { return choices_.rememberPlace; }},
    };
}

namespace {

// The menu's own entries, most used first: the commands and sub-menus by
// name, 0 a line between; the rest of the commands of the menu itself come
// at the end.
const std::vector<const char*> kMenuTop = {
    "mnuPlay",  "mnuStop",  nullptr, "mnuFish",       "mnuFishNote", "mnuCopy",  nullptr,
    "mnuView",  "mnuStudy", "mnuRecitation", "mnuExport", nullptr, "mnuRandom", "mnuHelp", "mnuRememberPlace",
};

}  // namespace

void frmMain::BuildReaderMenu() {
    menu_ = new QMenu(this);
    menu_->setLayoutDirection(Qt::RightToLeft);
    std::map<std::string, QMenu*> submenus;
    // a sub-menu inside another, placed after that one's own entries
    std::vector<std::pair<QMenu*, QMenu*>> nested;
    // each sub-menu made when first named, inside the one before it in the path
    auto submenu = [&](const std::vector<Submenu>& path) {
        QMenu* into = nullptr;
        for (const Submenu& s : path) {
            QMenu*& sub = submenus[s.name];
            if (!sub) {
                sub = new QMenu(s.title, into ? into : menu_);
                sub->setObjectName(QString::fromLatin1(s.name));
                sub->setLayoutDirection(Qt::RightToLeft);
                if (into) nested.emplace_back(into, sub);
            }
            into = sub;
        }
        return into;
    };
    std::map<std::pair<QMenu*, int>, QActionGroup*> groups;
    std::map<std::string, QAction*> top;  // the menu's own entries, placed below
    for (const Command& c : commands_) {
        QMenu* into = c.menu.empty() ? menu_ : submenu(c.menu);
        if (c.separatorBefore && into != menu_) into->addSeparator();
        auto* a = new QAction(c.text, into);
        a->setObjectName(c.name);
        a->setCheckable(static_cast<bool>(c.checked));
        // shown in the menu, and taken there while it is open; elsewhere the
        // window's key handling runs the command
        a->setShortcuts(c.keys);
        a->setShortcutContext(Qt::WidgetShortcut);
        if (c.exclusive) {
            QActionGroup*& group = groups[{into, c.group}];
            if (!group) group = new QActionGroup(into);
            group->addAction(a);
        }
        connect(a, &QAction::triggered, this, [this, run = c.run] {
            run();
            UpdateChecks();
        });
        if (into == menu_) top[c.name.toStdString()] = a;
        else if (!c.hidden) into->addAction(a);
        actions_[c.name] = a;
        if (c.checked) checkable_.emplace_back(&c, a);
    }
    QMenu* lastParent = nullptr;
    for (auto [parent, sub] : nested) {
        if (parent != lastParent) parent->addSeparator();
        parent->addMenu(sub);
        lastParent = parent;
    }
    for (const char* name : kMenuTop) {
        if (!name) {
            menu_->addSeparator();
        } else if (auto a = top.find(name); a != top.end()) {
            menu_->addAction(a->second);
            top.erase(a);
        } else if (auto s = submenus.find(name); s != submenus.end()) {
            menu_->addMenu(s->second);
        }
    }
    for (const Command& c : commands_)
        if (auto a = top.find(c.name.toStdString()); a != top.end()) menu_->addAction(a->second);
    connect(menu_, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { menuPane_ = nullptr; }); });
    for (WebPane* pane : {wbrQuran, wbrFarsi}) {
        pane->EnableContextMenu();
        connect(pane, &WebPane::ContextMenuRequested, this, [this, pane](const QPoint& at) {
            menuPane_ = pane;
            UpdateChecks();
            menu_->popup(at);
        });
    }
}

QAction* frmMain::MenuAction(const QString& name) const {
    const auto at = actions_.find(name);
    return at == actions_.end() ? nullptr : at->second;
}

void frmMain::UpdateChecks() {
    if (!menu_) return;
    for (const auto& [c, a] : checkable_)
        if (a->isChecked() != c->checked()) a->setChecked(!a->isChecked());
}

// ---- keys, the wheel, the tab order -------------------------------------------------

bool frmMain::ReaderKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const QKeySequence pressed(QKeyCombination(mods, static_cast<Qt::Key>(key->key())));
    for (const Command& c : commands_) {
        if (c.formKey || !c.keys.contains(pressed)) continue;
        c.run();
        UpdateChecks();
        return true;
    }
    if (key->key() == Qt::Key_Escape && !mods && isFullScreen()) {
        ToggleFullScreen();
        return true;
    }
    return false;
}

WebPane* frmMain::SizedPane() const {
    if (menuPane_) return menuPane_;
    return wbrFarsi->isAncestorOf(QApplication::focusWidget()) ? wbrFarsi : wbrQuran;
}

WebPane* frmMain::PaneUnder(QObject* watched) const {
    for (WebPane* pane : panes_)
        if (pane->Holds(watched)) return pane;
    return nullptr;
}

bool frmMain::ReaderWheel(QObject* watched, QWheelEvent* wheel) {
    if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
    WebPane* pane = PaneUnder(watched);
    if (pane != wbrQuran && pane != wbrFarsi) return false;
    // one step a notch: a touchpad's small deltas add up to one
    const int delta = wheel->angleDelta().y();
    if ((delta > 0) != (wheelDelta_ > 0)) wheelDelta_ = 0;
    wheelDelta_ += delta;
    while (std::abs(wheelDelta_) >= 120) {
        ZoomPane(pane, wheelDelta_ > 0 ? 1 : -1);
        wheelDelta_ -= wheelDelta_ > 0 ? 120 : -120;
    }
    return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application: every event of every object passes here
    // once.
    switch (event->type()) {
    case QEvent::KeyPress: {
        // key preview: once per key, where it is delivered to the focused
        // widget of this window (or to the window when nothing has the
        // focus). `watched` is compared, never looked into: Qt hands the
        // filter events of objects it is destroying (a web view whose
        // renderer was lost).
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : focusWidget();
        if (focus ? watched == focus && focus->window() == this : watched == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            Form_KeyDown(VbKeyCode(key->key()), static_cast<int>(key->modifiers()));
            if (loaded_ && ReaderKey(key)) return true;
            // memorisation: Space in the page shows the next word, Shift+Space the ayah
            if (loaded_ && choices_.hifz && key->key() == Qt::Key_Space && focus &&
                (focus == wbrQuran || wbrQuran->isAncestorOf(focus)) &&
                !(key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
                RevealWord(key->modifiers() & Qt::ShiftModifier);
                return true;
            }
            const auto mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && mods == Qt::NoModifier &&
                TabStep(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier)))
                return true;
        }
        break;
    }
    case QEvent::Wheel:
        if (loaded_ && ReaderWheel(watched, static_cast<QWheelEvent*>(event))) return true;
        break;
    case QEvent::FocusIn:
        if (watched == txtSearch) cmdSearch->setDefault(true);
        break;
    case QEvent::FocusOut:
        if (watched == txtSearch) cmdSearch->setDefault(false);
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == lblFarsi) lblFarsi_DblClick();
        else if (watched == lblSearch) lblSearch_DblClick();
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmMain::TabStep(bool forward) {
    // Along the window's tab order; a pane is one stop (its links are not),
    // and it takes the focus as a click gives it, so that its view does not
    // move to its first link.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this) return false;
    std::vector<QWidget*> stops;
    int at = -1;
    for (QWidget* w : tabOrder_) {
        auto* pane = qobject_cast<WebPane*>(w);
        const bool takes = pane ? pane->View() != nullptr : (w->focusPolicy() & Qt::TabFocus) != 0;
        if (!takes || !w->isVisible() || !w->isEnabled()) continue;
        if (w == focus || (pane && pane->isAncestorOf(focus))) at = static_cast<int>(stops.size());
        stops.push_back(w);
    }
    if (at < 0 || stops.size() < 2) return false;
    const int n = static_cast<int>(stops.size());
    QWidget* next = stops[(at + (forward ? 1 : n - 1)) % n];
    next->setFocus(qobject_cast<WebPane*>(next) ? Qt::OtherFocusReason
                                                : (forward ? Qt::TabFocusReason : Qt::BacktabFocusReason));
    return true;
}

void frmMain::Form_KeyDown(int keyCode, int) {
    if (!loaded_) return;
    SetPanelVisible("picHelp", keyCode == kF1);
    if (keyCode == kF12) GoRandomAyeh();
    if (keyCode == kF2) cmdShowSoreh_Click();
    if (keyCode == kF3) cmdShowSearch_Click();
    if (keyCode == kF9) Copy_Ayeh();
    if (keyCode == kF4) {
        ShowEarab_ = !ShowEarab_;
        tags_["wbrQuran"] = QString();
        hsAllQuran_Change();
        ApplyRenderingStyles();  // the Uthmani script's font goes with the marks
    }
}

// ---- buttons and the clipboard -------------------------------------------------

void frmMain::cmdHelp_Click() { SetPanelVisible("picHelp", true); }

void frmMain::cmdShowSearch_Click() {
    // the panel to show first, so that the focus never passes through the page pane
    SetPanelVisible("picPanelSearch", true);
    txtSearch->setFocus();
    SetPanelVisible("picPanelQuran", false);
    cmdShowSoreh->setEnabled(true);
    cmdShowSearch->setEnabled(false);
    txtSearch->setFocus();
}

void frmMain::cmdShowSoreh_Click() {
    SetPanelVisible("picPanelQuran", true);
    txtQSearch->setFocus();
    SetPanelVisible("picPanelSearch", false);
    cmdShowSoreh->setEnabled(false);
    cmdShowSearch->setEnabled(true);
    txtQSearch->setFocus();
}

void frmMain::Copy_Ayeh() {
    if (!Q114) return;
    // the highlighted line, wherever the index or the result list left the model
    const int16_t line = state_.Line();
    Q114->GoPosition(line);
    Text text = views::CopyText(*Q114, line, ShowEarab_, choices_.uthmani);
    int32_t persian = 1;
    Set_Language(persian, services_.keyboard);
    services_.clipboard.Clear();
    services_.clipboard.SetText(text);
}

void frmMain::lblFarsi_DblClick() { Copy_Ayeh(); }

void frmMain::lblSearch_DblClick() { txtSearch->setText(ToQ(services_.clipboard.Text())); }

void frmMain::GoRandomAyeh() {
    if (!Q114) return;
    using namespace std::chrono;
    auto now = system_clock::now().time_since_epoch();
    auto ofDay = duration_cast<milliseconds>(now).count() % (24LL * 3600 * 1000);
    std::mt19937 rng(static_cast<uint32_t>(ofDay));
    float r = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
    if (r >= 1.0f) r = 0.0f;
    float v = r * static_cast<float>(Q114->MaxBound() - 1) + 1.0f;
    state_.MoveTo(static_cast<int16_t>(std::nearbyint(v)), ReadingState::From::Random);
}

}  // namespace mushaf
