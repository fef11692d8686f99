// What the reader has beyond the window's design: a context menu over the
// page and the translation, text size per pane, the Quran font, night
// reading, full screen, a remembered place, note cards with their export,
// and the choice of script and translation. With nothing chosen the window
// is as designed; every choice is kept in the settings group "Reader".
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QUrl>
#include <QWebEngineView>
#include <QWheelEvent>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>

#include "views/Documents.h"
#include "views/Markup.h"
#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "window/KeptPlace.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

namespace {

constexpr char16_t kApp[] = u"Mushaf";
constexpr char16_t kGroup[] = u"Reader";
constexpr std::array<double, 13> kZoomSteps{0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// The page lines in a chosen Quran font, with room for its marks.
QString FontRule(const QString& family, double lineHeight) {
    return QStringLiteral("div.NoEarab, div.NoEarabSelect, div.NoEarabBesm, div.NoEarabBesmSelect "
                          "{ font-family: '%1' !important; line-height: %2; }")
        .arg(family)
        .arg(lineHeight);
}

// Dark backgrounds and light text in every pane; the marked line stays
// clearly marked and the links visible.
const QString kNightRule = QStringLiteral(
    "html, body { background-color: #1c1f22 !important; color: #dcdcd2 !important; } "
    ".NoEarab, .NoEarabBesm, .Farsi { color: #b9dcb2 !important; } "
    ".NoEarabSelect, .NoEarabBesmSelect { color: #ffd479 !important; background-color: #2c3440 !important; } "
    "a, a:visited { color: #8ec5ff !important; } span { color: inherit; } "
    "b { color: #a8d8a0 !important; } "
    ":root { color-scheme: dark; } "
    "::-webkit-scrollbar { width: 14px; height: 14px; background-color: #23272b; } "
    "::-webkit-scrollbar-thumb { background-color: #50565e; border: 3px solid #23272b; border-radius: 7px; } "
    "::-webkit-scrollbar-thumb:hover { background-color: #6a717a; } "
    "::-webkit-scrollbar-corner { background-color: #23272b; }");

// The window's colours at night: dark grounds, light text, dimmed text on
// what is disabled, in every colour group.
QPalette NightPalette(QPalette p) {
    const QColor ground(0x23, 0x27, 0x2b), field(0x2a, 0x2e, 0x33), text(0xdc, 0xdc, 0xd2), dim(0x6e, 0x72, 0x76);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase, QPalette::ToolTipBase})
            p.setColor(group, role, ground);
        p.setColor(group, QPalette::Base, field);
        const QColor ink = group == QPalette::Disabled ? dim : text;
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText})
            p.setColor(group, role, ink);
        p.setColor(group, QPalette::Light, QColor(0x3a, 0x3f, 0x45));
        p.setColor(group, QPalette::Midlight, QColor(0x32, 0x37, 0x3c));
        p.setColor(group, QPalette::Mid, QColor(0x1a, 0x1d, 0x20));
        p.setColor(group, QPalette::Dark, QColor(0x15, 0x17, 0x1a));
        p.setColor(group, QPalette::Highlight, QColor(0x2c, 0x4a, 0x6e));
        p.setColor(group, QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
        p.setColor(group, QPalette::Link, QColor(0x8e, 0xc5, 0xff));
    }
    return p;
}

// A path inside a Persian sentence, kept left to right (its slashes where
// they belong).
QString Isolated(const QString& path) { return QChar(0x2066) + path + QChar(0x2069); }

QString PersianDigits(QString text) {
    for (QChar& c : text)
        if (c >= QChar('0') && c <= QChar('9')) c = QChar(0x06F0 + (c.unicode() - '0'));
    return text;
}

}  // namespace

// ---- the menu ------------------------------------------------------------------

