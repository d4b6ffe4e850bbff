#pragma once

#include "core/data/datafolder.h"

#include <functional>

namespace tarvo {

class CDataStore;
class IMessagePort;
class IViewNotifier;
struct PropagationSwitches;

// Everything a window of the program works with, made once by the
// application and handed to the frame, the views and the dialogs. Tests make
// their own on a temporary database, so nothing here is a global.
struct GuiContext {
    CDataStore& store;
    IMessagePort& messages;
    PropagationSwitches& switches;
    DataFolder folder;
    IViewNotifier& notifier;
    // Opens the help window at the page of a context number; empty where
    // there is no help (some tests).
    std::function<void(int context)> showHelp;
    // The tab the cover picker showed last (0 simple covers, 1 composite
    // covers): the next picker opens on it, in whatever view, for the whole
    // run. Windows get the context as const; this is the one value of the
    // context itself that they change.
    mutable int coverPickerTab = 0;
};

} // namespace tarvo
