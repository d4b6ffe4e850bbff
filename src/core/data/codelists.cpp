#include "core/data/codelists.h"

namespace tarvo {

namespace {

constexpr std::string_view MaterialLabels[] = {
    "dřevo",
    "kombinované materiály",
    "kovy - hliník AL",
    "kovy - železo FE",
    "kovy nad 5l- hliník AL",
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

template <size_t N> constexpr CodeList ListOf(const std::string_view (&labels)[N]) {
    return CodeList{labels, static_cast<int>(N)};
}

static_assert(std::size(MaterialLabels) == 30);

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

} // namespace tarvo
