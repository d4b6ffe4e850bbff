#pragma once

#include "core/data/recordid.h"
#include "core/data/value.h"
#include "core/registers/outcome.h"

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarvo {

class CDataStore;

// One find or replace over a column of a register's main table. The table and
// column names come from the program (a view's searchable columns), never
// from what the user typed; the values are always bound.
struct FindReplaceSpec {
    std::string table;
    std::string idColumn;
    std::string column;
    // A code (integer), a yes/no flag (bool) or a text.
    Value find;
    Value replacement;
    // Texts only: the find text may stand anywhere in the value; otherwise
    // the whole value must equal it. Texts match as typed (no wildcards) and
    // without regard to letter case, Czech letters included.
    bool partMatch = false;
};

// The records of the table that meet the find criterion. A database error
// is shown through the store's message port and gives nothing.
std::optional<std::unordered_set<RecordId>> FindMatching(CDataStore& store,
                                                         const FindReplaceSpec& spec);

// Writes the replacement into the records, as one unit of work: all of them
// change or, after an error (shown through the message port), none. With a
// part match every occurrence of the find text inside the value is replaced,
// with its letter case as typed; otherwise the column gets the replacement.
Outcome ReplaceInRecords(CDataStore& store, const FindReplaceSpec& spec,
                         const std::vector<RecordId>& ids);

// The part-match replacement of one value: every occurrence of find, matched
// with its letter case, becomes replacement.
std::string ReplaceOccurrences(std::string text, const std::string& find,
                               const std::string& replacement);

} // namespace tarvo
