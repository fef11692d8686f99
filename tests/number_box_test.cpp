// A number box with the key events X11 gives: a press and its release are one
// key by the key's place on the keyboard (the native scan code), even when the
// keyboard map changed between them, as it does while a tool types a digit
// the map lacks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>

#include "controls/NumberBox.h"

namespace {

QKeyEvent Key(QEvent::Type type, int key, const QString& text, quint32 scanCode) {
    return QKeyEvent(type, key, Qt::NoModifier, scanCode, 0, 0, text);
}

}  // namespace

TEST(NumberBox, EveryDigitFormIsEnteredAtTheReleaseOfItsKey) {
    for (const QString& digit : {QStringLiteral("2"), QStringLiteral("۲"), QStringLiteral("٢")}) {
        mushaf::NumberBox box(QStringLiteral("1"), 3, nullptr);
        box.SetTag(QStringLiteral("114"));
        box.selectAll();
        QSignalSpy entered(&box, &mushaf::NumberBox::Entered);
        // the press with the digit's key, the release after the map went back: no key code of its own
        QKeyEvent press = Key(QEvent::KeyPress, digit[0].unicode(), digit, 17);
        QKeyEvent release = Key(QEvent::KeyRelease, Qt::Key_unknown, QString(), 17);
        QApplication::sendEvent(&box, &press);
        QApplication::sendEvent(&box, &release);
        EXPECT_EQ(box.text(), QStringLiteral("2")) << digit.toStdString();
        EXPECT_EQ(entered.count(), 1) << digit.toStdString();
        // the release of another key pressed elsewhere (Tab's, in the next box) is not entered
        QKeyEvent stray = Key(QEvent::KeyRelease, Qt::Key_Tab, QStringLiteral("\t"), 23);
        QApplication::sendEvent(&box, &stray);
        EXPECT_EQ(entered.count(), 1);
    }
}

TEST(NumberBox, TheSameNumberAgainKeepsTheCaretAndTheSelection) {
    mushaf::NumberBox box(QStringLiteral("25"), 3, nullptr);
    box.setSelection(0, 2);
    box.SetNumber(QStringLiteral("25"));
    EXPECT_EQ(box.selectedText(), QStringLiteral("25"));
    box.setCursorPosition(0);
    box.SetNumber(QStringLiteral("25"));
    EXPECT_EQ(box.cursorPosition(), 0);
    box.SetNumber(QStringLiteral("7"));
    EXPECT_EQ(box.text(), QStringLiteral("7"));
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
