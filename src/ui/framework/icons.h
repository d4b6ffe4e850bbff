#pragma once

#include <QIcon>

namespace tarvo::icons {

// The program's own icons, drawn as vectors at whatever size and pixel ratio
// they are shown, so they stay sharp at 16 px and on high-DPI screens.
QIcon Add();
QIcon Edit();
QIcon Delete();
QIcon Filter();
QIcon Toggle();
QIcon Covers();
QIcon CompCovers();
QIcon Products();
QIcon Dispatches();
QIcon ImportMoney();
QIcon ImportWak();
QIcon Report();
QIcon Application();

} // namespace tarvo::icons
