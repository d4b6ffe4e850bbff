#pragma once

#include "core/data/comerror.h"
#include "core/data/quantity.h"
#include "core/workbook/ziparchive.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
}

namespace tarvo {

// Error codes of the workbook layer, in the numbering spreadsheet automation
// uses, so that the error box shows what a user may look up.
namespace WorkbookError {
// No sheet of that name ("Neplatný index").
constexpr uint32_t BadIndex = 0x8002000B;
// The file is no workbook, is damaged, or a cell or the file cannot be written.
constexpr uint32_t Failed = 0x800A03EC;
} // namespace WorkbookError

class Workbook;

// Texts kept end to end: the hundreds of thousands of shared strings of a big
// workbook then take little more than their characters.
class TextList {
public:
    void Add(std::string_view text) {
        m_text += text;
        m_ends.push_back(m_text.size());
    }
    size_t Size() const { return m_ends.size(); }
    std::string_view operator[](size_t index) const {
        const size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_text).substr(begin, m_ends[index] - begin);
    }
    void Clear() {
        m_text.clear();
        m_ends.clear();
    }

private:
    std::string m_text;
    std::vector<size_t> m_ends;
};

// One cell as the row reader gives it.
struct SheetCell {
    enum class Kind { Empty, Text, Number, Boolean, Error };
    Kind kind = Kind::Empty;
    // As GetText gives it: shared and inline strings as they are, numbers as
    // stored ("2.4", "45000.5"), Booleans "1"/"0", errors as stored ("#N/A").
    std::string text;
};

// Column index (0 = A) and row (1-based) of "D4" or "D4:D4". Throws ComError
// for anything else, a range of more than one cell included.
struct CellRef {
    int column = 0;
    int row = 0;
};
CellRef ParseCellAddress(std::string_view address);
std::string CellName(int column, int row);

// A rectangle of cells, first its top-left cell, last its bottom-right one.
struct CellRange {
    CellRef first;
    CellRef last;
    bool Contains(CellRef cell) const {
        return cell.column >= first.column && cell.column <= last.column && cell.row >= first.row &&
               cell.row <= last.row;
    }
};
// "E10:P34", "$E$10:$P$34" or the one cell "E10"; corners given in any order.
// Throws ComError for anything else.
CellRange ParseCellRange(std::string_view text);

// One area of a defined name.
struct NamedArea {
    std::string sheet;
    CellRange range;
};

// One worksheet of an open workbook. Cells are addressed as the report
// addresses them: "D4" or the one-cell range "D4:D4".
class Worksheet {
public:
    const std::string& Name() const { return m_name; }

    // The cell's content as text: shared and inline strings as they are,
    // numbers as stored ("2.4", "3"), Booleans "1"/"0"; empty for an empty
    // or missing cell.
    std::string GetText(std::string_view address);

    // Visits the sheet's rows in order, each with its 1-based number and its
    // cells by column (index 0 = A, up to the row's last non-empty cell;
    // cells the file leaves out, and cells with a style but no value, are
    // Empty). Rows the file leaves out are not visited; a row the file holds
    // without values is visited with no cells. A formula gives its result as
    // last calculated, a formula without one is Empty.
    //
    // A sheet not yet read or changed through this object is read from the
    // file one row at a time, so memory does not grow with the sheet; a sheet
    // already read by GetText or changed by Put* is visited as it is held,
    // unsaved changes included. Throws ComError (WorkbookError::Failed) for a
    // damaged sheet; the rows before the damage have been visited by then.
    void ForEachRow(const std::function<void(int row, const std::vector<SheetCell>& cells)>& visit);

    // Replace the cell's content (a formula included); its style stays.
    void PutInteger(std::string_view address, int32_t value);
    void PutText(std::string_view address, std::string_view text);
    void PutQuantity(std::string_view address, Quantity value);
    // A number given as its decimal text ("0.0012345"), written as it is.
    void PutDecimal(std::string_view address, std::string_view number);

    void Activate();

