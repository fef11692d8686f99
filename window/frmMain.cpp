#include "window/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWebEngineView>
#include <chrono>
#include <cmath>
#include <random>

#include "views/Documents.h"
#include "platform/Key_Language.h"
#include "model/Loading.h"
#include "views/Markup.h"
#include "controls/NumberBox.h"
#include "platform/qt/QtServices.h"
#include "window/WebPane.h"

namespace mushaf {

using layout::Align;
using layout::Kind;
using layout::kTwipsPerPixel;

namespace {

int Px(int twips) { return layout::ToPixels(twips); }

QColor FromColorRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

Qt::Alignment ToQt(Align a) {
    switch (a) {
    case Align::Left: return Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Right: return Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter;
    case Align::Center: return Qt::AlignCenter;
    }
    return Qt::AlignCenter;
}

// The line slider is drawn right to left: Left goes on reading (a larger
// line) and Right goes back, the way the arrows point at the thumb.
class ReadingScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    // the focus shows as a frame around the slider
    void paintEvent(QPaintEvent* event) override {
        QScrollBar::paintEvent(event);
        if (!hasFocus()) return;
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (orientation() == Qt::Horizontal && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
            const bool forward = (event->key() == Qt::Key_Left) == isRightToLeft();
            triggerAction(forward ? SliderSingleStepAdd : SliderSingleStepSub);
            event->accept();
            return;
        }
        QScrollBar::keyPressEvent(event);
    }
};

constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF9 = 120, kF12 = 123;

int VbKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kF1 + (qtKey - Qt::Key_F1);
    return 0;
}

}  // namespace

frmMain::frmMain(WindowServices services) : services_(services) {
    setWindowTitle(ToQ(layout::kWindowCaption));
    setLayoutDirection(Qt::RightToLeft);
    BuildControls();
    BuildReaderMenu();
    resize(Px(layout::kDesignClientWidth), Px(layout::kDesignClientHeight));
    qApp->installEventFilter(this);
}

frmMain::~frmMain() { qApp->removeEventFilter(this); }

// ---- the control tree ------------------------------------------------------

QString frmMain::PaneStyle(const std::string& pane) const {
    QString style = ToQ(views::kPaneStyle);
    if (pane == "wbrQuran") style += QStringLiteral(" ") + ToQ(views::kPageStyle);
    return style;
}

