#include "window/Dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/Text.h"
#include "platform/qt/QtServices.h"

namespace mushaf::dialogs {

QPalette NightPalette(QPalette p) {
    const QColor ground(0x23, 0x27, 0x2b), field(0x2a, 0x2e, 0x33), text(0xdc, 0xdc, 0xd2), dim(0x6e, 0x72, 0x76);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase, QPalette::ToolTipBase})
            p.setColor(group, role, ground);
        p.setColor(group, QPalette::Base, field);
        const QColor ink = group == QPalette::Disabled ? dim : text;
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText})
            p.setColor(group, role, ink);
        p.setColor(group, QPalette::Light, QColor(0x3a, 0x3f, 0x45));
        p.setColor(group, QPalette::Midlight, QColor(0x32, 0x37, 0x3c));
        p.setColor(group, QPalette::Mid, QColor(0x1a, 0x1d, 0x20));
        p.setColor(group, QPalette::Dark, QColor(0x15, 0x17, 0x1a));
        p.setColor(group, QPalette::Highlight, QColor(0x2c, 0x4a, 0x6e));
        p.setColor(group, QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
        p.setColor(group, QPalette::Link, QColor(0x8e, 0xc5, 0xff));
    }
    return p;
}

void Dress(QDialog& dialog, const Looks& looks) {
    dialog.setLayoutDirection(Qt::RightToLeft);
    if (!looks.title.isEmpty()) dialog.setWindowTitle(looks.title);
    if (looks.night) dialog.setPalette(NightPalette(dialog.palette()));
}

namespace {

// The file list's column heads in Persian; the rest as the file system's model has it.
class PersianHeads : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QString heads[] = {QStringLiteral("نام"), QStringLiteral("اندازه"), QStringLiteral("گونه"),
                                        QStringLiteral("تاریخ تغییر")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4) return heads[section];
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
    // the kind of each entry, which the toolkit says in English whatever
    // its translations ("Folder", a file's type as "plain text document"):
    // a folder, or a file by its suffix
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (index.column() != 2 || role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
        const QFileInfo entry = files->fileInfo(mapToSource(index));
        if (entry.isDir()) return entry.isRoot() ? QStringLiteral("دیسک") : QStringLiteral("پوشه");
        return entry.suffix().isEmpty() ? QStringLiteral("پرونده") : QStringLiteral("پروندهٔ ") + entry.suffix();
    }
};

}  // namespace

void DressFileDialog(QFileDialog& pick, const Looks& looks, const QString& accept, bool folder) {
    pick.setOption(QFileDialog::DontUseNativeDialog);
    pick.setFileMode(folder ? QFileDialog::Directory : QFileDialog::ExistingFile);
    pick.setProxyModel(new PersianHeads(&pick));
    pick.setLabelText(QFileDialog::LookIn, QStringLiteral("در:"));
    pick.setLabelText(QFileDialog::FileName, folder ? QStringLiteral("پوشه:") : QStringLiteral("نام فایل:"));
    pick.setLabelText(QFileDialog::FileType, QStringLiteral("گونه:"));
    pick.setLabelText(QFileDialog::Accept, accept);
    pick.setLabelText(QFileDialog::Reject, kCancel);
    Dress(pick, looks);
}

