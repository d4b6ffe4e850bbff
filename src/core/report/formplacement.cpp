#include "core/report/formplacement.h"

#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/registers/classification.h"

#include <algorithm>
#include <cstdlib>

namespace tarvo {

namespace {

__extension__ typedef __int128 Int128;

// The sheets in the workbook's order. The single-use sheets J… come first,
// the reusable O… at the same offsets (O has no L), S1 last; the placement
// relies on this order.
constexpr FormSheet Sheets[] = {
    {"J1-1A", FormSheetKind::Sales, false},
    {"J1-1B", FormSheetKind::GroupedTransport, false},
    {"J1-1K", FormSheetKind::CompositeSplit, false},
    {"J1-2A", FormSheetKind::Sales, false},
    {"J1-2B", FormSheetKind::GroupedTransport, false},
    {"J1-2K", FormSheetKind::CompositeSplit, false},
    {"J1-3", FormSheetKind::Industrial, false},
    {"J1-3K", FormSheetKind::CompositeSplit3, false},
    {"J2", FormSheetKind::ByType, false},
    {"J3", FormSheetKind::ByType, false},
    {"J4", FormSheetKind::ByType, false},
    {"L", FormSheetKind::Littering, false},
    {"O1-1A", FormSheetKind::Sales, true},
    {"O1-1B", FormSheetKind::GroupedTransport, true},
    {"O1-1K", FormSheetKind::CompositeSplit, true},
    {"O1-2A", FormSheetKind::Sales, true},
    {"O1-2B", FormSheetKind::GroupedTransport, true},
    {"O1-2K", FormSheetKind::CompositeSplit, true},
    {"O1-3", FormSheetKind::Industrial, true},
    {"O1-3K", FormSheetKind::CompositeSplit3, true},
    {"O2", FormSheetKind::ByType, true},
    {"O3", FormSheetKind::ByType, true},
    {"O4", FormSheetKind::ByType, true},
    {"S1", FormSheetKind::Withdrawn, true},
};
constexpr int ReusableOffset = 12;
constexpr int SheetSales = 0, SheetGroupedTransport = 1, SheetComposite = 2, SheetBeverage = 3;
constexpr int SheetIndustrial = 6, SheetIndustrialComposite = 7;
constexpr int SheetPrepaid = 8, SheetUnpaid = 9, SheetExported = 10, SheetLittering = 11;
constexpr int SheetWithdrawn = 23;

// Rows of the A sheets, one per entry of Materials2021 in its order: the
// upper table by group, kind and colour, then the lower one.
constexpr FormLabels SalesRows[] = {
    {"Plasty", "PET", "transparentní"},
    {"Plasty", "PET", "průhledné barevné"},
    {"Plasty", "PET", "neprůhledné barevné"},
    {"Plasty", "PE", "transparentní"},
    {"Plasty", "PE", "barevné"},
    {"Plasty", "PP", "transparentní"},
    {"Plasty", "PP", "barevné"},
    {"Plasty", "PS", "transparentní"},
    {"Plasty", "PS", "barevné"},
    {"Plasty", "XPS", "transparentní"},
    {"Plasty", "XPS", "barevné"},
    {"Plasty", "EPS", "transparentní"},
    {"Plasty", "EPS", "barevné"},
    {"Plasty", "PVC", "transparentní"},
    {"Plasty", "PVC", "barevné"},
    {"Plasty", "Jiné", "transparentní"},
    {"Plasty", "Jiné", "barevné"},
    {"Plasty", "Biologicky rozložitelné", "transparentní"},
    {"Plasty", "Biologicky rozložitelné", "barevné"},
    {"Plasty", "Kompozitní", "transparentní"},
    {"Plasty", "Kompozitní", "barevné"},
    {"Kovy", "Al"},
    {"Kovy", "Fe"},
    {"Kovy", "Kompozitní Al"},
    {"Kovy", "Kompozitní Fe"},
    {"Nápojový karton"},
    {"Kompozitní materiál"},
    {"Sklo", "Transparentní"},
    {"Sklo", "Barevné"},
    {"Sklo", "Kompozitní"},
    {"Papír", "Papír"},
    {"Papír", "Hladká lepenka"},
    {"Papír", "Vlnitá lepenka"},
    {"Papír", "Nasávaná kartonáž"},
    {"Papír", "Kompozitní"},
    {"Dřevo", "Dřevo a dřevotříska"},
    {"Dřevo", "Kompozit s nedřevěnými částmi"},
    {"Textil"},
    {"Jiné"},
};
static_assert(std::size(SalesRows) == 39);

// Rows of the B sheets and the industrial sheets: PET in two colour rows, no
// beverage carton; the glass rows exist only on the industrial sheets.
constexpr FormLabels ShapedRows[] = {
    {"Plasty", "PET", "transparentní"},
    {"Plasty", "PET", "barevné"},
    {"Plasty", "PE", "transparentní"},
    {"Plasty", "PE", "barevné"},
    {"Plasty", "PP", "transparentní"},
    {"Plasty", "PP", "barevné"},
    {"Plasty", "PS", "transparentní"},
    {"Plasty", "PS", "barevné"},
    {"Plasty", "XPS", "transparentní"},
    {"Plasty", "XPS", "barevné"},
    {"Plasty", "EPS", "transparentní"},
    {"Plasty", "EPS", "barevné"},
    {"Plasty", "PVC", "transparentní"},
    {"Plasty", "PVC", "barevné"},
    {"Plasty", "Jiné", "transparentní"},
    {"Plasty", "Jiné", "barevné"},
    {"Plasty", "Biologicky rozložitelné", "transparentní"},
    {"Plasty", "Biologicky rozložitelné", "barevné"},
    {"Plasty", "Kompozitní", "transparentní"},
    {"Plasty", "Kompozitní", "barevné"},
    {"Kovy", "Al"},
    {"Kovy", "Fe"},
    {"Kovy", "Kompozitní Al"},
    {"Kovy", "Kompozitní Fe"},
    {"Kompozitní materiál"},
    {"Sklo", "Transparentní"},
    {"Sklo", "Barevné"},
    {"Sklo", "Kompozitní"},
    {"Papír", "Papír"},
    {"Papír", "Hladká lepenka"},
    {"Papír", "Vlnitá lepenka"},
    {"Papír", "Nasávaná kartonáž"},
    {"Papír", "Kompozitní"},
    {"Dřevo", "Dřevo a dřevotříska"},
    {"Dřevo", "Kompozit s nedřevěnými částmi"},
    {"Textil"},
    {"Jiné"},
};
constexpr int NoRow = -1;
// Materials2021 -> ShapedRows.
constexpr int ShapedRowOf[] = {0,  1,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                               12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, NoRow,
                               24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36};
static_assert(std::size(ShapedRowOf) == 39);

// The material rows of J2-J4, O2-O4 and S1, in the order of Components, so a
// composite's component is its row; the K sheets have no "Textil" row.
constexpr FormLabels SimpleRows[] = {
    {"Plasty", "PET"}, {"Plasty", "PE"},           {"Plasty", "PP"}, {"Plasty", "PS"},
    {"Plasty", "PVC"}, {"Plasty", "Jiné"},         {"Kovy", "Al"},   {"Kovy", "Fe"},
    {"Sklo"},          {"Papír a vlnitá lepenka"}, {"Dřevo"},        {"Textil"},
    {"Jiné"},
};
constexpr FormLabels CompositeRows[] = {
    {"Plasty", "PET"}, {"Plasty", "PE"},           {"Plasty", "PP"}, {"Plasty", "PS"},
    {"Plasty", "PVC"}, {"Plasty", "Jiné"},         {"Kovy", "Al"},   {"Kovy", "Fe"},
    {"Sklo"},          {"Papír a vlnitá lepenka"}, {"Dřevo"},        {"Jiné"},
};
constexpr int SimpleGlass = 8, SimpleWood = 10, SimpleTextile = 11;
static_assert(std::size(CompositeRows) == SimpleTextile + 1);
// Materials2021 -> SimpleRows; composites (-1) go by their composition.
constexpr int SimpleRowOf[] = {0,  0, 0, 1,  1, 2, 2,  3,  3,  3,  3,  3,  3,
                               4,  4, 5, 5,  5, 5, -1, -1, 6,  7,  -1, -1, -1,
                               -1, 8, 8, -1, 9, 9, 9,  9,  -1, 10, -1, 11, 12};
static_assert(std::size(SimpleRowOf) == 39);

// L rows, in the order of LitteringKinds without "není".
constexpr FormLabels LitteringRows[] = {
    {"Nádoby na nápoje"},
    {"Sáčky a balení na potraviny"},
    {"Nápojové kelímky", "vyrobené z plastu"},
    {"Nápojové kelímky", "vyrobené částečně z plastu"},
    {"Nádoby na potraviny", "vyrobené z plastu"},
    {"Nádoby na potraviny", "vyrobené částečně z plastu"},
    {"Plastové odnosné tašky", "Lehké plastové tašky 15 < 50 mikronů"},
    {"Plastové odnosné tašky", "Lehké plastové tašky < 15 mikronů"},
};
constexpr int FirstBag = 7; // LitteringKinds

constexpr std::string_view Origin[] = {"vyrobené, nakoupené v ČR", "importované do ČR"};
constexpr std::string_view Material[] = {"primární", "recyklát"};
constexpr std::string_view SalesShapes[] = {"Měkké, flexibilní", "Pevné, pevné duté do 3 L",
                                            "Pevné duté nad 3 L"};
constexpr std::string_view Shapes2[] = {"Měkké, flexibilní", "Pevné, pevné duté"};
constexpr std::string_view TransportBlocks[] = {"Skupinové", "Přepravní"};
constexpr std::string_view BeverageBlocks[] = {"Neobsahují nápoje", "Obsahují nápoje"};
constexpr std::string_view CompositeBlocks[] = {"Prodejní", "Skupinové", "Přepravní"};
constexpr std::string_view TypeBlocks[] = {"Prodejní", "Skupinové", "Přepravní", "PRŮMYSLOVÉ"};
constexpr std::string_view WithdrawnBlocks[] = {"Prodejní", "Skupinové, Přepravní", "PRŮMYSLOVÉ"};
// DiscardDestinations without "odstraněno".
constexpr std::string_view Destinations[] = {
    "recyklováno v ČR", "recyklováno v jiných členských státech EU", "recyklováno mimo EU",
    "energeticky využito", "opravy dřevěných obalů"};
constexpr int DestinationRepair = 4, DestinationDisposed = 5;

constexpr FormLabels LitteringColumns[] = {
    {"Zpoplatněné", "hmotnost plastu v tunách"},
    {"Zpoplatněné", "celková hmotnost v tunách"},
    {"Zpoplatněné", "množství v kusech"},
    {"Předplacené"},
    {"Neplacené"},
    {"Exportované"},
};
constexpr int LitteringPlastic = 0, LitteringTotal = 1, LitteringPieces = 2;

// The columns of the sheets split by shape: per block and shape the primary
// and recyclate pairs of CZ and imported columns, then the columns of the
// lower table, which has no shape.
std::vector<FormLabels> ShapedColumns(std::span<const std::string_view> blocks,
                                      std::span<const std::string_view> shapes) {
    std::vector<FormLabels> columns;
    for (std::string_view block : blocks)
        for (std::string_view shape : shapes)
            for (std::string_view material : Material)
                for (std::string_view origin : Origin) {
                    FormLabels labels{block, shape, material, origin};
                    if (block.empty())
                        labels = {shape, material, origin};
                    columns.push_back(labels);
                }
    for (std::string_view block : blocks)
        for (std::string_view material : Material)
            for (std::string_view origin : Origin)
                columns.push_back(block.empty() ? FormLabels{material, origin}
                                                : FormLabels{block, material, origin});
    return columns;
}

std::vector<FormLabels> BlockColumns(std::span<const std::string_view> blocks,
                                     std::span<const std::string_view> inner) {
    std::vector<FormLabels> columns;
    for (std::string_view block : blocks)
        for (std::string_view label : inner)
            columns.push_back({block, label});
    return columns;
}

struct KindTables {
    std::vector<FormLabels> columns[8];

