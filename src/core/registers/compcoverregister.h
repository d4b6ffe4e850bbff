#pragma once

#include "core/data/recordid.h"
#include "core/records/compcovers.h"
#include "core/records/coverline.h"
#include "core/registers/outcome.h"

#include <optional>
#include <vector>

namespace tarvo {

class CDataStore;

// The composite covers and the editor's scratch list of their items. Every
// operation is one unit of work and tells the user everything itself,
// through the store's message port, with the program's texts; its result
// only says what the caller's list should do next:
//  - a record that another program removed meanwhile: "Záznam byl odstraněn
//    jinou aplikací!" (information) and Outcome::Vanished;
//  - a database error: the COM error box and Outcome::Failed, with nothing
//    of the unit written.
//
// The editor works on the scratch table TmpCover_Item: BeginEditing copies
// the stored items there, the item operations change only that table, and
// Add or Update store the scratch items as the composite cover's items,
// together with its name and note. Leaving the editor without either leaves
// the stored items as they were.
class CompCoverRegister {
public:
    explicit CompCoverRegister(CDataStore& store);

    ReadResult<CompCoverRecord> Read(RecordId id);
    // Adds the composite cover with the scratch items; the new identifier, or
    // nothing after a database error.
    std::optional<RecordId> Add(const CompCoverRecord& compCover);
    // Writes name and note and replaces the stored items by the scratch items
    // as a whole (they get new keys).
    Outcome Update(RecordId id, const CompCoverRecord& compCover);
    // Asks "Opravdu si přejete odstranit vybrané obaly?" and on Yes removes the
    // composite covers with their items; packaging lines copied from them
    // stay. An empty selection gets "Není vybrán obal!" and Unchanged, as
    // does the answer No.
    Outcome DeleteSelection(const std::vector<RecordId>& ids);

    // Empties the scratch table and copies the stored items of id into it
    // (none for NoRecord). False after a database error (shown).
    bool BeginEditing(RecordId id);
    // The scratch identifier of the new item, or nothing after an error.
    std::optional<RecordId> AddItem(const CoverLine& item);
    ReadResult<CoverLine> ReadItem(RecordId itemId);
    // Writes the quantities, the band kind, the codes and, for an item with a
    // band, its limits.
    Outcome UpdateItem(RecordId itemId, const CoverLine& item);
    // Removes the scratch item, without a question.
    Outcome DeleteItem(RecordId itemId);

private:
    CDataStore& m_store;
};

} // namespace tarvo
