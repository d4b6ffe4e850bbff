#pragma once

#include <cstdint>
#include <string>

namespace tarvo {
class CDataStore;
}

namespace tarvo::bench {

// The data set of the report benchmarks in folder (with a trailing
// separator): four years of dispatches, 4 product lines of 5 cover lines
// each, so a quarter holds about a sixteenth of the rows; generated only when
// the folder has no database yet. The quarter's template is written when
// missing.
void PrepareReportDataSet(const std::string& folder, long rows, uint64_t seed, int year,
                          int quarter);

} // namespace tarvo::bench
