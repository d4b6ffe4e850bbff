#include "core/data/comerror.h"

#include "core/data/shared.h"

namespace tarvo {

ComError SqliteError(int resultCode, const std::string& message) {
    return ComError(ComError::Fail, Format("%s (SQLite %d)", message.c_str(), resultCode));
}

} // namespace tarvo
