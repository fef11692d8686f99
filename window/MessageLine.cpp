#include "window/MessageLine.h"

#include <QWidget>

namespace mushaf {

MessageLine::MessageLine(QWidget* parent, std::function<bool()> night)
    : QObject(parent), parent_(parent), night_(std::move(night)) {}

void MessageLine::Say(const QString& text, bool warning) {
    last_ = text;
    if (interactive_) dialogs::Inform(Looks(), text, warning);
}

bool MessageLine::Ask(const QString& question) {
    if (pendingAnswer_) {
        const bool yes = *pendingAnswer_;
        pendingAnswer_.reset();
        return yes;
    }
    if (!interactive_) return false;
    return dialogs::AskYesNo(Looks(), question);
}

dialogs::Looks MessageLine::Looks(const QString& title) const {
    const QString caption = parent_ ? parent_->windowTitle() : QString();
    return {.parent = parent_, .title = title.isEmpty() ? caption : title, .night = night_ && night_()};
}

}  // namespace mushaf
