#pragma once

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/recordid.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/registers/outcome.h"

#include <string_view>

namespace tarvo {

// The statements the registers run on one record, its identifier bound as
// the one parameter.

void RunWithId(CDataStore& store, std::string_view sql, RecordId id);
// Whether the statement finds no row: the record is gone, which the user is
// told ("Záznam byl odstraněn jinou aplikací!").
bool RecordGone(CDataStore& store, std::string_view sql, RecordId id);

// Reads one record: fill makes it from the statement's first row. A record
// that is gone is told ("Záznam byl odstraněn jinou aplikací!") and Vanished;
// a database error is told and Failed.
template <typename Record, typename Fill>
ReadResult<Record> ReadOne(CDataStore& store, std::string_view sql, RecordId id, Fill fill) {
    ReadResult<Record> result;
    try {
        CStatement st(store, sql);
        st.BindInt(1, id);
        if (!st.Step()) {
            ShowRecordGone(store.Messages());
            result.outcome = Outcome::Vanished;
            return result;
        }
        result.record = fill(st);
        result.outcome = Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        result.outcome = Outcome::Failed;
    }
    return result;
}

} // namespace tarvo
