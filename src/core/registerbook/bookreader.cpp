#include "core/registerbook/bookreader.h"

#include "core/data/shared.h"
#include "core/import/importframework.h"
#include "core/ports/progressport.h"
#include "core/registerbook/registerbook.h"
#include "core/registerbook/sheetscan.h"
#include "core/registers/classification.h"
#include "core/workbook/workbook.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

namespace tarvo {

std::string ProductRef::Described() const {
    switch (by) {
    case By::Source:
        return Format("produkt %s ze zdroje %s", text.c_str(), book::Sources.Label(source).c_str());
    case By::Katalog:
        return "produkt s katalogovým číslem „" + text + "“";
    case By::Name:
        break;
    }
    return "produkt „" + text + "“";
}

namespace {

constexpr int CancelEvery = 1000;

// The sheet of that name, letter case aside, or null.
Worksheet* FindSheet(Workbook& workbook, std::string_view name) {
    const std::string key = LabelKey(name);
    for (const std::string& sheet : workbook.SheetNames()) {
        if (LabelKey(sheet) == key)
            return workbook.Sheet(sheet);
    }
    return nullptr;
}

// Visits the data rows of a sheet that has the required columns; the header
// must be its first row.
// False when the sheet lacks a required column.
bool ScanSheet(Worksheet& sheet, std::string_view name,
               const std::vector<std::string_view>& required, std::vector<RegisterFault>& faults,
               IProgressPort& progress, const std::function<void(SheetScan&)>& visitRow) {
    if (progress.CheckCancel())
        throw ImportCancelled();
    progress.SetStatus(Format("Čtu list %s", std::string(name).c_str()));
    SheetScan scan(name, faults);
    bool header = true;
    bool complete = true;
    long rows = 0;
    sheet.ForEachRow([&](int row, const std::vector<SheetCell>& cells) {
        if (++rows % CancelEvery == 0) {
            if (progress.CheckCancel())
                throw ImportCancelled();
            progress.SetSecondaryStatus(Format("řádek %d", row));
        }
        if (header) {
            header = false;
            complete = scan.ReadHeader(cells, required);
            return;
        }
        if (complete && scan.BeginRow(row, cells))
            visitRow(scan);
    });
    return complete;
}

// The line columns of a composite cover item or a packaging line; false when
// the row has none of them (a composite cover or definition without lines).
bool ReadLine(SheetScan& scan, BookLine& line) {
    line.row = scan.Row();
    line.cover = scan.Text(book::Cover);
    if (line.cover.empty()) {
        for (const std::string_view column :
             {book::QtyCover, book::QtyProd, book::UseAlways, book::UseFrom, book::UseTo,
              book::Type, book::Origin, book::Payment}) {
            if (!scan.IsEmpty(column)) {
                scan.Fault(book::Cover, "chybí obal");
                break;
            }
        }
        return false;
    }
    const std::optional<Quantity> qtyCover = scan.Number(book::QtyCover, "množství obalu");
    if (qtyCover && qtyCover->Scaled() <= 0)
        scan.Fault(book::QtyCover, "množství obalu musí být větší než 0");
    const std::optional<Quantity> qtyProd = scan.Number(book::QtyProd, "počet produktů");
    if (qtyProd && qtyProd->Scaled() <= 0)
        scan.Fault(book::QtyProd, "počet produktů musí být větší než 0");
    line.qtyCover = qtyCover.value_or(Quantity());
    line.qtyProd = qtyProd.value_or(Quantity());
    line.useAlways = scan.YesNo(book::UseAlways, true);
    line.useFrom = scan.Number(book::UseFrom, nullptr).value_or(Quantity::FromUnits(0));
    line.useTo = scan.Number(book::UseTo, nullptr).value_or(Quantity::FromUnits(0));
    line.type = scan.Code(book::Type, CoverTypes, "typ", false);
    line.origin = scan.Code(book::Origin, Origins, "původ", false);
    line.payment = scan.Code(book::Payment, Payments, "platba", false);
    return true;
}

// Where a row of a sheet was first seen, by its key: the duplicate's fault.
class FirstRows {
public:
    // False, after the fault, when the key was seen before.
    bool Add(SheetScan& scan, std::string key, std::string_view column, const char* what) {
        const auto [it, added] = m_rows.try_emplace(std::move(key), scan.Row());
        if (!added)
            scan.Fault(column, Format("%s je v listu už na řádku %d", what, it->second));
        return added;
    }

private:
    std::unordered_map<std::string, int> m_rows;
};

// The columns of the classification; a sheet with none of them leaves the
// covers' classifications as they are.
constexpr std::string_view ClassColumns[] = {book::Beverage, book::Recycled,     book::Littering,
                                             book::Plastic,  book::Material2021, book::Shape};

// The classification a row states; nothing when its cells are all empty. An
// empty cell is the field not chosen (no beverage, no littering).
std::optional<CoverClassification> ReadClassification(SheetScan& scan) {
    if (std::all_of(std::begin(ClassColumns), std::end(ClassColumns),
                    [&](std::string_view column) { return scan.IsEmpty(column); }))
        return std::nullopt;
    CoverClassification c;
    c.beverage = scan.YesNo(book::Beverage, false);
    c.material = scan.Code(book::Material2021, Materials2021, "materiál 2021", false);
    c.shape = scan.Code(book::Shape, Shapes, "tvar", false);
    c.recycled = scan.Number(book::Recycled, nullptr).value_or(Quantity::FromUnits(0));
    c.littering = std::max(scan.Code(book::Littering, LitteringKinds, "littering", false), 0);
    c.plastic = scan.Number(book::Plastic, nullptr);
    return c;
}

bool ReadCovers(Worksheet& sheet, Book& book, std::vector<RegisterFault>& faults,
                IProgressPort& progress) {
    FirstRows first;
    return ScanSheet(
        sheet, book::CoverSheet,
        {book::Name, book::Weight, book::Material, book::Type, book::Origin, book::Payment,
         book::Stat},
        faults, progress, [&](SheetScan& scan) {
            BookCover cover;
            cover.row = scan.Row();
            cover.record.name = scan.Text(book::Name);
            cover.deleted = scan.YesNo(book::Deleted, false);
            // Deleted covers may share a name: a cover deleted and
            // made again, perhaps more than once.
            if (cover.record.name.empty())
                scan.Fault(book::Name, "chybí název");
            else if (!cover.deleted)
                first.Add(scan, LabelKey(cover.record.name), book::Name,
                          ("obal „" + cover.record.name + "“").c_str());
            const std::optional<Quantity> weight = scan.Number(book::Weight, "hmotnost");
            if (weight && weight->Scaled() <= 0)
                scan.Fault(book::Weight, "hmotnost musí být větší než 0");
            cover.record.weight = weight.value_or(Quantity());
            cover.record.material = scan.Code(book::Material, Materials, "materiál", true);
            cover.record.type = scan.Code(book::Type, CoverTypes, "typ", true);
            cover.record.origin = scan.Code(book::Origin, Origins, "původ", true);
            cover.record.payment = scan.Code(book::Payment, Payments, "platba", true);
            cover.record.stat = scan.Code(book::Stat, StatCategories, "statistický údaj", true);
            cover.record.reusable = scan.YesNo(book::Reusable, false);
            cover.record.note = scan.Text(book::Note);
            cover.classGiven =
                std::any_of(std::begin(ClassColumns), std::end(ClassColumns),
                            [&](std::string_view column) { return scan.Has(column); });
            if (cover.classGiven)
                cover.classification = ReadClassification(scan);
            book.covers.push_back(std::move(cover));
        });
}

bool ReadCompCovers(Worksheet& sheet, Book& book, std::vector<RegisterFault>& faults,
                    IProgressPort& progress) {
    // The rows of one composite cover need not follow each other.
    std::unordered_map<std::string, size_t> byName;
    return ScanSheet(
        sheet, book::CompCoverSheet, {book::CompCover, book::Cover, book::QtyCover, book::QtyProd},
        faults, progress, [&](SheetScan& scan) {
            const std::string name = scan.Text(book::CompCover);
            if (name.empty()) {
                scan.Fault(book::CompCover, "chybí název");
                return;
            }
            const auto [it, added] = byName.try_emplace(LabelKey(name), book.compCovers.size());
            if (added)
                book.compCovers.push_back({scan.Row(), name, {}, {}});
            BookCompCover& compCover = book.compCovers[it->second];
            if (compCover.note.empty())
                compCover.note = scan.Text(book::Note);
            BookLine item;
            if (ReadLine(scan, item))
                compCover.items.push_back(std::move(item));
        });
}

// The product a row names. Nothing, after a fault, when the row names none.
std::optional<ProductRef> ReadProductRef(SheetScan& scan, std::string_view nameColumn) {
    ProductRef ref;
    const std::string id = scan.SourceId(book::SourceId);
    const int source = scan.Code(book::Source, book::Sources, "zdroj", false);
    if (!id.empty()) {
        if (source <= 0) {
            if (scan.IsEmpty(book::Source))
                scan.Fault(book::Source, "chybí zdroj");
            return std::nullopt;
        }
        ref = {ProductRef::By::Source, source, id, std::string(book::SourceId)};
    } else if (source > 0) {
        scan.Fault(book::SourceId, "chybí ID ve zdroji");
        return std::nullopt;
    } else if (const std::string katalog = scan.Text(book::Katalog); !katalog.empty()) {
        ref = {ProductRef::By::Katalog, 0, katalog, std::string(book::Katalog)};
    } else if (const std::string name = scan.Text(nameColumn); !name.empty()) {
        ref = {ProductRef::By::Name, 0, name, std::string(nameColumn)};
    } else {
        scan.Fault(nameColumn, "chybí produkt");
        return std::nullopt;
    }
    return ref;
}

// A product reference as a key, letter case aside.
std::string RefKey(const ProductRef& ref) {
    return Format("%d|%d|", static_cast<int>(ref.by), ref.source) + LabelKey(ref.text);
}

bool ReadProducts(Worksheet& sheet, Book& book, std::vector<RegisterFault>& faults,
                  IProgressPort& progress) {
    FirstRows first;
    return ScanSheet(sheet, book::ProductSheet, {book::Name}, faults, progress,
                     [&](SheetScan& scan) {
                         BookProduct product;
                         product.row = scan.Row();
                         product.name = scan.Text(book::Name);
                         product.katalog = scan.Text(book::Katalog);
                         product.unit = scan.Text(book::Unit);
                         if (product.name.empty())
                             scan.Fault(book::Name, "chybí název");
                         const std::optional<ProductRef> key = ReadProductRef(scan, book::Name);
                         if (!key || product.name.empty())
                             return;
                         if (!first.Add(scan, RefKey(*key), key->column, key->Described().c_str()))
                             return;
                         product.key = *key;
                         book.products.push_back(std::move(product));
                     });
}

bool ReadPackaging(Worksheet& sheet, Book& book, std::vector<RegisterFault>& faults,
                   IProgressPort& progress) {
    // One definition per product and day, whichever rows its lines are on.
    std::unordered_map<std::string, size_t> definitions;
    return ScanSheet(
        sheet, book::PackagingSheet, {book::Product, book::ValidFrom, book::Cover}, faults,
        progress, [&](SheetScan& scan) {
            const std::optional<ProductRef> product = ReadProductRef(scan, book::Product);
            const OleDate from = scan.Date(book::ValidFrom);
            BookLine line;
            const bool hasLine = ReadLine(scan, line);
            if (!product || !from.IsValid())
                return;
            const std::string key = RefKey(*product) + Format("|%.0f", std::floor(from.Value()));
            const auto [it, added] = definitions.try_emplace(key, book.definitions.size());
            if (added)
                book.definitions.push_back({scan.Row(), *product, from, {}});
            if (hasLine)
                book.definitions[it->second].lines.push_back(std::move(line));
        });
}

// A component of a cover's composition as its row gives it.
struct BookPart {
    int row = 0;
    std::string cover;
    CompositionPart part;
};

bool ReadCompositions(Worksheet& sheet, std::vector<BookPart>& parts,
                      std::vector<RegisterFault>& faults, IProgressPort& progress) {
    return ScanSheet(sheet, book::CompositionSheet, {book::Cover, book::Component, book::Share},
                     faults, progress, [&](SheetScan& scan) {
                         BookPart part{scan.Row(), scan.Text(book::Cover), {}};
                         if (part.cover.empty())
                             scan.Fault(book::Cover, "chybí obal");
                         part.part.component =
                             scan.Code(book::Component, Components, "složka", true);
                         part.part.share =
                             scan.Number(book::Share, "podíl").value_or(Quantity::FromUnits(0));
                         if (!part.cover.empty())
                             parts.push_back(std::move(part));
                     });
}

// Gives the covers of the cover sheet their components, in the order of the
// rows. A name several covers share (deleted ones, perhaps one in use too)
// names those of a composite material in the order of the cover sheet, as
// the export writes them: a run of rows is one cover's composition until the
// name changes or its shares reach 100 %. Where each cover's first
// component is, by cover.
std::unordered_map<size_t, int> AttachParts(Book& book, const std::vector<BookPart>& parts,
                                            std::vector<RegisterFault>& faults) {
    struct Named {
        std::vector<size_t> covers; // in the order of the sheet
        size_t next = 0;            // the first not yet given a run
        std::optional<size_t> current;
    };
    std::unordered_map<std::string, Named> byName;
    for (size_t i = 0; i < book.covers.size(); ++i)
        byName[LabelKey(book.covers[i].record.name)].covers.push_back(i);
    const auto composite = [&](size_t i) {
        const std::optional<CoverClassification>& c = book.covers[i].classification;
        return c && IsComposite(c->material);
    };
    // A cover's components sum to 100 %: the next row is another's.
    const auto full = [&](size_t i) {
        Quantity total = Quantity::FromUnits(0);
        for (const CompositionPart& p : book.covers[i].classification->composition)
            total = total + p.share;
        return total >= Quantity::FromUnits(100);
    };
    const std::string sheet(book::CompositionSheet);
    std::unordered_map<size_t, int> firstRows;
    std::string previous; // the name of the row before
    for (const BookPart& part : parts) {
        const std::string key = LabelKey(part.cover);
        const auto it = byName.find(key);
        if (it == byName.end()) {
            faults.push_back({sheet, part.row, std::string(book::Cover),
                              "obal „" + part.cover + "“ není v listu Obaly"});
            previous = key;
            continue;
        }
        Named& named = it->second;
        if (named.covers.size() == 1) {
            named.current = named.covers.front();
        } else if (key != previous || !named.current || full(*named.current)) {
            named.current.reset();
            while (named.next < named.covers.size() && !named.current) {
                if (const size_t i = named.covers[named.next++]; composite(i))
                    named.current = i;
            }
        }
        previous = key;
        if (!named.current) {
            faults.push_back({sheet, part.row, std::string(book::Cover),
                              "v listu Obaly je více obalů „" + part.cover + "“"});
            continue;
        }
        BookCover& cover = book.covers[*named.current];
        cover.classGiven = true;
        if (!cover.classification)
            cover.classification = CoverClassification{};
        cover.classification->composition.push_back(part.part);
        firstRows.try_emplace(*named.current, part.row);
    }
    return firstRows;
}

// The column a refusal of the rules is about: the first field whose clearing
// changes the verdict; the composition sheet for the components.
std::string_view FaultField(const CoverClassification& c, bool reusable, const std::string& fault) {
    using Clear = void (*)(CoverClassification&);
    const std::pair<std::string_view, Clear> fields[] = {
        {book::Shape, [](CoverClassification& x) { x.shape = -1; }},
        {book::Recycled, [](CoverClassification& x) { x.recycled = Quantity::FromUnits(0); }},
        {book::Plastic, [](CoverClassification& x) { x.plastic.reset(); }},
        {book::Littering, [](CoverClassification& x) { x.littering = 0; }},
        {book::CompositionSheet, [](CoverClassification& x) { x.composition.clear(); }},
        {book::Material2021, [](CoverClassification& x) { x.material = -1; }}};
    for (const auto& [field, clear] : fields) {
        CoverClassification cleared = c;
        clear(cleared);
        if (ClassificationFault(cleared, reusable) != fault)
            return field;
    }
    return {};
}

// Every classification the rules refuse, at the cell it is about.
void CheckClassifications(const Book& book, const std::unordered_map<size_t, int>& firstRows,
                          std::vector<RegisterFault>& faults) {
    for (size_t i = 0; i < book.covers.size(); ++i) {
        const BookCover& cover = book.covers[i];
        if (!cover.classification)
            continue;
        const std::optional<std::string> fault =
            ClassificationFault(*cover.classification, cover.record.reusable);
        if (!fault)
            continue;
        const std::string_view field =
            FaultField(*cover.classification, cover.record.reusable, *fault);
        if (field == book::CompositionSheet && firstRows.contains(i))
            faults.push_back({std::string(field), firstRows.at(i), {}, *fault});
        else
            faults.push_back({std::string(book::CoverSheet), cover.row,
                              field == book::CompositionSheet ? std::string() : std::string(field),
                              *fault});
    }
}

} // namespace

Book ReadBook(Workbook& workbook, std::vector<RegisterFault>& faults, IProgressPort& progress) {
    Book book;
    const struct {
        std::string_view name;
        bool (*read)(Worksheet&, Book&, std::vector<RegisterFault>&, IProgressPort&);
    } sheets[] = {{book::CoverSheet, ReadCovers},
                  {book::CompCoverSheet, ReadCompCovers},
                  {book::ProductSheet, ReadProducts},
                  {book::PackagingSheet, ReadPackaging}};
    bool any = false;
    // A sheet's rows are not counted before they are read: the bar moves a
    // quarter per sheet.
    progress.SetRange(0, static_cast<int>(std::size(sheets)));
    for (size_t i = 0; i < std::size(sheets); ++i) {
        if (Worksheet* found = FindSheet(workbook, sheets[i].name)) {
            any = true;
            book.complete = sheets[i].read(*found, book, faults, progress) && book.complete;
        }
        progress.SetPos(static_cast<int>(i) + 1);
    }
    std::vector<BookPart> parts;
    if (Worksheet* found = FindSheet(workbook, book::CompositionSheet))
        book.complete = ReadCompositions(*found, parts, faults, progress) && book.complete;
    CheckClassifications(book, AttachParts(book, parts, faults), faults);
    if (!any)
        faults.push_back({{},
                          0,
                          {},
                          "Sešit neobsahuje žádný z listů Obaly, Složené obaly, "
                          "Produkty a Balení."});
    return book;
}

} // namespace tarvo
