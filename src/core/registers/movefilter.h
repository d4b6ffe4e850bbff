#pragma once

#include "core/data/oledate.h"
#include "core/data/sqlclause.h"

#include <string>

namespace tarvo {

// The dispatches view's filter: each criterion counts only while its use
// flag is set. Both dates start as the moment the filter is made.
struct MoveFilter {
    bool useNumber = false;
    std::string number;
    bool numberPart = false;
    bool useDate = false;
    OleDate from = OleDate::Now();
    OleDate to = OleDate::Now();
    bool useExport = false;
    bool exported = false;

    bool IsActive() const { return useNumber || useDate || useExport; }
    bool operator==(const MoveFilter&) const = default;
};

// The filter's conditions on Move's columns, in the order number, date,
// export. Numbers compare without regard to letter case, as a whole or
// (numberPart) as a part. The date range takes whole days: every dispatch
// from the first moment of the "from" day to the last of the "to" day.
SqlClause MoveCriterion(const MoveFilter& filter);

} // namespace tarvo
