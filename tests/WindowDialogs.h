#pragma once
// The window's dialogs in tests: answered from inside, as a reader would.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace mushaf::testing {

// Once a modal dialog is open, `act` on it (from the dialog's own event loop).
inline void WhenADialogOpens(const std::function<void(QDialog&)>& act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(10);
}

}  // namespace mushaf::testing
