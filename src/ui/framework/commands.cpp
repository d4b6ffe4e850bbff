#include "ui/framework/commands.h"

#include "ui/framework/icons.h"

#include <QAction>
#include <QMenu>
#include <stdexcept>
#include <string>
#include <utility>

namespace tarvo {

namespace {

constexpr const char* AddPrompt = "Přidat nový záznam\nNový záznam";
constexpr const char* EditPrompt = "Upravit vybraný záznam\nUpravit záznam";
constexpr const char* DeletePrompt = "Odstranit vybraný záznam\nOdstranit záznam";

// The command's menu text with the name of its shortcut after a tab. A menu
// shows the text after the tab as the shortcut in place of Qt's own name for
// the key, so the menus say "Ins", "Enter" and "Del" as the table does, not
// "Insert", "Return" and "Delete".
QString MenuText(const CommandInfo& command) {
    QString text = QString::fromUtf8(command.text);
    if (!text.isEmpty() && *command.key)
        text += QLatin1Char('\t') + QString::fromLatin1(command.key);
    return text;
}

// A QAction for the command with its menu text, shortcuts, prompt, tooltip
// and icon.
QAction* MakeCommandAction(const CommandInfo& command, QObject* parent) {
    auto* action = new QAction(MenuText(command), parent);
    action->setShortcuts(ShortcutKeys(command.key));
    action->setStatusTip(StatusPrompt(command));
    action->setToolTip(ToolTip(command));
    if (command.icon)
        action->setIcon(command.icon());
    if (*command.iconText)
        action->setIconText(QString::fromUtf8(command.iconText));
    action->setCheckable(command.checkable);
    return action;
}

} // namespace

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = {
        {cmd::Report, "Sestavit &výkaz", "", "Sestavit čtvrtletní výkaz\nSestavit výkaz",
         &icons::Report, "Výkaz"},
        {cmd::Backup, "Vytvoření záložní kopie dat", "",
         "Zazálohovat data do zvoleného adresáře\nZálohovat data"},
        {cmd::Restore, "Obnovení ze záložní kopie dat", "",
         "Obnovit data ze zvolené zálohy\nObnovit data ze zálohy"},
        {cmd::ExportRegisters, "&Export evidencí…", "",
         "Exportovat obaly, složené obaly, produkty a balení do sešitu\nExport evidencí"},
        {cmd::ImportRegisters, "&Import evidencí…", "",
         "Importovat obaly, složené obaly, produkty a balení ze sešitu\nImport evidencí"},
        {cmd::Exit, "&Konec", "", "Ukončit aplikaci\nKonec"},
        {cmd::ViewCovers, "&Obaly", "", "Zobrazit tabulku obalů\nZobrazit obaly", &icons::Covers,
         "Obaly", true},
        {cmd::ViewCompCovers, "&Složené obaly", "",
         "Zobrazit tabulku složených obalů\nZobrazit složené obaly", &icons::CompCovers, "Složené",
         true},
        {cmd::ViewProducts, "&Produkty", "", "Zobrazit tabulku produktů\nZobrazit produkty",
         &icons::Products, "Produkty", true},
        {cmd::ViewDispatches, "&Výdeje", "", "Zobrazit tabulku výdejů\nZobrazit výdeje",
         &icons::Dispatches, "Výdeje", true},
        {cmd::Refresh, "&Aktualizovat", "F5", "Aktualizovat zobrazené záznamy\nAktualizovat"},
        {cmd::ImportMoney, "&Money S3", "",
         "Importovat data z programu Money S3\nImportovat z Money S3", &icons::ImportMoney,
         "Money S3"},
        {cmd::ImportWak, "&WAK INTRA", "",
         "Importovat data z programu WAK INTRA\nImportovat z WAK INTRA", &icons::ImportWak,
         "WAK INTRA"},
        {cmd::ImportCommand, "", "", ""},
        {cmd::ResolveAll, "Upravit obaly ve výdejích podle definic balení...", "",
         "Upravit obaly ve výdejích podle definic balení vydaných produktů\nUpravit obaly ve "
         "výdejích"},
        {cmd::Add, "&Přidat", "Ins", AddPrompt, &icons::Add},
        {cmd::Edit, "&Upravit", "Enter", EditPrompt, &icons::Edit},
        {cmd::Delete, "&Odstranit", "Del", DeletePrompt, &icons::Delete},
        {cmd::Undelete, "O&bnovit", "",
         "Vrátit vybrané odstraněné záznamy do evidence (zobrazí je filtr \"zobrazit i "
         "odstraněné\")\nObnovit"},
        {cmd::Find, "&Najít...", "Ctrl+F", "Najít záznam podle zadaných kritérií\nNajít"},
        {cmd::Replace, "Na&hradit...", "Ctrl+H", "Nahradit data v tabulce\nNahradit"},
        {cmd::Filter, "Fil&tr...", "Ctrl+T", "Nastavit/zrušit filtr pro zobrazení záznamů\nFiltr",
         &icons::Filter},
        {cmd::Options, "&Možnosti...", "",
         "Nastavit chování aplikace při změně záznamů\nChování aplikace při změně záznamů"},
        {cmd::ProposeClassifications, "Navrhnout &zařazení pro výkaz 2021", "",
         "Navrhnout vybraným obalům zařazení pro výkaz 2021 podle jejich materiálu\nNavrhnout "
         "zařazení pro výkaz 2021"},
        {cmd::AssignCovers, "Hromadně přiř&adit obaly", "",
         "Hromadně přiřadit obaly k vybraným produktům\nPřiřadit obaly"},
        {cmd::Add2, "&Přidat", "Ctrl+Ins", AddPrompt, &icons::Add},
        {cmd::Edit2, "&Upravit", "Ctrl+Enter", EditPrompt, &icons::Edit},
        {cmd::Delete2, "&Odstranit", "Ctrl+Del", DeletePrompt, &icons::Delete},
        {cmd::Add3, "&Přidat", "Alt+Ins", AddPrompt, &icons::Add},
        {cmd::Edit3, "&Upravit", "Alt+Enter", EditPrompt, &icons::Edit},
        {cmd::Delete3, "&Odstranit", "Alt+Del", DeletePrompt, &icons::Delete},
        {cmd::ToggleTableBar, "Panel &tabulek", "",
         "Zobrazit/skrýt panel tabulek\nPřepnout panel tabulek", nullptr, "", true},
        {cmd::ToggleToolBar, "Panel &nástrojů", "",
         "Zobrazit/skrýt panel nástrojů\nPřepnout panel nástrojů", nullptr, "", true},
        {cmd::ToggleStatusBar, "&Stavový řádek", "",
         "Zobrazit/skrýt stavový řádek\nPřepnout stavový řádek", nullptr, "", true},
        {cmd::Help, "Nápověda pro Tarvo", "F1", "Zobrazit nápovědu k programu\nNápověda"},
        {cmd::About, "O &aplikaci Tarvo...", "",
         "Zobrazit informace o programu, verzi, autorských právech\nO aplikaci"},
    };
    return commands;
}

