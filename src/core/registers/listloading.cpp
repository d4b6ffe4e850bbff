#include "core/registers/listloading.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/comerror.h"
#include "core/data/rowsource.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"
#include "core/records/coverline.h"

namespace tarvo {

std::string CodeLabel(const CodeList& list, int64_t code) {
    return list.Label(static_cast<int>(code));
}

std::string QuantityCell(const Statement& st, int column) {
    return VariantToText(Value(st.GetQuantity(column)));
}

std::string WeightCell(const Statement& st, int column) {
    return QuantityToText(st.GetQuantity(column));
}

SqlClause OneValue(RecordId id) {
    SqlClause clause;
    clause.values.push_back(Value(id));
    return clause;
}

bool LoadListIds(CDataStore& store, const std::string& sql, const SqlClause& parameters,
                 std::optional<IdList::SortValue> kind, bool descending, IdList& ids) {
    try {
        Statement st(store, sql);
        parameters.Bind(st);
        if (kind)
            ids.LoadSorted(st, *kind, descending);
        else
            ids.Load(st);
        return true;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        return false;
    }
}

std::unique_ptr<IRowSource> MakeCoverLineRows(CDataStore& store, const std::string& table,
                                              const std::string& idColumn) {
    const char* t = table.c_str();
    return std::make_unique<StatementRowSource>(
        store,
        std::vector<std::string>{"Název", "Množství [ks]", "Hmotnost [kg]", "Počet výr.",
                                 "Použít od", "Použít do", "Typ", "Původ", "Platba"},
        Format("SELECT %s, cover_name, cp_qtycover*cover_weight AS totWeight, cp_qtyprod, "
               "cp_usealways, cp_usefrom, cp_useto, %s.cover_type, %s.cover_org, %s.cover_pay, "
               "cp_qtycover FROM %s INNER JOIN Cover ON %s.cover_id = Cover.cover_id WHERE %s IN ",
               idColumn.c_str(), t, t, t, t, t, idColumn.c_str()),
        [](const Statement& st) {
            const bool always = st.Int(4) != 0;
            return RowCells{st.Text(1),
                            QuantityCell(st, 10),
                            WeightCell(st, 2),
                            QuantityCell(st, 3),
                            always ? "-" : QuantityCell(st, 5),
                            always                             ? "-"
                            : IsOpenBandEnd(st.GetQuantity(6)) ? std::string()
                                                               : QuantityCell(st, 6),
                            CodeLabel(CoverTypes, st.Int(7)),
                            CodeLabel(Origins, st.Int(8)),
                            CodeLabel(Payments, st.Int(9))};
        });
}

} // namespace tarvo
