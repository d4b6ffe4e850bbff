#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/preparedinsert.h"

#include <optional>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;

// One packaging line: qtyCover pieces of a cover per qtyProd product units,
// for every dispatched quantity (useAlways) or only for those from useFrom to
// useTo, with the line's own type, origin and payment. The band limits mean
// nothing while useAlways is set. A product's packaging definition, a
// composite cover and the composite cover editor all hold their lines in
// this one shape; which of them owns a line is the table's owner column, not
// part of the line.
struct CoverLine {
    RecordId cover = NoRecord;
    Quantity qtyCover = Quantity::FromUnits(1);
    Quantity qtyProd = Quantity::FromUnits(1);
    bool useAlways = true;
    Quantity useFrom{};
    Quantity useTo{};
    int type = -1;
    int origin = -1;
    int payment = -1;

    bool operator==(const CoverLine&) const = default;
};

// A band without an upper limit is stored with this "to", which no
// dispatched quantity reaches; lists show it, and any "to" from the open
// limit on (older data stored 9 999 999 999,9999), as an empty limit.
inline constexpr Quantity OpenBandEnd = Quantity::FromUnits(10'000'000'000);
inline constexpr Quantity OpenBandThreshold = Quantity::FromUnits(1'000'000'000);
inline bool IsOpenBandEnd(Quantity to) {
    return to >= OpenBandThreshold;
}

// What is wrong with a line's band: a band whose "from" is above its "to"
// never applies, so it is refused with the message returned. Nothing for a
// line used always or a band that applies to some quantity.
std::optional<const char*> BandFault(const CoverLine& line);

// The three tables of cover lines, with the same nine columns:
// Prod_Cover (owner dt_id, key cp_id), CompCover_Item (owner ccover_id, key
// rowid) and the editor's scratch list TmpCover_Item (no owner, key ti_id).
enum class CoverLineTable { Packaging, CompCoverItems, Scratch };

// The nine shared columns, in the order ReadCoverLine reads them.
inline constexpr const char* CoverLineColumns =
    "cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, cp_useto, cover_type, "
    "cover_org, cover_pay";

// The line from the nine columns starting at first. A missing cover reads as
// NoRecord, a missing code as -1; the band is read only for a line that has
// one.
CoverLine ReadCoverLine(const Statement& statement, int first = 0);

// How an always line's band limits are stored: not at all (a line entered
// now), or as they come (lines carried over from data that has them).
enum class AlwaysLimits { Dropped, AsGiven };

// Adds lines to one table with its INSERT prepared once. Throws ComError;
// opens no unit of its own.
class CoverLineWriter {
public:
    CoverLineWriter(CDataStore& store, CoverLineTable table,
                    AlwaysLimits alwaysLimits = AlwaysLimits::Dropped);

    // owner is the definition (dt_id) or the composite cover (ccover_id); the
    // scratch table has none and ignores it. A line used always is stored
    // without band limits unless the writer keeps them. The new line's key.
    RecordId Insert(RecordId owner, const CoverLine& line);

private:
    CoverLineTable m_table;
    AlwaysLimits m_alwaysLimits;
    PreparedInsert m_insert;
};

// The line with key id; nothing when it is gone.
std::optional<CoverLine> FindCoverLine(CDataStore& store, CoverLineTable table, RecordId id);
// The lines of owner (the whole scratch list for Scratch) in the order they
// were entered, read as ReadCoverLine reads them.
std::vector<CoverLine> CoverLinesOf(CDataStore& store, CoverLineTable table, RecordId owner);
// Writes the quantities, the band kind and the three codes; the band limits
// only for a line with a band (a line switched to "always" keeps its old
// limits, which nothing reads then). The cover and the owner stay.
void UpdateCoverLine(CDataStore& store, CoverLineTable table, RecordId id, const CoverLine& line);
void DeleteCoverLine(CDataStore& store, CoverLineTable table, RecordId id);
// Removes every line of owner (the whole scratch list for Scratch).
void DeleteCoverLinesOf(CDataStore& store, CoverLineTable table, RecordId owner);
// Appends the lines of fromOwner in from to toOwner in to, as stored (band
// limits included) and in the order they were entered.
void CopyCoverLines(CDataStore& store, CoverLineTable from, RecordId fromOwner, CoverLineTable to,
                    RecordId toOwner);

} // namespace tarvo
