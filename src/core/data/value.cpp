#include "core/data/value.h"

#include "core/data/shared.h"

#include <cmath>

namespace tarvo {

Value::Value(Quantity v) : m_data(v) {}
Value::Value(OleDate v) : m_data(v) {}

int64_t Value::ToLong() const {
    switch (GetKind()) {
    case Kind::Int16:
        return std::get<int16_t>(m_data);
    case Kind::Long:
        return std::get<int64_t>(m_data);
    case Kind::Single:
        return std::llround(std::get<float>(m_data));
    case Kind::Double:
        return std::llround(std::get<double>(m_data));
    case Kind::Currency:
        return std::get<Quantity>(m_data).WholeUnits();
    case Kind::Date:
        return std::get<OleDate>(m_data).DayNumber();
    case Kind::Text:
        return std::strtoll(std::get<std::string>(m_data).c_str(), nullptr, 10);
    case Kind::Bool:
        return std::get<bool>(m_data) ? 1 : 0;
    case Kind::Empty:
        break;
    }
    return 0;
}

Quantity Value::ToQuantity() const {
    switch (GetKind()) {
    case Kind::Currency:
        return std::get<Quantity>(m_data);
    case Kind::Int16:
    case Kind::Long:
    case Kind::Bool:
        return Quantity::FromUnits(ToLong());
    case Kind::Single:
    case Kind::Double:
        return Quantity::FromScaled(std::llround(ToDouble() * Quantity::Scale));
    case Kind::Text:
        return ParseQuantity(std::get<std::string>(m_data)).value_or(Quantity::Invalid());
    case Kind::Date:
    case Kind::Empty:
        break;
    }
    return Quantity::Invalid();
}

OleDate Value::ToDate() const {
    switch (GetKind()) {
    case Kind::Date:
        return std::get<OleDate>(m_data);
    case Kind::Int16:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
        return OleDate::FromValue(ToDouble());
    case Kind::Text:
        return ParseCzechDate(std::get<std::string>(m_data));
    default:
        return OleDate();
    }
}

bool Value::ToBool() const {
    switch (GetKind()) {
    case Kind::Bool:
        return std::get<bool>(m_data);
    case Kind::Currency:
        return std::get<Quantity>(m_data).Scaled() != 0;
    case Kind::Single:
    case Kind::Double:
        return ToDouble() != 0.0;
    case Kind::Text: {
        const std::string& t = std::get<std::string>(m_data);
        return t == "1" || t == "-1" || t == "ano" || t == "true" || t == "True" || t == "TRUE";
    }
    default:
        return ToLong() != 0;
    }
}

double Value::ToDouble() const {
    switch (GetKind()) {
    case Kind::Single:
        return std::get<float>(m_data);
    case Kind::Double:
        return std::get<double>(m_data);
    case Kind::Currency:
        return static_cast<double>(std::get<Quantity>(m_data).Scaled()) / Quantity::Scale;
    case Kind::Date:
        return std::get<OleDate>(m_data).Value();
    case Kind::Text:
        return std::strtod(std::get<std::string>(m_data).c_str(), nullptr);
    default:
        return static_cast<double>(ToLong());
    }
}

std::string Value::ToString() const {
    switch (GetKind()) {
    case Kind::Empty:
        return {};
    case Kind::Int16:
    case Kind::Long:
        return std::to_string(ToLong());
    case Kind::Single:
    case Kind::Double:
        return Format("%g", ToDouble());
    case Kind::Currency:
        return QuantityToPlainText(std::get<Quantity>(m_data));
    case Kind::Date:
        return std::get<OleDate>(m_data).ToText();
    case Kind::Text:
        return std::get<std::string>(m_data);
    case Kind::Bool:
        return std::get<bool>(m_data) ? "1" : "0";
    }
    return {};
}

std::string VariantToText(const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Int16:
        return Format("%hd", static_cast<short>(value.ToLong()));
    case Value::Kind::Long:
        return Format("%lld", static_cast<long long>(value.ToLong()));
    case Value::Kind::Single:
        return Format("%.1f", value.ToDouble());
    case Value::Kind::Double:
        return Format("%.2f", value.ToDouble());
    case Value::Kind::Currency:
        return CurrencyToText(value.ToQuantity(), 100, 'M');
    case Value::Kind::Date: {
        const OleDate d = value.ToDate();
        return Format("%02i.%02i.%i", d.Day(), d.Month(), d.Year());
    }
    case Value::Kind::Text:
        return value.ToString();
    case Value::Kind::Bool:
        return value.ToBool() ? "ano" : "ne";
    case Value::Kind::Empty:
        break;
    }
    return {};
}

} // namespace tarvo
