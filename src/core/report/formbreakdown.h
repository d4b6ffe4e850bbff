#pragma once

#include "core/report/formlines.h"
#include "core/workbook/workbook.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo {

class CDataStore;

// The statement since 2021 taken apart: every line behind every filled cell
// with its part, and every line of the quarter that went into none, with
// the same placement as the fill, so that a cell is the sum of its parts.
struct FormBreakdown {
    struct Part {
        uint32_t cell = 0; // FormCellId
        uint32_t line = 0; // into lines
        Quantity amount;   // kilograms, or pieces in a pieces column
    };
    struct LeftOut {
        FormLeftOutLine why;
        uint32_t line = 0;
    };
    std::vector<FormLine> lines;
    std::vector<Part> parts;      // by cell, then date and record
    std::vector<LeftOut> leftOut; // by date and record
    std::unordered_map<RecordId, std::string> coverNames;
    std::unordered_map<RecordId, std::string> moveNumbers;
};

FormBreakdown ComputeFormBreakdown(CDataStore& store, int year, int quarter,
                                   const std::vector<bool>& hidden);

// The cells of a filled statement by FormCellId (FormLayout's addresses).
using FormCellMap = std::map<uint32_t, CellRef>;

// Writes "<statement>_rozpis.xlsx": a sheet per filled form sheet with the
// lines of each cell and its total, and "Nezahrnuto" with the lines left
// out and why. Throws ComError.
void WriteFormBreakdownWorkbook(const FormBreakdown& breakdown, const FormCellMap& cells,
                                const std::string& path);

// The parts of one cell as tab-separated lines, the total last ("celkem",
// the sum, the text written into the cell). Nothing when the sheet is not
// a sheet of the statement or the address is not a cell.
std::optional<std::vector<std::string>> ExplainFormCell(const FormBreakdown& breakdown,
                                                        const FormCellMap& cells,
                                                        std::string_view sheet,
                                                        std::string_view address);

// The text a cell of that sum shows: tonnes, or pieces.
std::string FormCellText(uint32_t cell, Quantity sum);

} // namespace tarvo
