#pragma once
// One command of the reader: everything the menu, the keys, the automation
// and the help know of it, given in one place (frmMain::BuildCommands).
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

namespace mushaf {

struct Command {
    // the object name of its menu entry, which the automation's menu: uses
    QString name;
    // its text in the menu (Persian)
    QString text;
    // what the help page's key list says of it; empty: the menu's text
    QString help = {};
    // the keys that run it; shown in the menu
    QList<QKeySequence> keys = {};
    std::function<void()> run = {};
    // for a choice: whether it is on, for the menu's check mark
    std::function<bool()> checked = {};
    // the title of the sub-menu it stands in; empty: the menu itself
    QString submenu = {};
    // the sub-menu's object name, given by its first entry
    const char* submenuName = nullptr;
    // entries of one sub-menu (and one group in it) whose checks exclude each other
    bool exclusive = false;
    int group = 0;
    // a line in the menu before it
    bool separatorBefore = false;
    // The key is the window's own key handler's (Form_KeyDown runs it, with
    // what that handler does for every key); the table only shows it.
    bool formKey = false;
};

}  // namespace mushaf
