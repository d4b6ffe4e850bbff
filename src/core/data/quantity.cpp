#include "core/data/quantity.h"

#include "core/data/shared.h"

#include <cinttypes>
#include <cstdlib>

namespace tarvo {

// Products of two scaled quantities need more than 64 bits on the way.
__extension__ typedef __int128 Int128;

Quantity CurMul(Quantity a, Quantity b) {
    // 128-bit intermediate: two scaled quantities overflow 64 bits long before
    // their scaled product does.
    const Int128 product = static_cast<Int128>(a.Scaled()) * b.Scaled();
    return Quantity::FromScaled(static_cast<int64_t>(product / Quantity::Scale));
}

Quantity CurDiv(Quantity a, Quantity b) {
    if (b.Scaled() == 0)
        return Quantity::FromScaled(0);
    const Int128 dividend = static_cast<Int128>(a.Scaled()) * Quantity::Scale;
    return Quantity::FromScaled(static_cast<int64_t>(dividend / b.Scaled()));
}

Quantity CurRound(Quantity value, int64_t unit, char mode) {
    if (unit == 0)
        return value;
    int64_t v = value.Scaled();
    if (v >= 0) {
        switch (mode) {
        case 'D':
            break;
        case 'M':
            v += unit / 2;
            break;
        case 'U':
            if (v % unit != 0)
                v += unit;
            break;
        default:
            return value;
        }
    } else {
        switch (mode) {
        case 'M':
            v -= unit / 2;
            break;
        case 'D':
        case 'U':
            break;
        default:
            return value;
        }
    }
    v = (v / unit) * unit; // C++ division truncates toward zero
    return value.IsValid() ? Quantity::FromScaled(v) : Quantity::Invalid();
}

std::string CurrencyToText(Quantity value, int64_t unit, char mode) {
    if (!value.IsValid())
        return "-";
    const int64_t v = CurRound(value, unit, mode).Scaled();
    const int64_t magnitude = v < 0 ? -v : v;
    std::string text = Format(v < 0 ? "-%" PRId64 ",%04" PRId64 : "%" PRId64 ",%04" PRId64,
                              magnitude / Quantity::Scale, magnitude % Quantity::Scale);
    size_t cut = 0;
    if (unit >= Quantity::Scale) {
        cut = 5;
    } else {
        for (int64_t u = unit; u >= 10; u /= 10)
            ++cut;
    }
    text.resize(text.size() - cut);
    return text;
}

std::optional<Quantity> ParseQuantity(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view s = trimmed;
    if (s.empty())
        return std::nullopt;
    bool negative = false;
    if (s.front() == '-' || s.front() == '+') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int64_t whole = 0;
    int64_t fraction = 0;
    int digits = 0;
    int decimals = 0;
    bool inFraction = false;
    for (char c : s) {
        if (c == ',' || c == '.') {
            if (inFraction)
                return std::nullopt;
            inFraction = true;
        } else if (c >= '0' && c <= '9') {
            if (inFraction) {
                if (++decimals > 4)
                    return std::nullopt;
                fraction = fraction * 10 + (c - '0');
            } else {
                if (whole > (INT64_MAX / Quantity::Scale) / 10)
                    return std::nullopt;
                whole = whole * 10 + (c - '0');
            }
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    for (int i = decimals; i < 4; ++i)
        fraction *= 10;
    // The digits' check above lets through the last whole units before the
    // limit; the decimals must still fit.
    if (whole > (INT64_MAX - fraction) / Quantity::Scale)
        return std::nullopt;
    const int64_t scaled = whole * Quantity::Scale + fraction;
    return Quantity::FromScaled(negative ? -scaled : scaled);
}

std::string RefusedQuantityMessage(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view s = trimmed;
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    const size_t point = s.find_first_of(",.");
    const std::string_view whole = s.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const bool written =
        !whole.empty() && digits(whole) && digits(decimals) && decimals.size() <= 4;
    return written ? "Číslo je příliš velké." : "Zadejte číslo.";
}

std::string QuantityToText(Quantity value) {
    if (!value.IsValid())
        return "-";
    std::string text = QuantityToPlainText(value);
    const size_t point = text.find('.');
    if (point != std::string::npos)
        text[point] = ',';
    return text;
}

std::string QuantityToPlainText(Quantity value) {
    const int64_t v = value.Scaled();
    const int64_t magnitude = v < 0 ? -v : v;
    std::string text = Format("%s%" PRId64, v < 0 ? "-" : "", magnitude / Quantity::Scale);
    int64_t fraction = magnitude % Quantity::Scale;
    if (fraction != 0) {
        std::string decimals = Format("%04" PRId64, fraction);
        while (decimals.back() == '0')
            decimals.pop_back();
        text += "." + decimals;
    }
    return text;
}

} // namespace tarvo
