#pragma once

#include "core/data/codelists.h"
#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/registerbook/registerimport.h"
#include "core/workbook/workbook.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvo {

// One sheet of an imported workbook read row by row: finds the columns by the
// titles of its first row and turns the cells of the row being read into
// values, noting every cell it cannot take as a fault with its place.
class SheetScan {
public:
    SheetScan(std::string_view sheet, std::vector<RegisterFault>& faults);

    // Takes the first row as the header. False, after a fault for each one,
    // when a column of required is missing.
    bool ReadHeader(const std::vector<SheetCell>& cells,
                    const std::vector<std::string_view>& required);
    // The row to read next; false for a row with no value at all.
    bool BeginRow(int row, const std::vector<SheetCell>& cells);
    int Row() const { return m_row; }
    size_t FaultCount() const { return m_faults.size(); }

    bool Has(std::string_view title) const;
    // The cell's text with the spaces around it trimmed; empty for a column
    // the sheet does not have.
    std::string Text(std::string_view title) const;
    bool IsEmpty(std::string_view title) const { return Text(title).empty(); }

    // A number with up to four decimals, with a decimal comma or point; a
    // number cell is rounded to four decimals. Nothing for an empty cell (a
    // fault "chybí <what>" unless what is null) or one that is no number (a
    // fault).
    std::optional<Quantity> Number(std::string_view title, const char* what);
    // The code whose label the cell holds, whatever its letter case; -1 for
    // an empty cell (a fault "chybí <what>" when required) and for a label
    // not in the list (a fault).
    int Code(std::string_view title, const CodeList& list, const char* what, bool required);
    // "ano" or "ne" (or a Boolean cell); fallback for an empty cell.
    bool YesNo(std::string_view title, bool fallback);
    // A spreadsheet date or "d.M.yyyy"; invalid for an empty cell (a fault
    // "chybí datum") or one that is no date (a fault).
    OleDate Date(std::string_view title);
    // The identifier in the source as the database keeps it: a whole number
    // as its digits, anything else as written.
    std::string SourceId(std::string_view title) const;

    void Fault(std::string_view title, std::string text);

private:
    std::optional<size_t> Column(std::string_view title) const;
    const SheetCell* Cell(std::string_view title) const;

    std::string m_sheet;
    std::vector<RegisterFault>& m_faults;
    std::vector<std::pair<std::string, size_t>> m_columns; // folded title, index
    mutable std::unordered_map<std::string, std::optional<size_t>> m_byTitle;
    const std::vector<SheetCell>* m_cells = nullptr;
    int m_row = 0;
};

// The label text compared without regard to letter case and the spaces
// around it.
std::string LabelKey(std::string_view text);

} // namespace tarvo
