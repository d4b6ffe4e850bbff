#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <QDate>
#include <QString>
#include <optional>
#include <string>

namespace tarvo {

// Quantities in edit boxes are shown and read the Czech way: a decimal comma,
// group separators accepted on input. The value
// never passes through a double.
QString QuantityToLocaleText(Quantity value);
std::optional<Quantity> QuantityFromLocaleText(const QString& text);
// The message for a text QuantityFromLocaleText refused: "Zadejte číslo." or,
// for a number too large to keep, "Číslo je příliš velké."
std::string RefusedNumberText(const QString& text);

// "%02i.%02i.%i"
QString DateText(const OleDate& date);

QDate ToQDate(const OleDate& date);
OleDate FromQDate(const QDate& date);

} // namespace tarvo
