#pragma once
// What the window says to the reader and asks of them: a message in a box
// (while the reader is at the window) and as the last message, a yes-or-no
// question, and how its dialogs look. Driven from outside, the window opens
// no dialog: a question gets the answer given ahead, or no.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "window/Dialogs.h"

namespace mushaf {

class MessageLine : public QObject {
    Q_OBJECT
public:
    // `parent` the dialogs stand over; `night`, whether they are dark.
    MessageLine(QWidget* parent, std::function<bool()> night);

    // In a message box (while the reader is at the window) and as Last().
    void Say(const QString& text, bool warning = true);
    // Said beside what it is about, without a box: only as Last().
    void Note(const QString& text) { last_ = text; }
    const QString& Last() const { return last_; }
    void Forget(const QString& text) {
        if (last_ == text) last_.clear();
    }

    // A yes-or-no question: the answer given ahead, else the reader's, else no.
    bool Ask(const QString& question);
    void AnswerNext(bool yes) { pendingAnswer_ = yes; }

    // Dialogs and opening exported files; off while the window is driven.
    bool Interactive() const { return interactive_; }
    void SetInteractive(bool on) { interactive_ = on; }
    // How a dialog looks, titled `title` or with the window's caption.
    dialogs::Looks Looks(const QString& title = {}) const;

private:
    QWidget* parent_;
    std::function<bool()> night_;
    QString last_;
    bool interactive_ = true;
    std::optional<bool> pendingAnswer_;
};

}  // namespace mushaf
