#include "app/cmainframe.h"

#include "support/aboutbox.h"
#include "ui/commands/backupcommand.h"
#include "ui/commands/bulkcommand.h"
#include "ui/commands/importcommands.h"
#include "ui/commands/registerbookcommands.h"
#include "ui/commands/reportcommand.h"
#include "ui/dialogs/cdlgoptions.h"
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/commands.h"
#include "ui/framework/guicontext.h"
#include "ui/framework/helpcontexts.h"
#include "ui/framework/icons.h"
#include "ui/views/cviewcompcover.h"
#include "ui/views/cviewcover.h"
#include "ui/views/cviewmove.h"
#include "ui/views/cviewprod.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <variant>

namespace tarvo {

namespace {

constexpr const char* SettingsGroup = "Tarvo";
constexpr const char* BarStateKey = "BarState";
constexpr int Separator = 0;

struct SubMenu {
    const char* title;
    std::vector<int> items;
};
struct MenuSpec {
    const char* title;
    std::vector<std::variant<int, SubMenu>> items;
};

// The menu bar: commands by id, 0 a separator.
const std::vector<MenuSpec>& MenuBar() {
    static const std::vector<MenuSpec> menus = {
        {"&Soubor",
         {cmd::Report, Separator, cmd::ExportRegisters, cmd::ImportRegisters, Separator,
          SubMenu{"&Zálohování", {cmd::Backup, cmd::Restore}}, Separator, cmd::Exit}},
        {"&Tabulky",
         {cmd::ViewCovers, cmd::ViewCompCovers, cmd::ViewProducts, cmd::ViewDispatches, Separator,
          cmd::Refresh}},
        {"Zázna&my",
         {SubMenu{"&Importovat z", {cmd::ImportMoney, cmd::ImportWak}}, cmd::ResolveAll,
          cmd::ProposeClassifications, Separator, cmd::Add, cmd::Edit, cmd::Delete, cmd::Undelete,
          Separator, cmd::Find, cmd::Replace, Separator, cmd::Filter, Separator, cmd::Options}},
        {"&Zobrazit", {cmd::ToggleTableBar, cmd::ToggleToolBar, cmd::ToggleStatusBar}},
        {"&Nápověda", {cmd::Help, cmd::About}},
    };
    return menus;
}

const int TableCommands[] = {cmd::ViewCovers, cmd::ViewCompCovers, cmd::ViewProducts,
                             cmd::ViewDispatches};
const int ToolCommands[] = {cmd::ImportMoney, cmd::ImportWak, Separator, cmd::Report};
// The accelerators of the second and third panes have no menu item.
const int PaneCommands[] = {cmd::Add2, cmd::Edit2, cmd::Delete2,
                            cmd::Add3, cmd::Edit3, cmd::Delete3};

void AddItems(QMenu* menu, const std::vector<int>& items, const std::map<int, QAction*>& actions) {
    for (int id : items) {
        if (id == Separator)
            menu->addSeparator();
        else
            menu->addAction(actions.at(id));
    }
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Tarvo"));
    setWindowIcon(icons::Application());
    setMinimumSize(600, 400);
    resize(960, 640);

    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);
    RegisterViews();
    RegisterFrameCommands();
    BuildActions();
    BuildMenus();
    BuildBars();
    BuildStatusBar();

    QSettings settings;
    settings.beginGroup(SettingsGroup);
    restoreState(settings.value(BarStateKey).toByteArray());
    settings.endGroup();
}

CMainFrame::~CMainFrame() {
    if (m_findReplace)
        m_findReplace->Close();
}

// A new table view is one line here: its table command and how to make it.
void CMainFrame::RegisterViews() {
    m_factories = {
        {cmd::ViewCovers, [](const GuiContext& context) { return new CViewCover(context); }},
        {cmd::ViewProducts, [](const GuiContext& context) { return new CViewProd(context); }},
        {cmd::ViewCompCovers,
         [](const GuiContext& context) { return new CViewCompCover(context); }},
        {cmd::ViewDispatches, [](const GuiContext& context) { return new CViewMove(context); }},
    };
}

void CMainFrame::RegisterFrameCommands() {
    m_frameCommands = {
        {cmd::Find, [this] { m_findReplace->Open(*m_active, FindReplaceOwner::FindTab); }},
        {cmd::Replace, [this] { m_findReplace->Open(*m_active, FindReplaceOwner::ReplaceTab); }},
        {cmd::Options,
         [this] {
             CDlgOptions dialog(*m_context, m_context->switches, this);
             if (dialog.exec() == QDialog::Accepted)
                 m_context->switches = dialog.Record();
         }},
        {cmd::ToggleTableBar, [this] { m_tableBar->setVisible(!m_tableBar->isVisible()); }},
        {cmd::ToggleToolBar, [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); }},
        {cmd::ToggleStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); }},
        {cmd::Exit, [this] { close(); }},
        {cmd::Report,
         [this] {
             RunReportCommand(*m_context, this, OpenWithDesktop, [this] {
                 SwitchView(cmd::ViewCovers);
                 static_cast<CViewCover*>(m_active)->ShowIncompleteCovers();
             });
         }},
        {cmd::Backup, [this] { RunBackupCommand(*m_context, BackupMode::Backup, this); }},
        {cmd::Restore, [this] { RunBackupCommand(*m_context, BackupMode::Restore, this); }},
        {cmd::ExportRegisters, [this] { RunExportRegistersCommand(*m_context, this); }},
        {cmd::ImportRegisters, [this] { RunImportRegistersCommand(*m_context, this); }},
        {cmd::ResolveAll, [this] { RunBulkCommand(*m_context, this); }},
        {cmd::ImportMoney, [this] { RunMoneyImportCommand(*m_context, this); }},
        {cmd::ImportWak, [this] { RunWakImportCommand(*m_context, this); }},
        {cmd::About,
         [this] {
             AboutBox about(m_context->messages, this);
             about.exec();
         }},
    };
}

