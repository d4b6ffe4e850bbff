#pragma once

#include <cstdint>

namespace tarvo {

// The identifier of a record: the INTEGER PRIMARY KEY of its table. Always
// 64 bits, whatever the platform's long is.
using RecordId = std::int64_t;

// No record: nothing selected, nothing to select, not found.
inline constexpr RecordId NoRecord = -1;

} // namespace tarvo
