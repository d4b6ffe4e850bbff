#pragma once

namespace tarvo::cmd {

// Command identities of the menus, toolbars, accelerators and buttons. The
// numbers are the program's command IDs; context menus, toolbars and the
// frame route by them.
enum : int {
    Edit = 32790,
    Delete = 32792,
    Add = 32793,
    Filter = 32794,
    ImportMoney = 32797,
    Find = 32798,
    Report = 32800,
    ViewCovers = 32803,
    ViewProducts = 32804,
    ViewDispatches = 32805,
    Add2 = 32806,
    Edit2 = 32807,
    Delete2 = 32808,
    Add3 = 32809,
    Edit3 = 32810,
    Delete3 = 32811,
    Refresh = 32812,
    Replace = 32816,
    ViewCompCovers = 32817,
    AssignCovers = 32818,
    Backup = 32821,
    Restore = 32822,
    Options = 32823,
    ResolveAll = 32824,
    ImportWak = 32826,
    ImportCommand = 32827,
    ExportRegisters = 32828,
    ImportRegisters = 32829,
    ProposeClassifications = 32830,
    Undelete = 32831,
    ToggleTableBar = 32781,
    ToggleToolBar = 32782,
    About = 57664,
    Exit = 57665,
    Help = 57670,
    ToggleStatusBar = 59393,
};

} // namespace tarvo::cmd
