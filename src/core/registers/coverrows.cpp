#include "core/registers/coverrows.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"
#include "core/registers/classification.h"
#include "core/registers/listloading.h"

namespace tarvo {

namespace {

// "Výkaz 2021" from the columns material, shape, littering, whether a
// plastic share is set and whether a composition is, starting at first: the
// rules judge completeness from what the fields hold, not the shares' values.
std::string NewFormCell(const Statement& st, int first) {
    if (st.IsNull(first))
        return "neúplné";
    CoverClassification c;
    c.material = static_cast<int>(st.Int(first));
    c.shape = st.IsNull(first + 1) ? -1 : static_cast<int>(st.Int(first + 1));
    c.littering = st.IsNull(first + 2) ? 0 : static_cast<int>(st.Int(first + 2));
    if (st.Int(first + 3) != 0)
        c.plastic = Quantity::FromUnits(0);
    if (st.Int(first + 4) != 0)
        c.composition.push_back({});
    return IsCompleteForNewForm(c) ? Materials2021.Label(c.material) : "neúplné";
}

} // namespace

std::unique_ptr<IRowSource> MakeCoverRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store,
        std::vector<std::string>{"Název", "Materiál", "Hmotnost [kg]", "Typ", "Původ", "Platba",
                                 "Opakovaně používaný", "Výkaz 2021"},
        "SELECT Cover.cover_id, cover_name, cover_mat, cover_weight, cover_type, cover_org, "
        "cover_pay, cover_reusable, cls_mat, cls_shape, cls_litter, cls_plastic IS NOT NULL, "
        "EXISTS (SELECT 1 FROM Cover_Part p WHERE p.cover_id = Cover.cover_id), deleted "
        "FROM Cover LEFT JOIN Cover_Class ON Cover_Class.cover_id = Cover.cover_id "
        "WHERE Cover.cover_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1) + (st.Int(13) != 0 ? DeletedMark : ""),
                            CodeLabel(Materials, st.Int(2)),
                            WeightCell(st, 3),
                            CodeLabel(CoverTypes, st.Int(4)),
                            CodeLabel(Origins, st.Int(5)),
                            CodeLabel(Payments, st.Int(6)),
                            st.Int(7) != 0 ? "ano" : "ne",
                            NewFormCell(st, 8)};
        });
}

bool LoadCoverIds(CDataStore& store, const CoverFilter& filter, ListSort sort, IdList& ids) {
    static const char* const sortColumns[] = {
        "cover_name",
        "cover_mat",
        "cover_weight",
        "cover_type",
        "cover_org",
        "cover_pay",
        "cover_reusable",
        "IFNULL((SELECT cls_mat FROM Cover_Class k WHERE k.cover_id = Cover.cover_id), -1)"};
    const int column = sort.column >= 0 && sort.column < 8 ? sort.column : 0;
    // Only the identifiers and the sort column are read; the rows are put in
    // order by IdList (names in the Czech order). "+deleted" keeps SQLite
    // from walking the index of the flag, which nearly every row passes: a
    // plain scan of the table is twice as fast.
    std::string sql = "SELECT cover_id, ";
    sql += sortColumns[column];
    sql += filter.withDeleted ? " FROM Cover WHERE 1" : " FROM Cover WHERE (+deleted = 0)";
    const SqlClause criterion = CoverCriterion(filter);
    sql += criterion.sql;
    return LoadListIds(store, sql, criterion,
                       column == 0 ? IdList::SortValue::CzechText : IdList::SortValue::Number,
                       sort.descending, ids);
}

std::unique_ptr<IRowSource> MakeDiscardRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Datum", "Typ", "Hmotnost [kg]"},
        "SELECT disc_id, disc_date, disc_type, disc_qty*cover_weight AS totWeight "
        "FROM CoverDiscard INNER JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id "
        "WHERE disc_id IN ",
        [](const Statement& st) {
            return RowCells{st.Date(1).ToText(), CodeLabel(DiscardKinds, st.Int(2)),
                            WeightCell(st, 3)};
        });
}

bool LoadDiscardIds(CDataStore& store, RecordId cover, ListSort sort, IdList& ids) {
    const struct {
        const char* term;
        IdList::SortValue kind;
    } orders[] = {{"disc_date", IdList::SortValue::Date},
                  {"disc_type", IdList::SortValue::Number},
                  {"disc_qty*cover_weight", IdList::SortValue::Number}};
    const auto& order = orders[sort.column == 1 || sort.column == 2 ? sort.column : 0];
    std::string sql = "SELECT disc_id, ";
    sql += order.term;
    sql += " FROM CoverDiscard INNER JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id";
    sql += " WHERE (CoverDiscard.cover_id = ?)";
    SqlClause values;
    values.values.push_back(Value(cover));
    return LoadListIds(store, sql, values, order.kind, sort.descending, ids);
}

} // namespace tarvo
