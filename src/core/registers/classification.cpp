#include "core/registers/classification.h"

#include "core/data/codelists.h"
#include "core/data/shared.h"

#include <algorithm>
#include <initializer_list>

namespace tarvo {

namespace {

struct MaterialFacts {
    bool shaped;
    bool composite;
};

// Materials2021 in its order: the plastics, metals, beverage carton and
// composite material have a shape; the composite entries a composition.
constexpr MaterialFacts Facts[] = {
    {true, false},  {true, false},  {true, false},  {true, false},  {true, false},  {true, false},
    {true, false},  {true, false},  {true, false},  {true, false},  {true, false},  {true, false},
    {true, false},  {true, false},  {true, false},  {true, false},  {true, false},  {true, false},
    {true, false},  {true, true},   {true, true},   {true, false},  {true, false},  {true, true},
    {true, true},   {true, true},   {true, true},   {false, false}, {false, false}, {false, true},
    {false, false}, {false, false}, {false, false}, {false, false}, {false, true},  {false, false},
    {false, true},  {false, false}, {false, false},
};
static_assert(std::size(Facts) == 39);

// The old material code's suggestion: the candidates of the new list, the
// shape, and whether it is beverage packaging.
struct OldMaterial {
    std::initializer_list<int> materials;
    int shape;
    bool beverage;
};

constexpr int None = -1;
constexpr int Flexible = ShapeFlexible;
constexpr int Rigid = ShapeRigid;

// Materials in its order (codes 0 to 29).
const OldMaterial FromOld[] = {
    {{35}, None, false},          // dřevo
    {{26}, None, false},          // kombinované materiály
    {{21}, None, false},          // kovy - hliník AL
    {{22}, None, false},          // kovy - železo FE
    {{21}, None, false},          // kovy nad 5l - hliník AL
    {{22}, None, false},          // kovy nad 5l - železo FE
    {{25}, None, true},           // nápojové kartony
    {{30}, None, false},          // papír
    {{3, 4}, Flexible, false},    // PE - měkké
    {{3, 4}, Rigid, false},       // PE - pevné duté
    {{3, 4}, None, false},        // PE - pevné duté nad 5l
    {{0, 1, 2}, Flexible, false}, // PET - měkké
    {{0, 1, 2}, Rigid, false},    // PET - pevné duté
    {{0, 1, 2}, None, false},     // PET - pevné duté nad 5l
    {{5, 6}, Flexible, false},    // PP - měkké
    {{5, 6}, Rigid, false},       // PP - pevné duté
    {{5, 6}, None, false},        // PP - pevné duté nad 5l
    {{7, 8}, Flexible, false},    // PS - měkké
    {{7, 8}, Rigid, false},       // PS - pevné duté
    {{7, 8}, None, false},        // PS - pevné duté nad 5l
    {{13, 14}, Flexible, false},  // PVC - měkké
    {{13, 14}, Rigid, false},     // PVC - pevné duté
    {{13, 14}, None, false},      // PVC - pevné duté nad 5l
    {{15, 16}, Flexible, false},  // plasty jiné - měkké
    {{15, 16}, Rigid, false},     // plasty jiné - pevné duté
    {{15, 16}, None, false},      // plasty jiné - pevné duté nad 5l
    {{27, 28}, None, false},      // sklo
    {{32}, None, false},          // vlnitá lepenka
    {{38}, None, false},          // jiný materiál
    {{37}, None, false},          // textil
};

const Quantity Hundred = Quantity::FromUnits(100);
const Quantity Zero = Quantity::FromUnits(0);

bool InList(int code, const CodeList& list) {
    return code >= 0 && code < list.size;
}

// A share as the user writes it: "12,5".
std::string Percent(Quantity share) {
    std::string text = QuantityToPlainText(share);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::optional<std::string> CompositionFault(const CoverClassification& c) {
    const bool composite = c.material >= 0 && IsComposite(c.material);
    if (c.composition.empty()) {
        if (composite)
            return Format("Materiál '%s' je kompozitní: vyplňte jeho složení.",
                          Materials2021.Label(c.material).c_str());
        return std::nullopt;
    }
    if (!composite)
        return std::string("Složení se vyplňuje jen u kompozitních materiálů.");
    Quantity total = Zero;
    std::vector<int> seen;
    for (const CompositionPart& part : c.composition) {
        if (!InList(part.component, Components))
            return std::string("Složka ve složení má neplatnou hodnotu.");
        const std::string label = Components.Label(part.component);
        if (std::find(seen.begin(), seen.end(), part.component) != seen.end())
            return Format("Složka '%s' je ve složení víckrát.", label.c_str());
        seen.push_back(part.component);
        if (part.share <= Zero || part.share > Hundred)
            return Format("Podíl složky '%s' musí být větší než 0 a nejvýš 100 %%.", label.c_str());
        total = total + part.share;
    }
    if (total != Hundred)
        return Format("Podíly složek dávají dohromady %s %%, musí dát právě 100 %%.",
                      Percent(total).c_str());
    return std::nullopt;
}

} // namespace

bool HasShape(int material) {
    return InList(material, Materials2021) && Facts[material].shaped;
}

bool IsComposite(int material) {
    return InList(material, Materials2021) && Facts[material].composite;
}

bool IsPartlyPlastic(int littering) {
    // "nápojový kelímek částečně z plastu", "nádoba na potraviny částečně z plastu"
    return littering == 4 || littering == 6;
}

std::optional<std::string> ClassificationFault(const CoverClassification& c, bool reusable) {
    if (c.material != -1 && !InList(c.material, Materials2021))
        return std::string("Materiál pro výkaz 2021 má neplatnou hodnotu.");
    if (c.shape != -1 && !InList(c.shape, Shapes))
        return std::string("Tvar má neplatnou hodnotu.");
    if (!InList(c.littering, LitteringKinds))
        return std::string("Kategorie littering má neplatnou hodnotu.");
    if (c.shape != -1 && c.material != -1) {
        if (!HasShape(c.material))
            return Format("Materiál '%s' se podle tvaru nedělí: tvar nevyplňujte.",
                          Materials2021.Label(c.material).c_str());
        if (c.material == Material2021BeverageCarton && c.shape == ShapeFlexible)
            return std::string("Nápojový karton nemůže být měkký, flexibilní.");
    }
    if (c.recycled < Zero || c.recycled > Hundred)
        return std::string("Recyklát musí být od 0 do 100 %.");
    if (auto fault = CompositionFault(c))
        return fault;
    if (c.plastic) {
        if (*c.plastic < Zero || *c.plastic > Hundred)
            return std::string("Podíl plastu musí být od 0 do 100 %.");
        if (!IsPartlyPlastic(c.littering))
            return std::string(
                "Podíl plastu se vyplňuje jen u kategorií littering „částečně z plastu“.");
    }
    if (c.littering != 0 && reusable)
        return std::string("Kategorie littering patří jen k obalům na jedno použití.");
    return std::nullopt;
}

std::vector<std::string> MissingForNewForm(const CoverClassification& c) {
    std::vector<std::string> missing;
    if (!InList(c.material, Materials2021)) {
        missing.emplace_back("materiál");
    } else {
        if (HasShape(c.material) && !InList(c.shape, Shapes))
            missing.emplace_back("tvar");
        if (IsComposite(c.material) && c.composition.empty())
            missing.emplace_back("složení");
    }
    if (IsPartlyPlastic(c.littering) && !c.plastic)
        missing.emplace_back("podíl plastu");
    return missing;
}

ClassificationProposal ProposeClassification(int oldMaterial) {
    ClassificationProposal proposal;
    if (!InList(oldMaterial, Materials))
        return proposal;
    const OldMaterial& old = FromOld[oldMaterial];
    proposal.materials.assign(old.materials.begin(), old.materials.end());
    proposal.classification.shape = old.shape;
    proposal.classification.beverage = old.beverage;
    if (proposal.materials.size() == 1 && !IsComposite(proposal.materials.front()))
        proposal.classification.material = proposal.materials.front();
    return proposal;
}

int DestinationOfKind(int discardKind) {
    // DiscardKinds: "energeticky využito", "odstraněno", "recyklováno".
    constexpr int Destinations[] = {3, 5, 0};
    return InList(discardKind, DiscardKinds) ? Destinations[discardKind] : -1;
}

bool DestinationFitsKind(int destination, int discardKind) {
    // A recycled cover went to one of the three recycling destinations or,
    // made of wood, back into use repaired.
    constexpr int Recycled = 2;
    if (discardKind == Recycled)
        return destination == 0 || destination == 1 || destination == 2 || destination == 4;
    return InList(discardKind, DiscardKinds) && destination == DestinationOfKind(discardKind);
}

} // namespace tarvo
