#pragma once
// One command of the reader: everything the menu, the keys, the automation
// and the help know of it, given in one place (frmMain::BuildCommands).
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

namespace mushaf {

// A sub-menu of the reader's menu: its object name and its title.
struct Submenu {
    const char* name;
    QString title;
};

// The reader's sub-menus, each one kind of thing.
namespace menus {
inline const Submenu kView{"mnuView", QStringLiteral("نما")};
inline const Submenu kFont{"mnuFont", QStringLiteral("قلم متن قرآن")};
inline const Submenu kScript{"mnuScript", QStringLiteral("رسم‌الخط")};
inline const Submenu kTranslation{"mnuTranslationMenu", QStringLiteral("ترجمه")};
inline const Submenu kSecondTranslation{"mnuSecondTranslationMenu", QStringLiteral("ترجمهٔ دوم")};
inline const Submenu kStudy{"mnuStudy", QStringLiteral("مطالعه")};
inline const Submenu kRecitation{"mnuRecitation", QStringLiteral("تلاوت")};
inline const Submenu kReciter{"mnuReciter", QStringLiteral("قاری")};
inline const Submenu kAddRecordings{"mnuAddRecordings", QStringLiteral("افزودن قاری")};
inline const Submenu kRepeat{"mnuRepeat", QStringLiteral("تکرار")};
inline const Submenu kPlayTo{"mnuPlayTo", QStringLiteral("پایان پخش")};
inline const Submenu kSpeed{"mnuSpeed", QStringLiteral("سرعت")};
inline const Submenu kExport{"mnuExport", QStringLiteral("صدور")};
}  // namespace menus

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
    // the sub-menus it stands in, from the menu's top; none: the menu itself
    std::vector<Submenu> menu = {};
    // entries of one sub-menu (and one group in it) whose checks exclude each other
    bool exclusive = false;
    int group = 0;
    // a line in the menu before it (in a sub-menu)
    bool separatorBefore = false;
    // kept out of its sub-menu's list (the automation and the keys still run
    // it): one of more entries than a menu can show
    bool hidden = false;
    // The key is the window's own key handler's (Form_KeyDown runs it, with
    // what that handler does for every key); the table only shows it.
    bool formKey = false;
};

}  // namespace mushaf
