#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;
class Worksheet;
class IProgressPort;

// Templates of this version and later have the fourth packaging type
// ("průmyslový", columns L-N) and one more header row on the data sheets.
constexpr Quantity NewLayoutVersion = Quantity::FromUnits(2);

// A cell of a report sheet: column index (0 = A) and row (1-based).
struct ReportCell {
    int column = 0;
    int row = 0;
    bool operator==(const ReportCell&) const = default;
};

// Where a group of dispatched covers goes on the sheets 1-x (reusable false)
// or 2-x (reusable true); nothing for a combination the form has no cell for.
std::optional<ReportCell> DispatchCell(int material, int type, int origin, bool reusable,
                                       Quantity version);
// Where a group of discarded reusable covers goes on the sheet 3-1.
std::optional<ReportCell> DiscardCell(int material, int type, int discardKind, Quantity version);
// Where a pallet or beverage-carton group goes on the sheet 4-1.
std::optional<ReportCell> StatisticsCell(int category, bool reusable, Quantity version);

// The row of a material on the sheets 1-x (reusable false) or 2-x and 3-1,
// and whether the material is reported for a type at all; 0 when the sheet
// has no row for it.
int MaterialRow(int material, bool reusable, Quantity version);
bool MaterialAllowsType(int material, int type);

// Whether the template has the column block of a packaging type.
bool TypeHasBlock(int type, Quantity version);

// A data sheet of the statement and what goes into it.
struct ReportSheet {
    const char* name;
    enum Fill { Dispatch, Discard, Statistics } fill;
    bool reusable;   // dispatch sheets: 2-x
    bool exportOnly; // dispatch sheets: x-4
    int payment;     // dispatch sheets other than x-4
};

// The data sheets in the order the statement fills them.
extern const std::array<ReportSheet, 10> ReportSheets;
// The sheet of that name, or nothing.
const ReportSheet* FindReportSheet(std::string_view name);

// The parts of the query over the lines of one sheet, in the dialect of the
// program's SQL: the statement groups them (keys, Sum(weight)), the breakdown
// reads them one by one; both take the same tables, conditions and mapping,
// so the lines of a cell add up to the cell.
struct SheetQuery {
    std::string keys;      // the grouping columns (two or three)
    std::string weight;    // kilograms of one line
    std::string tables;    // FROM ...
    std::string condition; // beside the quarter: which lines belong to the sheet
    std::string dateColumn;
};
SheetQuery SheetQueryOf(const ReportSheet& sheet);

// The quarter condition on a date column; both end days count whole.
std::string PeriodCondition(const std::string& column, OleDate firstDay, OleDate lastDay);

// The grouping codes of a line or group, read from the columns first.. of a
// statement; a missing (NULL) code is no code, never 0.
struct SheetKey {
    std::array<std::optional<int64_t>, 3> codes;
};
SheetKey ReadSheetKey(const ReportSheet& sheet, const Statement& statement, int first);
// The cell of a key on a sheet, or nothing.
std::optional<ReportCell> CellOfKey(const ReportSheet& sheet, const SheetKey& key,
                                    Quantity version);

// The groups of one sheet: a key and the sum of its lines' kilograms (nothing
// when no line of the group has a known weight).
struct SheetGroup {
    SheetKey key;
    std::optional<Quantity> kilograms;
};

// The quarter's dispatched cover lines grouped for every dispatch sheet and
// the statistics sheet in one pass over the quarter (through the date index),
// with the sheets' own conditions, keys and weights: the groups are those each
// sheet's grouped query would give. Throws ComError.
class QuarterDispatches {
public:
    QuarterDispatches(CDataStore& store, OleDate firstDay, OleDate lastDay);
    // The groups of a sheet like one of ReportSheets (none for the discard
    // sheet or a combination the statement does not have), ordered by key.
    const std::vector<SheetGroup>& Groups(const ReportSheet& sheet) const;

private:
    // By the sheet's index in ReportSheets.
    std::array<std::vector<SheetGroup>, std::tuple_size_v<decltype(ReportSheets)>> m_groups;
};

// Kilograms to the tonnes of a cell: truncated to the four decimals.
Quantity KilogramsToTonnes(Quantity kilograms);

// The three fills of the report sheets. Each groups the lines of the quarter
// (first and last day count whole), writes every group's weight in tonnes
// into its cell and reports progress as "i z N" (N groups) on the range 0-200.
// Groups that reach the same cell add up there. Database and workbook errors
// are thrown as ComError.
void FillDispatchSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                       OleDate firstDay, OleDate lastDay, bool reusable, bool exportOnly,
                       int payment, Quantity version);
void FillDiscardSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                      OleDate firstDay, OleDate lastDay, Quantity version);
void FillStatisticsSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                         OleDate firstDay, OleDate lastDay, Quantity version);
// The fill of any data sheet.
void FillReportSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                     const ReportSheet& data, OleDate firstDay, OleDate lastDay, Quantity version);
// The same with the quarter's dispatches read once for all the sheets.
void FillReportSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                     const ReportSheet& data, const QuarterDispatches& quarter, OleDate firstDay,
                     OleDate lastDay, Quantity version);

} // namespace tarvo
