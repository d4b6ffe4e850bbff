#include "app/appglobals.h"

#include "core/data/cdatastore.h"

#include <stdexcept>

namespace tarvo {

namespace {
CDataStore* g_store = nullptr;
PropagationSwitches g_switches;
DataFolder g_folder;
} // namespace

CDataStore& TheDataStore() {
    if (!g_store)
        throw std::logic_error("no data store");
    return *g_store;
}

void SetTheDataStore(CDataStore* store) {
    g_store = store;
}

IMessagePort& TheMessages() {
    return TheDataStore().Messages();
}

PropagationSwitches& TheSwitches() {
    return g_switches;
}

const DataFolder& TheDataFolder() {
    return g_folder;
}

void SetTheDataFolder(const DataFolder& folder) {
    g_folder = folder;
}

} // namespace tarvo
