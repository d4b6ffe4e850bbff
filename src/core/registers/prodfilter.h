#pragma once

#include "core/data/sqlclause.h"

#include <string>

namespace tarvo {

// The products view's filter. Active when any use flag is set or the
// packaging criterion is not 0.
struct ProdFilter {
    // The packaging criterion: which products by their packaging lines. A
    // product whose definitions have no lines counts as without packaging.
    enum Packaging { AllProducts = 0, WithoutPackaging = 1, WithPackaging = 2 };

    bool useName = false;
    std::string name;
    bool namePart = false; // match anywhere in the name instead of exactly
    bool useKatalog = false;
    std::string katalog;
    bool katalogPart = false;
    bool useUnit = false;
    std::string unit; // always matched exactly
    int packaging = AllProducts;
    // "zobrazit i odstraněné": deleted products are listed too, so that one
    // can be restored.
    bool withDeleted = false;

    bool IsActive() const {
        return useName || useKatalog || useUnit || packaging != AllProducts || withDeleted;
    }
    bool operator==(const ProdFilter&) const = default;
};

// The filter's conditions on Product's columns, in the order name, catalogue
// number, unit, packaging. Texts are bound values and compare without regard
// to letter case, Czech letters included, as a whole or (the "část" boxes)
// as a part.
SqlClause ProdCriterion(const ProdFilter& filter);

} // namespace tarvo