void frmMain::BuildReaderMenu() {
    menu_ = new QMenu(this);
    menu_->setLayoutDirection(Qt::RightToLeft);
    auto add = [this](QMenu* into, const char* name, const QString& text, std::function<void()> run,
                      bool checkable = false) {
        auto* a = new QAction(text, into);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, this, [run] { run(); });
        into->addAction(a);
        return a;
    };
    // the commands of the window's own keys run the key's code
    add(menu_, "mnuEarab", QStringLiteral("اعراب\tF4"), [this] { Form_KeyDown(115, 0); });
    add(menu_, "mnuCopy", QStringLiteral("کپي آيه و ترجمه\tF9"), [this] { Form_KeyDown(120, 0); });
    add(menu_, "mnuRandom", QStringLiteral("آيه تصادفي\tF12"), [this] { Form_KeyDown(123, 0); });
    add(menu_, "mnuHelp", QStringLiteral("راهنما\tF1"), [this] { Form_KeyDown(112, 0); });
    menu_->addSeparator();
    add(menu_, "mnuFish", QStringLiteral("افزودن به يادداشت ها يا برداشتن\tCtrl+D"), [this] { ToggleFish(); });
    add(menu_, "mnuShowFish", QStringLiteral("يادداشت ها\tF6"), [this] { ShowFish(); });
    add(menu_, "mnuExportFish", QStringLiteral("صدور يادداشت ها"), [this] { ExportList(true); });
    add(menu_, "mnuExportSearch", QStringLiteral("صدور نتايج جستجو"), [this] { ExportList(false); });
    menu_->addSeparator();
    auto zoomTarget = [this] { return menuPane_ ? menuPane_ : wbrQuran; };
    add(menu_, "mnuZoomIn", QStringLiteral("درشت تر\tCtrl++"), [=, this] { ZoomPane(zoomTarget(), 1); });
    add(menu_, "mnuZoomOut", QStringLiteral("ريزتر\tCtrl+-"), [=, this] { ZoomPane(zoomTarget(), -1); });
    add(menu_, "mnuZoomReset", QStringLiteral("اندازه اصلي\tCtrl+0"), [=, this] { ZoomPane(zoomTarget(), 0); });
    QMenu* fonts = menu_->addMenu(QStringLiteral("قلم متن قرآن"));
    auto* fontGroup = new QActionGroup(fonts);
    for (auto [name, font, text] : {std::tuple{"mnuFontDefault", QuranFont::Default, QStringLiteral("قلم صفحه")},
                                    std::tuple{"mnuFontAmiriQuran", QuranFont::AmiriQuran, QStringLiteral("Amiri Quran")},
                                    std::tuple{"mnuFontNotoNaskh", QuranFont::NotoNaskh, QStringLiteral("Noto Naskh Arabic")}})
        fontGroup->addAction(add(fonts, name, text, [this, font = font] { SetQuranFont(font); }, true));
    QMenu* script = menu_->addMenu(QStringLiteral("رسم الخط"));
    auto* scriptGroup = new QActionGroup(script);
    scriptGroup->addAction(add(script, "mnuScriptSimple", QStringLiteral("ساده"), [this] { SetScript(false); }, true));
    scriptGroup->addAction(add(script, "mnuScriptUthmani", QStringLiteral("عثماني"), [this] { SetScript(true); }, true));
    QMenu* translation = menu_->addMenu(QStringLiteral("ترجمه"));
    auto* transGroup = new QActionGroup(translation);
    transGroup->addAction(add(translation, "mnuTransAnsarian", QStringLiteral("انصاريان"),
                              [this] { SetTranslation(cQ114::Translation::Ansarian); }, true));
    transGroup->addAction(add(translation, "mnuTransFooladvand", QStringLiteral("فولادوند"),
                              [this] { SetTranslation(cQ114::Translation::Fooladvand); }, true));
    menu_->addSeparator();
    add(menu_, "mnuNight", QStringLiteral("مطالعه در شب\tCtrl+Shift+N"), [this] { ToggleNight(); }, true);
    add(menu_, "mnuFullScreen", QStringLiteral("تمام صفحه\tF11"), [this] { ToggleFullScreen(); }, true);
    add(menu_, "mnuRememberPlace", QStringLiteral("باز شدن از جايي که ماندم"), [this] { ToggleRememberPlace(); }, true);
    // the checks show the state when the menu opens
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        MenuAction("mnuFontDefault")->setChecked(quranFont_ == QuranFont::Default);
        MenuAction("mnuFontAmiriQuran")->setChecked(quranFont_ == QuranFont::AmiriQuran);
        MenuAction("mnuFontNotoNaskh")->setChecked(quranFont_ == QuranFont::NotoNaskh);
        MenuAction("mnuScriptSimple")->setChecked(!uthmani_);
        MenuAction("mnuScriptUthmani")->setChecked(uthmani_);
        const bool fooladvand = Q114 && Q114->ChosenTranslation() == cQ114::Translation::Fooladvand;
        MenuAction("mnuTransAnsarian")->setChecked(!fooladvand);
        MenuAction("mnuTransFooladvand")->setChecked(fooladvand);
        MenuAction("mnuNight")->setChecked(night_);
        MenuAction("mnuFullScreen")->setChecked(isFullScreen());
        MenuAction("mnuRememberPlace")->setChecked(remember_);
    });
    connect(menu_, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { menuPane_ = nullptr; }); });
    for (WebPane* pane : {wbrQuran, wbrFarsi}) {
        pane->EnableContextMenu();
        connect(pane, &WebPane::ContextMenuRequested, this, [this, pane](const QPoint& at) {
            menuPane_ = pane;
            menu_->popup(at);
        });
    }
}

