#include "window/CommandTable.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

namespace mushaf {

CommandTable::CommandTable(QWidget* window) : QObject(window), window_(window) {}

void CommandTable::Add(std::vector<Command> commands) {
    for (Command& c : commands) commands_.push_back(std::move(c));
}

void CommandTable::AddLater(Command command, const QString& before) {
    commands_.push_back(std::move(command));
    const Command& c = commands_.back();
    if (!menu_) return;
    QMenu* into = c.menu.empty() ? menu_ : menu_->findChild<QMenu*>(QString::fromLatin1(c.menu.back().name));
    if (!into) return;
    QAction* a = MakeAction(c, into);
    if (c.exclusive)
        for (QAction* other : into->actions())
            if (other->actionGroup()) {
                other->actionGroup()->addAction(a);
                break;
            }
    if (c.hidden) return;
    const QList<QAction*> entries = into->actions();
    QAction* next = nullptr;
    for (qsizetype i = 0; i < entries.size() && !before.isEmpty(); ++i)
        if (entries[i]->objectName() == before) next = i > 0 && entries[i - 1]->isSeparator() ? entries[i - 1] : entries[i];
    into->insertAction(next, a);
    UpdateChecks();
}

QAction* CommandTable::Action(const QString& name) const {
    const auto at = actions_.find(name);
    return at == actions_.end() ? nullptr : at->second;
}

QMenu* CommandTable::Submenu(const std::vector<mushaf::Submenu>& path, std::map<std::string, QMenu*>& made,
                             std::vector<std::pair<QMenu*, QMenu*>>& nested) {
    // each sub-menu made when first named, inside the one before it in the path
    QMenu* into = nullptr;
    for (const mushaf::Submenu& s : path) {
        QMenu*& sub = made[s.name];
        if (!sub) {
            sub = new QMenu(s.title, into ? into : menu_);
            sub->setObjectName(QString::fromLatin1(s.name));
            sub->setLayoutDirection(Qt::RightToLeft);
            if (into) nested.emplace_back(into, sub);
        }
        into = sub;
    }
    return into;
}

QAction* CommandTable::MakeAction(const Command& c, QMenu* into) {
    auto* a = new QAction(c.text, into);
    a->setObjectName(c.name);
    a->setCheckable(static_cast<bool>(c.checked));
    // shown in the menu, and taken there while it is open; elsewhere the
    // window's key handling runs the command
    a->setShortcuts(c.keys);
    a->setShortcutContext(Qt::WidgetShortcut);
    connect(a, &QAction::triggered, this, [this, run = c.run] {
        run();
        UpdateChecks();
    });
    actions_[c.name] = a;
    if (c.checked) checkable_.emplace_back(&c, a);
    return a;
}

void CommandTable::BuildMenu(const std::vector<const char*>& top) {
    menu_ = new QMenu(window_);
    menu_->setLayoutDirection(Qt::RightToLeft);
    std::map<std::string, QMenu*> submenus;
    std::vector<std::pair<QMenu*, QMenu*>> nested;  // a sub-menu inside another, after that one's entries
    std::map<std::pair<QMenu*, int>, QActionGroup*> groups;
    std::map<std::string, QAction*> own;  // the menu's own entries, placed below
    for (const Command& c : commands_) {
        QMenu* into = c.menu.empty() ? menu_ : Submenu(c.menu, submenus, nested);
        if (c.separatorBefore && into != menu_) into->addSeparator();
        QAction* a = MakeAction(c, into);
        if (c.exclusive) {
            QActionGroup*& group = groups[{into, c.group}];
            if (!group) group = new QActionGroup(into);
            group->addAction(a);
        }
        if (into == menu_) own[c.name.toStdString()] = a;
        else if (!c.hidden) into->addAction(a);
    }
    QMenu* lastParent = nullptr;
    for (auto [parent, sub] : nested) {
        if (parent != lastParent) parent->addSeparator();
        parent->addMenu(sub);
        lastParent = parent;
    }
    for (const char* name : top) {
        if (!name) menu_->addSeparator();
        else if (auto a = own.find(name); a != own.end()) menu_->addAction(a->second), own.erase(a);
        else if (auto s = submenus.find(name); s != submenus.end()) menu_->addMenu(s->second);
    }
    for (const Command& c : commands_)
        if (auto a = own.find(c.name.toStdString()); a != own.end()) menu_->addAction(a->second);
    connect(menu_, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { openedOver_.clear(); }); });
}

void CommandTable::Popup(const QPoint& at, const QString& pane) {
    openedOver_ = pane;
    UpdateChecks();
    menu_->popup(at);
}

void CommandTable::UpdateChecks() {
    for (const auto& [c, a] : checkable_)
        if (a->isChecked() != c->checked()) a->setChecked(!a->isChecked());
}

bool CommandTable::RunKey(const QKeySequence& pressed) {
    for (const Command& c : commands_) {
        if (c.formKey || !c.keys.contains(pressed)) continue;
        c.run();
        UpdateChecks();
        return true;
    }
    return false;
}

}  // namespace mushaf
