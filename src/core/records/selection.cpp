#include "core/records/selection.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"

namespace tarvo {

void SelectIds(CDataStore& store, const std::vector<RecordId>& ids) {
    store.ExecuteOrThrow("DELETE FROM TmpID");
    Statement insert(store, "INSERT INTO TmpID (id) VALUES (?)");
    for (const RecordId id : ids) {
        insert.BindInt(1, id);
        insert.Run();
    }
}

} // namespace tarvo
