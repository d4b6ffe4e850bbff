#pragma once

#include "core/data/quantity.h"

#include <optional>

class QLineEdit;
class QWidget;

namespace tarvo {

class IMessagePort;

// How the pages and dialogs refuse a value: the message with the exclamation
// icon, then the focus on the field, an edit box with its whole text selected.
void Refuse(IMessagePort& messages, const char* text, QWidget* field);
// Puts the focus into an edit box with its whole text selected.
void FocusAll(QLineEdit* box);
// The number typed in a box; when the text is no number, "Zadejte číslo."
// (or "Číslo je příliš velké."
// refuses it.
std::optional<Quantity> ReadNumber(IMessagePort& messages, QLineEdit* box);

} // namespace tarvo
