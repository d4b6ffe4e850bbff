#pragma once

#include "core/data/recordid.h"

#include <vector>

namespace tarvo {

class CDataStore;

// Puts the identifiers of a selection into TmpID, replacing what was there,
// so that one statement can work on all of them ("... IN (SELECT id FROM
// TmpID)") however many there are. Inside the caller's unit; throws ComError.
void SelectIds(CDataStore& store, const std::vector<RecordId>& ids);

} // namespace tarvo
