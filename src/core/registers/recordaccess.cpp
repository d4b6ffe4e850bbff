#include "core/registers/recordaccess.h"

#include "core/data/cdatastore.h"

namespace tarvo {

void RunWithId(CDataStore& store, std::string_view sql, RecordId id) {
    CStatement st(store, sql);
    st.BindInt(1, id);
    st.Run();
}

bool RecordGone(CDataStore& store, std::string_view sql, RecordId id) {
    CStatement st(store, sql);
    st.BindInt(1, id);
    if (st.Step())
        return false;
    ShowRecordGone(store.Messages());
    return true;
}

} // namespace tarvo
