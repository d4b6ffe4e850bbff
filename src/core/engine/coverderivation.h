#pragma once

#include "core/data/oledate.h"
#include "core/data/packagingdefinition.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/dispatches.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;

// One packaging line of a definition, as stored.
struct PackagingLine {
    std::optional<int64_t> coverId;
    Quantity qtyCover;
    Quantity qtyProd;
    bool useAlways = false;
    Quantity useFrom;
    Quantity useTo;
    std::optional<int64_t> coverType;
    std::optional<int64_t> coverOrg;
    std::optional<int64_t> coverPay;
};

// Whether the line applies to the dispatched quantity (inclusive band unless
// cp_usealways).
bool LineApplies(const PackagingLine& line, Quantity qty);
// Whole packs (truncated toward zero) times cp_qtycover.
Quantity CoverQuantity(const PackagingLine& line, Quantity qty);

// Reads definitions, writes Move_Cover rows (through the records layer's
// writer) and deletes them. Database errors throw ComError; the callers decide
// what a failure undoes and how it is shown.
//
// With keep set, definitions and lines read once are remembered, and the
// statements are prepared once: for runs over many lines during which the
// packaging definitions do not change.
class CoverDerivation {
public:
    CoverDerivation(CDataStore& store, bool keep);
    ~CoverDerivation();
    CoverDerivation(const CoverDerivation&) = delete;
    CoverDerivation& operator=(const CoverDerivation&) = delete;

    // The rows one product line gets, in the order they are written; empty
    // when moveDate is not valid.
    std::vector<DerivedCover> Derive(RecordId prodId, Quantity qty, const OleDate& moveDate);
    // Appends the derived rows of one product line; the count, or -1 when
    // moveDate is not valid (nothing read or written).
    long Append(RecordId mvprodId, RecordId moveId, RecordId prodId, Quantity qty,
                const OleDate& moveDate);
    // Removes the cover lines of one product line.
    void DeleteCovers(int64_t mvprodId);

private:
    enum Sql { Definitions, Lines, Delete, SqlCount };

    // Never held across another call: without keep the statements come from
    // the store's cache, which may drop them.
    Statement& Prepared(Sql which);
    std::vector<PackagingDefinition> ReadDefinitions(RecordId prodId);
    std::vector<PackagingLine> ReadLines(int64_t dtId);

    CDataStore& m_store;
    bool m_keep;
    std::array<std::unique_ptr<Statement>, SqlCount> m_statements;
    DerivedCoverWriter m_writer;
    std::unordered_map<RecordId, std::vector<PackagingDefinition>> m_definitions;
    std::unordered_map<int64_t, std::vector<PackagingLine>> m_lines;
};

} // namespace tarvo
