#include "app/cmainframe.h"

#include "app/appglobals.h"
#include "ui/dialogs/cdlgoptions.h"
#include "ui/framework/cdlgfindreplace.h"
#include "ui/framework/commandids.h"
#include "ui/framework/icons.h"
#include "ui/views/cviewcover.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

namespace tarvo {

namespace {

// The status-bar prompt and the tooltip of each command.
const std::map<int, const char*>& Prompts() {
    static const std::map<int, const char*> prompts = {
        {cmd::Edit, "Upravit vybraný záznam\nUpravit záznam"},
        {cmd::Delete, "Odstranit vybraný záznam\nOdstranit záznam"},
        {cmd::Add, "Přidat nový záznam\nNový záznam"},
        {cmd::Filter, "Nastavit/zrušit filtr pro zobrazení záznamů\nFiltr "},
        {cmd::ImportMoney, "Importovat data z programu Money S3\nImportovat z Money S3"},
        {cmd::Find, "Najít záznam podle zadaných kritérií\nNajít"},
        {cmd::Report, "Sestavit čtvrtletní výkaz\nSestavit výkaz"},
        {cmd::ViewCovers, "Zobrazit tabulku obalů\nZobrazit obaly"},
        {cmd::ViewProducts, "Zobrazit tabulku produktů\nZobrazit produkty"},
        {cmd::ViewDispatches, "Zobrazit tabulku výdejů\nZobrazit výdeje"},
        {cmd::Add2, "Přidat nový záznam\nNový záznam"},
        {cmd::Edit2, "Upravit vybraný záznam\nUpravit záznam"},
        {cmd::Delete2, "Odstranit vybraný záznam\nOdstranit záznam"},
        {cmd::Add3, "Přidat nový záznam\nNový záznam"},
        {cmd::Edit3, "Upravit vybraný záznam\nUpravit záznam"},
        {cmd::Delete3, "Odstranit vybraný záznam\nOdstranit záznam"},
        {cmd::Refresh, "Aktualizovat zobrazené záznamy\nAktualizovat"},
        {cmd::Replace, "Nahradit data v tabulce\nNahradit"},
        {cmd::ViewCompCovers, "Zobrazit tabulku složených obalů\nZobrazit složené obaly"},
        {cmd::AssignCovers, "Hromadně přiřadit obaly k vybraným produktům\nPřiřadit obaly"},
        {cmd::Backup, "Zazálohovat data do zvoleného adresáře\nZálohovat data"},
        {cmd::Restore, "Obnovit data ze zvolené zálohy\nObnovit data ze zálohy"},
        {cmd::Options, "Nastavit chování aplikace při změně záznamů\nChování aplikace při změně "
                       "záznamů"},
        {cmd::ResolveAll, "Upravit obaly ve výdejích podle definic balení vydaných "
                          "produktů\nUpravit obaly ve výdejích"},
        {cmd::ImportWak, "Importovat data z programu WAK INTRA\nImportovat z WAK INTRA"},
        {cmd::ToggleTableBar, "Zobrazit/skrýt panel tabulek\nPřepnout panel tabulek"},
        {cmd::ToggleToolBar, "Zobrazit/skrýt panel nástrojů\nPřepnout panel nástrojů"},
        {cmd::About, "Zobrazit informace o programu, verzi, autorských právech\nO aplikaci"},
        {cmd::Exit, "Ukončit aplikaci\nKonec"},
        {cmd::Help, "Zobrazit nápovědu k programu\nNápověda"},
        {cmd::ToggleStatusBar, "Zobrazit/skrýt stavový řádek\nPřepnout stavový řádek"},
    };
    return prompts;
}

constexpr const char* SettingsGroup = "Tarvo";
constexpr const char* BarStateKey = "BarState";

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Tarvo"));
    setWindowIcon(icons::Application());
    setMinimumSize(600, 400);
    resize(960, 640);

    m_stack = new QStackedWidget(this);
    setCentralWidget(m_stack);
    m_factories[cmd::ViewCovers] = [] { return new CViewCover; };

    BuildMenus();
    BuildBars();
    BuildStatusBar();

    QSettings settings;
    settings.beginGroup(SettingsGroup);
    restoreState(settings.value(BarStateKey).toByteArray());
    settings.endGroup();