void CMainFrame::Open(const GuiContext& context) {
    m_context = &context;
    m_findReplace = std::make_unique<FindReplaceOwner>(context.messages, [&context](int page) {
        if (context.showHelp)
            context.showHelp(page);
    });
    if (context.showHelp)
        m_frameCommands[cmd::Help] = [&context] { context.showHelp(help::Contents); };
    SwitchView(cmd::ViewCovers);
}

void CMainFrame::BuildActions() {
    m_commands = new CommandActions([this](int id) { RunCommand(id); },
                                    [this](int id) { return IsCommandEnabled(id); }, this);
    m_actions = m_commands->All();
    auto* group = new QActionGroup(this);
    for (int id : TableCommands)
        group->addAction(m_actions[id]);
    for (int id : PaneCommands)
        addAction(m_actions[id]);
}

QAction* CMainFrame::Action(int command) const {
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
    for (const MenuSpec& spec : MenuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(spec.title));
        for (const auto& item : spec.items) {
            if (const auto* sub = std::get_if<SubMenu>(&item))
                AddItems(menu->addMenu(QString::fromUtf8(sub->title)), sub->items, m_actions);
            else
                AddItems(menu, {std::get<int>(item)}, m_actions);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::BuildBars() {
    m_tableBar = new QToolBar(QStringLiteral("Panel tabulek"), this);
    m_tableBar->setObjectName(QStringLiteral("TableBar"));
    m_toolBar = new QToolBar(QStringLiteral("Panel nástrojů"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    for (int id : TableCommands)
        m_tableBar->addAction(m_actions[id]);
    for (int id : ToolCommands) {
        if (id == Separator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions[id]);
    }
    for (QToolBar* bar : {m_tableBar, m_toolBar}) {
        bar->setMovable(true);
        bar->setFloatable(true);
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        addToolBar(Qt::TopToolBarArea, bar);
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    // A normal widget: the bar hides it while it shows a command's prompt,
    // and shows it again afterwards.
    m_idle = new QLabel(QStringLiteral("Hotovo"), bar);
    bar->addWidget(m_idle, 1);
}

bool CMainFrame::IsCommandEnabled(int command) const {
    if (m_factories.count(command))
        return true;
    if (m_frameCommands.count(command))
        return m_active != nullptr;
    return m_active && m_active->HandlesCommand(command) && m_active->IsCommandEnabled(command);
}

void CMainFrame::UpdateCommands() {
    m_commands->Update();
    for (int command : TableCommands)
        m_actions[command]->setChecked(command == m_activeCommand);
    m_actions[cmd::ToggleTableBar]->setChecked(m_tableBar && m_tableBar->isVisible());
    m_actions[cmd::ToggleToolBar]->setChecked(m_toolBar && m_toolBar->isVisible());
    m_actions[cmd::ToggleStatusBar]->setChecked(statusBar()->isVisible());
}

void CMainFrame::RunCommand(int command) {
    if (!IsCommandEnabled(command))
        return;
    if (m_factories.count(command))
        SwitchView(command);
    else if (const auto handler = m_frameCommands.find(command); handler != m_frameCommands.end())
        handler->second();
    else
        m_active->OnCommand(command);
    UpdateCommands();
}

void CMainFrame::SwitchView(int command) {
    if (!m_context || command == m_activeCommand)
        return;
    const auto factory = m_factories.find(command);
    if (factory == m_factories.end())
        return;
    TableView* view = nullptr;
    for (TableView* existing : m_views) {
        if (m_viewCommand[existing] == command)
            view = existing;
    }
    if (!view) {
        view = factory->second(*m_context);
        view->SetBroadcast(this);
        view->SetCommandActions(m_commands);
        m_stack->addWidget(view);
        m_views.push_back(view);
        m_viewCommand[view] = command;
        view->InitialUpdate();
    }
    m_stack->setCurrentWidget(view);
    m_active = view;
    m_activeCommand = command;
    m_findReplace->Close();
    UpdateCommands();
}

void CMainFrame::NotifyAllViews(TableView* sender, ViewNotification what) {
    if (m_active && m_active != sender)
        m_active->OnNotify(what);
    for (TableView* view : m_views) {
        if (view != sender && view != m_active)
            view->OnNotify(what);
    }
}

void CMainFrame::NotifyAllViews(ViewNotification what) {
    NotifyAllViews(nullptr, what);
}

void CMainFrame::BringToFront() {
    raise();
    activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QSettings settings;
    settings.beginGroup(SettingsGroup);
    settings.setValue(BarStateKey, saveState());
    settings.endGroup();
    if (m_findReplace)
        m_findReplace->Close();
    QMainWindow::closeEvent(event);
}

} // namespace tarvo
