#include "core/registers/propagationswitches.h"

#include "core/data/profile.h"
#include "core/records/covers.h"

namespace tarvo {

namespace {
constexpr const char* Section = "Moznosti";
constexpr const char* KeyCompCovers = "Zmenu obalu promitnout do slozenych obalu";
constexpr const char* KeyPackaging = "Zmenu obalu promitnout v balenich";
constexpr const char* KeyDispatches = "Zmenu obalu promitnout do vydeju";
constexpr const char* KeyPackagingDispatches = "Zmenu baleni promitnout do vydeju";
constexpr const char* KeyCopyPrevious = "PrevzitObaly";
} // namespace

CoverCodeTargets CoverCodeTargetsOf(const PropagationSwitches& switches) {
    return {switches.coverToCompCovers, switches.coverToPackaging, switches.coverToDispatches};
}

PropagationSwitches ReadSwitches(const Profile& profile) {
    PropagationSwitches s;
    s.coverToCompCovers = profile.GetInt(Section, KeyCompCovers, 1) != 0;
    s.coverToPackaging = profile.GetInt(Section, KeyPackaging, 1) != 0;
    s.coverToDispatches = profile.GetInt(Section, KeyDispatches, 1) != 0;
    s.packagingToDispatches = profile.GetInt(Section, KeyPackagingDispatches, 1) != 0;
    return s;
}

bool WriteSwitches(Profile& profile, const PropagationSwitches& s) {
    bool ok = profile.WriteInt(Section, KeyCompCovers, s.coverToCompCovers ? 1 : 0);
    ok = profile.WriteInt(Section, KeyPackaging, s.coverToPackaging ? 1 : 0) && ok;
    ok = profile.WriteInt(Section, KeyDispatches, s.coverToDispatches ? 1 : 0) && ok;
    ok = profile.WriteInt(Section, KeyPackagingDispatches, s.packagingToDispatches ? 1 : 0) && ok;
    return ok;
}

bool ReadCopyPreviousPackaging(const Profile& profile) {
    return profile.GetInt(Section, KeyCopyPrevious, 1) != 0;
}

bool WriteCopyPreviousPackaging(Profile& profile, bool copy) {
    return profile.WriteInt(Section, KeyCopyPrevious, copy ? 1 : 0);
}

} // namespace tarvo
