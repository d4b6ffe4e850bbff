#pragma once

#include "core/data/datafolder.h"
#include "core/registers/propagationswitches.h"

namespace tarvo {

class CDataStore;
class IMessagePort;

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
