#include "core/data/sqlclause.h"

#include "core/data/statement.h"

namespace tarvo {

void SqlClause::And(std::string_view condition, std::vector<Value> conditionValues) {
    sql += " AND (";
    sql += condition;
    sql += ')';
    for (Value& value : conditionValues)
        values.push_back(std::move(value));
}

int SqlClause::Bind(Statement& statement, int first) const {
    for (const Value& value : values)
        statement.Bind(first++, value);
    return first;
}

std::string LiteralLikePattern(std::string_view text) {
    std::string pattern;
    pattern.reserve(text.size());
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

namespace {
std::string LikeCondition(std::string_view column) {
    std::string condition(column);
    condition += " LIKE ? ESCAPE '\\'";
    return condition;
}
} // namespace

void AndTextEquals(SqlClause& clause, std::string_view column, std::string_view text) {
    clause.And(LikeCondition(column), {Value(LiteralLikePattern(text))});
}

void AndTextContains(SqlClause& clause, std::string_view column, std::string_view text) {
    clause.And(LikeCondition(column), {Value("%" + LiteralLikePattern(text) + "%")});
}

} // namespace tarvo
