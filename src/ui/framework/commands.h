#pragma once

#include "ui/framework/commandids.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace tarvo {

// One command of the program, defined once: the frame's menus, bars and
// accelerators and the lists' context menus are all made from it.
struct CommandInfo {
    int id = 0;
    const char* text = "";     // menu text with its mnemonic; empty: accelerator only
    const char* key = "";      // the shortcut as the menus name it ("Ins", "Ctrl+Enter")
    const char* prompt = "";   // status-bar prompt, a newline, the tooltip
    QIcon (*icon)() = nullptr; // toolbar and menu icon
    const char* iconText = ""; // the toolbar button's label
    bool checkable = false;
};

// Every command, in no particular order.
const std::vector<CommandInfo>& Commands();
// The command's entry; a command id that is not in the table is a
// programming error and throws.
const CommandInfo& Command(int id);

// The key sequences of a shortcut name: "Enter" is both the main Enter key
// and the one of the number pad.
QList<QKeySequence> ShortcutKeys(const char* key);
QString StatusPrompt(const CommandInfo& command);
QString ToolTip(const CommandInfo& command);

// The QActions of the command table, one for each command: the frame's
// menus, bars and accelerators and the views' context menus all show these,
// so a command has one action and one enabled state wherever it appears. An
// action's text names its shortcut after a tab ("&Přidat\tIns"), which is
// what a menu shows beside it.
// Choosing an action runs its command through run; Update asks enabled for
// every command.
class CommandActions : public QObject {
public:
    CommandActions(std::function<void(int)> run, std::function<bool(int)> enabled, QObject* parent);

    // The action of a command; a command that is not in the table is a
    // programming error and throws.
    QAction* Action(int id) const;
    const std::map<int, QAction*>& All() const { return m_actions; }
    void Update();

private:
    std::function<bool(int)> m_enabled;
    std::map<int, QAction*> m_actions;
};

// The context menus of the lists. A menu item is a command, or a separator
// (id 0).
enum class RecordMenu {
    Main,     // "recMain": a main list
    Second,   // "rec2": a second pane
    Third,    // "rec3": a third pane
    Covers,   // the covers' main list, with restoring a deleted cover
    Products, // "recProd": the products' main list, with the bulk cover assignment
    InDialog, // "rec1": a list inside a dialog; edit shows no shortcut
};
struct MenuItem {
    int id;
    bool showKey; // in a dialog's own menu; the command actions always name it
};
const std::vector<MenuItem>& MenuItems(RecordMenu menu);

// What decides the items of one pop-up: whether the click was on a row and
// whether the pane may add (its parent list has a selected row).
struct MenuState {
    bool onRow = false;
    bool canAdd = true;
};
// Whether an item of a context menu is available: edit, delete and the bulk
// assignment need a row under the click, a dependent pane's add needs a
// selected parent record.
bool IsMenuItemEnabled(int id, const MenuState& state);

// Fills a pop-up menu with the items of a record menu, each sending its
// command to run when chosen. Used by the dialogs that hold a list of their
// own; the table views show the command actions instead.
void FillRecordMenu(QMenu& menu, RecordMenu which, const MenuState& state,
                    const std::function<void(int)>& run);
// Fills a pop-up menu with the command actions of a record menu's items.
void FillRecordMenu(QMenu& menu, RecordMenu which, const CommandActions& actions);

} // namespace tarvo
