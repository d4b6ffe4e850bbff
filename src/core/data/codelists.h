#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarvo {

// The seven code lists of the twelve tables, and five of the classification
// for the statement in force since 2021. A stored code is the zero-based position of its label;
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

// The classification for the statement in force since 2021 (Cover_Class,
// Cover_Part, Discard_Dest), with the labels the window and the register
// workbook show.
extern const CodeList Materials2021;       // Cover_Class.cls_mat, 39 entries
extern const CodeList Shapes;              // Cover_Class.cls_shape
extern const CodeList LitteringKinds;      // Cover_Class.cls_litter
extern const CodeList Components;          // Cover_Part.part_comp
extern const CodeList DiscardDestinations; // Discard_Dest.dest_code

// Material code 29 "textil" is shown second in the cover dialog's combo box.
inline constexpr int MaterialTextile = 29;

} // namespace tarvo
