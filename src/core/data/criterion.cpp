#include "core/data/criterion.h"

#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace tarvo {

namespace {

std::string_view SkipBlanks(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return s;
}

template <typename T> int Compare(T a, T b) {
    return a < b ? -1 : (a == b ? 0 : 1);
}

} // namespace

std::optional<Criterion> Criterion::Parse(std::string_view text) {
    Criterion c;
    std::string_view s = SkipBlanks(text);
    size_t n = 0;
    while (n < s.size() && (std::isalnum(static_cast<unsigned char>(s[n])) || s[n] == '_' ||
                            s[n] == '.' || s[n] == '[' || s[n] == ']'))
        ++n;
    if (n == 0)
        return std::nullopt;
    c.m_column = std::string(s.substr(0, n));
    if (const size_t dot = c.m_column.rfind('.'); dot != std::string::npos)
        c.m_column.erase(0, dot + 1);
    std::erase(c.m_column, '[');
    std::erase(c.m_column, ']');
    s = SkipBlanks(s.substr(n));

    static constexpr struct {
        const char* text;
        Op op;
    } Ops[] = {{"<>", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge},    {"=", Op::Eq},
               {"<", Op::Lt},  {">", Op::Gt},  {"LIKE", Op::Like}};
    bool found = false;
    for (const auto& o : Ops) {
        const size_t len = std::strlen(o.text);
        if (s.size() >= len && EqualsNoCase(s.substr(0, len), o.text)) {
            c.m_op = o.op;
            s = SkipBlanks(s.substr(len));
            found = true;
            break;
        }
    }
    if (!found)
        return std::nullopt;

    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') {
        const std::string_view inner = s.substr(1, s.size() - 2);
        for (size_t i = 0; i < inner.size(); ++i) {
            c.m_literal += inner[i];
            if (inner[i] == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'')
                ++i;
        }
        c.m_literalKind = LiteralKind::Text;
    } else if (s.size() >= 2 && s.front() == '#' && s.back() == '#') {
        c.m_literal = std::string(s);
        c.m_literalKind = LiteralKind::Date;
    } else if (const std::string word(s);
               EqualsNoCase(word, "TRUE") || EqualsNoCase(word, "FALSE")) {
        c.m_literal.assign(1, EqualsNoCase(word, "TRUE") ? '1' : '0');
        c.m_literalKind = LiteralKind::Bool;
    } else if (!s.empty()) {
        c.m_literal = std::string(s);
        c.m_literalKind = LiteralKind::Number;
    } else {
        return std::nullopt;
    }
    if (c.m_op == Op::Like && c.m_literalKind != LiteralKind::Text)
        return std::nullopt;
    return c;
}

bool Criterion::Matches(const Value& field) const {
    if (m_op == Op::Like)
        return !field.IsEmpty() && JetLike(m_literal, field.ToString());

    int order = 0;
    if (field.IsEmpty())
        return false;
    switch (m_literalKind) {
    case LiteralKind::Text:
        order = CzechCompare(ToUpperText(field.ToString()), ToUpperText(m_literal));
        break;
    case LiteralKind::Bool:
        order = Compare(field.ToBool(), m_literal == "1");
        break;
    case LiteralKind::Date: {
        int m = 0, d = 0, y = 0;
        if (std::sscanf(m_literal.c_str(), "#%d/%d/%d", &m, &d, &y) != 3)
            return false;
        order = Compare(field.ToDate().Value(), OleDate::FromParts(y, m, d).Value());
        break;
    }
    case LiteralKind::Number: {
        const auto literal = ParseQuantity(m_literal);
        if (!literal)
            return false;
        if (field.GetKind() == Value::Kind::Text) {
            const auto own = ParseQuantity(field.ToString());
            if (!own)
                return false;
            order = Compare(own->Scaled(), literal->Scaled());
        } else if (field.GetKind() == Value::Kind::Single ||
                   field.GetKind() == Value::Kind::Double) {
            order =
                Compare(field.ToDouble(), static_cast<double>(literal->Scaled()) / Quantity::Scale);
        } else {
            order = Compare(field.ToQuantity().Scaled(), literal->Scaled());
        }
        break;
    }
    }
    switch (m_op) {
    case Op::Eq:
        return order == 0;
    case Op::Ne:
        return order != 0;
    case Op::Lt:
        return order < 0;
    case Op::Gt:
        return order > 0;
    case Op::Le:
        return order <= 0;
    case Op::Ge:
        return order >= 0;
    case Op::Like:
        break;
    }
    return false;
}

} // namespace tarvo