void frmMain::BuildControls() {
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSizeF(8.25);
    QFont boxes(QStringLiteral("Tahoma"));
    boxes.setPointSizeF(6.75);
    boxes.setBold(true);
    QPalette labels = palette();
    labels.setColor(QPalette::Window, FromColorRef(services_.colours.ActiveBorder()));
    QPalette fields = palette();
    fields.setColor(QPalette::Base, FromColorRef(services_.colours.ButtonFace()));

    for (const layout::ControlSpec& c : layout::Controls()) {
        QWidget* parent = c.parent.empty() ? this : controls_.at(c.parent);
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Container: w = new QWidget(parent); break;
        case Kind::Label: {
            auto* l = new QLabel(ToQ(c.caption), parent);
            l->setAlignment(ToQt(c.align));
            l->setFont(tahoma);
            l->setAutoFillBackground(true);
            l->setPalette(labels);
            w = l;
            break;
        }
        case Kind::TextBox: {
            const bool number = c.parent == "picGotoTools";
            auto* e = number ? new NumberBox(ToQ(c.caption), c.maxLength, parent) : new QLineEdit(ToQ(c.caption), parent);
            e->setAlignment(ToQt(c.align));
            e->setFont(number ? boxes : tahoma);
            e->setPalette(fields);
            e->setFrame(true);
            if (c.maxLength > 0) e->setMaxLength(c.maxLength);
            e->setLayoutDirection(c.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            w = e;
            break;
        }
        case Kind::PushButton: {
            auto* b = new QPushButton(ToQ(c.caption), parent);
            b->setFont(tahoma);
            b->setAutoDefault(false);
            w = b;
            break;
        }
        case Kind::OptionButton: {
            auto* o = new QRadioButton(ToQ(c.caption), parent);
            o->setFont(tahoma);
            o->setChecked(c.selected);
            w = o;
            break;
        }
        case Kind::ScrollBar: {
            auto* s = new ReadingScrollBar(Qt::Horizontal, parent);
            s->setRange(c.minimum, c.maximum);
            s->setValue(c.value);
            s->setSingleStep(1);
            s->setPageStep(1);
            s->setFocusPolicy(Qt::StrongFocus);
            w = s;
            break;
        }
        case Kind::BrowserPane: {
            bool clicks = c.name == "wbrSoreh" || c.name == "wbrQuran" || c.name == "wbrSearchResult" || c.name == "wbrTools";
            auto* p = new WebPane(parent, clicks, PaneStyle(c.name));
            connect(p, &WebPane::Idle, this, [this] {
                if (PanesIdle()) emit PanesBecameIdle();
            });
            panes_.push_back(p);
            w = p;
            break;
        }
        }
        w->setObjectName(QString::fromStdString(c.name));
        w->setEnabled(c.enabled);
        if (!c.visible) w->hide();
        controls_[c.name] = w;
    }
    // siblings are listed front to back: raise from the back
    const auto& all = layout::Controls();
    for (auto it = all.rbegin(); it != all.rend(); ++it) controls_.at(it->name)->raise();

    // tab order
    std::vector<const layout::ControlSpec*> byTab;
    for (const auto& c : all) byTab.push_back(&c);
    std::sort(byTab.begin(), byTab.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    QWidget* previous = nullptr;
    for (const auto* c : byTab) {
        QWidget* w = controls_.at(c->name);
        if (w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, w);
        previous = w;
        tabOrder_.push_back(w);
    }

    auto get = [this](const char* n) { return controls_.at(n); };
    // Every pane starts on an empty document. The panes share one renderer,
    // and the page is the one the reader waits for: it makes its view now,
    // the other panes once the page pane has drawn its first work (its
    // first page): at once if they are shown then, or else when first shown.
    WebPane* page = nullptr;
    for (WebPane* p : panes_) {
        if (p->objectName() == "wbrQuran") {
            page = p;
            p->CreateView();
        } else {
            p->DeferView();
        }
        p->Navigate(QUrl(QStringLiteral("about:blank")));
    }
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(page, &WebPane::Idle, this, [this, page, once] {
        disconnect(*once);
        page->WhenPainted([this] {
            for (WebPane* p : panes_) p->EndDeferral();
        });
    });
    hsAllQuran = static_cast<QScrollBar*>(get("hsAllQuran"));
    hsPage = static_cast<QScrollBar*>(get("hsPage"));
    txtSoreh = static_cast<NumberBox*>(get("txtSoreh"));
    txtAyeh = static_cast<NumberBox*>(get("txtAyeh"));
    txtJoze = static_cast<NumberBox*>(get("txtJoze"));
    txtPage = static_cast<NumberBox*>(get("txtPage"));
    txtQSearch = static_cast<QLineEdit*>(get("txtQSearch"));
    txtSearch = static_cast<QLineEdit*>(get("txtSearch"));
    lblPage = static_cast<QLabel*>(get("lblPage"));
    lblFarsi = static_cast<QLabel*>(get("lblFarsi"));
    lblSearch = static_cast<QLabel*>(get("lblSearch"));
    cmdHelp = static_cast<QPushButton*>(get("cmdHelp"));
    cmdShowSoreh = static_cast<QPushButton*>(get("cmdShowSoreh"));
    cmdShowSearch = static_cast<QPushButton*>(get("cmdShowSearch"));
    cmdSearch = static_cast<QPushButton*>(get("cmdSearch"));
    optSearchInQ = static_cast<QRadioButton*>(get("optSearchInQ"));
    optSearchInT = static_cast<QRadioButton*>(get("optSearchInT"));
    wbrQuran = static_cast<WebPane*>(get("wbrQuran"));
    wbrFarsi = static_cast<WebPane*>(get("wbrFarsi"));
    wbrSoreh = static_cast<WebPane*>(get("wbrSoreh"));
    wbrSearchResult = static_cast<WebPane*>(get("wbrSearchResult"));
    wbrTools = static_cast<WebPane*>(get("wbrTools"));
    wbrHelp = static_cast<WebPane*>(get("wbrHelp"));

    connect(hsAllQuran, &QScrollBar::valueChanged, this, [this] { hsAllQuran_Change(); });
    // PageUp/PageDown and a click in the track turn a page: to the first line
    // of the next or the previous page
    connect(hsAllQuran, &QAbstractSlider::actionTriggered, this, [this](int action) {
        const bool next = action == QAbstractSlider::SliderPageStepAdd;
        if (!Q114 || PageStartList.size() < 2 || (!next && action != QAbstractSlider::SliderPageStepSub)) return;
        const int page = Q114->LineAt(static_cast<int16_t>(hsAllQuran->value())).page;
        const int pages = static_cast<int>(PageStartList.size()) - 1;
        const int to = std::clamp(next ? page + 1 : page - 1, 1, pages);
        // before the first page's first line, back goes to it
        hsAllQuran->setSliderPosition(next && page == pages ? hsAllQuran->value() : PageStartList[to - 1]);
    });
    connect(hsPage, &QScrollBar::valueChanged, this, [this] { hsPage_Change(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdShowSoreh, &QPushButton::clicked, this, [this] { cmdShowSoreh_Click(); });
    connect(cmdShowSearch, &QPushButton::clicked, this, [this] { cmdShowSearch_Click(); });
    connect(cmdSearch, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
    connect(txtQSearch, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (loaded_) Show_Soreh(FromQ(t));
    });
    // Return in the surah filter opens the first surah it shows (the only one, often)
    connect(txtQSearch, &QLineEdit::returnPressed, this, [this] {
        if (!loaded_ || !Q114) return;
        if (auto surah = views::FirstSurahShown(*Q114, FromQ(txtQSearch->text())))
            DocSoreh_onclick(QStringLiteral("A"), QString::number(*surah));
    });
    // Enter in the query box starts the search: the search button is the
    // default button while the box holds the focus
    connect(txtSearch, &QLineEdit::returnPressed, this, [this] { cmdSearch->click(); });
    for (NumberBox* box : {txtSoreh, txtAyeh, txtJoze, txtPage})
        connect(box, &NumberBox::Entered, this, [this, box] { NumberBox_Entered(box); });
}

QWidget* frmMain::Control(const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

WebPane* frmMain::Pane(const std::string& name) const { return qobject_cast<WebPane*>(Control(name)); }

QString frmMain::Tag(const std::string& name) const {
    if (auto* box = qobject_cast<NumberBox*>(Control(name))) return box->Tag();
    auto it = tags_.find(name);
    return it == tags_.end() ? QString() : it->second;
}

bool frmMain::PanesIdle() const {
    for (WebPane* p : panes_)
        if (!p->IsIdle()) return false;
    return true;
}

void frmMain::ApplyGeometry() {
    for (const auto& [name, r] : geometry_.All()) {
        QWidget* w = controls_.at(name);
        w->setGeometry(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
    }
}

void frmMain::ResizeClient(int widthTwips, int heightTwips) {
    // no larger than the screens can show, and at least a pixel
    const QSize most = (screen() ? screen() : QGuiApplication::primaryScreen())->virtualSize();
    resize(std::clamp(Px(widthTwips), 1, std::max(1, most.width())), std::clamp(Px(heightTwips), 1, std::max(1, most.height())));
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    geometry_.ResizeClient(width() * kTwipsPerPixel, height() * kTwipsPerPixel);
    ApplyGeometry();
}

void frmMain::SetPanelVisible(const std::string& name, bool visible) {
    QWidget* panel = controls_.at(name);
    if (panel->isHidden() != visible) return;
    // Hidden with the focus inside, the panel would pass the focus along the
    // tab chain into the page pane, whose first link then scrolls into view.
    // The focus goes to the query box of the side panel that stays instead.
    QWidget* focus = QApplication::focusWidget();
    if (!visible && focus && panel->isAncestorOf(focus)) {
        for (QLineEdit* home : {txtQSearch, txtSearch})
            if (!panel->isAncestorOf(home) && home->isVisible()) {
                home->setFocus(Qt::OtherFocusReason);
                break;
            }
    }
    panel->setVisible(visible);
    geometry_.SetVisible(name, visible);
    ApplyGeometry();
}

// ---- start-up and shutdown -------------------------------------------------

void frmMain::Form_Load() {
    PageStartList = views::PageStartList(LoadTable(services_.tables, "PageUnic"), 6348);

    BackColorHex = views::BackColorHex(services_.colours.ButtonFace());
    ShellDocument = views::ShellDocument(BackColorHex);
    int32_t persian = 1;
    Set_Language(persian, services_.keyboard);
    SetBounds(Q114, services_.tables);
    Q114->ExportFolder = services_.exportFolder;
    ScrollOnSelect_ = true;
    hsAllQuran->setMaximum(Q114->MaxBound());
    MoveFormCenter();
    for (WebPane* p : panes_) p->Write(ToQ(ShellDocument));
    Set_Help();
    // a click anywhere on a result row goes to its line
    wbrSearchResult->SetRowClicks(true);
    // a new text size (or pane size) keeps the marked ayah in view
    wbrQuran->KeepInView(ToQ(u"." + Text(views::kLineMarkedClass) + u", ." + Text(views::kBesmMarkedClass)));
    for (WebPane* p : panes_) connect(p, &WebPane::RendererResting, this, [this] { RendererTrouble(); });
    connect(wbrSoreh, &WebPane::LinkClicked, this, &frmMain::DocSoreh_onclick);
    connect(wbrQuran, &WebPane::LinkClicked, this, &frmMain::DocQuran_onclick);
    connect(wbrSearchResult, &WebPane::LinkClicked, this, &frmMain::DocSearchResult_onclick);
    connect(wbrTools, &WebPane::LinkClicked, this, &frmMain::DocTools_onclick);
    Show_Soreh(Text());
    LoadChoices();
    loaded_ = true;
    hsAllQuran->setValue(0);
    txtQSearch->setFocus();
}

void frmMain::MoveFormCenter() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect s = screen->geometry();
    const QRect f = frameGeometry();
    const layout::Placement at =
        layout::CenterPlacement(s.width() * kTwipsPerPixel, s.height() * kTwipsPerPixel, f.width() * kTwipsPerPixel,
                                f.height() * kTwipsPerPixel);
    move(s.left() + layout::ToPixels(at.left), s.top() + layout::ToPixels(at.top));
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    KeepPlace();
    // the model goes first; no handler runs after it
    disconnect(hsAllQuran, nullptr, this, nullptr);
    loaded_ = false;
    UnSetBounds(Q114);
}

// ---- the refresh sequence ----------------------------------------------------

void frmMain::hsAllQuran_Change() {
    Refresh([this] { Q114->GoPosition(static_cast<int16_t>(hsAllQuran->value())); });
}

void frmMain::hsPage_Change() {
    Refresh([this] {
        try {
            Q114->GoPage(Decimal(hsPage->value()));
        } catch (const ModelError&) {
        }
    });
}

void frmMain::Refresh(const std::function<void()>& place) {
    if (InChange || !Q114) return;
    InChange = true;
    place();
    Set_Objects();
    Set_Quran(static_cast<int16_t>(hsPage->value()));
    Set_Ayeh(wbrQuran, static_cast<int16_t>(hsAllQuran->value()));
    Set_Farsi(wbrFarsi, static_cast<int16_t>(hsAllQuran->value()));
    InChange = false;
}

void frmMain::Set_Objects() {
    hsAllQuran->setValue(Q114->GlobalAyeh());
    hsPage->setValue(Q114->Page());
    txtSoreh->SetNumber(QString::number(Q114->Soreh()));
    txtAyeh->SetNumber(QString::number(Q114->Ayeh()));
    txtPage->SetNumber(QString::number(Q114->Page()));
    txtJoze->SetNumber(QString::number(Q114->Joze()));
    txtSoreh->SetTag(QStringLiteral("114"));
    txtAyeh->SetTag(QString::number(Q114->TotalAyat()));
    txtPage->SetTag(QStringLiteral("604"));
    txtJoze->SetTag(QStringLiteral("30"));
}

void frmMain::Set_Quran(int16_t page) {
    auto key = ReadNumber(FromQ(QStringLiteral("0") + tags_["wbrQuran"]));
    if (key && static_cast<int>(*key) == page) return;
    tags_["wbrQuran"] = QString::number(page);
    if (page < 1 || page >= static_cast<int>(PageStartList.size())) return;
    int16_t first = PageStartList[page - 1];
    int16_t last = static_cast<int16_t>(PageStartList[page] - 1);
    lblPage->setText(ToQ(views::PageCaption(static_cast<int16_t>(hsPage->value()))));
    wbrQuran->Write(ToQ(views::PageDocument(*Q114, first, last, ShowEarab_, BackColorHex, uthmani_)));
}

void frmMain::Set_Ayeh(WebPane* pane, int16_t line) {
    using namespace views;
    const QString id = ToQ(LineId(line));
    pane->ReplaceClass(QString(), ToQ(kLineMarkedClass), ToQ(kLineClass));
    pane->ReplaceClass(QString(), ToQ(kBesmMarkedClass), ToQ(kBesmClass));
    pane->ReplaceClass(id, ToQ(kLineClass), ToQ(kLineMarkedClass));
    pane->ReplaceClass(id, ToQ(kBesmClass), ToQ(kBesmMarkedClass));
    if (ScrollOnSelect_) pane->ScrollIntoView({ToQ(LineId(line - 1)), id});
    ScrollOnSelect_ = true;
}

void frmMain::Set_Farsi(WebPane* pane, int16_t line) {
    views::Translation t = views::TranslationDocument(*Q114, line, BackColorHex);
    lblFarsi->setText(ToQ(t.caption));
    pane->Write(ToQ(t.document));
}

void frmMain::Set_Help() {
    auto bytes = services_.tables.Lookup("Help", 1);
    if (!bytes) throw ModelError("resource not found", "Help");
    Text help = Utf16LE(*bytes);
    if (!help.empty()) help.erase(0, 1);
    wbrHelp->Write(ToQ(help));
}

void frmMain::Show_Soreh(const Text& filter) {
    wbrSoreh->Write(ToQ(views::SorehIndexDocument(*Q114, filter, BackColorHex)));
    // the index leaves the model where the design has it: on surah 114
    Q114->GoPosition(Q114->SorehFirstLine(114));
}

// ---- number boxes ------------------------------------------------------------

void frmMain::NumberBox_Entered(NumberBox* box) {
    if (!Q114) return;
    try {
        if (box == txtSoreh) Q114->GoSoreh(FromQ(txtSoreh->text()));
        else if (box == txtJoze) Q114->GoJoze(FromQ(txtJoze->text()));
        else if (box == txtPage) Q114->GoPage(FromQ(txtPage->text()));
        else if (box == txtAyeh) {
            // with no surah number in its box there is nothing to go to
            if (!ReadNumber(FromQ(txtSoreh->text()))) return;
            Q114->GoAyehOfSoreh(FromQ(txtSoreh->text()), FromQ(txtAyeh->text()));
        }
    } catch (const ModelError&) {
        return;  // the position stays where it was
    }
    hsAllQuran->setValue(Q114->GlobalAyeh());
}

// ---- keys, buttons, clipboard --------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application: every event of every object passes here
    // once.
    switch (event->type()) {
    case QEvent::KeyPress: {
        // key preview: once per key, where it is delivered to the focused
        // widget of this window (or to the window when nothing has the focus)
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : focusWidget();
        if (widget && widget->window() == this && (widget == focus || (!focus && widget == this))) {
            auto* key = static_cast<QKeyEvent*>(event);
            Form_KeyDown(VbKeyCode(key->key()), static_cast<int>(key->modifiers()));
            if (loaded_ && ReaderKey(key)) return true;
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
    const auto line = static_cast<int16_t>(hsAllQuran->value());
    Q114->GoPosition(line);
    Text text = views::CopyText(*Q114, line, ShowEarab_, uthmani_);
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
    hsAllQuran->setValue(static_cast<int16_t>(std::nearbyint(v)));
}

// ---- search --------------------------------------------------------------------

void frmMain::cmdSearch_Click() {
    if (!Q114) return;
    wbrSearchResult->Write(ToQ(ShellDocument + views::kWaitMessage));
    Q114->SearchText(views::PrepareSearchQuery(FromQ(txtSearch->text())));
    if (optSearchInQ->isChecked()) Q114->SearchTo(0);
    else if (optSearchInT->isChecked()) Q114->SearchTo(1);
    searchListed_ = false;
    try {
        // A query the model does not search (under two characters besides
        // spaces) leaves its last list; the pane shows that nothing was found.
        if (TrimSpaces(Q114->SearchText()).size() < 2) {
            LeaveFishList();
            ShowResultCount(0);
            wbrSearchResult->Write(ToQ(views::ResultMessageDocument(views::kNothingFound, BackColorHex)));
            return;
        }
        Q114->StartSearch(-1, -1);
    } catch (const InvalidPattern&) {
        LeaveFishList();
        ShowResultCount(0);
        wbrSearchResult->Write(ToQ(views::ResultMessageDocument(views::kInvalidPattern, BackColorHex)));
        return;
    }
    searchListed_ = true;
    Write_Search_Result();
}

void frmMain::Write_Search_Result() {
    LeaveFishList();
    ShowResultCount(static_cast<int>(Q114->FoundList().size()));
    wbrSearchResult->Write(ToQ(views::ResultListDocument(*Q114, BackColorHex)));
    // the list leaves the model on its last line
    if (!Q114->FoundList().empty()) Q114->GoPosition(Q114->FoundList().back());
}

// ---- clicks in documents -------------------------------------------------------

namespace {
std::optional<int16_t> LinkNumber(const QString& id) {
    auto v = ReadNumber(FromQ(id));
    if (!v || *v < -32768 || *v > 32767) return std::nullopt;
    return static_cast<int16_t>(RoundHalfEven(*v));
}
}  // namespace

void frmMain::DocQuran_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    auto n = LinkNumber(id);
    if (!n) return;
    ScrollOnSelect_ = false;
    Q114->GoPosition(*n);
    hsAllQuran->setValue(Q114->GlobalAyeh());
}

void frmMain::DocSoreh_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    try {
        Q114->GoSoreh(FromQ(id));
    } catch (const ModelError&) {
        return;
    }
    hsAllQuran->setValue(Q114->GlobalAyeh());
}

void frmMain::DocSearchResult_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A") || !Q114) return;
    if (auto n = LinkNumber(id)) hsAllQuran->setValue(*n);
}

void frmMain::DocTools_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    if (id == QStringLiteral("01")) {
        SetPanelVisible("picPanelSearch", false);
        SetPanelVisible("picPanelQuran", true);
    } else if (id == QStringLiteral("02")) {
        SetPanelVisible("picPanelSearch", true);
        SetPanelVisible("picPanelQuran", false);
    }
}

}  // namespace mushaf
