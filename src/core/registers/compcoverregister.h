#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/registers/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class IMessagePort;

// A composite cover: a named set of cover items that a packaging definition
// can copy in one step.
struct CompCoverRecord {
    RecordId id = NoRecord;
    std::string name{};
    std::string note{};
};

// One item of a composite cover: which cover, how many of it per how many
// products, for which dispatched quantities, with which type, origin and
// payment. The band limits mean nothing while useAlways is set.
struct CoverItem {
    RecordId coverId = NoRecord;
    Quantity qtyCover;
    Quantity qtyProd;
    bool useAlways = true;
    Quantity useFrom;
    Quantity useTo;
    int type = -1;
    int origin = -1;
    int payment = -1;

    bool operator==(const CoverItem&) const = default;
};

// The criteria of the composite covers list: name and note, each matched
// whole or as a part of the text, letters compared without regard to case.
struct CompCoverFilter {
    bool useName = false;
    std::string name{};
    bool namePart = false;
    bool useNote = false;
    std::string note{};
    bool notePart = false;

    bool IsActive() const { return useName || useNote; }
};

// A WHERE condition with its texts bound as parameters, in order: what a
// typed filter text contains can never change the statement.
struct BoundCondition {
    std::string sql; // empty: every row
    std::vector<std::string> texts;
};
BoundCondition FilterCondition(const CompCoverFilter& filter);

// The composite covers and the editor's scratch list of items. Every write is
// one unit of work; what goes wrong is told through the message port with
// the program's texts, and the outcome says what the list should do.
//
// The editor works on the scratch table TmpCover_Item: BeginEditing copies
// the stored items there, the scratch operations change only that table, and
// Add or Update write the scratch items back as the composite cover's items,
// together with its name and note.
class CompCoverRegister {
public:
    CompCoverRegister(CDataStore& store, IMessagePort& messages);

    // The composite cover, or nothing when it vanished ("Záznam byl odstraněn
    // jinou aplikací!" was shown) or could not be read (the error was shown).
    std::optional<CompCoverRecord> Read(RecordId id);

    // Adds the composite cover with the scratch items; record.id gets the new
    // identifier.
    Outcome Add(CompCoverRecord& record);
    // Writes name and note and replaces the stored items by the scratch items
    // as a whole. Vanished when the composite cover is gone.
    Outcome Update(const CompCoverRecord& record);
    // Asks "Opravdu si přejete odstranit vybrané obaly" and deletes the
    // composite covers with their items. With nothing selected it says
    // "Není vybrán obal !" and returns Unchanged.
    Outcome Delete(const std::vector<RecordId>& ids);

    // Empties the scratch table and fills it with the stored items of id
    // (none for NoRecord). False when the database failed (shown).
    bool BeginEditing(RecordId id);
    // The scratch identifier of the new item, NoRecord on a failure (shown).
    RecordId AddItem(const CoverItem& item);
    // The scratch item; nothing when it vanished (shown) or failed (shown).
    std::optional<CoverItem> ReadItem(RecordId itemId);
    Outcome UpdateItem(RecordId itemId, const CoverItem& item);
    // Removes the scratch item without a question, as the editor does.
    Outcome DeleteItem(RecordId itemId);

private:
    void CopyScratchItemsTo(RecordId compCoverId);

    CDataStore& m_store;
    IMessagePort& m_messages;
};

} // namespace tarvo