namespace {

QDialogButtonBox* OkAndCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(kOk);
    buttons->button(QDialogButtonBox::Cancel)->setText(kCancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

// A whole number in Persian digits; Persian, Arabic-Indic and Latin digits
// typed go in as Persian ones, anything else stays out. Up and Down step it.
class NumberEdit : public QLineEdit {
public:
    NumberEdit(const NumberField& field, QWidget* parent) : QLineEdit(parent), field_(field) {
        setLayoutDirection(Qt::RightToLeft);
        setAlignment(Qt::AlignCenter);
        setText(Shown(field.value));
        selectAll();
        connect(this, &QLineEdit::textEdited, this, [this](const QString& typed) {
            QString digits;
            int caret = cursorPosition();
            for (int i = 0; i < typed.size(); ++i) {
                const QChar c = QChar(AsciiDigit(typed[i].unicode()));
                if (c >= QChar('0') && c <= QChar('9')) digits += QChar(0x06F0 + (c.unicode() - '0'));
                else if (i < cursorPosition()) --caret;
            }
            if (digits == text()) return;
            setText(digits);
            setCursorPosition(std::max(0, caret));
        });
    }
    std::optional<int> Value() const {
        const std::u16string ascii = AsciiDigits(text().toStdU16String());
        if (ascii.empty() || ascii.size() > 9) return std::nullopt;
        const int n = QString::fromStdU16String(ascii).toInt();
        if (n < field_.lowest || n > field_.highest) return std::nullopt;
        return n;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            const int now = Value().value_or(field_.value);
            setText(Shown(std::clamp(now + (event->key() == Qt::Key_Up ? 1 : -1), field_.lowest, field_.highest)));
            emit textEdited(text());
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

private:
    static QString Shown(int n) { return ToQ(PersianDecimal(n)); }
    NumberField field_;
};

}  // namespace

bool AskYesNo(const Looks& looks, const QString& question) {
    QMessageBox box(QMessageBox::Question, looks.title, question, QMessageBox::Yes | QMessageBox::No, looks.parent);
    Dress(box, looks);
    box.button(QMessageBox::Yes)->setText(kYes);
    box.button(QMessageBox::No)->setText(kNo);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Inform(const Looks& looks, const QString& text, bool warning) {
    auto* box = new QMessageBox(warning ? QMessageBox::Warning : QMessageBox::Information, looks.title, text,
                                QMessageBox::Ok, looks.parent);
    Dress(*box, looks);
    box->button(QMessageBox::Ok)->setText(kOk);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

std::optional<QString> AskText(const Looks& looks, const QString& label, const QString& text) {
    QDialog dialog(looks.parent);
    Dress(dialog, looks);
    auto* layout = new QVBoxLayout(&dialog);
    auto* caption = new QLabel(label, &dialog);
    caption->setWordWrap(true);
    layout->addWidget(caption);
    auto* edit = new QPlainTextEdit(text, &dialog);
    edit->setObjectName(QStringLiteral("txtDialogText"));
    layout->addWidget(edit);
    layout->addWidget(OkAndCancel(dialog));
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->toPlainText();
}

namespace {
// A dialog of fields under a label: the form they go in.
QFormLayout* Form(QDialog& dialog, const QString& label) {
    auto* layout = new QVBoxLayout(&dialog);
    if (!label.isEmpty()) layout->addWidget(new QLabel(label, &dialog));
    auto* form = new QFormLayout;
    layout->addLayout(form);
    return form;
}
}  // namespace

std::optional<std::vector<int>> AskNumbers(const Looks& looks, const QString& label,
                                           const std::vector<NumberField>& fields) {
    QDialog dialog(looks.parent);
    Dress(dialog, looks);
    QFormLayout* form = Form(dialog, label);
    auto* layout = static_cast<QVBoxLayout*>(dialog.layout());
    std::vector<NumberEdit*> edits;
    for (const NumberField& f : fields) {
        edits.push_back(new NumberEdit(f, &dialog));
        edits.back()->setObjectName(QStringLiteral("txtDialogNumber%1").arg(edits.size()));
        form->addRow(f.label, edits.back());
    }
    QDialogButtonBox* buttons = OkAndCancel(dialog);
    layout->addWidget(buttons);
    // OK only while every field holds a number in its range
    auto sound = [&] {
        bool all = true;
        for (NumberEdit* e : edits) all = all && e->Value().has_value();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(all);
    };
    for (NumberEdit* e : edits) QObject::connect(e, &QLineEdit::textChanged, &dialog, sound);
    sound();
    if (!edits.empty()) edits.front()->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<int> values;
    for (NumberEdit* e : edits) values.push_back(e->Value().value_or(0));
    return values;
}

std::optional<QStringList> AskFields(const Looks& looks, const QString& label, const std::vector<TextField>& fields) {
    QDialog dialog(looks.parent);
    Dress(dialog, looks);
    QFormLayout* form = Form(dialog, label);
    std::vector<QLineEdit*> edits;
    for (const TextField& f : fields) {
        edits.push_back(new QLineEdit(f.value, &dialog));
        edits.back()->setObjectName(QStringLiteral("txtDialogField%1").arg(edits.size()));
        if (f.leftToRight) edits.back()->setLayoutDirection(Qt::LeftToRight);
        form->addRow(f.label, edits.back());
    }
    dialog.layout()->addWidget(OkAndCancel(dialog));
    if (!edits.empty()) edits.front()->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    QStringList values;
    for (QLineEdit* e : edits) values << e->text().trimmed();
    return values;
}

std::optional<int> Choose(const Looks& looks, const QString& label, const QStringList& items, int current) {
    QDialog dialog(looks.parent);
    Dress(dialog, looks);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(label, &dialog));
    auto* filter = new QLineEdit(&dialog);
    filter->setObjectName(QStringLiteral("txtDialogFilter"));
    filter->setPlaceholderText(QStringLiteral("جستجو در فهرست"));
    layout->addWidget(filter);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lstDialogItems"));
    list->addItems(items);
    if (current >= 0 && current < items.size()) list->setCurrentRow(current);
    layout->addWidget(list);
    QDialogButtonBox* buttons = OkAndCancel(dialog);
    layout->addWidget(buttons);
    QObject::connect(filter, &QLineEdit::textChanged, &dialog, [list](const QString& typed) {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setHidden(!list->item(i)->text().contains(typed, Qt::CaseInsensitive));
    });
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    filter->setFocus();
    if (dialog.exec() != QDialog::Accepted || !list->currentItem() || list->currentItem()->isHidden()) return std::nullopt;
    return list->currentRow();
}

}  // namespace mushaf::dialogs
