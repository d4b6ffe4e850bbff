#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Fixed-point number with four decimal places: a 64-bit integer holding the
// value times 10 000, plus a validity state. Counts of pieces and product
// units and weights in kilograms all use it; it is never a double, so sums and
// products truncate exactly as the stored figures do.
class Quantity {
public:
    static constexpr int64_t Scale = 10000;

    // An invalid quantity with the amount 0 (what an empty field reads as).
    constexpr Quantity() = default;

    static constexpr Quantity FromScaled(int64_t scaled) { return Quantity(scaled, true); }
    static constexpr Quantity FromUnits(int64_t units) { return Quantity(units * Scale, true); }
    static constexpr Quantity Invalid() { return Quantity(); }

    constexpr int64_t Scaled() const { return m_scaled; }
    constexpr bool IsValid() const { return m_valid; }
    // Whole units, truncated toward zero.
    constexpr int64_t WholeUnits() const { return m_scaled / Scale; }

    constexpr auto operator<=>(const Quantity& other) const { return m_scaled <=> other.m_scaled; }
    constexpr bool operator==(const Quantity& other) const { return m_scaled == other.m_scaled; }

    constexpr Quantity operator+(Quantity o) const { return FromScaled(m_scaled + o.m_scaled); }
    constexpr Quantity operator-(Quantity o) const { return FromScaled(m_scaled - o.m_scaled); }
    constexpr Quantity operator-() const { return Quantity(-m_scaled, m_valid); }

private:
    constexpr Quantity(int64_t scaled, bool valid) : m_scaled(scaled), m_valid(valid) {}

    int64_t m_scaled = 0;
    bool m_valid = false;
};

// (a x b) / 10 000 on the scaled integers, truncating toward zero; valid.
Quantity CurMul(Quantity a, Quantity b);
// (a x 10 000) / b, truncating toward zero; 0 when b is 0; valid.
Quantity CurDiv(Quantity a, Quantity b);
// Rounds to a multiple of unit (scaled): 'D' down, 'M' half away from zero,
// 'U' up (for negative values 'D' and 'U' truncate toward zero); unit 0 or an
// unknown mode leave the value unchanged. Keeps the validity of value.
Quantity CurRound(Quantity value, int64_t unit, char mode);
// "-" for an invalid value; otherwise the rounded value with a decimal comma,
// shortened to the decimals the unit asks for (unit 100: two decimals).
std::string CurrencyToText(Quantity value, int64_t unit, char mode);

// Parses "12", "0,5", "-3.25" (comma or point, at most four decimals, no
// grouping). Anything else gives nothing.
std::optional<Quantity> ParseQuantity(std::string_view text);

// What to tell the user about a text ParseQuantity refuses: a number written
// correctly but too large to be kept (more than 922 337 203 685 477) says so,
// anything else asks for a number.
std::string RefusedQuantityMessage(std::string_view text);

// A weight as the lists show it: the stored decimals (at most four) without
// trailing zeros, with a decimal comma ("0,125", "12"); "-" for an invalid value.
std::string QuantityToText(Quantity value);

// The value with a decimal point and the decimals it needs ("0.5", "12"): for
// SQL text and files.
std::string QuantityToPlainText(Quantity value);

} // namespace tarvo
