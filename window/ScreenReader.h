#pragma once
// ScreenReader: what a screen reader hears of the reader. Every control has
// a Persian name and a description; while a screen reader is there, each
// move says the surah, the ayah, its text and its translation (as a
// notification the screen reader announces), the current ayah
// is marked as current for it, the sliders say where they stand, and a
// search says how many it found. Without a screen reader it does nothing.
#include <QAccessible>
#include <QObject>
#include <QString>
#include <functional>

#include "model/cQ114.h"
#include "window/Panes.h"
#include "window/ReadingState.h"

class QWidget;

namespace mushaf {

class ReadingPart;
class SearchPart;

class ScreenReaderPart : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    // `window`: where the announcements stand; `control`: the window's
    // control of a name in the control tree.
    ScreenReaderPart(QWidget& window, ReadingState& state, cQ114& model, Panes& panes, ReadingPart& reading,
                     SearchPart& search, std::function<QWidget*(const char*)> control, QObject* parent = nullptr);
    ~ScreenReaderPart() override;
    // Names and describes the window's controls (once they are made).
    void NameControls();
    // What was last said (for the automation), and whether a screen reader is there.
    const QString& LastSaid() const { return lastSaid_; }
    static bool Listening();

private:
    void accessibilityActiveChanged(bool active) override;
    void Moved();
    void Say(const QString& text);

    ReadingState& state_;
    cQ114& Q114;
    Panes& panes_;
    ReadingPart& reading_;
    std::function<QWidget*(const char*)> control_;
    QString lastSaid_;
    QWidget* announcer_ = nullptr;  // a child of the window
};

}  // namespace mushaf
