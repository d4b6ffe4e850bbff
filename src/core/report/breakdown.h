#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/report/reportfills.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvo {

class CDataStore;

// Why a line of the quarter went into no cell of the statement.
enum class LeftOutReason {
    CodeWithoutCell,    // a code (or a combination) the form has no cell for
    MissingCode,        // a type, origin, payment, material, kind or flag is missing
    MissingCover,       // the line names no cover, or one that does not exist
    NonReusableDiscard, // only reusable covers are reported as discarded
    NoValidDate,        // a dispatch without a date belongs to no quarter
    NoCovers,           // a product line without cover lines
    ZeroWeight,         // the line weighs nothing (cover weight or quantity 0)
};
constexpr int LeftOutReasonCount = 7;
// The reason as the breakdown names it.
const char* LeftOutReasonText(LeftOutReason reason);

// One record behind the statement: a dispatch cover line, a discard, or a
// product line of a dispatch (only when it went into no cell).
struct BreakdownLine {
    enum Kind { CoverLine, Discard, ProductLine } kind = CoverLine;
    RecordId id = 0; // mvcover_id, disc_id or mvprod_id
    RecordId moveId = 0;
    RecordId prodId = 0;
    RecordId coverId = 0;
    OleDate date; // of the dispatch or the discard
    Quantity productQty;
    OleDate definitionFrom; // the packaging definition valid on the day; invalid: none
    std::optional<int64_t> material, type, origin, payment, reusable, category, discardKind;
    Quantity coverQty;
    Quantity kilograms; // invalid when the weight is unknown
};

// A line in a cell: sheet index into ReportSheets.
struct Contribution {
    int sheet = 0;
    ReportCell cell;
    uint32_t line = 0;
};

// A line that went into no cell. sheet: the sheet whose condition the line
// met, or -1 for the dispatch sheets 1-1 to 2-4 as a whole.
struct LeftOutLine {
    int sheet = -1;
    LeftOutReason reason = LeftOutReason::CodeWithoutCell;
    std::string detail;
    uint32_t line = 0;
};

struct MoveInfo {
    std::string number;
    std::optional<int64_t> exported;
};
struct ProductInfo {
    std::string name;
    std::string catalogue;
};

// The sum of one cell: kilograms as the statement adds them, tonnes as it
// writes them.
struct CellTotal {
    int sheet = 0;
    ReportCell cell;
    Quantity kilograms = Quantity::FromUnits(0);
    Quantity tonnes = Quantity::FromUnits(0);
    size_t lines = 0;
};

// The statement of a quarter taken apart: every line behind every cell, and
// every line of the quarter that went into none.
struct Breakdown {
    int year = 0;
    int quarter = 0;
    Quantity version;
    std::vector<BreakdownLine> lines;
    // By sheet, cell (row, then column), date, then record.
    std::vector<Contribution> contributions;
    std::vector<LeftOutLine> leftOut;
    std::unordered_map<RecordId, MoveInfo> moves;
    std::unordered_map<RecordId, ProductInfo> products;
    std::unordered_map<RecordId, std::string> coverNames;

    // The cells in the order of the contributions.
    std::vector<CellTotal> CellTotals() const;
};

// Builds the breakdown of a quarter for a template of the given version, with
// the same conditions, mapping and arithmetic as the statement's fills.
// Database errors throw ComError.
Breakdown ComputeBreakdown(CDataStore& store, int year, int quarter, Quantity version);

// The statement's "<name>.xlsx" -> "<name>_rozpis.xlsx".
std::string BreakdownPath(const std::string& statementPath);

// Writes the breakdown workbook: a summary, one sheet per statement sheet
// with the lines grouped by cell and each cell's subtotal, and the lines that
// went into no cell. Throws ComError.
void WriteBreakdownWorkbook(const Breakdown& breakdown, const std::string& path);

// The contributions of one cell as tab-separated lines, the total last
// ("celkem", kilograms, tonnes). Nothing when the sheet or the cell address
// is unknown.
std::optional<std::vector<std::string>>
ExplainCell(const Breakdown& breakdown, std::string_view sheet, std::string_view address);

} // namespace tarvo
