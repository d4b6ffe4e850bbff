#include "core/report/reportfills.h"

#include "core/data/cdatastore.h"
#include "core/data/recordset.h"
#include "core/data/shared.h"
#include "core/ports/progressport.h"
#include "core/report/workbook.h"

#include <algorithm>
#include <array>
#include <functional>

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
    {4, 29, 29, SalesOnly},                       // kovy nad 5l- hliník AL
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

// Walks the grouped rows of one query and writes every mapped weight.
void WriteGroups(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                 const std::string& sql,
                 const std::function<std::optional<ReportCell>(const CRecordset&)>& cellOf) {
    CRecordset rs;
    store.OpenRecordsetOrThrow(rs, sql);
    const long count = rs.RecordCount();
    if (count < 1)
        return;
    const long step = std::max(count / 200, 1L);
    progress.SetPos(0);
    rs.MoveFirst();
    for (long i = 1; !rs.IsEOF(); ++i, rs.MoveNext()) {
        if ((i - 1) % step == 0) {
            progress.SetSecondaryStatus(Format("%li z %li", i, count));
            progress.SetPos(static_cast<int>(i * 200 / count));
        }
        const std::optional<ReportCell> cell = cellOf(rs);
        if (!cell)
            continue;
        const Value& weight = rs.Field("SumWeight");
        if (weight.IsEmpty())
            continue;
        // Kilograms to tonnes, truncated to the four decimals of the type.
        const Quantity tonnes = Quantity::FromScaled(weight.ToQuantity().Scaled() / 1000);
        const char column = static_cast<char>('A' + cell->column);
        sheet.PutQuantity(Format("%c%i:%c%i", column, cell->row, column, cell->row), tonnes);
    }
}

// The quarter condition on a date column. The two DATEDIFF conditions count
// both end days whole; the range beside them says the same for every date of
// this century and lets the database find the rows through the date index
// instead of computing DATEDIFF for every record.
std::string PeriodCondition(const char* column, OleDate firstDay, OleDate lastDay) {
    const OleDate first = firstDay.DayOnly();
    const OleDate last = lastDay.DayOnly();
    return Format("DATEDIFF(\"d\", %s, %s)>=0 AND DATEDIFF(\"d\", %s, %s)>=0 AND %s>=%s AND "
                  "%s<%s",
                  first.SqlLiteral().c_str(), column, column, last.SqlLiteral().c_str(), column,
                  first.SqlLiteral().c_str(), column, last.AddDays(1).SqlLiteral().c_str());
}

// A code of a group. Lines whose code is missing (NULL) form a group of their
// own; it is no code at all, not the code 0, so it has no cell and must never
// land on (or overwrite) the cell of the real code 0.
std::optional<int> Code(const CRecordset& rs, std::string_view field) {
    const Value& value = rs.Field(field);
    if (value.IsEmpty())
        return std::nullopt;
    return static_cast<int>(value.ToLong());
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

namespace {

// The column offset inside a material's block of three, by code; -1 for a
// code outside its list.
int BlockOffset(const int (&offsets)[3], int code) {
    return code >= 0 && code < 3 ? offsets[code] : -1;
}

} // namespace

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

void FillDispatchSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                       OleDate firstDay, OleDate lastDay, bool reusable, bool exportOnly,
                       int payment, Quantity version) {
    std::string sql = "SELECT Cover.cover_mat, Move_Cover.cover_type, Move_Cover.cover_org, "
                      "Sum(Move_Cover.mvcover_qty*Cover.cover_weight) AS SumWeight FROM (Move "
                      "INNER JOIN Move_Cover ON Move.move_id = Move_Cover.move_id) INNER JOIN "
                      "Cover ON Move_Cover.cover_id = Cover.cover_id WHERE " +
                      PeriodCondition("move_date", firstDay, lastDay);
    sql += reusable ? " AND (Cover.cover_reusable=True)" : " AND (Cover.cover_reusable=False)";
    if (exportOnly)
        sql += " AND (Move.move_export=True)";
    else
        sql += Format(" AND (Move.move_export=False) AND (Move_Cover.cover_pay=%li)",
                      static_cast<long>(payment));
    sql += " GROUP BY Cover.cover_mat, Move_Cover.cover_type, Move_Cover.cover_org";
    WriteGroups(store, progress, sheet, sql,
                [&](const CRecordset& rs) -> std::optional<ReportCell> {
                    const auto material = Code(rs, "cover_mat");
                    const auto type = Code(rs, "cover_type");
                    const auto origin = Code(rs, "cover_org");
                    if (!material || !type || !origin)
                        return std::nullopt;
                    return DispatchCell(*material, *type, *origin, reusable, version);
                });
}

void FillDiscardSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                      OleDate firstDay, OleDate lastDay, Quantity version) {
    const std::string sql =
        "SELECT Cover.cover_mat, Cover.cover_type, CoverDiscard.disc_type, "
        "Sum(CoverDiscard.disc_qty*Cover.cover_weight) AS SumWeight FROM CoverDiscard INNER "
        "JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id WHERE (Cover.cover_reusable=TRUE) "
        "AND " +
        PeriodCondition("disc_date", firstDay, lastDay) +
        " GROUP BY Cover.cover_mat, Cover.cover_type, CoverDiscard.disc_type";
    WriteGroups(store, progress, sheet, sql,
                [&](const CRecordset& rs) -> std::optional<ReportCell> {
                    const auto material = Code(rs, "cover_mat");
                    const auto type = Code(rs, "cover_type");
                    const auto kind = Code(rs, "disc_type");
                    if (!material || !type || !kind)
                        return std::nullopt;
                    return DiscardCell(*material, *type, *kind, version);
                });
}

void FillStatisticsSheet(CDataStore& store, IProgressPort& progress, CWorksheet& sheet,
                         OleDate firstDay, OleDate lastDay, Quantity version) {
    const std::string sql =
        Format("SELECT Cover.cover_stat, Cover.cover_reusable, "
               "Sum(Move_Cover.mvcover_qty*Cover.cover_weight) AS SumWeight FROM (Move INNER "
               "JOIN Move_Cover ON Move.move_id = Move_Cover.move_id) INNER JOIN Cover ON "
               "Move_Cover.cover_id = Cover.cover_id WHERE (cover_stat<>%li) AND ",
               0L) +
        PeriodCondition("move_date", firstDay, lastDay) +
        " GROUP BY Cover.cover_stat, Cover.cover_reusable";
    WriteGroups(store, progress, sheet, sql,
                [&](const CRecordset& rs) -> std::optional<ReportCell> {
                    const auto category = Code(rs, "cover_stat");
                    if (!category)
                        return std::nullopt;
                    return StatisticsCell(*category, rs.GetBool("cover_reusable"), version);
                });
}

} // namespace tarvo
