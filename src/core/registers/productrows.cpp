#include "core/registers/productrows.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"
#include "core/registers/listloading.h"
#include "core/registers/productregister.h"

namespace tarvo {

std::unique_ptr<IRowSource> MakeProductRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"ID", "Název", "Kat. č.", "Jednotka"},
        "SELECT prod_id, prod_source, prod_scrid, prod_name, prod_katalog, prod_unit, deleted "
        "FROM Product WHERE prod_id IN ",
        [](const Statement& st) {
            const bool imported = !st.IsNull(1) && st.Int(1) > 0 && !st.IsNull(2);
            // A number as a number, an abbreviation of the XML export as text.
            return RowCells{imported ? st.Text(2) : std::string(),
                            st.Text(3) + (st.Int(6) != 0 ? DeletedMark : ""), st.Text(4),
                            st.Text(5)};
        });
}

bool LoadProductIds(CDataStore& store, const ProdFilter& filter, ListSort sort, IdList& ids) {
    const struct {
        const char* column;
        IdList::SortValue kind;
    } orders[] = {{"prod_scrid", IdList::SortValue::Number},
                  {"prod_name", IdList::SortValue::CzechText},
                  {"prod_katalog", IdList::SortValue::CzechText},
                  {"prod_unit", IdList::SortValue::CzechText}};
    const auto& order = orders[sort.column >= 0 && sort.column < 4 ? sort.column : 1];
    // "+deleted" keeps SQLite from walking the index of the flag, which
    // nearly every row passes: a plain scan of the table is faster.
    std::string sql = "SELECT prod_id, ";
    sql += order.column;
    sql += filter.withDeleted ? " FROM Product WHERE 1" : " FROM Product WHERE (+deleted = 0)";
    const SqlClause criterion = ProdCriterion(filter);
    sql += criterion.sql;
    return LoadListIds(store, sql, criterion, order.kind, sort.descending, ids);
}

std::unique_ptr<IRowSource> MakeDefinitionRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Platné od"},
        "SELECT dt_id, dt_from FROM Prod_CoverDT WHERE dt_id IN ",
        [](const Statement& st) { return RowCells{DefinitionDateText(st.Date(1))}; });
}

bool LoadDefinitionIds(CDataStore& store, RecordId prodId, IdList& ids) {
    return LoadListIds(store,
                       "SELECT dt_id FROM Prod_CoverDT WHERE (prod_id = ?) ORDER BY dt_from, dt_id",
                       OneValue(prodId), std::nullopt, false, ids);
}

std::unique_ptr<IRowSource> MakePackagingLineRows(CDataStore& store) {
    return MakeCoverLineRows(store, "Prod_Cover", "cp_id");
}

bool LoadPackagingLineIds(CDataStore& store, RecordId dtId, ListSort sort, IdList& ids) {
    const struct {
        const char* term;
        IdList::SortValue kind;
    } orders[] = {{"cover_name", IdList::SortValue::CzechText},
                  {"cp_qtycover", IdList::SortValue::Number},
                  {"cp_qtycover*cover_weight", IdList::SortValue::Number},
                  {"cp_qtyprod", IdList::SortValue::Number},
                  {"cp_usefrom", IdList::SortValue::Number},
                  {"cp_useto", IdList::SortValue::Number},
                  {"Prod_Cover.cover_type", IdList::SortValue::Number},
                  {"Prod_Cover.cover_org", IdList::SortValue::Number},
                  {"Prod_Cover.cover_pay", IdList::SortValue::Number}};
    const auto& order = orders[sort.column >= 0 && sort.column < 9 ? sort.column : 0];
    // The lines in the order they were entered, then sorted here: rows with
    // equal values keep that order.
    std::string sql = "SELECT cp_id, ";
    sql += order.term;
    sql += " FROM Prod_Cover INNER JOIN Cover ON Prod_Cover.cover_id = Cover.cover_id WHERE "
           "(dt_id = ?) ORDER BY cp_id";
    return LoadListIds(store, sql, OneValue(dtId), order.kind, sort.descending, ids);
}

} // namespace tarvo
