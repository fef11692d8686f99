#pragma once
// A titled panel that collapses to its title bar and expands again on a
// click of its title or glyph, keeps the controls placed in it in one
// column, and remembers per user whether it was expanded. Sizes in twips.
#include <QLabel>
#include <QVariant>
#include <QWidget>
#include <map>

#include "platform/Services.h"

namespace mushaf {

// A label that reports a press of the mouse as a click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent*) override { emit clicked(); }
};

// The glyph: caption "5" draws an up-pointing triangle (expanded), "6" a
// down-pointing one (collapsed).
class ExpandGlyph : public ClickLabel {
    Q_OBJECT
public:
    using ClickLabel::ClickLabel;

protected:
    void paintEvent(QPaintEvent*) override;
};

class Expand_Panel : public QWidget {
    Q_OBJECT
public:
    using PropertyMap = std::map<std::string, QVariant>;

    // `settings` keeps the per-user state under `appTitle`, section "Set",
    // key = the panel's object name. Without a designer the panel is always
    // in run mode.
    Expand_Panel(QWidget* parent, Settings& settings, QString appTitle, bool designMode = false);

    bool BeExpand() const { return beExpand_; }
    void BeExpand(bool value);
    int MyHeight() const { return myHeight_; }
    void MyHeight(int twips);
    QString MyTitle() const { return lblTitle_->text(); }
    void MyTitle(const QString& title);
    void Order_Object();

    // Saved design properties: "MyHeight", "MyTitle", "BeExpand".
    void ReadProperties(const PropertyMap& saved);
    void WriteProperties(PropertyMap& saved) const;
    bool PropertyChanged() const { return changed_; }

    QWidget* TitleBar() const { return picExpand_; }
    QLabel* Glyph() const { return lblExpand_; }
    QLabel* Title() const { return lblTitle_; }

    static int Px(int twips);
    static int Twips(int px);

signals:
    void Expanded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Toggle_Expand(bool state);
    void TitleBarResize();

    Settings& settings_;
    QString appTitle_;
    bool designMode_;
    bool beExpand_ = false;
    int myHeight_ = 0;
    bool changed_ = false;
    QWidget* picExpand_;
    ExpandGlyph* lblExpand_;
    ClickLabel* lblTitle_;
};

}  // namespace mushaf
