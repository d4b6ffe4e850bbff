#include "core/engine/datagenerator.h"

#include "core/data/cdatastore.h"
#include "core/data/codelists.h"
#include "core/data/oledate.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"
#include "core/ports/progressport.h"

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

// Inserts through prepared statements, committing every RowsPerBatch rows.
class Writer {
public:
    Writer(CDataStore& store, IProgressPort& progress, long plannedRows)
        : m_store(store), m_progress(progress), m_planned(std::max(1L, plannedRows)) {}

    CStatement& Prepare(const char* sql) {
        m_statements.push_back(std::make_unique<CStatement>(m_store, sql));
        return *m_statements.back();
    }
    // Runs the bound statement as one more row and returns the new id.
    int64_t Insert(CStatement& statement) {
        statement.Run();
        Wrote(1);
        return m_store.LastInsertId();
    }
    void Wrote(long rows) {
        if (!m_unit)
            m_unit.emplace(m_store);
        m_written += rows;
        m_inBatch += rows;
        if (m_inBatch >= RowsPerBatch)
            Commit();
    }
    void Commit() {
        if (m_unit) {
            m_unit->Commit();
            m_unit.reset();
        }
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
    std::optional<CTransaction> m_unit;
    std::vector<std::unique_ptr<CStatement>> m_statements;
};

struct LineCodes {
    int type;
    int org;
    int pay;
};

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
    Writer writer(store, progress, plannedRows);

    // Covers: the first ones walk through every code of every list.
    CStatement& insertCover = writer.Prepare(
        "INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, cover_org, "
        "cover_pay, cover_stat, cover_reusable, cover_note, deleted) VALUES (?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?)");
    std::vector<int64_t> coverIds;
    coverIds.reserve(static_cast<size_t>(covers));
    for (long i = 0; i < covers; ++i) {
        insertCover.BindText(1, Format("%s %li", dice.Pick(CoverNames), i + 1));
        insertCover.BindInt(2, 100 + dice.Below(250000));
        insertCover.BindInt(3, i < Materials.size ? i : dice.Below(Materials.size));
        insertCover.BindInt(4, i % CoverTypes.size);
        insertCover.BindInt(5, i % Origins.size);
        insertCover.BindInt(6, i % Payments.size);
        insertCover.BindInt(7, i % StatCategories.size);
        insertCover.BindInt(8, i % 3 == 0 ? 1 : 0);
        if (i % 7 == 0)
            insertCover.BindText(9, "dodavatel mění rozměr");
        // A few soft-deleted covers: their lines still count.
        insertCover.BindInt(10, i % 20 == 19 ? 1 : 0);
        coverIds.push_back(writer.Insert(insertCover));
    }
    counts.covers = covers;

    auto codes = [&dice]() {
        return LineCodes{static_cast<int>(dice.Below(CoverTypes.size)),
                         static_cast<int>(dice.Below(Origins.size)),
                         static_cast<int>(dice.Below(Payments.size))};
    };
    auto anyCover = [&]() { return coverIds[static_cast<size_t>(dice.Below(covers))]; };

    CStatement& insertComposite =
        writer.Prepare("INSERT INTO CompCover (ccover_name, ccover_note) VALUES (?, ?)");
    CStatement& insertItem = writer.Prepare(
        "INSERT INTO CompCover_Item (ccover_id, cover_id, cp_qtycover, cp_qtyprod, "
        "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) VALUES (?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?)");
    for (long i = 0; i < o.composites; ++i) {
        insertComposite.BindText(1, Format("Sada %li", i + 1));
        insertComposite.BindText(2, i % 2 ? "paletové balení" : "");
        const int64_t id = writer.Insert(insertComposite);
        for (long k = 2 + dice.Below(3); k > 0; --k) {
            const LineCodes c = codes();
            insertItem.BindInt(1, id).BindInt(2, anyCover());
            insertItem.BindQuantity(3, Q(dice.Pick(QtyCovers)));
            insertItem.BindQuantity(4, Q(dice.Pick(QtyProds)));
            insertItem.BindInt(5, 1).BindInt(6, 0).BindInt(7, 0);
            insertItem.BindInt(8, c.type).BindInt(9, c.org).BindInt(10, c.pay);
            writer.Insert(insertItem);
        }
        ++counts.composites;
    }

