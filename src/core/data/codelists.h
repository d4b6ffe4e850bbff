#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarvo {

// The seven code lists. A stored code is the zero-based position of its label;
// the order is part of the stored data and must never change.
struct CodeList {
    const std::string_view* labels;
    int size;

    // The label of a code, "???" outside the list.
    std::string Label(int code) const;
};

extern const CodeList Materials;
extern const CodeList CoverTypes;
extern const CodeList Origins;
extern const CodeList Payments;
extern const CodeList StatCategories;
extern const CodeList DiscardKinds;
extern const CodeList MoveTypes;

// Material code 29 "textil" is shown second in the cover dialog's combo box.
inline constexpr int MaterialTextile = 29;

} // namespace tarvo
