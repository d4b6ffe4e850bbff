#include "core/registers/compcoverrows.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"
#include "core/registers/listloading.h"

namespace tarvo {

std::unique_ptr<IRowSource> MakeCompCoverRows(CDataStore& store) {
    return std::make_unique<StatementRowSource>(
        store, std::vector<std::string>{"Název", "Poznámka"},
        "SELECT ccover_id, ccover_name, ccover_note FROM CompCover WHERE ccover_id IN ",
        [](const Statement& st) {
            return RowCells{st.Text(1), st.Text(2)};
        });
}

bool LoadCompCoverIds(CDataStore& store, const CompCoverFilter& filter, ListSort sort,
                      IdList& ids) {
    std::string sql = "SELECT ccover_id, ";
    sql += sort.column == 1 ? "ccover_note" : "ccover_name";
    // There is no deleted flag: every composite cover is listed.
    sql += " FROM CompCover WHERE 1";
    const SqlClause criterion = CompCoverCriterion(filter);
    sql += criterion.sql;
    return LoadListIds(store, sql, criterion, IdList::SortValue::CzechText, sort.descending, ids);
}

std::unique_ptr<IRowSource> MakeCoverItemRows(CDataStore& store) {
    return MakeCoverLineRows(store, "TmpCover_Item", "ti_id");
}

bool LoadCoverItemIds(CDataStore& store, IdList& ids) {
    // Items of a cover that is gone from Cover altogether are not listed, as
    // the join leaves them out.
    return LoadListIds(store,
                       "SELECT ti_id, cover_name FROM TmpCover_Item INNER JOIN Cover ON "
                       "TmpCover_Item.cover_id = Cover.cover_id ORDER BY ti_id",
                       SqlClause{}, IdList::SortValue::CzechText, false, ids);
}

} // namespace tarvo