QAction* frmMain::MenuAction(const QString& name) const { return menu_->findChild<QAction*>(name); }

// ---- keys and the wheel -----------------------------------------------------------

bool frmMain::ReaderKey(QKeyEvent* key) {
    const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int k = key->key();
    // from the keyboard, the size of the page pane unless the translation pane has the focus
    WebPane* sized = wbrFarsi->isAncestorOf(QApplication::focusWidget()) ? wbrFarsi : wbrQuran;
    if (mods & Qt::ControlModifier) {
        if ((k == Qt::Key_Equal || k == Qt::Key_Plus) && !(mods & Qt::AltModifier)) ZoomPane(sized, 1);
        else if (k == Qt::Key_Minus && mods == Qt::ControlModifier) ZoomPane(sized, -1);
        else if (k == Qt::Key_0 && mods == Qt::ControlModifier) ZoomPane(sized, 0);
        else if (k == Qt::Key_N && mods == (Qt::ControlModifier | Qt::ShiftModifier)) ToggleNight();
        else if (k == Qt::Key_D && mods == Qt::ControlModifier) ToggleFish();
        else return false;
        return true;
    }
    if (k == Qt::Key_F11 && !mods) ToggleFullScreen();
    else if (k == Qt::Key_F6 && !mods) ShowFish();
    else if (k == Qt::Key_Escape && isFullScreen()) ToggleFullScreen();
    else return false;
    return true;
}

