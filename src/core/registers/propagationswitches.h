#pragma once

namespace tarvo {

class Profile;
struct CoverCodeTargets;

// The four change-propagation switches of section "Moznosti". A fresh
// installation has all of them on. The registers read them: whether a
// change of a cover or of a packaging definition is carried into the records
// that copied it is a rule of the core, not of a window.
struct PropagationSwitches {
    bool coverToCompCovers = true;     // "Zmenu obalu promitnout do slozenych obalu"
    bool coverToPackaging = true;      // "Zmenu obalu promitnout v balenich"
    bool coverToDispatches = true;     // "Zmenu obalu promitnout do vydeju"
    bool packagingToDispatches = true; // "Zmenu baleni promitnout do vydeju"
};

// The copies of a cover's codes that follow a change of them, by the three
// cover switches.
CoverCodeTargets CoverCodeTargetsOf(const PropagationSwitches& switches);

// Section "Moznosti" of tarvo.ini: each switch an integer, 1 when the key or
// the whole file is missing.
PropagationSwitches ReadSwitches(const Profile& profile);
// Writes the four keys in their fixed order; false when the file cannot be
// written.
bool WriteSwitches(Profile& profile, const PropagationSwitches& switches);

// Whether a new packaging definition starts with the lines of the one in
// force before it ("převzít obaly z předchozí platnosti"): key PrevzitObaly
// of section "Moznosti", on when missing.
bool ReadCopyPreviousPackaging(const Profile& profile);
bool WriteCopyPreviousPackaging(Profile& profile, bool copy);

} // namespace tarvo