    // The first view: the covers.
    auto* first = m_factories[cmd::ViewCovers]();
    first->SetBroadcast(this);
    m_stack->addWidget(first);
    m_views.push_back(first);
    m_viewCommand[first] = cmd::ViewCovers;
    m_active = first;
    m_activeCommand = cmd::ViewCovers;
    first->InitialUpdate(width());
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    CDlgFindReplace::CloseIfOpen();
}

QAction* CMainFrame::MakeAction(int command, const QString& text, const QKeySequence& key) {
    auto* action = new QAction(text, this);
    if (!key.isEmpty())
        action->setShortcut(key);
    const auto prompt = Prompts().find(command);
    if (prompt != Prompts().end()) {
        const QStringList parts = QString::fromUtf8(prompt->second).split(QLatin1Char('\n'));
        action->setStatusTip(parts.value(0));
        action->setToolTip(parts.value(1));
    }
    connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    m_actions[command] = action;
    return action;
}

QAction* CMainFrame::Action(int command) const {
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Soubor"));
    file->addAction(MakeAction(cmd::Report, QStringLiteral("Sestavit &výkaz")));
    file->addSeparator();
    QMenu* backup = file->addMenu(QStringLiteral("&Zálohování"));
    backup->addAction(MakeAction(cmd::Backup, QStringLiteral("Vytvoření záložní kopie dat")));
    backup->addAction(MakeAction(cmd::Restore, QStringLiteral("Obnovení ze záložní kopie dat")));
    file->addSeparator();
    file->addAction(MakeAction(cmd::Exit, QStringLiteral("&Konec")));

    QMenu* tables = menuBar()->addMenu(QStringLiteral("&Tabulky"));
    auto* group = new QActionGroup(this);
    const std::pair<int, const char*> tableItems[] = {{cmd::ViewCovers, "&Obaly"},
                                                      {cmd::ViewCompCovers, "&Složené obaly"},
                                                      {cmd::ViewProducts, "Vý&robky"},
                                                      {cmd::ViewDispatches, "&Výdaje"}};
    const QIcon tableIcons[] = {icons::Covers(), icons::CompCovers(), icons::Products(),
                                icons::Dispatches()};
    int i = 0;
    for (const auto& [command, text] : tableItems) {
        QAction* action = MakeAction(command, QString::fromUtf8(text));
        action->setCheckable(true);
        action->setIcon(tableIcons[i++]);
        group->addAction(action);
        tables->addAction(action);
    }
    tables->addSeparator();
    tables->addAction(MakeAction(cmd::Refresh, QStringLiteral("&Aktualizovat"), Qt::Key_F5));

    QMenu* records = menuBar()->addMenu(QStringLiteral("Zázna&my"));
    QMenu* import = records->addMenu(QStringLiteral("&Importovat z"));
    import->addAction(MakeAction(cmd::ImportMoney, QStringLiteral("&Money S3")));
    import->addAction(MakeAction(cmd::ImportWak, QStringLiteral("&WAK INTRA")));
    records->addAction(MakeAction(
        cmd::ResolveAll, QStringLiteral("Upravit obaly ve výdejích podle definic balení...")));
    records->addSeparator();
    records->addAction(MakeAction(cmd::Add, QStringLiteral("&Přidat"), Qt::Key_Insert));
    QAction* edit = MakeAction(cmd::Edit, QStringLiteral("&Upravit"), Qt::Key_Return);
    edit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    records->addAction(edit);
    records->addAction(MakeAction(cmd::Delete, QStringLiteral("&Odstranit"), Qt::Key_Delete));
    records->addSeparator();
    records->addAction(MakeAction(cmd::Find, QStringLiteral("&Najít..."), QKeySequence("Ctrl+F")));
    records->addAction(
        MakeAction(cmd::Replace, QStringLiteral("Na&hradit..."), QKeySequence("Ctrl+H")));
    records->addSeparator();
    records->addAction(
        MakeAction(cmd::Filter, QStringLiteral("Fil&tr..."), QKeySequence("Ctrl+T")));
    records->addSeparator();
    records->addAction(MakeAction(cmd::Options, QStringLiteral("&Možnosti...")));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&Zobrazit"));
    for (const auto& [command, text] :
         {std::pair<int, const char*>{cmd::ToggleTableBar, "Panel &tabulek"},
          {cmd::ToggleToolBar, "Panel &nástrojů"},
          {cmd::ToggleStatusBar, "&Stavový řádek"}}) {
        QAction* action = MakeAction(command, QString::fromUtf8(text));
        action->setCheckable(true);
        view->addAction(action);
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Nápověda"));
    help->addAction(MakeAction(cmd::Help, QStringLiteral("Nápověda pro Tarvo"), Qt::Key_F1));
    help->addAction(MakeAction(cmd::About, QStringLiteral("O &aplikaci Tarvo...")));

    // The accelerators of the second and third panes have no menu item.
    const std::pair<int, QKeySequence> paneKeys[] = {
        {cmd::Add2, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {cmd::Edit2, QKeySequence(Qt::CTRL | Qt::Key_Return)},
        {cmd::Delete2, QKeySequence(Qt::CTRL | Qt::Key_Delete)},
        {cmd::Add3, QKeySequence(Qt::ALT | Qt::Key_Insert)},
        {cmd::Edit3, QKeySequence(Qt::ALT | Qt::Key_Return)},
        {cmd::Delete3, QKeySequence(Qt::ALT | Qt::Key_Delete)}};
    for (const auto& [command, key] : paneKeys)
        addAction(MakeAction(command, QString(), key));

    for (QMenu* menu : {file, tables, records, view, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::BuildBars() {
    m_tableBar = new QToolBar(QStringLiteral("Panel tabulek"), this);
    m_tableBar->setObjectName(QStringLiteral("TableBar"));
    m_toolBar = new QToolBar(QStringLiteral("Panel nástrojů"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    const std::pair<int, const char*> tableButtons[] = {{cmd::ViewCovers, "Obaly"},
                                                        {cmd::ViewCompCovers, "Složené"},
                                                        {cmd::ViewProducts, "Výrobky"},
                                                        {cmd::ViewDispatches, "Výdeje"}};
    for (const auto& [command, text] : tableButtons) {
        QAction* action = m_actions[command];
        m_tableBar->addAction(action);
        action->setIconText(QString::fromUtf8(text));
    }
    m_actions[cmd::ImportMoney]->setIcon(icons::ImportMoney());
    m_actions[cmd::ImportMoney]->setIconText(QStringLiteral("Money S3"));
    m_actions[cmd::ImportWak]->setIcon(icons::ImportWak());
    m_actions[cmd::ImportWak]->setIconText(QStringLiteral("WAK INTRA"));
    m_actions[cmd::Report]->setIcon(icons::Report());
    m_actions[cmd::Report]->setIconText(QStringLiteral("Výkaz"));
    m_toolBar->addAction(m_actions[cmd::ImportMoney]);
    m_toolBar->addAction(m_actions[cmd::ImportWak]);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_actions[cmd::Report]);
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
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        // The state of the lock keys cannot be read portably; the panes are
        // shown as for keys that are off.
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
}

bool CMainFrame::IsTableCommand(int command) {
    return command == cmd::ViewCovers || command == cmd::ViewCompCovers ||
           command == cmd::ViewProducts || command == cmd::ViewDispatches;
}

bool CMainFrame::IsFrameCommand(int command) {
    switch (command) {
    case cmd::Options:
    case cmd::ToggleTableBar:
    case cmd::ToggleToolBar:
    case cmd::ToggleStatusBar:
    case cmd::Exit:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::IsLaterCommand(int command) const {
    switch (command) {
    case cmd::Report:
    case cmd::Backup:
    case cmd::Restore:
    case cmd::ImportMoney:
    case cmd::ImportWak:
    case cmd::ResolveAll:
    case cmd::Help:
    case cmd::About:
    case cmd::AssignCovers:
        return true;
    default:
        return false;
    }
}

void CMainFrame::UpdateCommands() {
    for (auto& [command, action] : m_actions) {
        bool enabled = false;
        if (IsLaterCommand(command))
            enabled = false;
        else if (IsTableCommand(command))
            enabled = m_factories.count(command) != 0;
        else if (IsFrameCommand(command))
            enabled = true;
        else // a record command: the view must have the pane for it
            enabled = m_active && m_active->HandlesCommand(command) &&
                      m_active->IsCommandEnabled(command);
        action->setEnabled(enabled);
    }
    for (int command :
         {cmd::ViewCovers, cmd::ViewCompCovers, cmd::ViewProducts, cmd::ViewDispatches})
        m_actions[command]->setChecked(command == m_activeCommand);
    m_actions[cmd::ToggleTableBar]->setChecked(m_tableBar && m_tableBar->isVisible());
    m_actions[cmd::ToggleToolBar]->setChecked(m_toolBar && m_toolBar->isVisible());
    m_actions[cmd::ToggleStatusBar]->setChecked(statusBar()->isVisible());
}

void CMainFrame::RunCommand(int command) {
    if (m_active && m_active->HandlesCommand(command) && m_active->OnCommand(command))
        return;
    switch (command) {
    case cmd::ViewCovers:
    case cmd::ViewCompCovers:
    case cmd::ViewProducts:
    case cmd::ViewDispatches:
        SwitchView(command);
        break;
    case cmd::Options: {
        CDlgOptions dialog(TheSwitches(), this);
        dialog.exec();
        break;
    }
    case cmd::ToggleTableBar:
        m_tableBar->setVisible(!m_tableBar->isVisible());
        break;
    case cmd::ToggleToolBar:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        break;
    case cmd::ToggleStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
    case cmd::Exit:
        close();
        break;
    default:
        break;
    }
    UpdateCommands();
}

void CMainFrame::SwitchView(int command) {
    if (!m_active || command == m_activeCommand)
        return;
    const auto factory = m_factories.find(command);
    if (factory == m_factories.end())
        return;
    CTableView* view = nullptr;
    for (CTableView* existing : m_views) {
        if (m_viewCommand[existing] == command)
            view = existing;
    }
    if (!view) {
        view = factory->second();
        view->SetBroadcast(this);
        m_stack->addWidget(view);
        m_views.push_back(view);
        m_viewCommand[view] = command;
        view->InitialUpdate(m_stack->width());
    }
    m_stack->setCurrentWidget(view);
    m_active = view;
    m_activeCommand = command;
    CDlgFindReplace::CloseIfOpen();
    UpdateCommands();
}

void CMainFrame::NotifyAllViews(CTableView* sender, ViewNotification what) {
    if (m_active && m_active != sender)
        m_active->OnNotify(what);
    for (CTableView* view : m_views) {
        if (view != sender && view != m_active)
            view->OnNotify(what);
    }
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
    CDlgFindReplace::CloseIfOpen();
    QMainWindow::closeEvent(event);
}

} // namespace tarvo
