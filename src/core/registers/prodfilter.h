#pragma once

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

    bool IsActive() const;
    // The conditions to append to "... FROM Product WHERE (deleted = FALSE)",
    // each starting with " AND". Texts go in with their apostrophes doubled
    // and the LIKE wildcards of an exact match escaped; every match ignores
    // letter case, Czech letters included.
    std::string Clause() const;
};

} // namespace tarvo
