#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/registers/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;

// A composite cover: a named set of cover items that a packaging definition
// can copy in one step.
struct CompCoverRecord {
    std::string name{};
    std::string note{};

    bool operator==(const CompCoverRecord&) const = default;
};

// One item of a composite cover: which cover, how many of it per how many
// products, for which dispatched quantities, with which type, origin and
// payment. The band limits mean nothing while useAlways is set.
struct CoverItem {
    RecordId cover = NoRecord;
    Quantity qtyCover = Quantity::FromUnits(1);
    Quantity qtyProd = Quantity::FromUnits(1);
    bool useAlways = true;
    Quantity useFrom{};
    Quantity useTo{};
    int type = -1;
    int origin = -1;
    int payment = -1;

    bool operator==(const CoverItem&) const = default;
};

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
    // Asks "Opravdu si přejete odstranit vybrané obaly" and on Yes removes the
    // composite covers with their items; packaging lines copied from them
    // stay. An empty selection gets "Není vybrán obal !" and Unchanged, as
    // does the answer No.
    Outcome DeleteSelection(const std::vector<RecordId>& ids);

    // Empties the scratch table and copies the stored items of id into it
    // (none for NoRecord). False after a database error (shown).
    bool BeginEditing(RecordId id);
    // The scratch identifier of the new item, or nothing after an error.
    std::optional<RecordId> AddItem(const CoverItem& item);
    ReadResult<CoverItem> ReadItem(RecordId itemId);
    // Writes the quantities, the band kind, the codes and, for an item with a
    // band, its limits.
    Outcome UpdateItem(RecordId itemId, const CoverItem& item);
    // Removes the scratch item, without a question.
    Outcome DeleteItem(RecordId itemId);

private:
    void CopyScratchItemsTo(RecordId compCover);

    CDataStore& m_store;
};

} // namespace tarvo
