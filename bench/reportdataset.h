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

// The form of a quarter from 2021 on as EKO-KOM sends it (the synthetic form
// 2.74), written into folder when missing; returns its path. The data set's
// years 2021 and 2022 are those of this form.
std::string PrepareFormFile(const std::string& folder, int year, int quarter);

} // namespace tarvo::bench
