#pragma once

#include "core/data/recordid.h"
#include "core/records/coverline.h"
#include "core/records/preparedinsert.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {

class CDataStore;

// A composite cover: a named set of cover items (cover lines of the table
// CompCover_Item) that a packaging definition can copy in one step.
struct CompCoverRecord {
    std::string name{};
    std::string note{};

    bool operator==(const CompCoverRecord&) const = default;
};

// Every write below throws ComError and opens no unit of its own: the caller
// holds the Transaction. The items are written through the cover line
// functions with CoverLineTable::CompCoverItems.

// Adds composite covers (without items) with the INSERT prepared once.
class CompCoverWriter {
public:
    explicit CompCoverWriter(CDataStore& store);
    RecordId Insert(const CompCoverRecord& compCover);

private:
    PreparedInsert m_insert;
};

std::optional<CompCoverRecord> FindCompCover(CDataStore& store, RecordId id);
// Every composite cover with its identifier, without items.
std::vector<std::pair<RecordId, CompCoverRecord>> AllCompCovers(CDataStore& store);
// Name and note; the items stay.
void UpdateCompCover(CDataStore& store, RecordId id, const CompCoverRecord& compCover);
// The composite covers with their items; packaging lines copied from them
// stay.
void DeleteCompCovers(CDataStore& store, const std::vector<RecordId>& ids);

} // namespace tarvo
