#include "core/registers/moverows.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"
#include "core/registers/listloading.h"

namespace tarvo {

namespace {

struct SortTerm {
    const char* term;
    IdList::SortValue kind;
};

// The cover lines of one product line or of one dispatch: only the lines of
// that one record are read, through the index on the column.
bool LoadCoverIds(CDataStore& store, const char* ownerColumn, RecordId owner, ListSort sort,
                  IdList& ids) {
    static const SortTerm terms[] = {{"cover_name", IdList::SortValue::CzechText},
                                     {"mvcover_qty", IdList::SortValue::Number},
                                     {"mvcover_qty*cover_weight", IdList::SortValue::Number},
                                     {"cover_mat", IdList::SortValue::Number},
                                     {"Move_Cover.cover_type", IdList::SortValue::Number},
                                     {"Move_Cover.cover_org", IdList::SortValue::Number},
                                     {"Move_Cover.cover_pay", IdList::SortValue::Number},
                                     {"prod_name", IdList::SortValue::CzechText}};
    const SortTerm& order = terms[sort.column >= 1 && sort.column <= 7 ? sort.column : 0];
    const std::string sql =
        Format("SELECT mvcover_id, %s FROM (Move_Cover INNER JOIN Cover ON Move_Cover.cover_id = "
               "Cover.cover_id) LEFT JOIN (Move_Prod INNER JOIN Product ON Move_Prod.prod_id = "
               "Product.prod_id) ON Move_Cover.mvprod_id = Move_Prod.mvprod_id WHERE "
               "(Move_Cover.%s = ?)",
               order.term, ownerColumn);
    return LoadListIds(store, sql, OneValue(owner), order.kind, sort.descending, ids);
}

} // namespace

std::unique_ptr<IRowSource> MakeMoveRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Číslo", "Datum", "Export", "Typ"},
        "SELECT move_id, move_num, move_date, move_export, move_type FROM Move WHERE move_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1), st.Date(2).ToText(), st.Int(3) != 0 ? "ano" : "ne",
                            CodeLabel(MoveTypes, st.Int(4))};
        });
}

bool LoadMoveIds(CDataStore& store, const MoveFilter& filter, ListSort sort, IdList& ids) {
    const SortTerm order = sort.column == 1   ? SortTerm{"move_date", IdList::SortValue::Date}
                           : sort.column == 3 ? SortTerm{"move_type", IdList::SortValue::Number}
                                              : SortTerm{"move_num", IdList::SortValue::CzechText};
    std::string sql = Format("SELECT move_id, %s FROM Move", order.term);
    const SqlClause criterion = MoveCriterion(filter);
    // The criterion's conditions each begin " AND"; the first one opens the
    // WHERE clause instead.
    if (!criterion.IsEmpty())
        sql += " WHERE" + criterion.sql.substr(4);
    return LoadListIds(store, sql, criterion, order.kind, sort.descending, ids);
}

std::unique_ptr<IRowSource> MakeMoveLineRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Název", "Kat. č.", "Množství"},
        "SELECT mvprod_id, prod_name, prod_katalog, mvprod_qty FROM Move_Prod INNER JOIN Product "
        "ON Move_Prod.prod_id = Product.prod_id WHERE mvprod_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1), st.Text(2), QuantityCell(st, 3)};
        });
}

bool LoadMoveLineIds(CDataStore& store, RecordId move, ListSort sort, IdList& ids) {
    static const SortTerm terms[] = {{"prod_name", IdList::SortValue::CzechText},
                                     {"prod_katalog", IdList::SortValue::CzechText},
                                     {"Move_Prod.mvprod_qty", IdList::SortValue::Number}};
    const SortTerm& order = terms[sort.column == 1 || sort.column == 2 ? sort.column : 0];
    const std::string sql = Format("SELECT mvprod_id, %s FROM Move_Prod INNER JOIN Product ON "
                                   "Move_Prod.prod_id = Product.prod_id WHERE (move_id = ?)",
                                   order.term);
    return LoadListIds(store, sql, OneValue(move), order.kind, sort.descending, ids);
}

std::unique_ptr<IRowSource> MakeMoveCoverRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store,
        std::vector<std::string>{"Název", "Množství [ks]", "Hmotnost [kg]", "Materiál", "Typ",
                                 "Původ", "Platba", "Produkt"},
        "SELECT mvcover_id, cover_name, mvcover_qty*cover_weight AS totWeight, cover_mat, "
        "Move_Cover.cover_type, Move_Cover.cover_org, Move_Cover.cover_pay, mvcover_qty, "
        "prod_name FROM (Move_Cover INNER JOIN Cover ON Move_Cover.cover_id = Cover.cover_id) "
        "LEFT JOIN (Move_Prod INNER JOIN Product ON Move_Prod.prod_id = Product.prod_id) ON "
        "Move_Cover.mvprod_id = Move_Prod.mvprod_id WHERE mvcover_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1),
                            QuantityCell(st, 7),
                            WeightCell(st, 2),
                            CodeLabel(Materials, st.Int(3)),
                            CodeLabel(CoverTypes, st.Int(4)),
                            CodeLabel(Origins, st.Int(5)),
                            CodeLabel(Payments, st.Int(6)),
                            st.Text(8)};
        });
}

bool LoadLineCoverIds(CDataStore& store, RecordId line, ListSort sort, IdList& ids) {
    return LoadCoverIds(store, "mvprod_id", line, sort, ids);
}

bool LoadDispatchCoverIds(CDataStore& store, RecordId move, ListSort sort, IdList& ids) {
    return LoadCoverIds(store, "move_id", move, sort, ids);
}

} // namespace tarvo
