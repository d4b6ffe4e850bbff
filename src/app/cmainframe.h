#pragma once

#include "core/ports/notifyport.h"
#include "ui/framework/findreplaceowner.h"
#include "ui/framework/tableview.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QStackedWidget;
class QToolBar;

namespace tarvo {

class CommandActions;
struct GuiContext;

// The main window: menu, the table bar and the tool bar, the status bar and
// one table view at a time. Commands go first to the active view, then to
// the frame. Views, once made, stay alive (hidden) until the frame closes.
//
// The frame is also the program's view notifier: core operations (backup,
// bulk runs, imports) tell every view through the context without naming a
// sender.
class CMainFrame : public QMainWindow, public IViewBroadcast, public IViewNotifier {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Makes the first view, the covers, with the context every window uses.
    // The context names this frame as its notifier, so it is made after the
    // frame and handed in here.
    void Open(const GuiContext& context);

    // Shows the view of a table command (cmd::ViewCovers, ...), making it
    // on first use.
    void SwitchView(int command);
    TableView* ActiveView() const { return m_active; }
    int ActiveTable() const { return m_activeCommand; }

    // Sends a notification to the active view, then to every other view,
    // skipping the sender (none: every view).
    void NotifyAllViews(TableView* sender, ViewNotification what) override;
    void NotifyAllViews(ViewNotification what) override;

    // Runs a command as the menu would.
    void RunCommand(int command);
    QAction* Action(int command) const;
    QToolBar* TableBar() const { return m_tableBar; }
    QToolBar* ToolBar() const { return m_toolBar; }
    FindReplaceOwner& FindReplace() { return *m_findReplace; }
    // Enables, disables and checks the commands by the current state.
    void UpdateCommands();
    // The one rule for what a command can do now: a table command needs a
    // registered view, a frame command its handler, a record command an
    // active view that handles it and allows it.
    bool IsCommandEnabled(int command) const;
    // Brings the window to the front without moving, sizing or restoring it.
    void BringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using ViewFactory = std::function<TableView*(const GuiContext&)>;

    void RegisterViews();
    void RegisterFrameCommands();
    void BuildActions();
    void BuildMenus();
    void BuildBars();
    void BuildStatusBar();

    const GuiContext* m_context = nullptr;
    // The actions of the command table; the views' context menus show them too.
    CommandActions* m_commands = nullptr;
    std::map<int, QAction*> m_actions;
    std::map<int, ViewFactory> m_factories;
    std::map<int, std::function<void()>> m_frameCommands;
    std::vector<TableView*> m_views;
    std::map<TableView*, int> m_viewCommand;
    std::unique_ptr<FindReplaceOwner> m_findReplace;
    TableView* m_active = nullptr;
    int m_activeCommand = 0;
    QStackedWidget* m_stack = nullptr;
    QToolBar* m_tableBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_idle = nullptr;
};

} // namespace tarvo