    KindTables() {
        constexpr std::string_view NoBlock[] = {""};
        columns[0] = ShapedColumns(NoBlock, SalesShapes);
        columns[1] = ShapedColumns(TransportBlocks, Shapes2);
        columns[2] = ShapedColumns(BeverageBlocks, Shapes2);
        columns[3] = BlockColumns(CompositeBlocks, Origin);
        columns[4] = BlockColumns(BeverageBlocks, Origin);
        columns[5] = BlockColumns(TypeBlocks, Origin);
        columns[6].assign(std::begin(LitteringColumns), std::end(LitteringColumns));
        columns[7] = BlockColumns(WithdrawnBlocks, Destinations);
    }
};

const KindTables& Tables() {
    static const KindTables tables;
    return tables;
}

// Column index of a shaped sheet: blocks of (shapes x 4), then the unshaped
// columns (4 per block).
int ShapedColumn(int block, int blockCount, int shapeCount, int shape, bool recycled,
                 bool imported) {
    const int inner = (recycled ? 2 : 0) + (imported ? 1 : 0);
    if (shape < 0)
        return blockCount * shapeCount * 4 + block * 4 + inner;
    return (block * shapeCount + shape) * 4 + inner;
}

bool Valid(int code, const CodeList& list) {
    return code >= 0 && code < list.size;
}

FormPlacement LeaveOut(FormLeftOut reason, std::string detail = {}) {
    FormPlacement placement;
    placement.leftOut = FormLeftOutLine{reason, std::move(detail)};
    return placement;
}

// The classification's part of a line's fault: nothing when it may be placed.
std::optional<FormLeftOutLine> ClassificationProblem(const CoverClassification* c) {
    if (!c)
        return FormLeftOutLine{FormLeftOut::NotClassified, "obal nemá zařazení"};
    const std::vector<std::string> missing = MissingForNewForm(*c);
    if (missing.empty())
        return std::nullopt;
    std::string detail = "chybí ";
    for (size_t i = 0; i < missing.size(); ++i)
        detail += (i ? ", " : "") + missing[i];
    return FormLeftOutLine{FormLeftOut::NotClassified, detail};
}

bool HasWeight(Quantity kilograms) {
    return kilograms.IsValid() && kilograms.Scaled() > 0;
}

// The form takes only amounts above zero: a line of a negative weight (a
// return) has no cell either.
std::string WeightDetail(Quantity kilograms) {
    if (!kilograms.IsValid())
        return "hmotnost obalu chybí";
    return kilograms.Scaled() < 0 ? "záporná hmotnost" : "hmotnost 0 kg";
}

// The kilograms of a line split by its composition into rows (Components):
// each part is the difference of the running sums' shares, so the parts add
// up to the line exactly. Components sharing a row add up there.
std::vector<std::pair<int, Quantity>> SplitByComposition(const CoverClassification& c,
                                                         Quantity kilograms, bool textileIsOther) {
    std::vector<std::pair<int, Quantity>> parts;
    Quantity running = Quantity::FromUnits(0);
    Quantity before = Quantity::FromUnits(0);
    for (const CompositionPart& part : c.composition) {
        running = running + part.share;
        const Quantity upTo = ShareOf(kilograms, running);
        const Quantity amount = upTo - before;
        before = upTo;
        // The K sheets end with "Jiné" where the others have "Textil", "Jiné".
        const int row = textileIsOther ? std::min(part.component, SimpleTextile) : part.component;
        auto same = std::find_if(parts.begin(), parts.end(),
                                 [row](const auto& p) { return p.first == row; });
        if (same != parts.end())
            same->second = same->second + amount;
        else
            parts.emplace_back(row, amount);
    }
    return parts;
}

// The rows of J2-J4, O2-O4 and S1 a line goes to, with its kilograms.
std::vector<std::pair<int, Quantity>> SimpleRowsOf(const CoverClassification& c,
                                                   Quantity kilograms) {
    const int row = SimpleRowOf[c.material];
    if (row >= 0)
        return {{row, kilograms}};
    return SplitByComposition(c, kilograms, false);
}

void Add(FormPlacement& placement, int sheet, int row, int column, Quantity amount) {
    if (amount.Scaled() == 0)
        return;
    placement.targets.push_back({static_cast<uint8_t>(sheet), static_cast<uint8_t>(row),
                                 static_cast<uint8_t>(column), amount});
}

// Types: 0 přepravní, 1 skupinový, 2 prodejní, 3 průmyslový.
constexpr int TypeTransport = 0, TypeGrouped = 1, TypeSales = 2, TypeIndustrial = 3;
// Payments: 0 neplacený, 1 zpoplatněný, 2 předplacený.
constexpr int PaymentUnpaid = 0, PaymentPaid = 1, PaymentPrepaid = 2;
constexpr int OriginImported = 0;

// The J2-J4 / O2-O4 column block of a type.
int TypeBlock(int type) {
    switch (type) {
    case TypeSales:
        return 0;
    case TypeGrouped:
        return 1;
    case TypeTransport:
        return 2;
    default:
        return 3;
    }
}

// sklo transparentní, sklo barevné, sklo kompozitní
bool IsGlass(int material) {
    return material >= 27 && material <= 29;
}

bool GroupedOrTransport(int type) {
    return type == TypeGrouped || type == TypeTransport;
}

FormPlacement PlaceByType(const FormDispatch& line, int sheet) {
    const CoverClassification& c = *line.classification;
    const int column = TypeBlock(line.type) * 2 + (line.origin == OriginImported ? 1 : 0);
    FormPlacement placement;
    for (const auto& [row, amount] : SimpleRowsOf(c, line.kilograms)) {
        // Glass is reported only as sales or industrial packaging.
        if (row == SimpleGlass && GroupedOrTransport(line.type))
            return LeaveOut(FormLeftOut::GlassGroupedTransport, CoverTypes.Label(line.type));
        Add(placement, sheet, row, column, amount);
    }
    return placement;
}

// The J1/O1 sheet (without K) of a paid line.
int PaidSheet(const FormDispatch& line) {
    if (line.type == TypeIndustrial)
        return SheetIndustrial;
    const int beverage = line.classification->beverage ? SheetBeverage : 0;
    return beverage + (line.type == TypeSales ? SheetSales : SheetGroupedTransport);
}

std::optional<FormLeftOutLine> PaidSheetProblem(const FormDispatch& line, int sheet) {
    const CoverClassification& c = *line.classification;
    const FormSheetKind kind = Sheets[sheet].kind;
    if (c.material == Material2021BeverageCarton) {
        if (line.reusable)
            return FormLeftOutLine{FormLeftOut::ReusableBeverageCarton, {}};
        if (kind != FormSheetKind::Sales)
            return FormLeftOutLine{FormLeftOut::BeverageCartonNotSales,
                                   CoverTypes.Label(line.type)};
        if (c.shape == ShapeFlexible)
            return FormLeftOutLine{FormLeftOut::FlexibleBeverageCarton, {}};
    }
    if (kind == FormSheetKind::GroupedTransport && IsGlass(c.material))
        return FormLeftOutLine{FormLeftOut::GlassGroupedTransport, CoverTypes.Label(line.type)};
    return std::nullopt;
}

// The composite's weight split by component on the K sheet of its sheet.
void AddCompositeSplit(FormPlacement& placement, const FormDispatch& line, int sheet) {
    const bool industrial = sheet % ReusableOffset == SheetIndustrial;
    const int kSheet = industrial ? sheet - SheetIndustrial + SheetIndustrialComposite
                                  : sheet - sheet % 3 + SheetComposite;
    int block = 0;
    if (industrial)
        block = line.classification->beverage ? 1 : 0;
    else if (line.type != TypeSales)
        block = line.type == TypeGrouped ? 1 : 2;
    const int column = block * 2 + (line.origin == OriginImported ? 1 : 0);
    for (const auto& [row, amount] : SplitByComposition(*line.classification, line.kilograms, true))
        Add(placement, kSheet, row, column, amount);
}

FormPlacement PlacePaid(const FormDispatch& line, int sheet) {
    if (auto problem = PaidSheetProblem(line, sheet))
        return LeaveOut(problem->reason, std::move(problem->detail));
    const CoverClassification& c = *line.classification;
    const FormSheetKind kind = Sheets[sheet].kind;
    int row = c.material;
    int shape = HasShape(c.material) ? c.shape : -1;
    int block = 0, blocks = 1, shapes = 3;
    if (kind != FormSheetKind::Sales) {
        row = ShapedRowOf[c.material];
        // Only the A sheets have "nad 3 l"; elsewhere it is rigid.
        shape = std::min(shape, ShapeRigid);
        blocks = 2;
        shapes = 2;
        if (kind == FormSheetKind::Industrial)
            block = c.beverage ? 1 : 0;
        else
            block = line.type == TypeTransport ? 1 : 0;
    }
    const bool imported = line.origin == OriginImported;
    const Quantity recycled = ShareOf(line.kilograms, c.recycled);
    FormPlacement placement;
    Add(placement, sheet, row, ShapedColumn(block, blocks, shapes, shape, false, imported),
        line.kilograms - recycled);
    Add(placement, sheet, row, ShapedColumn(block, blocks, shapes, shape, true, imported),
        recycled);
    if (IsComposite(c.material))
        AddCompositeSplit(placement, line, sheet);
    return placement;
}

// The littering cells a single-use cover adds on L beside its own sheet.
void AddLittering(FormPlacement& placement, const FormDispatch& line) {
    const CoverClassification& c = *line.classification;
    if (line.reusable || c.littering <= 0 ||
        c.littering > static_cast<int>(std::size(LitteringRows)))
        return;
    const int row = c.littering - 1;
    if (line.exported || line.payment != PaymentPaid) {
        const int column = line.exported ? 5 : line.payment == PaymentPrepaid ? 3 : 4;
        Add(placement, SheetLittering, row, column, line.kilograms);
        return;
    }
    Add(placement, SheetLittering, row, LitteringTotal, line.kilograms);
    if (IsPartlyPlastic(c.littering) && c.plastic)
        Add(placement, SheetLittering, row, LitteringPlastic, ShareOf(line.kilograms, *c.plastic));
    if (c.littering >= FirstBag)
        Add(placement, SheetLittering, row, LitteringPieces, line.pieces);
}

} // namespace

std::span<const FormSheet> FormSheets() {
    return Sheets;
}

int FindFormSheet(std::string_view name) {
    for (size_t i = 0; i < std::size(Sheets); ++i) {
        if (Sheets[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

std::span<const FormLabels> FormRows(FormSheetKind kind) {
    switch (kind) {
    case FormSheetKind::Sales:
        return SalesRows;
    case FormSheetKind::GroupedTransport:
    case FormSheetKind::Industrial:
        return ShapedRows;
    case FormSheetKind::CompositeSplit:
    case FormSheetKind::CompositeSplit3:
        return CompositeRows;
    case FormSheetKind::Littering:
        return LitteringRows;
    case FormSheetKind::ByType:
    case FormSheetKind::Withdrawn:
        break;
    }
    return SimpleRows;
}

std::span<const FormLabels> FormColumns(FormSheetKind kind) {
    return Tables().columns[static_cast<int>(kind)];
}

bool IsPiecesColumn(FormSheetKind kind, int column) {
    return kind == FormSheetKind::Littering && column == LitteringPieces;
}

const char* FormLeftOutText(FormLeftOut reason) {
    switch (reason) {
    case FormLeftOut::MissingCover:
        return "chybí obal";
    case FormLeftOut::MissingCode:
        return "chybí údaj obalu nebo výdeje";
    case FormLeftOut::NotClassified:
        return "obal nemá úplné zařazení pro výkaz od roku 2021";
    case FormLeftOut::ZeroWeight:
        return "nulová, záporná nebo neznámá hmotnost";
    case FormLeftOut::GlassGroupedTransport:
        return "sklo jako skupinový nebo přepravní obal";
    case FormLeftOut::FlexibleBeverageCarton:
        return "měkký, flexibilní nápojový karton";
    case FormLeftOut::ReusableBeverageCarton:
        return "nápojový karton jako vratný obal";
    case FormLeftOut::BeverageCartonNotSales:
        return "nápojový karton jinde než jako prodejní obal";
    case FormLeftOut::SingleUseDiscard:
        return "vyřazení obalu na jedno použití";
    case FormLeftOut::Disposed:
        return "vyřazení \"odstraněno\" nemá ve výkazu sloupec";
    case FormLeftOut::RepairNotWood:
        return "oprava u obalu, který není ze dřeva";
    case FormLeftOut::SheetMissing:
        return "list chybí ve formuláři výkazu";
    }
    return "";
}

Quantity ShareOf(Quantity amount, Quantity percent) {
    const Int128 product = static_cast<Int128>(amount.Scaled()) * percent.Scaled();
    return Quantity::FromScaled(static_cast<int64_t>(product / (100 * Quantity::Scale)));
}

FormPlacement PlaceDispatch(const FormDispatch& line) {
    if (!Valid(line.type, CoverTypes))
        return LeaveOut(FormLeftOut::MissingCode, "druh obalu");
    if (!Valid(line.origin, Origins))
        return LeaveOut(FormLeftOut::MissingCode, "původ");
    if (!line.exported && !Valid(line.payment, Payments))
        return LeaveOut(FormLeftOut::MissingCode, "platba");
    if (auto problem = ClassificationProblem(line.classification))
        return LeaveOut(problem->reason, std::move(problem->detail));
    if (!HasWeight(line.kilograms))
        return LeaveOut(FormLeftOut::ZeroWeight, WeightDetail(line.kilograms));

    const int offset = line.reusable ? ReusableOffset : 0;
    FormPlacement placement;
    if (line.exported)
        placement = PlaceByType(line, offset + SheetExported);
    else if (line.payment == PaymentPrepaid)
        placement = PlaceByType(line, offset + SheetPrepaid);
    else if (line.payment == PaymentUnpaid)
        placement = PlaceByType(line, offset + SheetUnpaid);
    else
        placement = PlacePaid(line, offset + PaidSheet(line));
    if (!placement.leftOut)
        AddLittering(placement, line);
    return placement;
}

FormPlacement PlaceDiscard(const FormDiscard& line) {
    if (!line.reusable)
        return LeaveOut(FormLeftOut::SingleUseDiscard);
    if (!Valid(line.type, CoverTypes))
        return LeaveOut(FormLeftOut::MissingCode, "druh obalu");
    if (!Valid(line.destination, DiscardDestinations))
        return LeaveOut(FormLeftOut::MissingCode, "způsob vyřazení");
    if (auto problem = ClassificationProblem(line.classification))
        return LeaveOut(problem->reason, std::move(problem->detail));
    if (!HasWeight(line.kilograms))
        return LeaveOut(FormLeftOut::ZeroWeight, WeightDetail(line.kilograms));
    if (line.destination == DestinationDisposed)
        return LeaveOut(FormLeftOut::Disposed);

    const int block = line.type == TypeSales ? 0 : line.type == TypeIndustrial ? 2 : 1;
    const int column = block * static_cast<int>(std::size(Destinations)) + line.destination;
    FormPlacement placement;
    for (const auto& [row, amount] : SimpleRowsOf(*line.classification, line.kilograms)) {
        // The repair column exists only in the wood row.
        if (line.destination == DestinationRepair && row != SimpleWood)
            return LeaveOut(FormLeftOut::RepairNotWood,
                            Materials2021.Label(line.classification->material));
        Add(placement, SheetWithdrawn, row, column, amount);
    }
    return placement;
}

std::string KilogramsToTonnesText(Quantity kilograms) {
    // Scaled kilograms are ten-thousandths of a kilogram: 10^7 of them a tonne.
    constexpr int64_t PerTonne = Quantity::Scale * 1000;
    const int64_t scaled = kilograms.Scaled();
    const uint64_t magnitude =
        scaled < 0 ? uint64_t{0} - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string text = (scaled < 0 ? "-" : "") + std::to_string(magnitude / PerTonne);
    const uint64_t fraction = magnitude % PerTonne;
    if (fraction == 0)
        return text;
    std::string digits = std::to_string(fraction);
    digits.insert(0, 7 - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    return text + "." + digits;
}

std::string DescribeTarget(const FormTarget& target) {
    const FormSheet& sheet = Sheets[target.sheet];
    auto join = [](const FormLabels& labels) {
        std::string text;
        for (std::string_view label : labels) {
            if (label.empty())
                break;
            if (!text.empty())
                text += ' ';
            text += label;
        }
        return text;
    };
    return std::string(sheet.name) + " | " + join(FormRows(sheet.kind)[target.row]) + " | " +
           join(FormColumns(sheet.kind)[target.column]);
}

} // namespace tarvo
