#pragma once

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/recordid.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/registers/outcome.h"

#include <optional>
#include <string_view>

namespace tarvo {

// How the registers read one record for a person: a record that is gone is
// told ("Záznam byl odstraněn jinou aplikací!") and Vanished; a database
// error is told and Failed.

// With find, a record-layer read giving the record or nothing when it is
// gone.
template <typename Record, typename Find>
ReadResult<Record> ReadFound(CDataStore& store, Find find) {
    ReadResult<Record> result;
    try {
        const std::optional<Record> found = find();
        if (!found) {
            ShowRecordGone(store.Messages());
            result.outcome = Outcome::Vanished;
            return result;
        }
        result.record = *found;
        result.outcome = Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        result.outcome = Outcome::Failed;
    }
    return result;
}

// With a query of the record's identifier (the one parameter): fill makes the
// record from the statement's first row.
template <typename Record, typename Fill>
ReadResult<Record> ReadOne(CDataStore& store, std::string_view sql, RecordId id, Fill fill) {
    return ReadFound<Record>(store, [&]() -> std::optional<Record> {
        Statement st(store, sql);
        st.BindInt(1, id);
        if (!st.Step())
            return std::nullopt;
        return fill(st);
    });
}

// Whether the record an operation is to change is gone, which the user is
// then told ("Záznam byl odstraněn jinou aplikací!"): exists is what the
// record layer found.
bool RecordGone(CDataStore& store, bool exists);

} // namespace tarvo
