#include "core/registers/prodfilter.h"

#include "core/data/shared.h"

namespace tarvo {

namespace {

// A typed text as a LIKE pattern that matches only itself: % and _ are
// taken literally, and apostrophes cannot end the literal.
std::string LikeLiteral(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return SqlEscape(escaped);
}

// LIKE, not =, for the exact match too: it ignores letter case, as every
// text match of the program does.
std::string Exactly(const char* column, const std::string& text) {
    return Format(" AND (%s LIKE '%s' ESCAPE '\\')", column, LikeLiteral(text).c_str());
}

std::string Anywhere(const char* column, const std::string& text) {
    return Format(" AND (%s LIKE '%%%s%%' ESCAPE '\\')", column, LikeLiteral(text).c_str());
}

constexpr const char* ProductsWithLines =
    "(SELECT Prod_CoverDT.prod_id FROM Prod_CoverDT INNER JOIN Prod_Cover ON "
    "Prod_CoverDT.dt_id = Prod_Cover.dt_id)";

} // namespace

bool ProdFilter::IsActive() const {
    return useName || useKatalog || useUnit || packaging != AllProducts;
}

std::string ProdFilter::Clause() const {
    std::string sql;
    if (useName)
        sql += namePart ? Anywhere("prod_name", name) : Exactly("prod_name", name);
    if (useKatalog)
        sql += katalogPart ? Anywhere("prod_katalog", katalog) : Exactly("prod_katalog", katalog);
    if (useUnit)
        sql += Exactly("prod_unit", unit);
    if (packaging == WithoutPackaging)
        sql += std::string(" AND prod_id NOT IN ") + ProductsWithLines;
    else if (packaging == WithPackaging)
        sql += std::string(" AND prod_id IN ") + ProductsWithLines;
    return sql;
}

} // namespace tarvo
