#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <cstdint>
#include <string>
#include <variant>

namespace tarvo {

// A field value as a recordset hands it out: the kinds of the database's
// column kinds, and an empty value for NULL.
class Value {
public:
    enum class Kind { Empty, Int16, Long, Single, Double, Currency, Date, Text, Bool };

    Value() = default;
    Value(int16_t v) : m_data(v) {}
    Value(int32_t v) : m_data(int64_t{v}) {}
    Value(int64_t v) : m_data(v) {}
    Value(float v) : m_data(v) {}
    Value(double v) : m_data(v) {}
    Value(Quantity v);
    Value(OleDate v);
    Value(std::string v) : m_data(std::move(v)) {}
    Value(const char* v) : m_data(std::string(v)) {}
    Value(bool v) : m_data(v) {}

    Kind GetKind() const { return static_cast<Kind>(m_data.index()); }
    bool IsEmpty() const { return GetKind() == Kind::Empty; }

    // Conversions follow the database's reading rules: an empty value is 0,
    // an invalid quantity or date, an empty text, false.
    int64_t ToLong() const;
    Quantity ToQuantity() const;
    OleDate ToDate() const;
    bool ToBool() const;
    double ToDouble() const;
    // Plain text of the value (texts as they are, numbers with a point).
    std::string ToString() const;

    bool operator==(const Value& other) const = default;

private:
    std::variant<std::monostate, int16_t, int64_t, float, double, Quantity, OleDate, std::string,
                 bool>
        m_data;
};

// The text of a field value for lists and criteria: integers as they are,
// single "%.1f", double "%.2f", quantities with two decimals and a decimal
// comma, dates "dd.mm.yyyy", flags "ano"/"ne", empty for an empty value.
std::string VariantToText(const Value& value);

} // namespace tarvo