WebPane* frmMain::PaneUnder(QObject* watched) const {
    for (auto* w = qobject_cast<QWidget*>(watched); w; w = w->parentWidget())
        if (auto* pane = qobject_cast<WebPane*>(w)) return pane;
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

// ---- text size ----------------------------------------------------------------

double frmMain::Zoom(const std::string& pane) const {
    auto it = zoom_.find(pane);
    return it == zoom_.end() ? 1.0 : it->second;
}

void frmMain::ZoomPane(WebPane* pane, int steps) {
    const std::string name = pane->objectName().toStdString();
    double z = Zoom(name);
    if (steps == 0) {
        z = 1.0;
    } else {
        // `steps` steps on from the step nearest to where it stands
        int nearest = 0;
        for (int i = 1; i < static_cast<int>(kZoomSteps.size()); ++i)
            if (std::abs(kZoomSteps[i] - z) < std::abs(kZoomSteps[nearest] - z)) nearest = i;
        z = kZoomSteps[std::clamp(nearest + steps, 0, static_cast<int>(kZoomSteps.size()) - 1)];
    }
    zoom_[name] = z;
    pane->SetZoom(z);  // the page keeps its marked ayah in view
    SaveChoice(name == "wbrQuran" ? "ZoomPage" : "ZoomTranslation", QString::number(z));
}

// ---- settings -------------------------------------------------------------------

std::optional<QString> frmMain::Choice(const char* key) const {
    auto v = services_.settings.Get(kApp, kGroup, QString::fromLatin1(key).toStdU16String());
    if (!v) return std::nullopt;
    return ToQ(*v);
}

void frmMain::SaveChoice(const char* key, const QString& value) {
    services_.settings.Set(kApp, kGroup, QString::fromLatin1(key).toStdU16String(), FromQ(value));
    ReportSettingsTrouble();
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

void frmMain::LoadChoices() {
    for (auto [key, pane] : {std::pair{"ZoomPage", wbrQuran}, std::pair{"ZoomTranslation", wbrFarsi}}) {
        bool ok = false;
        const double z = Choice(key).value_or(QString()).toDouble(&ok);
        if (ok && z >= kZoomSteps.front() && z <= kZoomSteps.back()) {
            zoom_[pane->objectName().toStdString()] = z;
            pane->SetZoom(z);
        }
    }
    const QString font = Choice("QuranFont").value_or(QString());
    for (QuranFont f : {QuranFont::AmiriQuran, QuranFont::NotoNaskh})
        if (font == QuranFontName(f)) quranFont_ = f;
    night_ = Choice("Night") == QStringLiteral("true");
    remember_ = Choice("RememberPlace") == QStringLiteral("true");
    uthmani_ = Choice("Script") == QStringLiteral("uthmani");
    // the Uthmani text is the text with its marks
    if (uthmani_) ShowEarab_ = true;
    if (Choice("Translation") == QStringLiteral("fooladvand")) Q114->ChooseTranslation(cQ114::Translation::Fooladvand);
    // the note cards: as far as the kept text is sound
    QStringList sound;
    QSet<int> seen;
    for (const QString& part : Choice("FishList").value_or(QString()).split(' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int line = part.toInt(&ok);
        if (!ok || line < Q114->MinBound() || line > Q114->MaxBound() || seen.contains(line)) continue;
        if (static_cast<std::size_t>(sound.size()) >= cQ114::kMaxFish) break;
        seen.insert(line);
        sound << QString::number(line);
    }
    Q114->FishList(FromQ(sound.join(' ')));
    if (night_) ApplyNightPalette();
    ApplyRenderingStyles();
    ReportSettingsTrouble();
}

QString frmMain::QuranFontName(QuranFont font) {
    switch (font) {
    case QuranFont::AmiriQuran: return QStringLiteral("Amiri Quran");
    case QuranFont::NotoNaskh: return QStringLiteral("Noto Naskh Arabic");
    case QuranFont::Default: break;
    }
    return QStringLiteral("default");
}

// ---- rendering-only looks ---------------------------------------------------------------

void frmMain::ApplyRenderingStyles() {
    for (WebPane* pane : panes_) {
        QString style = PaneStyle(pane->objectName().toStdString());
        if (pane == wbrQuran) {
            QuranFont font = quranFont_;
            // the Uthmani script is drawn in a Quranic font unless another was chosen
            if (font == QuranFont::Default && uthmani_ && ShowEarab_) font = QuranFont::AmiriQuran;
            if (font == QuranFont::AmiriQuran) style += QStringLiteral(" ") + FontRule(QStringLiteral("Amiri Quran"), 2.3);
            if (font == QuranFont::NotoNaskh) style += QStringLiteral(" ") + FontRule(QStringLiteral("Noto Naskh Arabic"), 2.0);
            // a mark at the start of every line that is on a note card
            QStringList ids;
            for (int16_t line : views::FishLines(*Q114)) ids << QStringLiteral("#") + ToQ(views::LineId(line));
            if (!ids.isEmpty())
                style += QStringLiteral(" %1 { border-right: 4px solid #c89b00; padding-right: 6px; }").arg(ids.join(','));
        }
        // the number of results above the list, outside the document
        if (pane == wbrSearchResult && resultCount_ > 0)
            style += QStringLiteral(" body::before { content: '%1 مورد يافت شد'; display: block; font-weight: bold; "
                                    "margin-bottom: 4px; }")
                         .arg(PersianDigits(QString::number(resultCount_)));
        if (night_) style += QStringLiteral(" ") + kNightRule;
        pane->SetRenderingStyle(style);
    }
}

void frmMain::ShowResultCount(int count) {
    resultCount_ = count;
    ApplyRenderingStyles();
}

void frmMain::RendererTrouble() {
    bool resting = false;
    for (WebPane* p : panes_) resting = resting || p->Resting();
    const QString notice = QString::fromUtf16(WebPane::kRestingNotice);
    // said in the panes themselves; in the message for whoever reads it
    if (resting) message_ = notice;
    else if (message_ == notice) message_.clear();
}

void frmMain::SetQuranFont(QuranFont font) {
    quranFont_ = font;
    SaveChoice("QuranFont", QuranFontName(font));
    ApplyRenderingStyles();
}

void frmMain::ApplyNightPalette() {
    // the controls, the window, and the windows of its own: the menu and its
    // sub-menus (message boxes take it when they open)
    std::vector<QWidget*> all;
    for (auto& [name, w] : controls_)
        if (!qobject_cast<WebPane*>(w)) all.push_back(w);
    all.push_back(this);
    all.push_back(menu_);
    for (QMenu* sub : menu_->findChildren<QMenu*>()) all.push_back(sub);
    for (QWidget* w : all) {
        if (!dayPalettes_.count(w)) {
            dayPalettes_[w] = w->palette();
            dayFilled_[w] = w->autoFillBackground();
        }
        if (!night_) {
            w->setPalette(dayPalettes_[w]);
            w->setAutoFillBackground(dayFilled_[w]);
            continue;
        }
        w->setPalette(NightPalette(w->palette()));
        if (w != menu_ && !qobject_cast<QMenu*>(w)) w->setAutoFillBackground(true);
    }
}

void frmMain::ToggleNight() {
    night_ = !night_;
    SaveChoice("Night", night_ ? QStringLiteral("true") : QStringLiteral("false"));
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

// ---- the remembered place ------------------------------------------------------------

void frmMain::ToggleRememberPlace() {
    remember_ = !remember_;
    SaveChoice("RememberPlace", remember_ ? QStringLiteral("true") : QStringLiteral("false"));
}

void frmMain::KeepPlace() {
    if (!remember_ || !loaded_) return;
    SaveChoice("PlaceLine", QString::number(hsAllQuran->value()));
    SaveChoice("PlaceEarab", ShowEarab_ ? QStringLiteral("true") : QStringLiteral("false"));
    SaveChoice("PlacePanel", Control("picPanelSearch")->isHidden() ? QStringLiteral("surah") : QStringLiteral("search"));
    if (isFullScreen()) ToggleFullScreen();  // the place it has when not full screen
    SaveChoice("PlaceWindow", QString::fromLatin1(saveGeometry().toBase64()));
}

bool frmMain::RestorePlace() {
    if (!remember_) return false;
    bool ok = false;
    const int line = Choice("PlaceLine").value_or(QString()).toInt(&ok);
    if (!ok || line < Q114->MinBound() || line > Q114->MaxBound()) return false;
    // Only a sound place is taken; otherwise the window keeps the design
    // size, centred, as it opened.
    const QByteArray kept = QByteArray::fromBase64(Choice("PlaceWindow").value_or(QString()).toLatin1());
    QList<QRect> screens;
    for (QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    const auto saved = ReadSavedGeometry(kept);
    if (saved && SoundPlace(*saved, QSize(layout::ToPixels(layout::kMinClientWidth), layout::ToPixels(layout::kMinClientHeight)),
                            screens))
        restoreGeometry(kept);
    if (Choice("PlaceEarab") == QStringLiteral("true") && !ShowEarab_) {
        ShowEarab_ = true;
        tags_["wbrQuran"] = QString();
    }
    if (Choice("PlacePanel") == QStringLiteral("search")) cmdShowSearch_Click();
    hsAllQuran->setValue(line);
    RedrawPage();
    return true;
}

void frmMain::StartAt(std::optional<int16_t> line) {
    if (line) hsAllQuran->setValue(*line);
    else RestorePlace();
}

// ---- note cards -----------------------------------------------------------------------

void frmMain::ToggleFish() {
    if (!Q114) return;
    const auto line = static_cast<int16_t>(hsAllQuran->value());
    try {
        if (Q114->FishIsExist(line) > 0) Q114->FishRemove(line);
        else Q114->FishAdder(line);
    } catch (const ModelError& e) {
        ShowMessage(QStringLiteral("يادداشت افزوده نشد: %1").arg(QString::fromUtf8(e.what())));
        return;
    }
    SaveChoice("FishList", ToQ(Q114->FishList()));
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
    if (night_) box->setPalette(NightPalette(box->palette()));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// ---- script and translation ------------------------------------------------------------

void frmMain::RedrawPage() {
    tags_["wbrQuran"] = QString();
    hsAllQuran_Change();
    ApplyRenderingStyles();
}

void frmMain::SetScript(bool uthmani) {
    uthmani_ = uthmani;
    // the Uthmani text is the text with its marks: choosing it shows them
    if (uthmani) ShowEarab_ = true;
    SaveChoice("Script", uthmani ? QStringLiteral("uthmani") : QStringLiteral("simple"));
    RedrawPage();
}

void frmMain::SetTranslation(cQ114::Translation translation) {
    if (!Q114) return;
    Q114->ChooseTranslation(translation);
    SaveChoice("Translation", translation == cQ114::Translation::Fooladvand ? QStringLiteral("fooladvand")
                                                                             : QStringLiteral("ansarian"));
    Q114->GoPosition(static_cast<int16_t>(hsAllQuran->value()));
    Set_Farsi(wbrFarsi, static_cast<int16_t>(hsAllQuran->value()));
}

}  // namespace mushaf
