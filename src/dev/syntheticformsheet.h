#pragma once

#include "dev/syntheticform.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {

// One sheet of the synthetic form as it is laid out before writing.
struct SyntheticForm::Sheet {
    struct Cell {
        enum class Kind { Blank, Text, Number, Formula };
        Kind kind = Kind::Blank;
        std::string text; // the text, or the formula without "="
        double number = 0;
        // A formula's result as last calculated: a text or a number.
        std::string cached;
        bool cachedIsText = false;
        bool locked = true;
        bool wrap = false; // a label that breaks its lines
    };

    explicit Sheet(std::string sheetName) : name(std::move(sheetName)) {}

    Cell& At(int column, int row) { return cells[{row, column}]; }
    void Text(int column, int row, const std::string& text);
    void Number(int column, int row, double value);
    void Formula(int column, int row, const std::string& formula, const std::string& cached,
                 bool cachedIsText);
    // An input cell, or a rectangle of them, listed in the sheet's name.
    void Inputs(int column1, int row1, int column2, int row2);
    void Merge(int column1, int row1, int column2, int row2);

    std::string name;
    bool hidden = false;
    std::string inputName; // the defined name of the input cells, empty for none
    std::map<std::pair<int, int>, Cell> cells; // (row, column)
    std::vector<std::string> inputAreas;       // "E10:P34"
    std::vector<std::string> merges;
    std::vector<int> hiddenColumns;
};

// The name as a formula refers to it: quoted, apostrophes doubled.
std::string QuotedSheetName(const std::string& sheet);

// The sheets of the form for that quarter, in the workbook's order.
std::vector<std::unique_ptr<SyntheticForm::Sheet>> SyntheticFormSheets(int year, int quarter);

} // namespace tarvo
