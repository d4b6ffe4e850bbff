#include "core/registers/classification.h"
#include "core/report/formlayout.h"
#include "core/report/formplacement.h"
#include "core/report/formsums.h"
#include "dev/syntheticform.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace tarvo;

namespace {

Quantity Kg(const char* text) {
    return *ParseQuantity(text);
}

// Types 0 přepravní, 1 skupinový, 2 prodejní, 3 průmyslový; payments
// 0 neplacený, 1 zpoplatněný, 2 předplacený; origins 0 dovezený, 1 nakoupený.
constexpr int Transport = 0, Grouped = 1, Sales = 2, Industrial = 3;
constexpr int Unpaid = 0, Paid = 1, Prepaid = 2;
constexpr int Imported = 0, Bought = 1;
constexpr int Flexible = 0, Rigid = 1, Over3l = 2;

CoverClassification Simple(int material, int shape, const char* recycled = "0") {
    CoverClassification c;
    c.material = material;
    c.shape = shape;
    c.recycled = Kg(recycled);
    return c;
}

CoverClassification Composite(int material, int shape, std::vector<CompositionPart> parts) {
    CoverClassification c = Simple(material, shape);
    c.composition = std::move(parts);
    return c;
}

CoverClassification Littering(int material, int shape, int littering,
                              std::optional<Quantity> plastic = std::nullopt) {
    CoverClassification c = Simple(material, shape);
    c.littering = littering;
    c.plastic = plastic;
    return c;
}

CoverClassification Beverage(CoverClassification c) {
    c.beverage = true;
    return c;
}

std::vector<std::string> Describe(const FormPlacement& p) {
    std::vector<std::string> lines;
    if (p.leftOut)
        lines.push_back(std::string("nezahrnuto: ") + FormLeftOutText(p.leftOut->reason) +
                        (p.leftOut->detail.empty() ? "" : " (" + p.leftOut->detail + ")"));
    for (const FormTarget& t : p.targets)
        lines.push_back(DescribeTarget(t) + " = " + QuantityToPlainText(t.amount));
    return lines;
}

struct DispatchCase {
    const char* name;
    bool reusable;
    int type, payment, origin;
    bool exported;
    std::optional<CoverClassification> classification;
    const char* kilograms;
    std::vector<std::string> expected;
};

const CoverClassification PetTransparent = Simple(0, Flexible);

// clang-format off
const DispatchCase DispatchCases[] = {
    {"sales flexible PET bought", false, Sales, Paid, Bought, false, PetTransparent, "10",
     {"J1-1A | Plasty PET transparentní | Měkké, flexibilní primární vyrobené, nakoupené v ČR = 10"}},
    {"recyclate share truncated, primary keeps the rest",
     false, Sales, Paid, Imported, false, Simple(0, Flexible, "25"), "1.0001",
     {"J1-1A | Plasty PET transparentní | Měkké, flexibilní primární importované do ČR = 0.7501",
      "J1-1A | Plasty PET transparentní | Měkké, flexibilní recyklát importované do ČR = 0.25"}},
    {"all recyclate leaves primary empty",
     false, Sales, Paid, Bought, false, Simple(3, Rigid, "100"), "2",
     {"J1-1A | Plasty PE transparentní | Pevné, pevné duté do 3 L recyklát vyrobené, nakoupené v ČR = 2"}},
    {"beverage over 3 l on J1-2A",
     false, Sales, Paid, Bought, false, Beverage(Simple(1, Over3l)), "4",
     {"J1-2A | Plasty PET průhledné barevné | Pevné duté nad 3 L primární vyrobené, nakoupené v ČR = 4"}},
    {"grouped: over 3 l counts as rigid",
     false, Grouped, Paid, Bought, false, Simple(6, Over3l), "1",
     {"J1-1B | Plasty PP barevné | Skupinové Pevné, pevné duté primární vyrobené, nakoupené v ČR = 1"}},
    {"transport: coloured PET in one row",
     false, Transport, Paid, Imported, false, Simple(2, Flexible), "1",
     {"J1-1B | Plasty PET barevné | Přepravní Měkké, flexibilní primární importované do ČR = 1"}},
    {"industrial beverage glass in the lower table",
     false, Industrial, Paid, Bought, false, Beverage(Simple(27, -1)), "3",
     {"J1-3 | Sklo Transparentní | Obsahují nápoje primární vyrobené, nakoupené v ČR = 3"}},
    {"glass as grouped packaging has no row",
     false, Grouped, Paid, Bought, false, Simple(28, -1), "3",
     {"nezahrnuto: sklo jako skupinový nebo přepravní obal (skupinový)"}},
    {"reusable transport paper", true, Transport, Paid, Bought, false, Simple(30, -1), "5",
     {"O1-1B | Papír Papír | Přepravní primární vyrobené, nakoupené v ČR = 5"}},
    {"composite in its row and split on K",
     false, Sales, Paid, Bought, false, Composite(23, Rigid, {{6, Kg("60")}, {1, Kg("40")}}), "3",
     {"J1-1A | Kovy Kompozitní Al | Pevné, pevné duté do 3 L primární vyrobené, nakoupené v ČR = 3",
      "J1-1K | Kovy Al | Prodejní vyrobené, nakoupené v ČR = 1.8",
      "J1-1K | Plasty PE | Prodejní vyrobené, nakoupené v ČR = 1.2"}},
    {"K has no textile row: it joins Jiné",
     false, Grouped, Paid, Imported, false, Composite(34, -1, {{9, Kg("50")}, {11, Kg("25")}, {12, Kg("25")}}), "2",
     {"J1-1B | Papír Kompozitní | Skupinové primární importované do ČR = 2",
      "J1-1K | Papír a vlnitá lepenka | Skupinové importované do ČR = 1",
      "J1-1K | Jiné | Skupinové importované do ČR = 1"}},
    {"composite split keeps the line's sum",
     false, Sales, Prepaid, Bought, false, Composite(26, Rigid, {{0, Kg("33.3333")}, {1, Kg("33.3333")}, {2, Kg("33.3334")}}), "0.0002",
     {"J2 | Plasty PE | Prodejní vyrobené, nakoupené v ČR = 0.0001",
      "J2 | Plasty PP | Prodejní vyrobené, nakoupené v ČR = 0.0001"}},
    {"composite glass as transport packaging has no row either",
     false, Transport, Paid, Bought, false, Composite(29, -1, {{8, Kg("90")}, {7, Kg("10")}}), "1",
     {"nezahrnuto: sklo jako skupinový nebo přepravní obal (přepravní)"}},
    {"unpaid sales glass imported", false, Sales, Unpaid, Imported, false, Simple(28, -1), "1",
     {"J3 | Sklo | Prodejní importované do ČR = 1"}},
    {"unpaid grouped glass has no column",
     false, Grouped, Unpaid, Bought, false, Simple(27, -1), "1",
     {"nezahrnuto: sklo jako skupinový nebo přepravní obal (skupinový)"}},
    {"export wins over payment", true, Industrial, Unpaid, Bought, true, Simple(10, Rigid), "7",
     {"O4 | Plasty PS | PRŮMYSLOVÉ vyrobené, nakoupené v ČR = 7"}},
    {"beverage carton on a reusable sheet",
     true, Sales, Paid, Bought, false, Beverage(Composite(25, Rigid, {{9, Kg("100")}})), "1",
     {"nezahrnuto: nápojový karton jako vratný obal"}},
    {"beverage carton as grouped packaging",
     false, Grouped, Paid, Bought, false, Beverage(Composite(25, Rigid, {{9, Kg("100")}})), "1",
     {"nezahrnuto: nápojový karton jinde než jako prodejní obal (skupinový)"}},
    {"beverage carton on J1-2A and J1-2K",
     false, Sales, Paid, Imported, false, Beverage(Composite(25, Rigid, {{9, Kg("75")}, {1, Kg("20")}, {6, Kg("5")}})), "2",
     {"J1-2A | Nápojový karton | Pevné, pevné duté do 3 L primární importované do ČR = 2",
      "J1-2K | Papír a vlnitá lepenka | Prodejní importované do ČR = 1.5",
      "J1-2K | Plasty PE | Prodejní importované do ČR = 0.4",
      "J1-2K | Kovy Al | Prodejní importované do ČR = 0.1"}},
    {"partly plastic cup also on L",
     false, Sales, Paid, Bought, false, Littering(30, -1, 4, Kg("30")), "0.5",
     {"J1-1A | Papír Papír | primární vyrobené, nakoupené v ČR = 0.5",
      "L | Nápojové kelímky vyrobené částečně z plastu | Zpoplatněné celková hmotnost v tunách = 0.5",
      "L | Nápojové kelímky vyrobené částečně z plastu | Zpoplatněné hmotnost plastu v tunách = 0.15"}},
    {"thin bag counts pieces on L",
     false, Sales, Paid, Bought, false, Littering(4, Flexible, 8), "0.003",
     {"J1-1A | Plasty PE barevné | Měkké, flexibilní primární vyrobené, nakoupené v ČR = 0.003",
      "L | Plastové odnosné tašky Lehké plastové tašky < 15 mikronů | Zpoplatněné celková hmotnost v tunách = 0.003",
      "L | Plastové odnosné tašky Lehké plastové tašky < 15 mikronů | Zpoplatněné množství v kusech = 3"}},
    {"prepaid littering: total weight only",
     false, Sales, Prepaid, Bought, false, Littering(0, Rigid, 1), "1",
     {"J2 | Plasty PET | Prodejní vyrobené, nakoupené v ČR = 1",
      "L | Nádoby na nápoje | Předplacené = 1"}},
    {"classification without shape", false, Sales, Paid, Bought, false, Simple(0, -1), "1",
     {"nezahrnuto: obal nemá úplné zařazení pro výkaz od roku 2021 (chybí tvar)"}},
    {"missing type", false, -1, Paid, Bought, false, PetTransparent, "1",
     {"nezahrnuto: chybí údaj obalu nebo výdeje (druh obalu)"}},
};
// clang-format on

class DispatchPlacement : public testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchPlacement, GoesToItsCells) {
    const DispatchCase& c = GetParam();
    FormDispatch line;
    line.reusable = c.reusable;
    line.type = c.type;
    line.payment = c.payment;
    line.origin = c.origin;
    line.exported = c.exported;
    line.classification = c.classification ? &*c.classification : nullptr;
    line.kilograms = Kg(c.kilograms);
    line.pieces = Kg("3");
    EXPECT_EQ(Describe(PlaceDispatch(line)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Form, DispatchPlacement, testing::ValuesIn(DispatchCases),
                         [](const auto& param) { return "case" + std::to_string(param.index); });

struct DiscardCase {
    bool reusable;
    int type, destination;
    CoverClassification classification;
    std::vector<std::string> expected;
};

// clang-format off
const DiscardCase DiscardCases[] = {
    {true, Sales, 4, Simple(35, -1), {"S1 | Dřevo | Prodejní opravy dřevěných obalů = 2"}},
    {true, Grouped, 1, Simple(1, Rigid),
     {"S1 | Plasty PET | Skupinové, Přepravní recyklováno v jiných členských státech EU = 2"}},
    {true, Industrial, 3, Composite(36, -1, {{10, Kg("80")}, {7, Kg("20")}}),
     {"S1 | Dřevo | PRŮMYSLOVÉ energeticky využito = 1.6",
      "S1 | Kovy Fe | PRŮMYSLOVÉ energeticky využito = 0.4"}},
    {true, Sales, 4, Simple(0, Rigid),
     {"nezahrnuto: oprava u obalu, který není ze dřeva (PET transparentní)"}},
    {true, Sales, 5, Simple(35, -1), {"nezahrnuto: vyřazení \"odstraněno\" nemá ve výkazu sloupec"}},
    {false, Sales, 0, Simple(35, -1), {"nezahrnuto: vyřazení obalu na jedno použití"}},
    {true, Sales, -1, Simple(35, -1),
     {"nezahrnuto: chybí údaj obalu nebo výdeje (způsob vyřazení)"}},
};
// clang-format on

class DiscardPlacement : public testing::TestWithParam<DiscardCase> {};

TEST_P(DiscardPlacement, GoesToS1ByDestination) {
    const DiscardCase& c = GetParam();
    FormDiscard line{c.reusable, c.type, c.destination, &c.classification, Kg("2")};
    EXPECT_EQ(Describe(PlaceDiscard(line)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Form, DiscardPlacement, testing::ValuesIn(DiscardCases));

// Every complete classification of every line lands exactly once: its cells
// (K split and L aside) add up to its weight, the K split too, L's total as
// well; or it is left out with a reason and no cell. And every cell the
// placement names exists once in the form: a target of its own resolves to
// a cell of its own.
TEST(FormPlacementInvariant, EveryLineExactlyOnceInCellsOfItsOwnOrLeftOut) {
    test::TempFolder dir;
    const std::string path = dir.File("f.xlsx");
    SyntheticForm(2025, 4).Write(path);
    Workbook book;
    book.Open(path);
    FormLayout layout(book, path);
    std::map<uint32_t, std::string> cells;
    const auto resolve = [&](const FormTarget& t) {
        try {
            const CellRef cell = layout.Resolve(t);
            const std::string where =
                std::string(FormSheets()[t.sheet].name) + "!" + CellName(cell.column, cell.row);
            EXPECT_EQ(cells.emplace(FormCellId(t), where).first->second, where);
        } catch (const FormRefusal& refusal) {
            ADD_FAILURE() << refusal.message;
        }
    };
    const Quantity kilograms = Kg("1234.5677");
    std::vector<CompositionPart> parts = {{0, Kg("12.5")}, {1, Kg("0.0001")}, {2, Kg("7.4999")}};
    for (int component = 3; component < 13; ++component)
        parts.push_back({component, Kg("8")});
    int placed = 0;
    for (int material = 0; material < 39; ++material)
        for (int shape = HasShape(material) ? 0 : -1; shape < (HasShape(material) ? 3 : 0); ++shape)
            for (int mask = 0; mask < 2 * 2 * 4 * 3 * 2 * 2 * 9; ++mask) {
                CoverClassification c = Simple(material, shape, "37.1");
                if (IsComposite(material))
                    c.composition = parts;
                int rest = mask;
                auto next = [&rest](int n) {
                    const int v = rest % n;
                    rest /= n;
                    return v;
                };
                c.beverage = next(2) != 0;
                FormDispatch line;
                line.reusable = next(2) != 0;
                line.type = next(4);
                line.payment = next(3);
                line.origin = next(2) == 0 ? Imported : Bought;
                line.exported = next(2) != 0;
                c.littering = line.reusable ? 0 : next(9);
                if (IsPartlyPlastic(c.littering))
                    c.plastic = Kg("45.5");
                line.classification = &c;
                line.kilograms = kilograms;
                line.pieces = Kg("10");
                const FormPlacement p = PlaceDispatch(line);
                for (int destination = 0; destination < 5; ++destination) {
                    for (const FormTarget& t :
                         PlaceDiscard({true, line.type, destination, &c, kilograms}).targets)
                        resolve(t);
                }
                std::map<std::string_view, Quantity> sums;
                for (const FormTarget& t : p.targets) {
                    resolve(t);
                    const FormSheet& sheet = FormSheets()[t.sheet];
                    if (IsPiecesColumn(sheet.kind, t.column) ||
                        (sheet.name == "L" && t.column == 0))
                        continue;
                    const bool side = sheet.name == "L" || sheet.name.back() == 'K';
                    auto& sum = sums[side ? sheet.name : std::string_view("main")];
                    sum = sum + t.amount;
                }
                const std::string context = std::to_string(material) + "/" + std::to_string(shape) +
                                            "/" + std::to_string(mask);
                if (p.leftOut) {
                    EXPECT_TRUE(p.targets.empty()) << context;
                    continue;
                }
                ++placed;
                for (const auto& [sheet, sum] : sums)
                    EXPECT_EQ(sum, kilograms) << context << " " << sheet;
                EXPECT_EQ(sums.count("main"), 1u) << context;
            }
    EXPECT_GT(placed, 10000);
    std::set<std::string> distinct;
    for (const auto& [id, where] : cells)
        EXPECT_TRUE(distinct.insert(where).second) << where;
    EXPECT_GT(cells.size(), 700u);
}

TEST(FormPlacement, TonnesAreExactDecimalText) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0"},          {"0.0001", "0.0000001"}, {"1000", "1"},
        {"12345", "12.345"}, {"1.5", "0.0015"},       {"123456789.0123", "123456.7890123"},
        {"-2.5", "-0.0025"},
    };
    for (const auto& [kg, tonnes] : cases)
        EXPECT_EQ(KilogramsToTonnesText(Kg(kg)), tonnes) << kg;
}

} // namespace
