#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The program's SQL texts are written in the Jet dialect of its original
// database. TranslateJetSql turns such a text into SQLite SQL with the same
// meaning:
//  - "text" string literals become 'text';
//  - #m/d/yyyy# (optionally with h:mm:ss) become OLE date numbers;
//  - a product of two quantity columns (mvcover_qty*cover_weight) becomes
//    CURMUL(a, b), so that it stays a quantity with four decimals instead of
//    carrying the storage scale twice;
//  - a decimal number compared with a quantity column is scaled like the column;
//  - ORDER BY on a text column sorts with the Czech collation (added to the
//    query, not to the schema, so that any SQLite tool can read the file).
// DATEDIFF, case-insensitive LIKE and the collation are SQL functions
// registered on the connection (sqlfunctions.h).
struct TranslatedSql {
    std::string sql;
    // Result columns (their names as SQLite reports them) computed from
    // quantity columns: read back as quantities.
    std::vector<std::string> quantityResults;
};

TranslatedSql TranslateJetSql(std::string_view jetSql);

} // namespace tarvo
