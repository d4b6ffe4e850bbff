#pragma once

#include "core/data/datafolder.h"

namespace tarvo {

class CDataStore;
class IMessagePort;

// The four change-propagation switches of section "Moznosti". A fresh
// installation has all of them on.
struct PropagationSwitches {
    bool coverToCompCovers = true;     // "Zmenu obalu promitnout do slozenych obalu"
    bool coverToPackaging = true;      // "Zmenu obalu promitnout v balenich"
    bool coverToDispatches = true;     // "Zmenu obalu promitnout do vydeju"
    bool packagingToDispatches = true; // "Zmenu baleni promitnout do vydeju"
};

// The one working database of the program. The application sets it at
// start-up; the widget tests point it at a temporary database.
CDataStore& TheDataStore();
void SetTheDataStore(CDataStore* store);

// Where messages go: the data store's message port.
IMessagePort& TheMessages();

PropagationSwitches& TheSwitches();

const DataFolder& TheDataFolder();
void SetTheDataFolder(const DataFolder& folder);

} // namespace tarvo
