#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"

#include <optional>

namespace tarvo {

class CDataStore;
class CWorksheet;
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

// The three fills of the report sheets. Each runs one grouped query on the
// quarter (first and last day count whole), writes every group's weight in
// tonnes into its cell and reports progress as "i z N" on the range 0-200.
// Database and workbook errors are thrown as ComError.
void FillDispatchSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                       OleDate firstDay, OleDate lastDay, bool reusable, bool exportOnly,
                       int payment, Quantity version);
void FillDiscardSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                      OleDate firstDay, OleDate lastDay, Quantity version);
void FillStatisticsSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                         OleDate firstDay, OleDate lastDay, Quantity version);

} // namespace tarvo
