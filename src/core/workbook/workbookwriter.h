#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace tarvo {

// Writes a new workbook (Office Open XML) row by row, for lists meant to be
// read, filtered and printed: every sheet has its header row frozen, wrapped
// within the column widths given and repeated on every printed page, a filter
// on the header, and prints on A4 landscape, one page wide, or for a wide
// sheet as many pages side by side as a legible scale needs. Rows go to a scratch file
// beside the workbook as they come, so a sheet of hundreds of thousands of
// rows needs no more memory than its distinct texts. Failures throw ComError.
class WorkbookWriter {
public:
    struct Column {
        std::string title;
        double width; // in characters
    };
    // Four decimals shown as such (weights).
    struct Fixed {
        Quantity value;
    };
    using Cell = std::variant<std::monostate, std::string_view, int64_t, Quantity, Fixed, OleDate>;

    explicit WorkbookWriter(std::string path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Starts the next sheet with its header row. A hidden sheet is not shown
    // as a tab (lists the other sheets' validations refer to). A workbook
    // needs one sheet shown: when every sheet is hidden, the first is shown.
    void AddSheet(const std::string& name, const std::vector<Column>& columns, bool hidden = false);
    // The cells of a column of the current sheet, from row 2 down to the last
    // row a spreadsheet has, accept only a value of the list at range (a
    // reference such as "'Seznamy'!$A$2:$A$31"); the spreadsheet program offers
    // the list in a drop-down. Empty cells stay allowed.
    void AddListValidation(size_t column, const std::string& range);
    // A row of the current sheet; bold for subtotals.
    void AddRow(std::span<const Cell> cells, bool bold = false);
    // Writes the file (replacing one of that name) and removes the scratch files.
    void Save();

private:
    enum RowStyle { PlainStyle, BoldStyle, HeaderStyle };

    struct Sheet {
        std::string name;
        std::string scratch;
        size_t columns = 0;
        int rows = 0;
        bool hidden = false;
        int pagesWide = 1;
        std::vector<std::pair<size_t, std::string>> validations; // column, list range
    };

    // height: the row's height in points; 0 leaves it to the spreadsheet.
    void WriteRow(std::span<const Cell> cells, RowStyle style, double height);
    void Write(std::string_view text);
    void Flush();
    void FinishSheet();
    uint32_t SharedString(std::string_view text);
    void RemoveScratch();

    std::string m_path;
    std::vector<Sheet> m_sheets;
    std::FILE* m_file = nullptr;
    std::string m_buffer;
    std::unordered_map<std::string, uint32_t> m_stringIndex;
    std::vector<const std::string*> m_strings;
    uint64_t m_stringUses = 0;
};

} // namespace tarvo
