#pragma once
// The reader's commands, one table: each part adds its own. From it come the
// context menu (its sub-menus, check marks and keys), the keys the window
// takes, the automation's menu: actions and the help page's key list.
#include <QObject>
#include <QPoint>
#include <deque>
#include <map>
#include <vector>

#include "window/Command.h"

class QAction;
class QKeySequence;
class QMenu;
class QWidget;

namespace mushaf {

class CommandTable : public QObject {
    Q_OBJECT
public:
    explicit CommandTable(QWidget* window);

    void Add(std::vector<Command> commands);
    // A command that comes once the menu is built (a pack the reader added):
    // its entry in its sub-menu before the entry named `before` (and the line
    // above that one), or last; a choice that excludes others joins their group.
    void AddLater(Command command, const QString& before);
    const std::deque<Command>& All() const { return commands_; }

    // The menu, once every command is in: its own entries in the order of
    // `top` (names of commands and sub-menus, nullptr a line between), the
    // rest of its own entries after them; each sub-menu's entries in the
    // order they were added, the sub-menus inside it after them.
    void BuildMenu(const std::vector<const char*>& top);
    QMenu* Menu() const { return menu_; }
    QAction* Action(const QString& name) const;
    // Opens the menu at `at`, over the pane of that name.
    void Popup(const QPoint& at, const QString& pane);
    // The pane the menu was opened over, while it is open; else empty.
    const QString& OpenedOver() const { return openedOver_; }

    // The check marks, from the state they show.
    void UpdateChecks();
    // Runs the command `pressed` stands for, if one does (the window's own
    // keys excepted: its key handler runs them); true when one did.
    bool RunKey(const QKeySequence& pressed);

private:
    QMenu* Submenu(const std::vector<Submenu>& path, std::map<std::string, QMenu*>& made,
                   std::vector<std::pair<QMenu*, QMenu*>>& nested);
    QAction* MakeAction(const Command& c, QMenu* into);

    QWidget* window_;
    std::deque<Command> commands_;  // (a deque: the entries point at their commands)
    QMenu* menu_ = nullptr;
    std::map<QString, QAction*> actions_;
    std::vector<std::pair<const Command*, QAction*>> checkable_;
    QString openedOver_;
};

}  // namespace mushaf
