#include "core/data/codelists.h"

namespace tarvo {

namespace {

constexpr std::string_view MaterialLabels[] = {
    "dřevo",
    "kombinované materiály",
    "kovy - hliník AL",
    "kovy - železo FE",
    "kovy nad 5l - hliník AL",
    "kovy nad 5l - železo FE",
    "nápojové kartony",
    "papír",
    "PE - měkké",
    "PE - pevné duté",
    "PE - pevné duté nad 5l",
    "PET - měkké",
    "PET - pevné duté",
    "PET - pevné duté nad 5l",
    "PP - měkké",
    "PP - pevné duté",
    "PP - pevné duté nad 5l",
    "PS - měkké",
    "PS - pevné duté",
    "PS - pevné duté nad 5l",
    "PVC - měkké",
    "PVC - pevné duté",
    "PVC - pevné duté nad 5l",
    "plasty jiné - měkké",
    "plasty jiné - pevné duté",
    "plasty jiné - pevné duté nad 5l",
    "sklo",
    "vlnitá lepenka",
    "jiný materiál",
    "textil",
};
constexpr std::string_view CoverTypeLabels[] = {"přepravní", "skupinový", "prodejní", "průmyslový"};
constexpr std::string_view OriginLabels[] = {"dovezený do ČR", "nakoupený v ČR", "vyrobený v ČR"};
constexpr std::string_view PaymentLabels[] = {"neplacený", "zpoplatněný", "předplacený"};
constexpr std::string_view StatCategoryLabels[] = {"obal není paleta", "paleta EUR (ČSN 269110)",
                                                   "paleta prostá (ČSN 269111)",
                                                   "nápojové kartony"};
constexpr std::string_view DiscardKindLabels[] = {"energeticky využito", "odstraněno",
                                                  "recyklováno"};
constexpr std::string_view MoveTypeLabels[] = {"dodací list", "faktura", "prodejka", "výdejka"};

constexpr std::string_view Material2021Labels[] = {
    "PET transparentní",
    "PET průhledné barevné",
    "PET neprůhledné barevné",
    "PE transparentní",
    "PE barevné",
    "PP transparentní",
    "PP barevné",
    "PS transparentní",
    "PS barevné",
    "XPS transparentní",
    "XPS barevné",
    "EPS transparentní",
    "EPS barevné",
    "PVC transparentní",
    "PVC barevné",
    "plasty jiné transparentní",
    "plasty jiné barevné",
    "plasty biologicky rozložitelné transparentní",
    "plasty biologicky rozložitelné barevné",
    "plasty kompozitní transparentní",
    "plasty kompozitní barevné",
    "hliník Al",
    "železo Fe",
    "kompozitní Al",
    "kompozitní Fe",
    "nápojový karton",
    "kompozitní materiál",
    "sklo transparentní",
    "sklo barevné",
    "sklo kompozitní",
    "papír",
    "hladká lepenka",
    "vlnitá lepenka",
    "nasávaná kartonáž",
    "papír kompozitní",
    "dřevo a dřevotříska",
    "dřevo kompozit s nedřevěnými částmi",
    "textil",
    "jiný materiál",
};
constexpr std::string_view ShapeLabels[] = {"měkký, flexibilní", "pevný, pevný dutý do 3 l",
                                            "pevný dutý nad 3 l"};
constexpr std::string_view LitteringLabels[] = {
    "není",
    "nádoba na nápoje",
    "sáček, balení na potraviny",
    "nápojový kelímek z plastu",
    "nápojový kelímek částečně z plastu",
    "nádoba na potraviny z plastu",
    "nádoba na potraviny částečně z plastu",
    "lehká plastová taška 15–50 µm",
    "lehká plastová taška pod 15 µm",
};
constexpr std::string_view ComponentLabels[] = {
    "PET",         "PE",        "PP",        "PS",   "PVC",
    "plasty jiné", "hliník Al", "železo Fe", "sklo", "papír a vlnitá lepenka",
    "dřevo",       "textil",    "jiné",
};
constexpr std::string_view DiscardDestinationLabels[] = {
    "recyklováno v ČR",    "recyklováno v jiném státě EU", "recyklováno mimo EU",
    "energeticky využito", "oprava dřevěných obalů",       "odstraněno",
};

template <size_t N> constexpr CodeList ListOf(const std::string_view (&labels)[N]) {
    return CodeList{labels, static_cast<int>(N)};
}

static_assert(std::size(MaterialLabels) == 30);
static_assert(std::size(Material2021Labels) == 39);

} // namespace

std::string CodeList::Label(int code) const {
    if (code < 0 || code >= size)
        return "???";
    return std::string(labels[code]);
}

const CodeList Materials = ListOf(MaterialLabels);
const CodeList CoverTypes = ListOf(CoverTypeLabels);
const CodeList Origins = ListOf(OriginLabels);
const CodeList Payments = ListOf(PaymentLabels);
const CodeList StatCategories = ListOf(StatCategoryLabels);
const CodeList DiscardKinds = ListOf(DiscardKindLabels);
const CodeList MoveTypes = ListOf(MoveTypeLabels);
const CodeList Materials2021 = ListOf(Material2021Labels);
const CodeList Shapes = ListOf(ShapeLabels);
const CodeList LitteringKinds = ListOf(LitteringLabels);
const CodeList Components = ListOf(ComponentLabels);
const CodeList DiscardDestinations = ListOf(DiscardDestinationLabels);

} // namespace tarvo
