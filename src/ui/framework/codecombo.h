#pragma once

#include <QComboBox>
#include <vector>

namespace tarvo {

struct CodeList;

// Drop-down lists of code-list labels. Each item carries its code; −1 stands
// for nothing chosen.
namespace codecombo {

// Fills the combo with the codes in the given order and selects value (none
// when value is not among them).
void Fill(QComboBox* combo, const CodeList& list, const std::vector<int>& order, int value);
// All codes of the list in code order.
void FillAll(QComboBox* combo, const CodeList& list, int value);
void Select(QComboBox* combo, int value);
// The code of the selected item, or −1.
int Selected(const QComboBox* combo);
// A non-editable drop-down list.
QComboBox* Make(QWidget* parent);

} // namespace codecombo
} // namespace tarvo