const CommandInfo& Command(int id) {
    for (const CommandInfo& command : Commands()) {
        if (command.id == id)
            return command;
    }
    throw std::logic_error("unknown command " + std::to_string(id));
}

QList<QKeySequence> ShortcutKeys(const char* key) {
    QString name = QString::fromLatin1(key);
    if (name.isEmpty())
        return {};
    if (!name.endsWith(QLatin1String("Enter")))
        return {QKeySequence(name)};
    // The main Enter key is Return to Qt; the number pad's is Enter.
    name.chop(5);
    return {QKeySequence(name + QLatin1String("Return")),
            QKeySequence(name + QLatin1String("Enter"))};
}

QString StatusPrompt(const CommandInfo& command) {
    return QString::fromUtf8(command.prompt).section(QLatin1Char('\n'), 0, 0);
}

QString ToolTip(const CommandInfo& command) {
    return QString::fromUtf8(command.prompt).section(QLatin1Char('\n'), 1, 1);
}

CommandActions::CommandActions(std::function<void(int)> run, std::function<bool(int)> enabled,
                               QObject* parent)
    : QObject(parent), m_enabled(std::move(enabled)) {
    for (const CommandInfo& command : Commands()) {
        QAction* action = MakeCommandAction(command, this);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [run, id] { run(id); });
        m_actions[id] = action;
    }
}

