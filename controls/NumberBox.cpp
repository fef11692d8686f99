#include "controls/NumberBox.h"

#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "model/Text.h"

namespace mushaf {

NumberBox::NumberBox(const QString& text, int maxLength, QWidget* parent) : QLineEdit(text, parent) {
    if (maxLength > 0) setMaxLength(maxLength);
}

bool NumberBox::Is_Normal_Key(int keyAscii) {
    static const Text kAllowed = u"46 16 45 17 37 40 39 38 35 36 33 34 8 16 18 48 49 50 51 52 53 54 55 56 57";
    for (const Text& item : Split(kAllowed, u" "))
        if (auto v = ReadNumber(item); v && static_cast<int>(*v) == keyAscii) return true;
    return false;
}

QChar NumberBox::AsciiDigit(QChar c) { return QChar(mushaf::AsciiDigit(c.unicode())); }

namespace {
// The key a press and its release share: the key's place on the keyboard
// where the platform gives it (X11 does; a layout changed between the press
// and the release, as a tool that types foreign digits does, gives the
// release another key code), else the key code.
int PhysicalKey(const QKeyEvent* event) {
    return event->nativeScanCode() ? -static_cast<int>(event->nativeScanCode()) : event->key();
}
}  // namespace

void NumberBox::SetNumber(const QString& text) {
    // the same number again leaves the caret and the selection alone
    if (text != this->text()) setText(text);
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    pressed_.insert(PhysicalKey(event));
    // Up and Down step the number by one, within 1 to the bound; the release
    // moves there.
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !(event->modifiers() & ~Qt::KeypadModifier)) {
        const auto value = ReadNumber(text().toStdU16String());
        const auto bound = ReadNumber(tag_.toStdU16String());
        long long n = value ? static_cast<long long>(std::trunc(*value)) : 0;
        n += event->key() == Qt::Key_Up ? 1 : -1;
        if (bound) n = std::min(n, static_cast<long long>(std::trunc(*bound)));
        SetNumber(QString::number(std::max(n, 1LL)));
        selectAll();
        event->accept();
        return;
    }
    const QString text = event->text();
    // Only a key that types one printable character is tested; Tab, Delete,
    // Return and the other keys that type a control character (as X11 sends
    // them) or nothing work as usual.
    if (text.size() == 1 && text[0].isPrint()) {
        const QChar c = AsciiDigit(text[0]);
        if (!Is_Normal_Key(c.unicode())) {
            event->accept();  // dropped
            return;
        }
        if (c != text[0]) {
            QKeyEvent ascii(QEvent::KeyPress, Qt::Key_0 + (c.unicode() - u'0'), event->modifiers(), QString(c),
                            event->isAutoRepeat(), static_cast<ushort>(event->count()));
            QLineEdit::keyPressEvent(&ascii);
            event->setAccepted(ascii.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void NumberBox::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat()) return;
    // Only the release of a key pressed here: Tab moves the focus on its
    // press, and its release in the next box is not that box's key.
    if (!pressed_.remove(PhysicalKey(event))) return;
    auto value = ReadNumber(text().toStdU16String());
    if (!value) return;
    auto bound = ReadNumber(tag_.toStdU16String());
    if (bound && *value >= std::trunc(*bound)) SetNumber(QString::number(static_cast<long long>(std::trunc(*bound))));
    value = ReadNumber(text().toStdU16String());
    if (value && *value <= 1) SetNumber(QStringLiteral("1"));
    emit Entered();
}

void NumberBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    pressed_.clear();
    // after the mouse press that gave the focus has placed the caret
    QTimer::singleShot(0, this, [this] { setSelection(0, static_cast<int>(text().size())); });
}

}  // namespace mushaf
