#pragma once

#include "core/data/quantity.h"
#include "core/data/sqlclause.h"

#include <string>

namespace tarvo {

// The covers view's filter: each criterion counts only while its use flag
// is set.
struct CoverFilter {
    bool useName = false;
    bool useWeight = false;
    bool useMaterial = false;
    bool useType = false;
    bool useOrigin = false;
    bool usePayment = false;
    bool useReusable = false;
    // "jen obaly s neúplným zařazením pro výkaz 2021": the covers that are
    // not complete for the new form (IsCompleteForNewForm), those without a
    // classification included.
    bool onlyIncomplete = false;
    // "zobrazit i odstraněné": deleted covers are listed too, so that one can
    // be restored.
    bool withDeleted = false;
    std::string name;
    bool namePart = false;
    Quantity weightFrom = Quantity::FromUnits(0);
    Quantity weightTo = Quantity::FromUnits(0);
    int type = -1;
    int material = -1;
    int origin = -1;
    int payment = -1;
    bool reusable = false;

    bool IsActive() const {
        return useName || useWeight || useMaterial || useType || useOrigin || usePayment ||
               useReusable || onlyIncomplete || withDeleted;
    }
    bool operator==(const CoverFilter&) const = default;
};

// The filter's conditions on Cover's columns, in the order name, weight
// (both bounds included), material, type, origin, payment, reusable,
// incomplete classification (through Cover_Class and Cover_Part). Names
// compare without regard to letter case, as a whole or (namePart) as a part.
SqlClause CoverCriterion(const CoverFilter& filter);

} // namespace tarvo
