#include "core/report/reportfills.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/ports/progressport.h"
#include "core/workbook/workbook.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>
#include <vector>

namespace tarvo {

namespace {

enum TypeCode { Transport = 0, Group = 1, Sales = 2, Industrial = 3 };

constexpr unsigned AllTypes = 0xF;
constexpr unsigned SalesOnly = 1u << Sales;

struct MaterialRowInfo {
    int material;
    int rowSingleUse; // sheets 1-x
    int rowReusable;  // sheets 2-x and 3-1; 0 = no row there
    unsigned types;   // bit per packaging type that is reported
};

// The rows of the statement's material table, top to bottom.
constexpr std::array<MaterialRowInfo, 30> MaterialRows = {{
    {11, 5, 5, AllTypes},                         // PET - měkké
    {8, 6, 6, AllTypes},                          // PE - měkké
    {20, 7, 7, AllTypes},                         // PVC - měkké
    {14, 8, 8, AllTypes},                         // PP - měkké
    {17, 9, 9, AllTypes},                         // PS - měkké
    {23, 10, 10, AllTypes},                       // plasty jiné - měkké
    {12, 11, 11, AllTypes},                       // PET - pevné duté
    {9, 12, 12, AllTypes},                        // PE - pevné duté
    {21, 13, 13, AllTypes},                       // PVC - pevné duté
    {15, 14, 14, AllTypes},                       // PP - pevné duté
    {18, 15, 15, AllTypes},                       // PS - pevné duté
    {24, 16, 16, AllTypes},                       // plasty jiné - pevné duté
    {13, 17, 17, SalesOnly},                      // PET - pevné duté nad 5l
    {10, 18, 18, SalesOnly},                      // PE - pevné duté nad 5l
    {22, 19, 19, SalesOnly},                      // PVC - pevné duté nad 5l
    {16, 20, 20, SalesOnly},                      // PP - pevné duté nad 5l
    {19, 21, 21, SalesOnly},                      // PS - pevné duté nad 5l
    {25, 22, 22, SalesOnly},                      // plasty jiné - pevné duté nad 5l
    {27, 23, 23, AllTypes},                       // vlnitá lepenka
    {7, 24, 24, AllTypes},                        // papír
    {26, 25, 25, SalesOnly | (1u << Industrial)}, // sklo
    {3, 26, 26, AllTypes},                        // kovy - železo FE
    {2, 27, 27, AllTypes},                        // kovy - hliník AL
    {5, 28, 28, SalesOnly},                       // kovy nad 5l - železo FE
    {4, 29, 29, SalesOnly},                       // kovy nad 5l - hliník AL
    {6, 30, 0, SalesOnly},                        // nápojové kartony
    {1, 31, 30, AllTypes},                        // kombinované materiály
    {0, 32, 31, AllTypes},                        // dřevo
    {29, 33, 32, AllTypes},                       // textil
    {28, 34, 33, AllTypes},                       // jiný materiál
}};

const MaterialRowInfo* FindMaterial(int material) {
    for (const MaterialRowInfo& info : MaterialRows) {
        if (info.material == material)
            return &info;
    }
    return nullptr;
}

// First column (C = 2) of the three-column block of a packaging type; -1 when
// the template has no block for it.
int TypeBlock(int type, Quantity version) {
    switch (type) {
    case Sales:
        return 2; // C-E
    case Group:
        return 5; // F-H
    case Transport:
        return 8; // I-K
    case Industrial:
        return version >= NewLayoutVersion ? 11 : -1; // L-N
    default:
        return -1;
    }
}

std::optional<ReportCell> MaterialCell(int material, int type, int offset, bool reusable,
                                       Quantity version) {
    const int block = TypeBlock(type, version);
    const int row = MaterialRow(material, reusable, version);
    if (block < 0 || offset < 0 || row == 0 || !MaterialAllowsType(material, type))
        return std::nullopt;
    return ReportCell{block + offset, row};
}

// The statement's cell values in kilograms, in the order the cells were
// first reached.
struct CellWeights {
    std::vector<std::pair<ReportCell, Quantity>> cells;

