#include "controls/Expand_Panel.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "layout/ControlTree.h"

namespace mushaf {

namespace {
constexpr int kTitleMargin = 50;
constexpr int kChildMargin = 30;
constexpr int kCollapsedExtra = 20;
}  // namespace

int Expand_Panel::Px(int twips) { return layout::ToPixels(twips); }
int Expand_Panel::Twips(int px) { return layout::ToTwips(px); }

void ExpandGlyph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette().color(QPalette::WindowText));
    const double side = std::min(width(), height()) * 0.6;
    const QPointF c = QRectF(rect()).center();
    const bool up = text() == QLatin1String("5");
    QPolygonF triangle;
    if (up)
        triangle << QPointF(c.x() - side / 2, c.y() + side / 3) << QPointF(c.x() + side / 2, c.y() + side / 3)
                 << QPointF(c.x(), c.y() - side / 2);
    else
        triangle << QPointF(c.x() - side / 2, c.y() - side / 3) << QPointF(c.x() + side / 2, c.y() - side / 3)
                 << QPointF(c.x(), c.y() + side / 2);
    p.drawPolygon(triangle);
}

Expand_Panel::Expand_Panel(QWidget* parent, Settings& settings, QString appTitle, bool designMode)
    : QWidget(parent), settings_(settings), appTitle_(std::move(appTitle)), designMode_(designMode) {
    picExpand_ = new QWidget(this);
    picExpand_->setObjectName(QStringLiteral("picExpand"));
    picExpand_->setAutoFillBackground(true);
    picExpand_->setGeometry(0, 0, Px(2550), Px(300));
    lblExpand_ = new ExpandGlyph(QStringLiteral("5"), picExpand_);
    lblExpand_->setObjectName(QStringLiteral("lblExpand"));
    lblExpand_->setGeometry(Px(120), Px(50), Px(435), Px(270));
    lblTitle_ = new ClickLabel(QStringLiteral("My Title"), picExpand_);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblTitle_->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    lblTitle_->setFont(font);
    lblTitle_->setGeometry(Px(1680), Px(45), Px(675), Px(195));
    picExpand_->installEventFilter(this);
    connect(lblExpand_, &ClickLabel::clicked, this, [this] { Toggle_Expand(beExpand_); });
    connect(lblTitle_, &ClickLabel::clicked, this, [this] { Toggle_Expand(beExpand_); });
    resize(Px(2550), Px(2640));
}

void Expand_Panel::BeExpand(bool value) {
    if (designMode_) return;
    beExpand_ = value;
    changed_ = true;
}

void Expand_Panel::MyHeight(int twips) {
    if (!designMode_) return;
    myHeight_ = twips;
    changed_ = true;
}

void Expand_Panel::MyTitle(const QString& title) {
    lblTitle_->setText(title);
    changed_ = true;
}

void Expand_Panel::ReadProperties(const PropertyMap& saved) {
    auto value = [&](const char* key, QVariant fallback) {
        auto it = saved.find(key);
        return it == saved.end() ? fallback : it->second;
    };
    myHeight_ = value("MyHeight", 0).toInt();
    lblTitle_->setText(value("MyTitle", QStringLiteral("My Title")).toString());
    beExpand_ = value("BeExpand", false).toBool();
    if (!designMode_) {
        auto stored = settings_.Get(appTitle_.toStdU16String(), u"Set", objectName().toStdU16String());
        BeExpand(stored.value_or(u"True") == u"True");
    }
}

void Expand_Panel::WriteProperties(PropertyMap& saved) const {
    saved["MyHeight"] = myHeight_;
    saved["MyTitle"] = lblTitle_->text();
    saved["BeExpand"] = beExpand_;
}

void Expand_Panel::Toggle_Expand(bool state) {
    if (state) {
        resize(width(), Px(Twips(picExpand_->height()) + kCollapsedExtra));
        lblExpand_->setText(QStringLiteral("6"));
    } else {
        resize(width(), Px(myHeight_));
        lblExpand_->setText(QStringLiteral("5"));
    }
    settings_.Set(appTitle_.toStdU16String(), u"Set", objectName().toStdU16String(), beExpand_ ? u"True" : u"False");
    settings_.Commit();
    BeExpand(!beExpand_);
    emit Expanded();
}

void Expand_Panel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    picExpand_->resize(width(), picExpand_->height());  // docked to the top edge
    MyHeight(Twips(height()));
    Order_Object();
}

void Expand_Panel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!designMode_ && !event->spontaneous()) Toggle_Expand(beExpand_);
}

bool Expand_Panel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picExpand_ && event->type() == QEvent::Resize) TitleBarResize();
    return QWidget::eventFilter(watched, event);
}

void Expand_Panel::TitleBarResize() {
    const int barWidth = Twips(picExpand_->width()), barHeight = Twips(picExpand_->height());
    auto set = [](QWidget* w, int left, int top, int width, int height) {
        // an assignment that cannot be applied is skipped
        QRect g = w->geometry();
        g.moveLeft(Px(left));
        g.moveTop(Px(top));
        if (width >= 0) g.setWidth(Px(width));
        if (height >= 0) g.setHeight(Px(height));
        w->setGeometry(g);
    };
    const int glyphWidth = 435;
    const int titleWidth = barWidth - (glyphWidth + 3 * kTitleMargin);
    set(lblTitle_, 0, kTitleMargin, titleWidth, barHeight - 2 * kTitleMargin);
    set(lblTitle_, barWidth - Twips(lblTitle_->width()) - kTitleMargin, kTitleMargin, -1, -1);
    const QRect t = lblTitle_->geometry();
    set(lblExpand_, Twips(t.left()) - glyphWidth - kTitleMargin, Twips(t.top()), glyphWidth, Twips(t.height()));
}

void Expand_Panel::Order_Object() {
    struct Entry {
        QWidget* control;
        int16_t top;
    };
    std::vector<Entry> children;
    for (QObject* o : QObject::children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == picExpand_) continue;
        children.push_back({w, static_cast<int16_t>(Twips(w->y()))});
    }
    if (children.empty()) return;
    for (std::size_t j = 0; j < children.size(); ++j)
        for (std::size_t k = j; k < children.size(); ++k)
            if (children[k].top < children[j].top) std::swap(children[j], children[k]);
    int next = Twips(picExpand_->height()) + 2 * kChildMargin;
    const int width = Twips(this->width()) - 2 * kChildMargin;
    for (const Entry& e : children) {
        QRect g = e.control->geometry();
        if (designMode_) {
            g.moveTop(Px(next));
            next = Twips(g.height()) + next + 2 * kChildMargin;
        }
        g.moveLeft(Px(kChildMargin));
        if (width >= 0) g.setWidth(Px(width));
        e.control->setGeometry(g);
    }
}

}  // namespace mushaf
