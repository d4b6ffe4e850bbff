#pragma once

#include "core/data/recordid.h"
#include "core/data/statement.h"

#include <optional>
#include <string_view>
#include <utility>

namespace tarvo {

// The one row that sql (whose only parameter is the key) finds for id, made
// into a value by read; nothing when another program removed the row. Every
// "find by key" of the record layer reads this way, so a vanished record is
// told the same everywhere.
template <typename Read>
auto FindById(CDataStore& store, std::string_view sql, RecordId id, Read read)
    -> std::optional<decltype(read(std::declval<const Statement&>()))> {
    Statement st(store, sql);
    st.BindInt(1, id);
    if (!st.Step())
        return std::nullopt;
    return read(st);
}

} // namespace tarvo
