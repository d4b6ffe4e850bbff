#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"

#include <map>
#include <optional>
#include <vector>

namespace tarvo {

class CDataStore;

// One component of a composite cover's material: its share in per cent.
struct CompositionPart {
    int component = -1; // Components
    Quantity share = Quantity::FromUnits(0);

    bool operator==(const CompositionPart&) const = default;
};

// How a cover is classified for the EKO-KOM statement in force since 2021
// (Cover_Class and its Cover_Part rows). Codes are positions in their lists,
// -1 where nothing is chosen yet; shares are in per cent.
struct CoverClassification {
    bool beverage = false;
    int material = -1; // Materials2021
    int shape = -1;    // Shapes
    Quantity recycled = Quantity::FromUnits(0);
    int littering = 0;                 // LitteringKinds, 0 "není"
    std::optional<Quantity> plastic{}; // only with a "částečně z plastu" littering
    std::vector<CompositionPart> composition{};

    bool operator==(const CoverClassification&) const = default;
};

// Every read and write below throws ComError and opens no unit of its own:
// the caller holds the Transaction.

// The cover's classification; nothing when it has none yet. The composition
// keeps the order in which it was written.
std::optional<CoverClassification> FindClassification(CDataStore& store, RecordId cover);
// Every classification, by cover.
std::map<RecordId, CoverClassification> AllClassifications(CDataStore& store);
// Replaces the cover's classification and composition.
void WriteClassification(CDataStore& store, RecordId cover, const CoverClassification& c);
// Leaves the cover not classified.
void DeleteClassification(CDataStore& store, RecordId cover);

// The destination a discard was given (DiscardDestinations); nothing when it
// has only the one its kind implies.
std::optional<int> FindDiscardDestination(CDataStore& store, RecordId discard);
void WriteDiscardDestination(CDataStore& store, RecordId discard, int destination);
void DeleteDiscardDestination(CDataStore& store, RecordId discard);

} // namespace tarvo
