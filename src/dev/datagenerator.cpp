#include "dev/datagenerator.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/oledate.h"
#include "core/data/shared.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/ports/progressport.h"
#include "core/records/classification.h"
#include "core/records/compcovers.h"
#include "core/records/coverline.h"
#include "core/records/covers.h"
#include "core/records/dispatches.h"
#include "core/records/products.h"
#include "core/registers/classification.h"

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace tarvo {

namespace {

// Rows written between two commits.
constexpr long RowsPerBatch = 50000;

// mt19937_64 gives the same numbers everywhere; the standard distributions
// do not, so the generator draws with plain remainders.
class Dice {
public:
    explicit Dice(uint64_t seed) : m_engine(seed) {}
    long Below(long n) {
        return n <= 0 ? 0 : static_cast<long>(m_engine() % static_cast<uint64_t>(n));
    }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, size_t N> const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<long>(N))];
    }

private:
    std::mt19937_64 m_engine;
};

const char* const CoverNames[] = {
    "Paleta EUR",       "Paleta jednocestná", "Karton 600x400", "Karton 300x200",
    "Krabice dárková",  "Fólie stretch",      "Páska PP",       "Láhev PET 1,5 l",
    "Láhev sklo 0,7 l", "Plechovka 0,33 l",   "Víčko AL",       "Etiketa papír",
    "Sud nerez 50 l",   "Přepravka PE",       "Pytel PE 25 kg", "Kanystr 10 l",
    "Proklad lepenka",  "Vak textil",         "Kelímek PS",     "Nápojový karton 1 l",
};
const char* const ProductNames[] = {
    "Minerální voda", "Limonáda",     "Pivo ležák",   "Víno bílé",    "Šťáva jablečná",
    "Mouka hladká",   "Cukr krupice", "Olej řepkový", "Prací prášek", "Čistič oken",
    "Barva fasádní",  "Lepidlo",      "Hřebíky",      "Šrouby",       "Káva mletá",
};
const char* const Units[] = {"ks", "kg", "l", "bal"};
const char* const QtyCovers[] = {"1", "1", "2", "0,5", "4", "10", "0,25"};
const char* const QtyProds[] = {"1", "6", "10", "12", "24", "100", "1000", "0,5"};

Quantity Q(const char* text) {
    return ParseQuantity(text).value();
}

// Counts the rows written and commits every RowsPerBatch of them, telling
// the progress. A unit is open whenever a row is written, so a failure rolls
// back the batch under way.
class Batches {
public:
    Batches(CDataStore& store, IProgressPort& progress, long plannedRows)
        : m_store(store), m_progress(progress), m_planned(std::max(1L, plannedRows)) {
        m_unit.emplace(m_store);
    }

    void Wrote(long rows) {
        m_written += rows;
        m_inBatch += rows;
        if (m_inBatch >= RowsPerBatch) {
            Commit();
            m_unit.emplace(m_store);
        }
    }
    void Commit() {
        m_unit->Commit();
        m_unit.reset();
        m_inBatch = 0;
        m_progress.SetSecondaryStatus(Format("%li z %li", m_written, m_planned));
        m_progress.SetPos(static_cast<int>(std::min(1000L, m_written * 1000 / m_planned)));
    }

private:
    CDataStore& m_store;
    IProgressPort& m_progress;
    long m_planned;
    long m_written = 0;
    long m_inBatch = 0;
    std::optional<Transaction> m_unit;
};

// Every thirteenth cover is left without a classification, as in a working
// database not yet fully classified.
constexpr long UnclassifiedEvery = 13;

// The classification of the i-th cover for the statement since 2021: the
// covers walk through every material, the shaped ones through the shapes,
// every third single-use cover through the littering entries; composites
// get two to four components whose whole per cents sum to 100.
CoverClassification DrawClassification(Dice& dice, long i, bool reusable) {
    CoverClassification c;
    c.material = static_cast<int>(i % Materials2021.size);
    if (HasShape(c.material))
        c.shape = static_cast<int>((i + i / Materials2021.size) % Shapes.size);
    if (c.material == Material2021BeverageCarton && c.shape == ShapeFlexible)
        c.shape = ShapeRigid;
    c.beverage = i % 4 == 1;
    const char* const recycled[] = {"0", "0", "25", "37,5", "100"};
    c.recycled = Q(dice.Pick(recycled));
    if (!reusable && i % 3 == 1)
        c.littering = static_cast<int>(1 + (i / 3) % (LitteringKinds.size - 1));
    if (IsPartlyPlastic(c.littering))
        c.plastic = Q(dice.Chance(50) ? "30" : "62,5");
    if (IsComposite(c.material)) {
        std::vector<int> components(static_cast<size_t>(Components.size));
        for (size_t k = 0; k < components.size(); ++k)
            components[k] = static_cast<int>(k);
        const long parts = 2 + dice.Below(3);
        long left = 100;
        for (long k = 0; k < parts; ++k) {
            const size_t pick =
                static_cast<size_t>(k + dice.Below(static_cast<long>(components.size()) - k));
            std::swap(components[static_cast<size_t>(k)], components[pick]);
            const long share = k + 1 == parts ? left : 1 + dice.Below(left - (parts - k - 1));
            left -= share;
            c.composition.push_back(
                {components[static_cast<size_t>(k)], Quantity::FromUnits(share)});
        }
    }
    return c;
}