QAction* CommandActions::Action(int id) const {
    const auto it = m_actions.find(id);
    if (it == m_actions.end())
        throw std::logic_error("unknown command " + std::to_string(id));
    return it->second;
}

void CommandActions::Update() {
    for (auto& [id, action] : m_actions)
        action->setEnabled(m_enabled(id));
}

const std::vector<MenuItem>& MenuItems(RecordMenu menu) {
    static const std::vector<MenuItem> main = {
        {cmd::Add, true},  {cmd::Edit, true},    {cmd::Delete, true}, {0, false},
        {cmd::Find, true}, {cmd::Replace, true}, {0, false},          {cmd::Filter, true}};
    static const std::vector<MenuItem> second = {
        {cmd::Add2, true}, {cmd::Edit2, true}, {cmd::Delete2, true}};
    static const std::vector<MenuItem> third = {
        {cmd::Add3, true}, {cmd::Edit3, true}, {cmd::Delete3, true}};
    static const std::vector<MenuItem> covers = {
        {cmd::Add, true},       {cmd::Edit, true}, {cmd::Delete, true},
        {cmd::Undelete, false}, {0, false},        {cmd::Find, true},
        {cmd::Replace, true},   {0, false},        {cmd::Filter, true}};
    static const std::vector<MenuItem> products = {{cmd::Add, true},     {cmd::Edit, true},
                                                   {cmd::Delete, true},  {cmd::Undelete, false},
                                                   {0, false},           {cmd::AssignCovers, false},
                                                   {0, false},           {cmd::Find, true},
                                                   {cmd::Replace, true}, {0, false},
                                                   {cmd::Filter, true}};
    static const std::vector<MenuItem> inDialog = {
        {cmd::Add, true}, {cmd::Edit, false}, {cmd::Delete, true}};
    switch (menu) {
    case RecordMenu::Second:
        return second;
    case RecordMenu::Third:
        return third;
    case RecordMenu::Covers:
        return covers;
    case RecordMenu::Products:
        return products;
    case RecordMenu::InDialog:
        return inDialog;
    case RecordMenu::Main:
        break;
    }
    return main;
}

bool IsMenuItemEnabled(int id, const MenuState& state) {
    switch (id) {
    case cmd::Edit:
    case cmd::Delete:
    case cmd::Edit2:
    case cmd::Delete2:
    case cmd::Edit3:
    case cmd::Delete3:
    case cmd::AssignCovers:
    case cmd::Undelete:
        return state.onRow;
    case cmd::Add2:
    case cmd::Add3:
        return state.canAdd;
    default:
        return true;
    }
}

void FillRecordMenu(QMenu& menu, RecordMenu which, const MenuState& state,
                    const std::function<void(int)>& run) {
    for (const MenuItem& item : MenuItems(which)) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        const CommandInfo& command = Command(item.id);
        QAction* action =
            menu.addAction(item.showKey ? MenuText(command) : QString::fromUtf8(command.text));
        action->setEnabled(IsMenuItemEnabled(item.id, state));
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, &menu, [run, id] { run(id); });
    }
}

void FillRecordMenu(QMenu& menu, RecordMenu which, const CommandActions& actions) {
    for (const MenuItem& item : MenuItems(which)) {
        if (item.id == 0)
            menu.addSeparator();
        else
            menu.addAction(actions.Action(item.id));
    }
}

} // namespace tarvo