    // Products and their packaging. The first definition starts a year
    // before the first dispatch, so every dispatch line finds one.
    const long firstDay = OleDate::FromParts(o.firstYear, 1, 1).DayNumber();
    const long lastDay = OleDate::FromParts(o.firstYear + years - 1, 12, 31).DayNumber();
    CStatement& insertProduct = writer.Prepare(
        "INSERT INTO Product (prod_name, prod_katalog, prod_unit, prod_source, prod_scrid, "
        "deleted) VALUES (?, ?, ?, ?, ?, 0)");
    CStatement& insertDefinition =
        writer.Prepare("INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)");
    CStatement& insertLine = writer.Prepare(
        "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
        "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)");
    auto addLine = [&](int64_t dtId, bool always, int64_t from, int64_t to) {
        const LineCodes c = codes();
        insertLine.BindInt(1, dtId).BindInt(2, anyCover());
        insertLine.BindQuantity(3, Q(dice.Pick(QtyCovers)));
        insertLine.BindQuantity(4, Q(dice.Pick(QtyProds)));
        insertLine.BindInt(5, always ? 1 : 0).BindInt(6, from).BindInt(7, to);
        insertLine.BindInt(8, c.type).BindInt(9, c.org).BindInt(10, c.pay);
        writer.Insert(insertLine);
        ++counts.packagingLines;
    };
    std::vector<int64_t> productIds;
    for (long i = 0; i < products; ++i) {
        const long source = i % 3; // hand-entered, Money S3, WAK INTRA
        insertProduct.BindText(1, Format("%s %li", dice.Pick(ProductNames), i + 1));
        insertProduct.BindText(2, Format("K%06li", i + 1));
        insertProduct.BindText(3, dice.Pick(Units));
        if (source > 0)
            insertProduct.BindInt(4, source).BindInt(5, 1000 + i);
        productIds.push_back(writer.Insert(insertProduct));

        std::vector<long> days{firstDay - 365};
        for (long k = dice.Below(3); k > 0; --k)
            days.push_back(firstDay + dice.Below(lastDay - firstDay + 1));
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        for (long day : days) {
            insertDefinition.BindInt(1, productIds.back());
            insertDefinition.BindDate(2, OleDate::FromValue(static_cast<double>(day)));
            const int64_t dtId = writer.Insert(insertDefinition);
            ++counts.definitions;
            for (long k = 1; k < o.coversPerLine; ++k)
                addLine(dtId, true, 0, 0);
            if (o.coversPerLine < 1)
                continue;
            // Bands that together cover every quantity from 0 on, each end
            // one ten-thousandth below the next start.
            const long bands = 1 + dice.Below(3);
            int64_t from = 0;
            for (long b = 1; b <= bands; ++b) {
                const int64_t next =
                    b == bands ? int64_t{100000000000000} : from + (10 + dice.Below(200)) * 10000;
                addLine(dtId, false, from, next - 1);
                from = next;
            }
        }
    }
    counts.products = products;

    // Dispatches in date order, like a real register, with their lines.
    CStatement& insertMove = writer.Prepare(
        "INSERT INTO Move (move_num, move_date, move_type, move_export, move_source) VALUES (?, "
        "?, ?, ?, ?)");
    CStatement& insertMoveProd =
        writer.Prepare("INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) VALUES (?, ?, ?)");
    CCoverDerivation derivation(store, true);
    const char* const prefixes[] = {"R", "FV", "W"};
    for (long i = 0; i < dispatches; ++i) {
        const long source = dice.Below(3);
        const long day = firstDay + i * (lastDay - firstDay + 1) / dispatches;
        // Working hours: 7:00 to 17:00, whole minutes.
        const long minute = 420 + dice.Below(600);
        const OleDate date =
            OleDate::FromValue(static_cast<double>(day) + static_cast<double>(minute) / 1440.0);
        insertMove.BindText(1, Format("%s%07li", prefixes[source], i + 1));
        insertMove.BindDate(2, date);
        insertMove.BindInt(3, dice.Below(MoveTypes.size));
        insertMove.BindInt(4, dice.Chance(20) ? 1 : 0);
        if (source > 0)
            insertMove.BindInt(5, source);
        const int64_t moveId = writer.Insert(insertMove);
        for (long k = 0; k < linesPerDispatch; ++k) {
            const int64_t prodId = productIds[static_cast<size_t>(dice.Below(products))];
            // Mostly whole pieces, now and then a weighed amount.
            const int64_t qty = dice.Chance(20)
                                    ? 1 + dice.Below(5000000)
                                    : (1 + dice.Below(dice.Chance(10) ? 5000 : 200)) * 10000;
            insertMoveProd.BindInt(1, moveId).BindInt(2, prodId).BindInt(3, qty);
            const int64_t mvprodId = writer.Insert(insertMoveProd);
            if (o.deriveCovers) {
                const long rows =
                    derivation.Append(mvprodId, moveId, prodId, Quantity::FromScaled(qty), date);
                counts.coverLines += rows;
                writer.Wrote(rows);
            }
        }
    }
    counts.dispatches = dispatches;
    counts.lines = dispatches * linesPerDispatch;

    CStatement& insertDiscard = writer.Prepare(
        "INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) VALUES (?, ?, ?, ?)");
    for (long i = 0; i < discards; ++i) {
        insertDiscard.BindInt(1, anyCover());
        insertDiscard.BindDate(2, OleDate::FromValue(static_cast<double>(
                                      firstDay + dice.Below(lastDay - firstDay + 1))));
        insertDiscard.BindInt(3, i < DiscardKinds.size ? i : dice.Below(DiscardKinds.size));
        insertDiscard.BindInt(4, (1 + dice.Below(50)) * 10000);
        writer.Insert(insertDiscard);
    }
    counts.discards = discards;
    writer.Commit();
    return counts;
}

} // namespace tarvo