struct LineCodes {
    int type;
    int org;
    int pay;
};

// The classification comes last, from a stream of its own: the rows before
// it stay those the same seed always gave.
void Classify(CDataStore& store, Batches& batches, uint64_t seed,
              const std::vector<RecordId>& coverIds,
              const std::vector<std::pair<RecordId, int>>& discardKinds) {
    const long covers = static_cast<long>(coverIds.size());
    Dice classDice(seed ^ 0x2021);
    for (long i = 0; i < covers; ++i) {
        if (i % UnclassifiedEvery == UnclassifiedEvery - 1)
            continue;
        WriteClassification(store, coverIds[static_cast<size_t>(i)],
                            DrawClassification(classDice, i, i % 3 == 0));
        batches.Wrote(1);
    }
    // A recycled discard went to one of the recycling destinations or, made
    // of wood, back into use repaired; the other kinds keep the one they imply.
    constexpr int RecycledKind = 2;
    const int recycledDestinations[] = {0, 1, 2, 4};
    for (const auto& [id, kind] : discardKinds) {
        if (kind == RecycledKind) {
            WriteDiscardDestination(store, id, classDice.Pick(recycledDestinations));
            batches.Wrote(1);
        }
    }
}

} // namespace

GeneratorCounts GenerateData(CDataStore& store, const GeneratorOptions& o,
                             IProgressPort& progress) {
    Dice dice(o.seed);
    GeneratorCounts counts;
    const long covers = std::max<long>(o.covers, Materials.size);
    const long products = std::max(1L, o.products);
    const long dispatches = std::max(0L, o.dispatches);
    const long linesPerDispatch = std::max(0L, o.linesPerDispatch);
    const long discards = o.discards < 0 ? dispatches / 10 : o.discards;
    const int years = std::max(1, o.years);
    const long plannedRows =
        covers + products * 10 + dispatches * (1 + linesPerDispatch) +
        (o.deriveCovers ? dispatches * linesPerDispatch * o.coversPerLine : 0) + discards;

    progress.SetRange(0, 1000);
    progress.SetStatus("Generuji data");
    Batches batches(store, progress, plannedRows);

    // Covers: the first ones walk through every code of every list.
    CoverWriter coverWriter(store);
    std::vector<RecordId> coverIds;
    coverIds.reserve(static_cast<size_t>(covers));
    for (long i = 0; i < covers; ++i) {
        CoverRecord cover;
        cover.name = Format("%s %li", dice.Pick(CoverNames), i + 1);
        cover.weight = Quantity::FromScaled(100 + dice.Below(250000));
        cover.material = static_cast<int>(i < Materials.size ? i : dice.Below(Materials.size));
        cover.type = static_cast<int>(i % CoverTypes.size);
        cover.origin = static_cast<int>(i % Origins.size);
        cover.payment = static_cast<int>(i % Payments.size);
        cover.stat = static_cast<int>(i % StatCategories.size);
        cover.reusable = i % 3 == 0;
        if (i % 7 == 0)
            cover.note = "dodavatel mění rozměr";
        // A few soft-deleted covers: their lines still count.
        coverIds.push_back(coverWriter.Insert(cover, i % 20 == 19));
        batches.Wrote(1);
    }
    counts.covers = covers;

    auto codes = [&dice]() {
        return LineCodes{static_cast<int>(dice.Below(CoverTypes.size)),
                         static_cast<int>(dice.Below(Origins.size)),
                         static_cast<int>(dice.Below(Payments.size))};
    };
    auto anyCover = [&]() { return coverIds[static_cast<size_t>(dice.Below(covers))]; };
    // A line of a random cover and random quantities, the codes drawn first.
    auto line = [&](bool always, Quantity from, Quantity to) {
        const LineCodes c = codes();
        CoverLine made;
        made.cover = anyCover();
        made.qtyCover = Q(dice.Pick(QtyCovers));
        made.qtyProd = Q(dice.Pick(QtyProds));
        made.useAlways = always;
        made.useFrom = from;
        made.useTo = to;
        made.type = c.type;
        made.origin = c.org;
        made.payment = c.pay;
        return made;
    };

    CompCoverWriter compositeWriter(store);
    // The always lines keep their zero limits, as generated data always had.
    CoverLineWriter itemWriter(store, CoverLineTable::CompCoverItems, AlwaysLimits::AsGiven);
    for (long i = 0; i < o.composites; ++i) {
        const RecordId id =
            compositeWriter.Insert({Format("Sada %li", i + 1), i % 2 ? "paletové balení" : ""});
        batches.Wrote(1);
        for (long k = 2 + dice.Below(3); k > 0; --k) {
            itemWriter.Insert(id, line(true, Quantity::FromScaled(0), Quantity::FromScaled(0)));
            batches.Wrote(1);
        }
        ++counts.composites;
    }

    // Products and their packaging. The first definition starts a year
    // before the first dispatch, so every dispatch line finds one.
    const long firstDay = OleDate::FromParts(o.firstYear, 1, 1).DayNumber();
    const long lastDay = OleDate::FromParts(o.firstYear + years - 1, 12, 31).DayNumber();
    ProductWriter productWriter(store);
    DefinitionWriter definitionWriter(store);
    CoverLineWriter packagingWriter(store, CoverLineTable::Packaging, AlwaysLimits::AsGiven);
    auto addLine = [&](RecordId dtId, bool always, Quantity from, Quantity to) {
        packagingWriter.Insert(dtId, line(always, from, to));
        batches.Wrote(1);
        ++counts.packagingLines;
    };
    std::vector<RecordId> productIds;
    for (long i = 0; i < products; ++i) {
        const long source = i % 3; // hand-entered, Money S3, WAK INTRA
        ProductRecord product;
        product.name = Format("%s %li", dice.Pick(ProductNames), i + 1);
        product.katalog = Format("K%06li", i + 1);
        product.unit = dice.Pick(Units);
        if (source > 0) {
            product.source = source;
            product.sourceId = 1000 + i;
        }
        productIds.push_back(productWriter.Insert(product));
        batches.Wrote(1);

        std::vector<long> days{firstDay - 365};
        for (long k = dice.Below(3); k > 0; --k)
            days.push_back(firstDay + dice.Below(lastDay - firstDay + 1));
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        for (long day : days) {
            const RecordId dtId = definitionWriter.Insert(
                {productIds.back(), OleDate::FromValue(static_cast<double>(day))});
            batches.Wrote(1);
            ++counts.definitions;
            for (long k = 1; k < o.coversPerLine; ++k)
                addLine(dtId, true, Quantity::FromScaled(0), Quantity::FromScaled(0));
            if (o.coversPerLine < 1)
                continue;
            // Bands that together cover every quantity from 0 on, each end
            // one ten-thousandth below the next start.
            const long bands = 1 + dice.Below(3);
            int64_t from = 0;
            for (long b = 1; b <= bands; ++b) {
                const int64_t next =
                    b == bands ? int64_t{100000000000000} : from + (10 + dice.Below(200)) * 10000;
                addLine(dtId, false, Quantity::FromScaled(from), Quantity::FromScaled(next - 1));
                from = next;
            }
        }
    }
    counts.products = products;

    // Dispatches in date order, like a real register, with their lines.
    MoveWriter moveWriter(store);
    MoveLineWriter moveLineWriter(store);
    CoverDerivation derivation(store, true);
    const char* const prefixes[] = {"R", "FV", "W"};
    for (long i = 0; i < dispatches; ++i) {
        const long source = dice.Below(3);
        const long day = firstDay + i * (lastDay - firstDay + 1) / dispatches;
        // Working hours: 7:00 to 17:00, whole minutes.
        const long minute = 420 + dice.Below(600);
        const OleDate date =
            OleDate::FromValue(static_cast<double>(day) + static_cast<double>(minute) / 1440.0);
        // The kind is drawn before the export flag (a braced list runs in
        // order).
        const RecordId moveId = moveWriter.Insert(
            MoveRecord{Format("%s%07li", prefixes[source], i + 1),
                       static_cast<int>(dice.Below(MoveTypes.size)), date, dice.Chance(20)},
            source);
        batches.Wrote(1);
        for (long k = 0; k < linesPerDispatch; ++k) {
            const RecordId prodId = productIds[static_cast<size_t>(dice.Below(products))];
            // Mostly whole pieces, now and then a weighed amount.
            const Quantity qty = Quantity::FromScaled(
                dice.Chance(20) ? 1 + dice.Below(5000000)
                                : (1 + dice.Below(dice.Chance(10) ? 5000 : 200)) * 10000);
            const RecordId mvprodId = moveLineWriter.Insert({moveId, prodId, qty});
            batches.Wrote(1);
            if (o.deriveCovers) {
                const long rows = derivation.Append(mvprodId, moveId, prodId, qty, date);
                counts.coverLines += rows;
                batches.Wrote(rows);
            }
        }
    }
    counts.dispatches = dispatches;
    counts.lines = dispatches * linesPerDispatch;

    std::vector<std::pair<RecordId, int>> discardKinds;
    DiscardWriter discardWriter(store);
    for (long i = 0; i < discards; ++i) {
        DiscardRecord discard;
        discard.cover = anyCover();
        discard.date =
            OleDate::FromValue(static_cast<double>(firstDay + dice.Below(lastDay - firstDay + 1)));
        discard.kind = static_cast<int>(i < DiscardKinds.size ? i : dice.Below(DiscardKinds.size));
        discard.quantity = Quantity::FromScaled((1 + dice.Below(50)) * 10000);
        discardKinds.emplace_back(discardWriter.Insert(discard), discard.kind);
        batches.Wrote(1);
    }
    counts.discards = discards;

    if (o.classify)
        Classify(store, batches, o.seed, coverIds, discardKinds);
    batches.Commit();
    return counts;
}

} // namespace tarvo
