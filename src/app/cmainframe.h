#pragma once

#include "ui/framework/ctableview.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QStackedWidget;
class QToolBar;

namespace tarvo {

// The main window: menu, the table bar and the tool bar, the status bar and
// one table view at a time. Commands go first to the active view, then to
// the frame. Views, once made, stay alive (hidden) until the frame closes.
class CMainFrame : public QMainWindow, public IViewBroadcast {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Shows the view of a table command (cmd::ViewCovers, ...), making it
    // on first use.
    void SwitchView(int command);
    CTableView* ActiveView() const { return m_active; }
    int ActiveTable() const { return m_activeCommand; }

    // Sends a notification to the active view, then to every other view,
    // skipping the sender.
    void NotifyAllViews(CTableView* sender, ViewNotification what) override;

    // Runs a command as the menu would.
    void RunCommand(int command);
    QAction* Action(int command) const;
    QToolBar* TableBar() const { return m_tableBar; }
    QToolBar* ToolBar() const { return m_toolBar; }
    // Enables, disables and checks the commands by the current state.
    void UpdateCommands();
    // Brings the window to the front without moving, sizing or restoring it.
    void BringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* MakeAction(int command, const QString& text, const QKeySequence& key = {});
    void BuildMenus();
    void BuildBars();
    void BuildStatusBar();
    bool IsLaterCommand(int command) const;
    static bool IsTableCommand(int command);
    static bool IsFrameCommand(int command);

    std::map<int, QAction*> m_actions;
    std::map<int, std::function<CTableView*()>> m_factories;
    std::vector<CTableView*> m_views;
    std::map<CTableView*, int> m_viewCommand;
    CTableView* m_active = nullptr;
    int m_activeCommand = 0;
    QStackedWidget* m_stack = nullptr;
    QToolBar* m_tableBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_idle = nullptr;
};

} // namespace tarvo
