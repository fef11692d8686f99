// What a screen reader hears of the reader.
#include "window/ScreenReader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>
#include <QWidget>

#include "platform/qt/QtServices.h"
#include "views/Markup.h"
#include "window/Reading.h"
#include "window/Search.h"
#include "window/WebPane.h"

namespace mushaf {

namespace {

struct Named {
    const char* control;
    const char16_t* name;
    const char16_t* description;
};

// The captions of the control tree are drawn apart with kashidas; a screen
// reader is given the words as they are spoken.
constexpr Named kNames[] = {
    {"txtSoreh", u"سوره", u"شمارهٔ سوره، ۱ تا ۱۱۴؛ Enter به آغاز سوره می‌رود"},
    {"txtAyeh", u"آیه", u"شمارهٔ آیه در سوره؛ Enter به آن آیه می‌رود"},
    {"txtJoze", u"جزء", u"شمارهٔ جزء، ۱ تا ۳۰"},
    {"txtPage", u"صفحه", u"شمارهٔ صفحه، ۱ تا ۶۰۴"},
    {"txtQSearch", u"جستجوی سوره", u"نام سوره را بنویسید؛ Enter نخستین سورهٔ یافته را باز می‌کند"},
    {"txtSearch", u"متن جستجو", u"واژه‌ای برای جستجو در متن قرآن، ترجمه یا یادداشت‌ها؛ * هر چند نویسه و ? یک نویسه"},
    {"hsAllQuran", u"جای آیه در قرآن", u""},
    {"hsPage", u"جای صفحه در قرآن", u""},
    {"cmdSearch", u"شروع جستجو", u""},
    {"cmdShowSearch", u"جستجو", u"بخش جستجو را نشان می‌دهد"},
    {"cmdShowSoreh", u"سوره‌ها", u"فهرست سوره‌ها را نشان می‌دهد"},
    {"cmdHelp", u"راهنما", u"راهنمای برنامه و کلیدها"},
    {"optSearchInQ", u"جستجو در متن قرآن", u""},
    {"optSearchInT", u"جستجو در ترجمه", u""},
    {"optSearchInN", u"جستجو در یادداشت‌ها", u""},
    {"wbrQuran", u"صفحهٔ قرآن", u"آیهٔ جاری نشان‌دار است؛ بالا و پایین آیهٔ پیش و پس، چپ و راست صفحهٔ پس و پیش"},
    {"wbrFarsi", u"ترجمه", u"ترجمهٔ آیهٔ جاری"},
    {"wbrSoreh", u"فهرست سوره‌ها", u""},
    {"wbrSearchResult", u"نتیجه‌های جستجو", u""},
    {"wbrTools", u"ابزار", u""},
    {"wbrHelp", u"راهنما", u""},
};

// What the reader is told, as a screen reader is told of a notification: an
// object of its own that shows (again) with each new text. The web engine
// passes on no live region of a page, so the window says it itself.
class Announcer : public QWidget {
public:
    explicit Announcer(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("announcer"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
        lower();
    }
    const QString& Text() const { return text_; }
    void Say(const QString& text) {
        text_ = text;
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

private:
    QString text_;
};

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<Announcer*>(widget())->Text() : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* AnnouncerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("mushaf::Announcer") || (object && object->objectName() == QLatin1String("announcer"))) {
        if (auto* w = qobject_cast<QWidget*>(object); w && dynamic_cast<Announcer*>(w)) return new AnnouncerAccessible(w);
    }
    return nullptr;
}

// The current ayah marked as current for a screen reader: aria-current, and
// a name that says so ("آیهٔ جاری: " and its words), since the engine passes
// names on but not aria-current.
constexpr char kCurrentScript[] =
    "(function(id){var a=document.querySelectorAll('[aria-current]');for(var i=0;i<a.length;i++){"
    "a[i].removeAttribute('aria-current');a[i].removeAttribute('aria-label');}"
    "var e=document.getElementById(id);if(e){e.setAttribute('aria-current','true');"
    "e.setAttribute('aria-label','آیهٔ جاری: '+e.textContent.trim());}})(%1)";

QString Persian(long long n) { return ToQ(PersianDecimal(n)); }

}  // namespace

ScreenReaderPart::ScreenReaderPart(QWidget& window, ReadingState& state, cQ114& model, Panes& panes, ReadingPart& reading,
                                   SearchPart& search, std::function<QWidget*(const char*)> control, QObject* parent)
    : QObject(parent), state_(state), Q114(model), panes_(panes), reading_(reading), control_(std::move(control)) {
    static const bool factory = (QAccessible::installFactory(AnnouncerFactory), true);
    (void)factory;
    announcer_ = new Announcer(&window);
    QAccessible::installActivationObserver(this);
    connect(&state_, &ReadingState::Moved, this, [this] { Moved(); });
    connect(&search, &SearchPart::Searched, this, [this](int count, bool valid) {
        if (!Listening()) return;
        Say(!valid     ? QStringLiteral("الگوی جستجو نادرست است")
            : count == 0 ? QStringLiteral("موردی یافت نشد")
                         : QStringLiteral("%1 مورد یافت شد").arg(Persian(count)));
    });
}

ScreenReaderPart::~ScreenReaderPart() { QAccessible::removeActivationObserver(this); }

bool ScreenReaderPart::Listening() { return QAccessible::isActive(); }

void ScreenReaderPart::accessibilityActiveChanged(bool active) {
    // a screen reader that comes later hears where the reader is
    if (active) QTimer::singleShot(0, this, [this] { Moved(); });
}

void ScreenReaderPart::NameControls() {
    for (const Named& n : kNames) {
        QWidget* w = control_(n.control);
        if (!w) continue;
        w->setAccessibleName(QString::fromUtf16(n.name));
        w->setAccessibleDescription(QString::fromUtf16(n.description));
        // the page's own view carries the name the screen reader reads
        if (auto* pane = qobject_cast<WebPane*>(w))
            pane->SetAccessibleName(QString::fromUtf16(n.name), QString::fromUtf16(n.description));
    }
}

void ScreenReaderPart::Moved() {
    if (!Listening() || state_.Line() < 0) return;
    const int16_t line = state_.Line();
    const cQ114::Line& at = Q114.LineAt(line);
    const QString surah = ToQ(Q114.SorehNameOf(at.soreh)).trimmed();
    const QString where = at.ayeh == 0 ? QStringLiteral("سورهٔ %1، بسم‌الله").arg(surah)
                                       : QStringLiteral("سورهٔ %1، آیهٔ %2").arg(surah, Persian(at.ayeh));
    if (QWidget* slider = control_("hsAllQuran")) slider->setAccessibleDescription(where);
    if (QWidget* slider = control_("hsPage")) slider->setAccessibleDescription(QStringLiteral("صفحهٔ %1").arg(Persian(at.page)));
    // no answer asked: the mark is part of what the pane draws again on a new renderer
    panes_.Evaluate(PaneId::Page, QString::fromUtf8(kCurrentScript).arg(JsString(ToQ(views::LineId(line)))), {});
    const QString text = ToQ(Q114.ArabicNoEarabAt(line)).remove(QChar(0)).trimmed();
    const QString translation = ToQ(Q114.MeanFarsiAt(line)).remove(QChar(0)).trimmed();
    Say(where + QStringLiteral(": ") + text + QStringLiteral(". ") + translation);
}

void ScreenReaderPart::Say(const QString& text) {
    lastSaid_ = text;
    static_cast<Announcer*>(announcer_)->Say(text);
}

}  // namespace mushaf
