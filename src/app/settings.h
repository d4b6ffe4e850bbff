#pragma once

#include "app/appglobals.h"

namespace tarvo {

class CProfile;

// Section "Moznosti" of tarvo.ini: each switch an integer, 1 when the key or
// the whole file is missing.
PropagationSwitches ReadSwitches(const CProfile& profile);
// Writes the four keys in their fixed order; false when the file cannot be
// written.
bool WriteSwitches(CProfile& profile, const PropagationSwitches& switches);

} // namespace tarvo
