#pragma once
// The reader's own dialogs: right to left, with Persian buttons, Persian
// digits and the night palette when the reader reads at night. Each returns
// what the reader chose, or nothing when the dialog was cancelled.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QFileDialog;
class QDialog;
class QPalette;
class QWidget;

namespace mushaf::dialogs {

// What every dialog shares: where it stands and how it looks.
struct Looks {
    QWidget* parent = nullptr;
    QString title;
    bool night = false;
};

// The window's colours at night, from the colours by day.
QPalette NightPalette(QPalette from);
// A dialog made right to left, in the night palette if need be.
void Dress(QDialog& dialog, const Looks& looks);
// Qt's own file dialog for one file or a folder, right to left with Persian
// words throughout (its labels, buttons and column heads), dressed as `looks`.
void DressFileDialog(QFileDialog& pick, const Looks& looks, const QString& accept, bool folder);

// A question answered yes (true) or no; No is the default.
bool AskYesNo(const Looks& looks, const QString& question);
// A message with one button, shown without waiting for it; `warning` gives
// it the warning's icon.
void Inform(const Looks& looks, const QString& text, bool warning);
// A text of several lines, starting from `text`.
std::optional<QString> AskText(const Looks& looks, const QString& label, const QString& text);

// A whole number from `lowest` to `highest`, shown in Persian digits; typed
// in Persian, Arabic-Indic or Latin digits alike.
struct NumberField {
    QString label;
    int value = 0, lowest = 0, highest = 0;
};
// The numbers of several fields, in their order.
std::optional<std::vector<int>> AskNumbers(const Looks& looks, const QString& label, const std::vector<NumberField>& fields);

// Lines of text, each under its label; an address is written left to right.
struct TextField {
    QString label, value;
    bool leftToRight = false;
};
std::optional<QStringList> AskFields(const Looks& looks, const QString& label, const std::vector<TextField>& fields);

// One of `items`, found by a filter typed above the list; `current` chosen
// at first (-1: none).
std::optional<int> Choose(const Looks& looks, const QString& label, const QStringList& items, int current);

// The texts of the buttons.
inline const QString kOk = QStringLiteral("تأیید");
inline const QString kCancel = QStringLiteral("انصراف");
inline const QString kYes = QStringLiteral("بله");
inline const QString kNo = QStringLiteral("خیر");

}  // namespace mushaf::dialogs
