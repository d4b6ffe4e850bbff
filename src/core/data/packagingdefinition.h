#pragma once

#include "core/data/oledate.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvo {

// A packaging definition of a product: its identifier and the day from which
// it is valid. The derivation of dispatch covers and the statement breakdown
// both name the definition a dispatch used, so the rule lives here, below both.
struct PackagingDefinition {
    int64_t dtId = 0;
    OleDate from;
};

// The definition in force at moveDate: the last one, in ascending dt_from
// order (ties by ascending dt_id), whose dt_from is valid and not later than
// moveDate.
std::optional<int64_t> ChooseDefinition(const std::vector<PackagingDefinition>& definitions,
                                        const OleDate& moveDate);

} // namespace tarvo
