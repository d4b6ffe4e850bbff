#include "core/registers/coverfilter.h"

#include "core/data/codelists.h"
#include "core/registers/classification.h"

namespace tarvo {

namespace {

// The codes of a list for which the test holds, as an SQL list "(a, b)";
// "(NULL)" when none does, so that IN is false for every row.
template <typename Test> std::string CodesWhere(const CodeList& list, Test test) {
    std::string codes;
    for (int code = 0; code < list.size; ++code) {
        if (test(code))
            codes += (codes.empty() ? "" : ", ") + std::to_string(code);
    }
    return "(" + (codes.empty() ? std::string("NULL") : codes) + ")";
}

// A cover complete for the new form, as MissingForNewForm judges it: a
// material of the list, a shape where the material has one, a composition
// where it is composite, a plastic share with a "částečně z plastu" littering.
// The code lists come from the rules, so the condition follows their tables.
std::string CompleteCondition() {
    const auto any = [](int) { return true; };
    return "EXISTS (SELECT 1 FROM Cover_Class k WHERE k.cover_id = Cover.cover_id"
           " AND k.cls_mat IN " +
           CodesWhere(Materials2021, any) + " AND (k.cls_mat NOT IN " +
           CodesWhere(Materials2021, HasShape) + " OR k.cls_shape IN " + CodesWhere(Shapes, any) +
           ") AND (k.cls_mat NOT IN " + CodesWhere(Materials2021, IsComposite) +
           " OR EXISTS (SELECT 1 FROM Cover_Part p WHERE p.cover_id = k.cover_id))"
           " AND (k.cls_litter NOT IN " +
           CodesWhere(LitteringKinds, IsPartlyPlastic) + " OR k.cls_plastic IS NOT NULL))";
}

} // namespace

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
    if (filter.onlyIncomplete) {
        static const std::string incomplete = "NOT " + CompleteCondition();
        clause.And(incomplete);
    }
    return clause;
}

} // namespace tarvo
