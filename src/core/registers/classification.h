#pragma once

#include "core/records/classification.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// The rules of the classification for the statement in force since 2021:
// which fields a material of that list asks for, what may be stored, when a
// cover is complete, and what its old material code suggests. One table per
// list holds the facts, so a change of the form changes data, not code.

// Positions in Materials2021 and LitteringKinds the rules name.
inline constexpr int Material2021BeverageCarton = 25;
inline constexpr int ShapeFlexible = 0;
inline constexpr int ShapeRigid = 1;

// Whether the material is split by shape (plastics, metals, beverage carton,
// composite material) and whether it needs a composition.
bool HasShape(int material);
bool IsComposite(int material);
// Whether the littering entry is one of "částečně z plastu".
bool IsPartlyPlastic(int littering);

// Why the classification may not be stored for a cover (single-use or
// reusable), as the user is told; nothing when it may.
std::optional<std::string> ClassificationFault(const CoverClassification& c, bool reusable);

// The fields the cover still lacks for the new form, as the user names them
// ("materiál", "tvar", "složení", "podíl plastu"); empty when it is complete.
std::vector<std::string> MissingForNewForm(const CoverClassification& c);
inline bool IsCompleteForNewForm(const CoverClassification& c) {
    return MissingForNewForm(c).empty();
}

// What a cover's old material code (Materials) suggests: the classification
// to start with, and the materials of the new list it may be. The material
// is set only when it is the one candidate and needs nothing the old code
// cannot tell (a colour class is never guessed, a composition never made
// up); "nad 5l" leaves the shape to the user, since the limits differ.
struct ClassificationProposal {
    CoverClassification classification;
    std::vector<int> materials;
};
ClassificationProposal ProposeClassification(int oldMaterial);

// The destination (DiscardDestinations) a discard's kind (DiscardKinds)
// implies, and whether a destination chosen for it agrees with the kind.
int DestinationOfKind(int discardKind);
bool DestinationFitsKind(int destination, int discardKind);

} // namespace tarvo
