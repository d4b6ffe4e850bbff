#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/preparedinsert.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;

// One row of Cover as a person edits it. A new record starts with the values
// of an empty cover dialog: no name, weight 0, no code chosen (-1).
struct CoverRecord {
    std::string name{};
    Quantity weight = Quantity::FromUnits(0);
    bool reusable = false;
    int type = -1;
    int material = -1;
    int origin = -1;
    int payment = -1;
    int stat = -1;
    std::string note{};

    bool operator==(const CoverRecord&) const = default;
};

// One row of CoverDiscard. The date is stored as a whole day.
struct DiscardRecord {
    RecordId cover = NoRecord;
    OleDate date{};
    int kind = 2; // "Recyklováno"
    Quantity quantity = Quantity::FromUnits(0);

    bool operator==(const DiscardRecord&) const = default;
};

// The codes a cover's lines copy from it: type, origin and payment.
struct CoverCodes {
    int type = -1;
    int origin = -1;
    int payment = -1;

    bool operator==(const CoverCodes&) const = default;
};

// Which copies of a cover's codes follow a change of them.
struct CoverCodeTargets {
    bool compCovers = false; // CompCover_Item
    bool packaging = false;  // Prod_Cover
    bool dispatches = false; // Move_Cover
};

// The nine columns a person edits, in the order BindCover and ReadCover
// take them.
inline constexpr const char* CoverColumns = "cover_name, cover_weight, cover_reusable, "
                                            "cover_type, cover_mat, cover_org, cover_pay, "
                                            "cover_stat, cover_note";

// Binds the nine columns to the parameters 1 to 9, in the order of
// CoverColumns.
void BindCover(Statement& statement, const CoverRecord& cover);
// The cover from the nine columns starting at first.
CoverRecord ReadCover(const Statement& statement, int first = 0);

// Every write below throws ComError and opens no unit of its own: the caller
// holds the Transaction.

// Adds covers with the INSERT prepared once.
class CoverWriter {
public:
    explicit CoverWriter(CDataStore& store);
    // A cover written as deleted is one the registers keep for the records
    // that name it but no longer offer. The new cover's identifier.
    RecordId Insert(const CoverRecord& cover, bool deleted = false);

private:
    PreparedInsert m_insert;
};

std::optional<CoverRecord> FindCover(CDataStore& store, RecordId id);

// A cover as stored, with its identifier and the deleted flag.
struct StoredCover {
    RecordId id = NoRecord;
    CoverRecord record;
    bool deleted = false;
};

// Every cover, deleted ones too, in the order they were added.
std::vector<StoredCover> AllCovers(CDataStore& store);
std::optional<CoverCodes> FindCoverCodes(CDataStore& store, RecordId id);
// The nine edited columns; the deleted flag stays.
void UpdateCover(CDataStore& store, RecordId id, const CoverRecord& cover);
// The composite cover items of the covers go for good; the covers stay,
// marked deleted, so that packaging definitions, dispatches and reports keep
// them and their classification, and so do their discards: they belong to
// quarters that may already be reported (a corrective statement of one
// must find them again).
void MarkCoversDeleted(CDataStore& store, const std::vector<RecordId>& ids);
// A deleted cover is offered again; its composite cover items do not come
// back.
void ReviveCover(CDataStore& store, RecordId id);

// What a selection of covers is used by.
struct CoverUses {
    int64_t packagingLines = 0;
    int64_t compCovers = 0; // composite covers that have one of them as an item
    int64_t discards = 0;
};
CoverUses UsesOfCovers(CDataStore& store, const std::vector<RecordId>& ids);

// Carries a cover's new codes into its composite cover items, packaging lines
// and dispatch cover lines, each where targets says so. Every line of the
// cover takes them, also a line whose codes had been set apart from the
// cover's.
void CarryCoverCodes(CDataStore& store, const CoverCodeTargets& targets, RecordId cover,
                     const CoverCodes& codes);

// Adds discards with the INSERT prepared once; the day alone is stored,
// without the time.
class DiscardWriter {
public:
    explicit DiscardWriter(CDataStore& store);
    RecordId Insert(const DiscardRecord& discard);

private:
    PreparedInsert m_insert;
};

std::optional<DiscardRecord> FindDiscard(CDataStore& store, RecordId id);
// Writes the date (the day alone), kind and quantity; the discard stays with
// its cover.
void UpdateDiscard(CDataStore& store, RecordId id, const DiscardRecord& discard);
// The discard and its destination.
void DeleteDiscard(CDataStore& store, RecordId id);

} // namespace tarvo