    void Add(const ReportCell& cell, Quantity kilograms) {
        for (auto& [known, sum] : cells) {
            if (known == cell) {
                sum = sum + kilograms;
                return;
            }
        }
        cells.emplace_back(cell, kilograms);
    }
};

// The column offset inside a material's block of three, by code; -1 for a
// code outside its list.
int BlockOffset(const int (&offsets)[3], int code) {
    return code >= 0 && code < 3 ? offsets[code] : -1;
}

} // namespace

int MaterialRow(int material, bool reusable, Quantity version) {
    const MaterialRowInfo* info = FindMaterial(material);
    if (!info)
        return 0;
    const int row = reusable ? info->rowReusable : info->rowSingleUse;
    if (row == 0)
        return 0;
    return version >= NewLayoutVersion ? row + 1 : row;
}

bool MaterialAllowsType(int material, int type) {
    const MaterialRowInfo* info = FindMaterial(material);
    return info && type >= 0 && type <= Industrial && (info->types & (1u << type)) != 0;
}

bool TypeHasBlock(int type, Quantity version) {
    return TypeBlock(type, version) >= 0;
}

std::optional<ReportCell> DispatchCell(int material, int type, int origin, bool reusable,
                                       Quantity version) {
    // Inside a block: made in the country, imported, bought in the country
    // (origin codes 2, 0, 1).
    static constexpr int OriginOffsets[3] = {1, 2, 0};
    return MaterialCell(material, type, BlockOffset(OriginOffsets, origin), reusable, version);
}

std::optional<ReportCell> DiscardCell(int material, int type, int discardKind, Quantity version) {
    // Inside a block: recycled, energy recovery, removed (discard kinds 2, 0, 1).
    static constexpr int KindOffsets[3] = {1, 2, 0};
    return MaterialCell(material, type, BlockOffset(KindOffsets, discardKind), true, version);
}

std::optional<ReportCell> StatisticsCell(int category, bool reusable, Quantity version) {
    std::optional<ReportCell> cell;
    if (category == 1 && reusable)
        cell = ReportCell{4, 6}; // E6
    else if (category == 2 && reusable)
        cell = ReportCell{4, 7}; // E7
    else if (category == 2 && !reusable)
        cell = ReportCell{7, 7}; // H7
    else if (category == 3 && !reusable)
        cell = ReportCell{7, 8}; // H8
    if (cell && version >= NewLayoutVersion)
        --cell->row;
    return cell;
}

std::string PeriodCondition(const std::string& column, OleDate firstDay, OleDate lastDay) {
    // The two DATEDIFF conditions count both end days whole; the range beside
    // them says the same for every date of this century and lets the database
    // find the rows through the date index instead of computing DATEDIFF for
    // every record.
    const OleDate first = firstDay.DayOnly();
    const OleDate last = lastDay.DayOnly();
    const char* c = column.c_str();
    return Format("DATEDIFF(\"d\", %s, %s)>=0 AND DATEDIFF(\"d\", %s, %s)>=0 AND %s>=%s AND "
                  "%s<%s",
                  first.SqlLiteral().c_str(), c, c, last.SqlLiteral().c_str(), c,
                  first.SqlLiteral().c_str(), c, last.AddDays(1).SqlLiteral().c_str());
}

const std::array<ReportSheet, 10> ReportSheets = {{
    {"1-1", ReportSheet::Dispatch, false, false, 1},
    {"1-2", ReportSheet::Dispatch, false, false, 2},
    {"1-3", ReportSheet::Dispatch, false, false, 0},
    {"1-4", ReportSheet::Dispatch, false, true, -1},
    {"2-1", ReportSheet::Dispatch, true, false, 1},
    {"2-2", ReportSheet::Dispatch, true, false, 2},
    {"2-3", ReportSheet::Dispatch, true, false, 0},
    {"2-4", ReportSheet::Dispatch, true, true, -1},
    {"3-1", ReportSheet::Discard, false, false, -1},
    {"4-1", ReportSheet::Statistics, false, false, -1},
}};

const ReportSheet* FindReportSheet(std::string_view name) {
    for (const ReportSheet& sheet : ReportSheets) {
        if (name == sheet.name)
            return &sheet;
    }
    return nullptr;
}

SheetQuery SheetQueryOf(const ReportSheet& sheet) {
    constexpr const char* MoveTables =
        "FROM (Move INNER JOIN Move_Cover ON Move.move_id = Move_Cover.move_id) INNER JOIN "
        "Cover ON Move_Cover.cover_id = Cover.cover_id";
    constexpr const char* MoveWeight = "Move_Cover.mvcover_qty*Cover.cover_weight";
    switch (sheet.fill) {
    case ReportSheet::Dispatch: {
        // The material comes from the cover; type, origin and payment from the
        // dispatch's line, as they were when the line was made.
        std::string condition =
            sheet.reusable ? "(Cover.cover_reusable=True)" : "(Cover.cover_reusable=False)";
        if (sheet.exportOnly)
            condition += " AND (Move.move_export=True)";
        else
            condition += Format(" AND (Move.move_export=False) AND (Move_Cover.cover_pay=%li)",
                                static_cast<long>(sheet.payment));
        return {"Cover.cover_mat, Move_Cover.cover_type, Move_Cover.cover_org", MoveWeight,
                MoveTables, condition, "move_date"};
    }
    case ReportSheet::Discard:
        // Only reusable covers count, under their current type.
        return {"Cover.cover_mat, Cover.cover_type, CoverDiscard.disc_type",
                "CoverDiscard.disc_qty*Cover.cover_weight",
                "FROM CoverDiscard INNER JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id",
                "(Cover.cover_reusable=TRUE)", "disc_date"};
    case ReportSheet::Statistics:
        // Exported and domestic dispatches both count.
        return {"Cover.cover_stat, Cover.cover_reusable", MoveWeight, MoveTables,
                Format("(cover_stat<>%li)", 0L), "move_date"};
    }
    return {};
}

SheetKey ReadSheetKey(const ReportSheet& sheet, const Statement& statement, int first) {
    SheetKey key;
    const int count = sheet.fill == ReportSheet::Statistics ? 2 : 3;
    for (int i = 0; i < count; ++i) {
        if (!statement.IsNull(first + i))
            key.codes[static_cast<size_t>(i)] = statement.Int(first + i);
    }
    return key;
}

std::optional<ReportCell> CellOfKey(const ReportSheet& sheet, const SheetKey& key,
                                    Quantity version) {
    const auto& [a, b, c] = key.codes;
    switch (sheet.fill) {
    case ReportSheet::Dispatch:
        if (!a || !b || !c)
            return std::nullopt;
        return DispatchCell(static_cast<int>(*a), static_cast<int>(*b), static_cast<int>(*c),
                            sheet.reusable, version);
    case ReportSheet::Discard:
        if (!a || !b || !c)
            return std::nullopt;
        return DiscardCell(static_cast<int>(*a), static_cast<int>(*b), static_cast<int>(*c),
                           version);
    case ReportSheet::Statistics:
        // A missing reusable flag reads as "not reusable", as every flag does.
        if (!a)
            return std::nullopt;
        return StatisticsCell(static_cast<int>(*a), b.value_or(0) != 0, version);
    }
    return std::nullopt;
}

Quantity KilogramsToTonnes(Quantity kilograms) {
    return Quantity::FromScaled(kilograms.Scaled() / 1000);
}

namespace {

// The index of a sheet like data in ReportSheets, or -1.
int SheetIndex(const ReportSheet& data) {
    for (size_t i = 0; i < ReportSheets.size(); ++i) {
        const ReportSheet& known = ReportSheets[i];
        if (known.fill == data.fill &&
            (data.fill != ReportSheet::Dispatch ||
             (known.reusable == data.reusable && known.exportOnly == data.exportOnly &&
              (data.exportOnly || known.payment == data.payment))))
            return static_cast<int>(i);
    }
    return -1;
}

// Which dispatch sheet a line goes to: the sheets' own conditions, which
// exclude each other.
std::string DispatchSheetCase() {
    std::string sql = "CASE";
    for (size_t i = 0; i < ReportSheets.size(); ++i) {
        if (ReportSheets[i].fill == ReportSheet::Dispatch)
            sql += Format(" WHEN %s THEN %d", SheetQueryOf(ReportSheets[i]).condition.c_str(),
                          static_cast<int>(i));
    }
    return sql + " ELSE -1 END";
}

// A group's kilograms as SQL's Sum() gives them: nothing while no line had a
// weight, an integer overflow an error as there.
struct WeightSum {
    std::optional<int64_t> scaled;

