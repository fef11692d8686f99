#pragma once
// A one-line box for a whole number: the surah, ayah, juz' and page boxes of
// the reading window. It maps Persian and Arabic-Indic digits to 0-9, lets
// only the characters of Is_Normal_Key in, selects its whole text when it
// takes the focus, and on the release of every key pressed in it pulls its
// number into 1 to its bound (the Tag) and reports it with Entered. Up and
// Down step the number by one.
#include <QLineEdit>
#include <QSet>

namespace mushaf {

class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    NumberBox(const QString& text, int maxLength, QWidget* parent);

    // The upper bound as decimal text.
    const QString& Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    // Shows `text` unless the box shows it already: the caret and the
    // selection stay where the reader put them.
    void SetNumber(const QString& text);

    // True for the typed characters a number box takes: backspace, the
    // control characters 16 to 18, ! " # $ % & ' ( - . and the digits.
    static bool Is_Normal_Key(int keyAscii);
    // Persian and Arabic-Indic digits as 0-9 (the model's AsciiDigit); any
    // other character unchanged.
    static QChar AsciiDigit(QChar c);

signals:
    // After a key release, with the text pulled into range: move there.
    void Entered();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QString tag_;
    QSet<int> pressed_;  // keys pressed while the box had the focus
};

}  // namespace mushaf
