#include "core/registers/coverfilter.h"

namespace tarvo {

SqlClause CoverCriterion(const CoverFilter& filter) {
    SqlClause clause;
    if (filter.useName) {
        if (filter.namePart)
            AndTextContains(clause, "cover_name", filter.name);
        else
            AndTextEquals(clause, "cover_name", filter.name);
    }
    if (filter.useWeight) {
        // Bound as quantities: the column holds the same scaled integers.
        clause.And("cover_weight >= ?", {Value(filter.weightFrom)});
        clause.And("cover_weight <= ?", {Value(filter.weightTo)});
    }
    const struct {
        bool use;
        const char* condition;
        int code;
    } codes[] = {{filter.useMaterial, "cover_mat = ?", filter.material},
                 {filter.useType, "cover_type = ?", filter.type},
                 {filter.useOrigin, "cover_org = ?", filter.origin},
                 {filter.usePayment, "cover_pay = ?", filter.payment}};
    for (const auto& code : codes) {
        if (code.use)
            clause.And(code.condition, {Value(int64_t{code.code})});
    }
    if (filter.useReusable)
        clause.And(filter.reusable ? "cover_reusable <> 0" : "cover_reusable = 0");
    return clause;
}

} // namespace tarvo
