#include "core/registers/prodfilter.h"

namespace tarvo {

namespace {

constexpr const char* ProductsWithLines =
    "(SELECT Prod_CoverDT.prod_id FROM Prod_CoverDT INNER JOIN Prod_Cover ON "
    "Prod_CoverDT.dt_id = Prod_Cover.dt_id)";

void AndText(SqlClause& clause, const char* column, const std::string& text, bool part) {
    if (part)
        AndTextContains(clause, column, text);
    else
        AndTextEquals(clause, column, text);
}

} // namespace

SqlClause ProdCriterion(const ProdFilter& filter) {
    SqlClause clause;
    if (filter.useName)
        AndText(clause, "prod_name", filter.name, filter.namePart);
    if (filter.useKatalog)
        AndText(clause, "prod_katalog", filter.katalog, filter.katalogPart);
    if (filter.useUnit)
        AndTextEquals(clause, "prod_unit", filter.unit);
    // A product whose definitions have no lines has no packaging.
    if (filter.packaging == ProdFilter::WithoutPackaging)
        clause.And(std::string("prod_id NOT IN ") + ProductsWithLines);
    else if (filter.packaging == ProdFilter::WithPackaging)
        clause.And(std::string("prod_id IN ") + ProductsWithLines);
    return clause;
}

} // namespace tarvo
