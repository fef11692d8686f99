#include "window/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QLineEdit>
#include <QMenu>
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
#include "window/FormKeys.h"
#include "window/WebPane.h"

namespace mushaf {

using layout::Align;
using layout::Kind;
using layout::kTwipsPerPixel;
using namespace form_keys;

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

namespace {

// The panes start on their pages' own empty documents. They share one
// renderer, and the page is the one the reader waits for: it makes its view
// now, the other panes once the page pane has drawn its first work (its first
// page): at once if they are shown then, or else when first shown.
void StartPanes(const std::vector<WebPane*>& panes) {
    WebPane* page = panes.front();
    page->CreateView();
    for (WebPane* p : panes)
        if (p != page) p->DeferView();
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(page, &WebPane::Idle, page, [page, panes, once] {
        QObject::disconnect(*once);
        page->WhenPainted([panes] {
            for (WebPane* p : panes) p->EndDeferral();
        });
    });
}

template <typename T>
T* Get(const std::map<std::string, QWidget*>& controls, const char* name) {
    return static_cast<T*>(controls.at(name));
}

// The widgets night reading reaches: the controls (a pane: its notice and
// its focus frame), the window, and its menus.
std::vector<QWidget*> Surfaces(QWidget* window, const std::map<std::string, QWidget*>& controls, QMenu* menu) {
    std::vector<QWidget*> all;
    for (const auto& [name, w] : controls) all.push_back(w);
    all.push_back(window);
    all.push_back(menu);
    for (QMenu* sub : menu->findChildren<QMenu*>()) all.push_back(sub);
    return all;
}

// The menu's own entries, most used first: the commands and sub-menus by
// name, nullptr a line between.
const std::vector<const char*> kMenuTop = {
    "mnuPlay", "mnuStop", nullptr, "mnuFish", "mnuFishNote", "mnuCopy", nullptr, "mnuView", "mnuStudy", "mnuRecitation",
    "mnuExport", nullptr, "mnuRandom", "mnuHelp", "mnuRememberPlace",
};

}  // namespace

frmMain::frmMain(WindowServices services) : services_(services) {
    setWindowTitle(ToQ(layout::kWindowCaption));
    setLayoutDirection(Qt::RightToLeft);
    choices_ = std::make_unique<KeptChoices>(services_.settings);
    clock_ = std::make_unique<Clock>();
    messages_ = std::make_unique<MessageLine>(this, [this] { return choices_->Get().night; });
    commands_ = std::make_unique<CommandTable>(this);
    paneTable_ = std::make_unique<PaneTable>(*choices_);
    parts_.choices = choices_.get();
    parts_.clock = clock_.get();
    parts_.messages = messages_.get();
    parts_.commands = commands_.get();
    parts_.panes = paneTable_.get();
    BuildControls();
    resize(Px(layout::kDesignClientWidth), Px(layout::kDesignClientHeight));
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    // what the compositor had on its way arrives before any page goes
    if (closed_) SettleCompositor();
    // the parts first, then the model they read
    screenReader_.reset();
    place_.reset();
    recitation_.reset();
    hifz_.reset();
    khatmah_.reset();
    history_.reset();
    cards_.reset();
    translations_.reset();
    appearance_.reset();
    search_.reset();
    reading_.reset();
    UnSetBounds(Q114);
}

// ---- the control tree ------------------------------------------------------

void frmMain::BuildControls() {
    const ControlLooks looks(palette(), services_.colours);
    for (const layout::ControlSpec& c : layout::Controls()) {
        QWidget* parent = c.parent.empty() ? this : controls_.at(c.parent);
        QWidget* w = nullptr;
        if (c.kind == Kind::Container) w = new QWidget(parent);
        else if (const PaneEntry* pane = EntryNamed(c.name)) {
            auto* p = new WebPane(parent, pane->clicks, PaneStyle(*pane));
            connect(p, &WebPane::Idle, this, [this] {
                if (PanesIdle()) emit PanesBecameIdle();
            });
            paneTable_->Take(pane->id, p);
            panes_.push_back(p);
            w = p;
        } else w = NewInput(c, parent, looks);
        w->setObjectName(QString::fromStdString(c.name));
        w->setEnabled(c.enabled);
        if (!c.visible) w->hide();
        controls_[c.name] = w;
    }
    // the page pane first
    std::stable_partition(panes_.begin(), panes_.end(), [this](WebPane* p) { return p == paneTable_->Pane(PaneId::Page); });
    // siblings are listed front to back: raise from the back
    const auto& all = layout::Controls();
    for (auto it = all.rbegin(); it != all.rend(); ++it) controls_.at(it->name)->raise();
    // the tab order
    std::vector<const layout::ControlSpec*> byTab;
    for (const auto& c : all) byTab.push_back(&c);
    std::sort(byTab.begin(), byTab.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    for (const auto* c : byTab) {
        QWidget* w = controls_.at(c->name);
        if (w->focusPolicy() == Qt::NoFocus) continue;
        if (!tabOrder_.empty()) setTabOrder(tabOrder_.back(), w);
        tabOrder_.push_back(w);
    }
    StartPanes(panes_);
}

void frmMain::ConnectControls() {
    auto* line = Get<QScrollBar>(controls_, "hsAllQuran");
    connect(line, &QScrollBar::valueChanged, this, [this](int n) { state_.MoveTo(n, ReadingState::From::Slider); });
    connect(line, &QAbstractSlider::actionTriggered, reading_.get(), &ReadingPart::TurnPage);
    connect(Get<QScrollBar>(controls_, "hsPage"), &QScrollBar::valueChanged, reading_.get(), &ReadingPart::hsPage_Change);
    connect(Get<QPushButton>(controls_, "cmdHelp"), &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(Get<QPushButton>(controls_, "cmdShowSoreh"), &QPushButton::clicked, this, &frmMain::cmdShowSoreh_Click);
    connect(Get<QPushButton>(controls_, "cmdShowSearch"), &QPushButton::clicked, this, &frmMain::cmdShowSearch_Click);
    connect(Get<QPushButton>(controls_, "cmdSearch"), &QPushButton::clicked, search_.get(), &SearchPart::cmdSearch_Click);
    auto* filter = Get<QLineEdit>(controls_, "txtQSearch");
    connect(filter, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (loaded_) reading_->Show_Soreh(FromQ(t));
    });
    // Return in the surah filter opens the first surah it shows (the only one, often)
    connect(filter, &QLineEdit::returnPressed, this, [this, filter] {
        if (loaded_) reading_->OpenFirstSurah(FromQ(filter->text()));
    });
    // Enter in the query box starts the search: the search button is the
    // default button while the box holds the focus
    connect(Get<QLineEdit>(controls_, "txtSearch"), &QLineEdit::returnPressed, Get<QPushButton>(controls_, "cmdSearch"),
            &QPushButton::click);
    for (const char* name : {"txtSoreh", "txtAyeh", "txtJoze", "txtPage"}) {
        auto* box = Get<NumberBox>(controls_, name);
        connect(box, &NumberBox::Entered, this, [this, box] { reading_->NumberBox_Entered(box); });
    }
    paneTable_->OnClick(PaneId::Page, [this](const QString& t, const QString& id) { reading_->DocQuran_onclick(t, id); });
    paneTable_->OnClick(PaneId::Index, [this](const QString& t, const QString& id) { reading_->DocSoreh_onclick(t, id); });
    paneTable_->OnClick(PaneId::Results,
                        [this](const QString& t, const QString& id) { reading_->DocSearchResult_onclick(t, id); });
    paneTable_->OnClick(PaneId::Tools, [this](const QString& t, const QString& id) { DocTools_onclick(t, id); });
    for (WebPane* p : panes_)
        connect(p, &WebPane::RendererResting, this, [this] {
            bool resting = false;
            for (WebPane* each : panes_) resting = resting || each->Resting();
            // said in the panes themselves; in the message for whoever reads it
            if (resting) messages_->Note(QString::fromUtf16(WebPane::kRestingNotice));
            else messages_->Forget(QString::fromUtf16(WebPane::kRestingNotice));
        });
}

// ---- the parts ----------------------------------------------------------------

void frmMain::MakeParts() {
    ReadingPart::Controls rc{Get<QScrollBar>(controls_, "hsAllQuran"), Get<QScrollBar>(controls_, "hsPage"),
                             Get<NumberBox>(controls_, "txtSoreh"),     Get<NumberBox>(controls_, "txtAyeh"),
                             Get<NumberBox>(controls_, "txtJoze"),      Get<NumberBox>(controls_, "txtPage"),
                             Get<QLabel>(controls_, "lblPage"),         Get<QLabel>(controls_, "lblFarsi")};
    reading_ = std::make_unique<ReadingPart>(
        state_, *Q114, *paneTable_, *choices_, ReadingPart::Services{services_.tables, services_.clipboard, services_.keyboard},
        rc);
    SearchPart::Controls sc{Get<QLineEdit>(controls_, "txtSearch"),      Get<QRadioButton>(controls_, "optSearchInQ"),
                            Get<QRadioButton>(controls_, "optSearchInT"), Get<QRadioButton>(controls_, "optSearchInN"),
                            Get<QLabel>(controls_, "lblSearch"),          Get<QLabel>(controls_, "lblSearchResult")};
    search_ = std::make_unique<SearchPart>(*Q114, *paneTable_, *choices_, *reading_, sc);
    appearance_ = std::make_unique<AppearancePart>(*this, *Q114, *paneTable_, *choices_, *reading_,
                                                   [this] { return Surfaces(this, controls_, commands_->Menu()); });
    translations_ = std::make_unique<TranslationsPart>(*Q114, *choices_, *reading_, *messages_, *commands_,
                                                       services_.shippedTranslations, services_.readerTranslations);
    cards_ = std::make_unique<NoteCardsPart>(state_, *Q114, *paneTable_, *choices_, *messages_, *reading_, *search_,
                                             services_.exportFolder);
    history_ = std::make_unique<HistoryPart>(state_, *Q114, *choices_, *clock_, *search_, *reading_);
    auto caption = [this] {
        if (loaded_) reading_->ShowPageCaption();
    };
    khatmah_ = std::make_unique<KhatmahPart>(state_, *Q114, *choices_, *clock_, *messages_, caption);
    hifz_ = std::make_unique<HifzPart>(state_, *Q114, *paneTable_, *choices_, *reading_);
    recitation_ = std::make_unique<RecitationPart>(state_, *Q114, reading_->PageStartList(), *choices_, *messages_,
                                                   RecitationPart::Services{services_.recitationFolders, services_.audio, services_.importRecordings},
                                                   caption);
    place_ = std::make_unique<PlacePart>(
        *this, state_, *choices_, *reading_, *appearance_,
        PlacePart::Panel{[this] { return !Control("picPanelSearch")->isHidden(); }, [this] { cmdShowSearch_Click(); }});
    // last: it says what the others have done
    screenReader_ = std::make_unique<ScreenReaderPart>(*this, state_, *Q114, *paneTable_, *reading_, *search_,
                                                       [this](const char* name) { return Control(name); });
    screenReader_->NameControls();
    // a child of the page pane, which deletes it
    auto* playerBar = new PlayerBar(*recitation_, *Q114, *choices_, paneTable_->Pane(PaneId::Page));
    parts_ = {choices_.get(), clock_.get(),  messages_.get(), commands_.get(), paneTable_.get(),
              reading_.get(), search_.get(), appearance_.get(), cards_.get(),  history_.get(),
              khatmah_.get(), hifz_.get(),   recitation_.get(), place_.get(),  playerBar, translations_.get(),
              screenReader_.get()};
}

void frmMain::WireParts() {
    // the window's own keys: its key handler runs them, and the stored help lists them
    using K = QKeySequence;
    auto formKey = [this](int code) { return [this, code] { Form_KeyDown(code, 0); }; };
    commands_->Add({
        {.name = "mnuEarab", .text = QStringLiteral("اعراب"), .keys = {K(Qt::Key_F4)}, .run = formKey(kF4),
         .checked = [this] { return reading_->ShowEarab(); }, .menu = {menus::kView}, .formKey = true},
        {.name = "mnuCopy", .text = QStringLiteral("کپی آیه و ترجمه"), .keys = {K(Qt::Key_F9)}, .run = formKey(kF9),
         .formKey = true},
        {.name = "mnuRandom", .text = QStringLiteral("آیهٔ تصادفی"), .keys = {K(Qt::Key_F12)}, .run = formKey(kF12),
         .formKey = true},
        {.name = "mnuHelp", .text = QStringLiteral("راهنما"), .keys = {K(Qt::Key_F1)}, .run = formKey(kF1), .formKey = true},
    });
    commands_->Add(recitation_->Commands());
    commands_->Add(cards_->Commands());
    commands_->Add(history_->Commands());
    commands_->Add(khatmah_->Commands());
    commands_->Add(hifz_->Commands());
    commands_->Add(search_->Commands());
    commands_->Add(appearance_->Commands(*commands_));
    commands_->Add(translations_->Commands());
    commands_->Add(place_->Commands());
    commands_->BuildMenu(kMenuTop);
    connect(paneTable_.get(), &PaneTable::MenuAsked, commands_.get(), &CommandTable::Popup);
    connect(choices_.get(), &KeptChoices::Changed, commands_.get(), &CommandTable::UpdateChecks);
    connect(choices_.get(), &KeptChoices::Changed, search_.get(), &SearchPart::UpdateNotesOption);
    connect(choices_.get(), &KeptChoices::Troubled, messages_.get(), [this](const QString& text) { messages_->Say(text); });
    reading_->AddCaption([this] { return recitation_->Caption(); });
    reading_->AddCaption([this] { return khatmah_->Caption(); });
    search_->SetPanel(
        [this] {
            if (Control("picPanelSearch")->isHidden()) cmdShowSearch_Click();
        },
        [this](bool shown) {
            geometry_.SetVisible("optSearchInN", shown);
            geometry_.OptionRowRule();
            ApplyGeometry();
        });
}

// ---- start-up and shutdown -------------------------------------------------

void frmMain::Form_Load() {
    if (services_.model) Q114 = services_.model();
    if (!Q114) SetBounds(Q114, services_.tables);
    state_.SetBounds(Q114->MinBound(), Q114->MaxBound());
    int32_t persian = 1;
    Set_Language(persian, services_.keyboard);
    MakeParts();
    WireParts();
    ConnectControls();
    MoveFormCenter();
    std::vector<views::HelpKey> keys;
    for (const Command& c : commands_->All())
        if (!c.formKey && !c.keys.isEmpty())
            keys.push_back({FromQ(c.keys.first().toString(QKeySequence::PortableText)), FromQ(c.help.isEmpty() ? c.text : c.help)});
    choices_->Load(Q114->MinBound(), Q114->MaxBound(), cQ114::kMaxFish);
    reading_->Load(services_.colours.ButtonFace(), keys);
    paneTable_->WriteAll();
    paneTable_->ApplyZooms();
    appearance_->Load();
    translations_->Load();
    cards_->Load();
    paneTable_->RestyleAll();
    search_->UpdateNotesOption();
    commands_->UpdateChecks();
    loaded_ = true;
    state_.MoveTo(0, ReadingState::From::Start);
    controls_.at("txtQSearch")->setFocus();
}

void frmMain::StartAt(std::optional<int16_t> line) { place_->StartAt(line); }

void frmMain::Form_Unload() {
    if (!loaded_) return;
    recitation_->Stop();
    history_->NoteDwell();
    khatmah_->NotePage();
    place_->Keep();
    choices_->Flush();
    // the model goes first; no handler runs after it
    disconnect(Control("hsAllQuran"), nullptr, this, nullptr);
    disconnect(&state_, nullptr, nullptr, nullptr);
    loaded_ = false;
}

QWidget* frmMain::Control(const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

WebPane* frmMain::Pane(const std::string& name) const { return qobject_cast<WebPane*>(Control(name)); }

QString frmMain::Tag(const std::string& name) const {
    if (auto* box = qobject_cast<NumberBox*>(Control(name))) return box->Tag();
    if (name == "wbrQuran" && reading_) return reading_->PageTag();
    return QString();
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
        for (const char* box : {"txtQSearch", "txtSearch"})
            if (QWidget* home = controls_.at(box); !panel->isAncestorOf(home) && home->isVisible()) {
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
        // Qt WebEngine 6.4's compositor thread can hand a frame to a pane's
        // view while the page that owns the view is being destroyed (the
        // view's delegate has already lost its own methods: "pure virtual
        // method called"). So the views stop drawing as the window closes,
        // and the window, when it goes, lets frames on their way arrive
        // before any page goes.
        hide();
        for (WebPane* p : panes_) p->StopDrawing();
    }
    event->accept();
}

void frmMain::SettleCompositor() {
    QEventLoop settle;
    QTimer::singleShot(kCompositorSettleMs, &settle, &QEventLoop::quit);
    settle.exec();
}

}  // namespace mushaf
