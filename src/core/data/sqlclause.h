#pragma once

#include "core/data/value.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Statement;

// Conditions for a WHERE clause with their values kept apart: the text holds
// a '?' for each value, and the values are bound to the prepared statement,
// so nothing a user typed becomes SQL text.
struct SqlClause {
    std::string sql;
    std::vector<Value> values;

    bool IsEmpty() const { return sql.empty(); }
    // Appends " AND (condition)" with the condition's values.
    void And(std::string_view condition, std::vector<Value> conditionValues = {});
    // Binds the values to the parameters first, first + 1, ...; returns the
    // number of the next parameter.
    int Bind(Statement& statement, int first = 1) const;
};

// A text column equal to a text, letter case ignored for every letter (Czech
// ones included), as the program's text comparisons always were:
// "column LIKE ? ESCAPE '\'" with the text as a pattern without wildcards.
void AndTextEquals(SqlClause& clause, std::string_view column, std::string_view text);
// The same for a column containing the text anywhere.
void AndTextContains(SqlClause& clause, std::string_view column, std::string_view text);
// The LIKE pattern matching exactly the text: %, _ and the escape character
// \ escaped with \.
std::string LiteralLikePattern(std::string_view text);

} // namespace tarvo
