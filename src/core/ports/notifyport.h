#pragma once

namespace tarvo {

// What the main frame broadcasts to every table view after a change made
// elsewhere.
enum class ViewNotification {
    Refresh,      // the refresh command: reload everything (after backup and restore)
    ReloadMain,   // UM_RELOAD_MAIN: main lists changed (after an import)
    ReloadItems,  // UM_RELOAD_ITEMS: item lists changed (after an import)
    ReloadCovers, // UM_RELOAD_COVERS: dispatch cover lines changed
};

class IViewNotifier {
public:
    virtual ~IViewNotifier() = default;
    virtual void NotifyAllViews(ViewNotification what) = 0;
};

class NullNotifier final : public IViewNotifier {
public:
    void NotifyAllViews(ViewNotification) override {}
};

} // namespace tarvo