    // Whether the cell cannot be changed while the sheet is protected. A cell
    // takes that from its style; a cell the file leaves out from its row's
    // style, or else its column's. Locked unless the style says otherwise,
    // as in the spreadsheet program. Throws ComError for a style the
    // workbook does not have.
    bool IsLocked(std::string_view address);
    // The merged areas of the sheet.
    std::vector<CellRange> MergedRanges();

private:
    friend class Workbook;
    Worksheet(Workbook& book, std::string name, std::string part, size_t index)
        : m_book(book), m_name(std::move(name)), m_part(std::move(part)), m_index(index) {}

    Workbook& m_book;
    std::string m_name;
    std::string m_part; // path of the sheet's XML inside the archive
    size_t m_index;     // position among all sheets (for the active tab)
};

// A spreadsheet workbook in the Office Open XML format, whatever the file's
// extension. Only the parts that are changed are rewritten on save; styles,
// formulas, other sheets, defined names and everything else stay byte for
// byte. Saving asks the spreadsheet program to recalculate every formula when
// it opens the file, so totals never show figures from before the fill.
//
// Every failure throws ComError with a code and a Czech description.
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    void Open(const std::string& path);

    // The sheet of that name (compared without regard to case). A missing
    // name throws; a sheet that is not a worksheet (a chart sheet) gives null.
    Worksheet* Sheet(std::string_view name);
    std::vector<std::string> SheetNames() const;
    // Whether the sheet is hidden or very hidden (shown only to macros).
    // A missing name throws as Sheet does.
    bool IsHidden(std::string_view sheetName) const;

    // The areas a workbook-level defined name refers to, e.g. the two of
    // 'J1-1A'!$E$10:$P$34,'J1-1A'!$I$35:$P$35; empty when there is no such
    // name (compared without regard to case). Throws ComError when the name
    // refers to anything other than areas of cells.
    std::vector<NamedArea> DefinedName(std::string_view name) const;

    // What a save does with the formulas' last results. Drop: every reader
    // computes them anew (and the calculation chain goes, as a written cell
    // may have held a formula). Keep: for a caller that writes only cells
    // without formulas into a workbook that must stay as it was elsewhere;
    // the program recalculates on load all the same.
    enum class FormulaResults { Drop, Keep };
    // Writes the changes into the file it was opened from; stays open.
    void Save(FormulaResults results = FormulaResults::Drop);
    // Closes without saving what was changed since the last save.
    void Close();

private:
    friend class Worksheet;

    struct Part;
    struct SheetEntry {
        std::string name;
        std::string part; // empty when the sheet is not a worksheet
        bool hidden = false;
        std::unique_ptr<Worksheet> sheet;
    };
    struct DefinedNameEntry {
        std::string name;
        std::string formula;
    };

    void Load();
    Part* LoadedPart(const std::string& name);
    Part& LoadPart(const std::string& name);
    // The entry's text piece by piece; see ForEachXmlElement.
    bool ForEachElement(const std::string& entry, std::string_view container,
                        std::string_view local,
                        const std::function<void(char* text, size_t size)>& visit) const;
    std::string ReadEntry(const std::string& name) const;
    bool HasEntry(const std::string& name) const;
    void ReadSharedStrings(const std::string& partName);
    const SheetEntry& Entry(std::string_view name) const;
    // The protection of each cell style, true for locked.
    const std::vector<bool>& LockedStyles();
    void SetActive(size_t index);
    void PrepareSave(FormulaResults results);
    [[noreturn]] void Fail(uint32_t code, const std::string& text) const;

    std::string m_path;
    ZipArchive m_zip;
    std::vector<std::unique_ptr<Part>> m_parts;
    std::vector<SheetEntry> m_sheets;
    TextList m_sharedStrings;
    std::string m_workbookPart;
    std::string m_stylesPart;
    std::vector<DefinedNameEntry> m_definedNames; // workbook-level only
    std::optional<std::vector<bool>> m_lockedStyles;
    std::vector<std::string> m_removedParts; // dropped on save (the stale calculation chain)
};

} // namespace tarvo
