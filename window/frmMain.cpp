#include "window/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
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

// The fonts and colours of the window's own controls.
struct ControlLooks {
    QFont tahoma, boxes;
    QPalette labels, fields;
    ControlLooks(const QPalette& window, const SystemColours& colours)
        : tahoma(QStringLiteral("Tahoma")), boxes(QStringLiteral("Tahoma")), labels(window), fields(window) {
        tahoma.setPointSizeF(8.25);
        boxes.setPointSizeF(6.75);
        boxes.setBold(true);
        labels.setColor(QPalette::Window, FromColorRef(colours.ActiveBorder()));
        fields.setColor(QPalette::Base, FromColorRef(colours.ButtonFace()));
    }
};

QWidget* NewTextBox(const layout::ControlSpec& c, QWidget* parent, const ControlLooks& looks) {
    const bool number = c.parent == "picGotoTools";
    auto* e = number ? new NumberBox(ToQ(c.caption), c.maxLength, parent) : new QLineEdit(ToQ(c.caption), parent);
    e->setAlignment(ToQt(c.align));
    e->setFont(number ? looks.boxes : looks.tahoma);
    e->setPalette(looks.fields);
    e->setFrame(true);
    if (c.maxLength > 0) e->setMaxLength(c.maxLength);
    e->setLayoutDirection(c.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    return e;
}

// A label, a text box, a button, an option button or a slider.
QWidget* NewInput(const layout::ControlSpec& c, QWidget* parent, const ControlLooks& looks) {
    switch (c.kind) {
    case Kind::Label: {
        auto* l = new QLabel(ToQ(c.caption), parent);
        l->setAlignment(ToQt(c.align));
        l->setFont(looks.tahoma);
        l->setAutoFillBackground(true);
        l->setPalette(looks.labels);
        return l;
    }
    case Kind::TextBox: return NewTextBox(c, parent, looks);
    case Kind::PushButton: {
        auto* b = new QPushButton(ToQ(c.caption), parent);
        b->setFont(looks.tahoma);
        b->setAutoDefault(false);
        return b;
    }
    case Kind::OptionButton: {
        auto* o = new QRadioButton(ToQ(c.caption), parent);
        o->setFont(looks.tahoma);
        o->setChecked(c.selected);
        return o;
    }
    default: {
        auto* sb = new ReadingScrollBar(Qt::Horizontal, parent);
        sb->setRange(c.minimum, c.maximum);
        sb->setValue(c.value);
        sb->setSingleStep(1);
        sb->setPageStep(1);
        sb->setFocusPolicy(Qt::StrongFocus);
        return sb;
    }
    }
}

}  // namespace

frmMain::frmMain(WindowServices services) : services_(services) {
    setWindowTitle(ToQ(layout::kWindowCaption));
    setLayoutDirection(Qt::RightToLeft);
    BuildControls();
    reciters_ = FindReciters(services_.recitationFolders);
    for (std::size_t i = 0; i < reciters_.size(); ++i) reciterAt_.emplace(reciters_[i].name, i);
    BuildCommands();
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
    const ControlLooks looks(palette(), services_.colours);
    for (const layout::ControlSpec& c : layout::Controls()) {
        QWidget* parent = c.parent.empty() ? this : controls_.at(c.parent);
        QWidget* w = c.kind == Kind::Container     ? new QWidget(parent)
                     : c.kind == Kind::BrowserPane ? MakePane(c, parent)
                                                   : NewInput(c, parent, looks);
        w->setObjectName(QString::fromStdString(c.name));
        w->setEnabled(c.enabled);
        if (!c.visible) w->hide();
        controls_[c.name] = w;
    }
    OrderControls();
    StartPanes();
    FindControls();
    ConnectControls();
}

WebPane* frmMain::MakePane(const layout::ControlSpec& c, QWidget* parent) {
    const bool clicks = c.name == "wbrSoreh" || c.name == "wbrQuran" || c.name == "wbrSearchResult" || c.name == "wbrTools";
    auto* p = new WebPane(parent, clicks, PaneStyle(c.name));
    connect(p, &WebPane::Idle, this, [this] {
        if (PanesIdle()) emit PanesBecameIdle();
    });
    panes_.push_back(p);
    return p;
}

void frmMain::OrderControls() {
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
}

void frmMain::StartPanes() {
    // Every pane starts on its page's own empty document. The panes share
    // one renderer, and the page is the one the reader waits for: it makes
    // its view now, the other panes once the page pane has drawn its first
    // work (its first page): at once if they are shown then, or else when
    // first shown.
    WebPane* page = nullptr;
    for (WebPane* p : panes_) {
        if (p->objectName() == "wbrQuran") {
            page = p;
            p->CreateView();
        } else {
            p->DeferView();
        }
    }
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(page, &WebPane::Idle, this, [this, page, once] {
        disconnect(*once);
        page->WhenPainted([this] {
            for (WebPane* p : panes_) p->EndDeferral();
        });
    });
}

void frmMain::FindControls() {
    auto get = [this](const char* n) { return controls_.at(n); };
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
    optSearchInN = static_cast<QRadioButton*>(get("optSearchInN"));
    wbrQuran = static_cast<WebPane*>(get("wbrQuran"));
    wbrFarsi = static_cast<WebPane*>(get("wbrFarsi"));
    wbrSoreh = static_cast<WebPane*>(get("wbrSoreh"));
    wbrSearchResult = static_cast<WebPane*>(get("wbrSearchResult"));
    wbrTools = static_cast<WebPane*>(get("wbrTools"));
    wbrHelp = static_cast<WebPane*>(get("wbrHelp"));
}

void frmMain::ConnectControls() {
    connect(hsAllQuran, &QScrollBar::valueChanged, this,
            [this](int line) { state_.MoveTo(line, ReadingState::From::Slider); });
    connect(hsAllQuran, &QAbstractSlider::actionTriggered, this, [this](int action) { TurnPage(action); });
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

// ---- geometry and panels ---------------------------------------------------

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
    if (!closed_) {
        closed_ = true;
        Form_Unload();
        SettleCompositor();
    }
    event->accept();
}

void frmMain::SettleCompositor() {
    // Qt WebEngine 6.4's compositor thread can hand a frame to a pane's view
    // while the page that owns the view is being destroyed (the view's
    // delegate has already lost its own methods: "pure virtual method
    // called"). So the views stop drawing first, and the event loop runs
    // while frames already on their way arrive, before any page goes.
    hide();
    for (WebPane* p : panes_) p->StopDrawing();
    QEventLoop settle;
    QTimer::singleShot(kCompositorSettleMs, &settle, &QEventLoop::quit);
    settle.exec();
}

}  // namespace mushaf
