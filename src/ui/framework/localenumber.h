#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <QDate>
#include <QString>
#include <optional>

namespace tarvo {

// Quantities in edit boxes are shown and read in the user's locale: a
// decimal comma in Czech, group separators accepted on input. The value
// never passes through a double.
QString QuantityToLocaleText(Quantity value);
std::optional<Quantity> QuantityFromLocaleText(const QString& text);

// "%02i.%02i.%i"
QString DateText(const OleDate& date);

QDate ToQDate(const OleDate& date);
OleDate FromQDate(const QDate& date);

} // namespace tarvo
