#include "core/registers/listloading.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/value.h"

namespace tarvo {

std::string CodeLabel(const CodeList& list, int64_t code) {
    return list.Label(static_cast<int>(code));
}

std::string QuantityCell(const CStatement& st, int column) {
    return VariantToText(Value(st.GetQuantity(column)));
}

SqlClause OneValue(RecordId id) {
    SqlClause clause;
    clause.values.push_back(Value(id));
    return clause;
}

bool LoadListIds(CDataStore& store, const std::string& sql, const SqlClause& parameters,
                 std::optional<IdList::SortValue> kind, bool descending, IdList& ids) {
    try {
        CStatement st(store, sql);
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

} // namespace tarvo
