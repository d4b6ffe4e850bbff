#include "core/registers/recordaccess.h"

namespace tarvo {

bool RecordGone(CDataStore& store, bool exists) {
    if (exists)
        return false;
    ShowRecordGone(store.Messages());
    return true;
}

} // namespace tarvo