    void Add(const std::optional<Quantity>& kilograms) {
        if (!kilograms)
            return;
        int64_t sum = 0;
        if (__builtin_add_overflow(scaled.value_or(0), kilograms->Scaled(), &sum))
            throw ComError(ComError::Fail, "integer overflow");
        scaled = sum;
    }
};

// SQL's order of GROUP BY keys: a missing code before every value.
using GroupMap = std::map<std::array<std::optional<int64_t>, 3>, WeightSum>;

std::vector<SheetGroup> ToGroups(const GroupMap& groups) {
    std::vector<SheetGroup> result;
    result.reserve(groups.size());
    for (const auto& [codes, sum] : groups) {
        std::optional<Quantity> kilograms;
        if (sum.scaled)
            kilograms = Quantity::FromScaled(*sum.scaled);
        result.push_back({SheetKey{codes}, kilograms});
    }
    return result;
}

std::optional<Quantity> OptionalQuantity(const Statement& s, int column) {
    if (s.IsNull(column))
        return std::nullopt;
    return s.GetQuantity(column);
}

// The discard sheet's own grouped query over CoverDiscard.
std::vector<SheetGroup> DiscardGroups(CDataStore& store, const ReportSheet& data, OleDate firstDay,
                                      OleDate lastDay) {
    const SheetQuery query = SheetQueryOf(data);
    Statement groups(store, "SELECT " + query.keys + ", Sum(" + query.weight + ") AS SumWeight " +
                                query.tables + " WHERE " + query.condition + " AND " +
                                PeriodCondition(query.dateColumn, firstDay, lastDay) +
                                " GROUP BY " + query.keys);
    std::vector<SheetGroup> rows;
    while (groups.Step())
        rows.push_back({ReadSheetKey(data, groups, 0), OptionalQuantity(groups, 3)});
    return rows;
}

// Writes the groups of a sheet into their cells.
void WriteGroups(IProgressPort& progress, Worksheet& sheet, const ReportSheet& data,
                 const std::vector<SheetGroup>& rows, Quantity version) {
    const long count = static_cast<long>(rows.size());
    if (count < 1)
        return;
    const long step = std::max(count / 200, 1L);
    progress.SetPos(0);
    // Two groups can meet in one cell (a flag stored as -1 and one stored as
    // 1 are both "yes"): the cell holds their sum, never only the last one.
    CellWeights weights;
    for (long i = 1; i <= count; ++i) {
        if ((i - 1) % step == 0) {
            progress.SetSecondaryStatus(Format("%li z %li", i, count));
            progress.SetPos(static_cast<int>(i * 200 / count));
        }
        const SheetGroup& group = rows[static_cast<size_t>(i - 1)];
        const std::optional<ReportCell> cell = CellOfKey(data, group.key, version);
        if (cell && group.kilograms)
            weights.Add(*cell, *group.kilograms);
    }
    for (const auto& [cell, kilograms] : weights.cells) {
        const char column = static_cast<char>('A' + cell.column);
        sheet.PutQuantity(Format("%c%i:%c%i", column, cell.row, column, cell.row),
                          KilogramsToTonnes(kilograms));
    }
}

} // namespace

QuarterDispatches::QuarterDispatches(CDataStore& store, OleDate firstDay, OleDate lastDay) {
    const SheetQuery dispatch = SheetQueryOf(ReportSheets[0]);
    const int statistics = SheetIndex({"", ReportSheet::Statistics, false, false, -1});
    const SheetQuery stats = SheetQueryOf(ReportSheets[static_cast<size_t>(statistics)]);
    // The dispatch sheets and the statistics sheet read the same lines
    // (Move, Move_Cover and Cover joined, the same weight): one statement
    // reads them once and tells where each belongs.
    Statement lines(store, "SELECT " + dispatch.keys + ", " + stats.keys + ", " + dispatch.weight +
                               " AS LineWeight, " + DispatchSheetCase() +
                               " AS DispatchSheet, CASE WHEN " + stats.condition +
                               " THEN 1 ELSE 0 END AS StatisticsSheet " + dispatch.tables +
                               " WHERE " + PeriodCondition(dispatch.dateColumn, firstDay, lastDay));
    std::array<GroupMap, std::tuple_size_v<decltype(ReportSheets)>> groups;
    while (lines.Step()) {
        const std::optional<Quantity> kilograms = OptionalQuantity(lines, 5);
        const int64_t sheet = lines.Int(6);
        if (sheet >= 0) {
            const SheetKey key = ReadSheetKey(ReportSheets[0], lines, 0);
            groups[static_cast<size_t>(sheet)][key.codes].Add(kilograms);
        }
        if (lines.Int(7) != 0) {
            const SheetKey key =
                ReadSheetKey(ReportSheets[static_cast<size_t>(statistics)], lines, 3);
            groups[static_cast<size_t>(statistics)][key.codes].Add(kilograms);
        }
    }
    for (size_t i = 0; i < groups.size(); ++i)
        m_groups[i] = ToGroups(groups[i]);
}

const std::vector<SheetGroup>& QuarterDispatches::Groups(const ReportSheet& sheet) const {
    static const std::vector<SheetGroup> None;
    const int index = SheetIndex(sheet);
    if (index < 0)
        return None;
    return m_groups[static_cast<size_t>(index)];
}

void FillReportSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                     const ReportSheet& data, OleDate firstDay, OleDate lastDay, Quantity version) {
    if (data.fill == ReportSheet::Discard)
        WriteGroups(progress, sheet, data, DiscardGroups(store, data, firstDay, lastDay), version);
    else
        WriteGroups(progress, sheet, data, QuarterDispatches(store, firstDay, lastDay).Groups(data),
                    version);
}

void FillReportSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                     const ReportSheet& data, const QuarterDispatches& quarter, OleDate firstDay,
                     OleDate lastDay, Quantity version) {
    if (data.fill == ReportSheet::Discard)
        WriteGroups(progress, sheet, data, DiscardGroups(store, data, firstDay, lastDay), version);
    else
        WriteGroups(progress, sheet, data, quarter.Groups(data), version);
}

void FillDispatchSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                       OleDate firstDay, OleDate lastDay, bool reusable, bool exportOnly,
                       int payment, Quantity version) {
    const ReportSheet data{"", ReportSheet::Dispatch, reusable, exportOnly, payment};
    FillReportSheet(store, progress, sheet, data, firstDay, lastDay, version);
}

void FillDiscardSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                      OleDate firstDay, OleDate lastDay, Quantity version) {
    FillReportSheet(store, progress, sheet, ReportSheets[8], firstDay, lastDay, version);
}

void FillStatisticsSheet(CDataStore& store, IProgressPort& progress, Worksheet& sheet,
                         OleDate firstDay, OleDate lastDay, Quantity version) {
    FillReportSheet(store, progress, sheet, ReportSheets[9], firstDay, lastDay, version);
}

} // namespace tarvo
