#include "core/registers/movefilter.h"

namespace tarvo {

SqlClause MoveCriterion(const MoveFilter& filter) {
    SqlClause clause;
    if (filter.useNumber) {
        if (filter.numberPart)
            AndTextContains(clause, "move_num", filter.number);
        else
            AndTextEquals(clause, "move_num", filter.number);
    }
    if (filter.useDate) {
        // A half-open range of whole days rather than a day difference per
        // row: the same dispatches, found through the index on the date.
        clause.And("move_date >= ?", {Value(filter.from.DayOnly())});
        clause.And("move_date < ?", {Value(filter.to.DayOnly().AddDays(1))});
    }
    if (filter.useExport)
        clause.And(filter.exported ? "move_export <> 0" : "move_export = 0");
    return clause;
}

} // namespace tarvo
