// The window's own keys and buttons, the key preview (every key passes the
// window before the focused control), the Ctrl+wheel and the tab order.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWheelEvent>

#include "platform/qt/QtServices.h"
#include "window/FormKeys.h"
#include "window/WebPane.h"
#include "window/frmMain.h"

namespace mushaf {

using namespace form_keys;

QAction* frmMain::MenuAction(const QString& name) const { return commands_->Action(name); }

QMenu* frmMain::ContextMenu() const { return commands_->Menu(); }

bool frmMain::TakeKey(QKeyEvent* key) {
    Form_KeyDown(VbKeyCode(key->key(), Qt::Key_F1, Qt::Key_F24), static_cast<int>(key->modifiers()));
    if (!loaded_) return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (commands_->RunKey(QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key->key()))))) return true;
    // Escape in the search box: what the last search found no longer marked
    if (search_->Key(key)) return true;
    if (key->key() == Qt::Key_Escape && !mods && appearance_->FullScreen()) {
        appearance_->ToggleFullScreen();
        return true;
    }
    // memorisation: Space in the page shows the next word, Shift+Space the ayah
    if (hifz_->Key(key)) return true;
    // the page's own keys: pages and ayat, as a book is read
    if (!(key->modifiers() & ~Qt::KeypadModifier) && paneTable_->HasFocus(PaneId::Page) && reading_->PageKey(key->key()))
        return true;
    const auto others = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && others == Qt::NoModifier &&
           TabStep(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application: every event of every object passes here
    // once. `watched` is compared, never looked into: Qt hands the filter
    // events of objects it is destroying (a web view whose renderer was lost).
    switch (event->type()) {
    case QEvent::KeyPress: {
        // once per key, where it is delivered to the focused widget of this
        // window (or to the window when nothing has the focus)
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : focusWidget();
        if ((focus ? watched == focus && focus->window() == this : watched == this) && TakeKey(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    }
    case QEvent::Wheel:
        if (loaded_ && paneTable_->Wheel(watched, static_cast<QWheelEvent*>(event))) return true;
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (watched == Control("txtSearch"))
            static_cast<QPushButton*>(Control("cmdSearch"))->setDefault(event->type() == QEvent::FocusIn);
        break;
    case QEvent::MouseButtonDblClick:
        if (!loaded_) break;
        if (watched == Control("lblFarsi")) reading_->Copy_Ayeh();
        else if (watched == Control("lblSearch")) search_->PasteQuery(ToQ(services_.clipboard.Text()));
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmMain::TabStep(bool forward) {
    // Along the window's tab order; a pane is one stop (its links are not),
    // and it takes the focus as a click gives it, so that its view does not
    // move to its first link.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this) return false;
    std::vector<QWidget*> stops;
    int at = -1;
    for (QWidget* w : tabOrder_) {
        auto* pane = qobject_cast<WebPane*>(w);
        const bool takes = pane ? pane->View() != nullptr : (w->focusPolicy() & Qt::TabFocus) != 0;
        if (!takes || !w->isVisible() || !w->isEnabled()) continue;
        if (w == focus || (pane && pane->isAncestorOf(focus))) at = static_cast<int>(stops.size());
        stops.push_back(w);
    }
    if (at < 0 || stops.size() < 2) return false;
    const int n = static_cast<int>(stops.size());
    QWidget* next = stops[(at + (forward ? 1 : n - 1)) % n];
    next->setFocus(qobject_cast<WebPane*>(next) ? Qt::OtherFocusReason
                                                : (forward ? Qt::TabFocusReason : Qt::BacktabFocusReason));
    return true;
}

void frmMain::Form_KeyDown(int keyCode, int) {
    if (!loaded_) return;
    SetPanelVisible("picHelp", keyCode == kF1);
    if (keyCode == kF12) reading_->GoRandomAyeh();
    if (keyCode == kF2) cmdShowSoreh_Click();
    if (keyCode == kF3) cmdShowSearch_Click();
    if (keyCode == kF9) reading_->Copy_Ayeh();
    if (keyCode == kF4) appearance_->ToggleMarks();
}

// ---- buttons -------------------------------------------------------------------------

void frmMain::cmdHelp_Click() { SetPanelVisible("picHelp", true); }

void frmMain::cmdShowSearch_Click() {
    // the panel to show first, so that the focus never passes through the page pane
    SetPanelVisible("picPanelSearch", true);
    Control("txtSearch")->setFocus();
    SetPanelVisible("picPanelQuran", false);
    Control("cmdShowSoreh")->setEnabled(true);
    Control("cmdShowSearch")->setEnabled(false);
    Control("txtSearch")->setFocus();
}

void frmMain::cmdShowSoreh_Click() {
    SetPanelVisible("picPanelQuran", true);
    Control("txtQSearch")->setFocus();
    SetPanelVisible("picPanelSearch", false);
    Control("cmdShowSoreh")->setEnabled(false);
    Control("cmdShowSearch")->setEnabled(true);
    Control("txtQSearch")->setFocus();
}

void frmMain::DocTools_onclick(const QString& tagName, const QString& id) {
    if (tagName != QStringLiteral("A")) return;
    if (id == QStringLiteral("01")) {
        SetPanelVisible("picPanelSearch", false);
        SetPanelVisible("picPanelQuran", true);
    } else if (id == QStringLiteral("02")) {
        SetPanelVisible("picPanelSearch", true);
        SetPanelVisible("picPanelQuran", false);
    }
}

}  // namespace mushaf
