#pragma once

#include "core/data/value.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// A find criterion of the form "column op value", as the recordset search
// takes it: op is =, <>, <, >, <=, >= or LIKE; the value a number, a 'text'
// (apostrophes doubled), TRUE/FALSE or a #m/d/yyyy# date. Texts compare
// without regard to case, as Jet compared them.
class Criterion {
public:
    // Nothing when the text is not such a criterion.
    static std::optional<Criterion> Parse(std::string_view text);

    const std::string& Column() const { return m_column; }
    bool Matches(const Value& field) const;

private:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };

    std::string m_column;
    Op m_op = Op::Eq;
    std::string m_literal;
    enum class LiteralKind { Number, Text, Bool, Date } m_literalKind = LiteralKind::Number;
};

} // namespace tarvo
