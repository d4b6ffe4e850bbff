#include "core/registerbook/registerimport.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/packagingdefinition.h"
#include "core/data/shared.h"
#include "core/data/transaction.h"
#include "core/engine/packagingresolution.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/records/classification.h"
#include "core/records/compcovers.h"
#include "core/records/coverline.h"
#include "core/records/covers.h"
#include "core/records/products.h"
#include "core/registerbook/bookreader.h"
#include "core/registerbook/registerbook.h"
#include "core/registerbook/sheetscan.h"
#include "core/registers/productregister.h"
#include "core/registers/propagationswitches.h"
#include "core/workbook/workbook.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <variant>

namespace tarvo {

std::string RegisterFault::Message() const {
    if (sheet.empty())
        return text;
    std::string message = "List " + sheet;
    if (row > 0)
        message += Format(", řádek %d", row);
    if (!column.empty())
        message += ", sloupec " + column;
    return message + ": " + text;
}

std::string RegisterImportSummaryText(const RegisterImportSummary& summary, bool dryRun,
                                      ExistingMode mode) {
    const char* format = dryRun ? "%s: přibude %ld, změní se %ld, zůstane beze změny %ld\n"
                                : "%s: přidáno %ld, změněno %ld, ponecháno %ld\n";
    std::string text;
    const struct {
        const char* name;
        const ChangeCounts& counts;
    } kinds[] = {{"Obaly", summary.covers},
                 {"Složené obaly", summary.compCovers},
                 {"Produkty", summary.products},
                 {"Balení", summary.definitions}};
    for (const auto& kind : kinds) {
        text += Format(format, kind.name, kind.counts.added, kind.counts.changed, kind.counts.kept);
        if (kind.counts.skipped > 0) {
            text.pop_back();
            text += Format(dryRun ? " (z toho se přeskočí jako již existující %ld)\n"
                                  : " (z toho přeskočeno jako již existující %ld)\n",
                           kind.counts.skipped);
        }
    }
    if (dryRun && mode == ExistingMode::Ask)
        text += "Změny existujících záznamů proběhnou jen u těch, které při importu potvrdíte.\n";
    if (!dryRun && summary.rederived > 0)
        text += Format("Obaly ve výdejích odvozeny znovu, produktů: %ld\n", summary.rederived);
    text.pop_back();
    return text;
}

namespace {

constexpr int CheckEvery = 1000;

// Names looked up as a person means them: the name as written, else the name
// whatever its letter case; a name that fits more than one is ambiguous.
class NameIndex {
public:
    struct Found {
        int64_t id = -1;
        bool ambiguous = false;
        explicit operator bool() const { return id >= 0; }
    };

    void Add(const std::string& name, int64_t id) {
        m_exact[name].push_back(id);
        m_folded[LabelKey(name)].push_back(id);
    }

    // With anyOfMany, a name that fits more than one finds the first added.
    Found Find(const std::string& name, bool anyOfMany = false) const {
        if (const auto it = m_exact.find(name); it != m_exact.end())
            return Pick(it->second, anyOfMany);
        if (const auto it = m_folded.find(LabelKey(name)); it != m_folded.end())
            return Pick(it->second, anyOfMany);
        return {};
    }

private:
    static Found Pick(const std::vector<int64_t>& ids, bool anyOfMany) {
        return ids.size() == 1 || anyOfMany ? Found{ids.front(), false} : Found{-1, true};
    }

    std::unordered_map<std::string, std::vector<int64_t>> m_exact;
    std::unordered_map<std::string, std::vector<int64_t>> m_folded;
};

std::string SourceKey(int source, const std::string& id) {
    return std::to_string(source) + "|" + id;
}

// Products found the three ways a row can name one.
class ProductIndex {
public:
    void Add(int source, const std::string& sourceId, const std::string& katalog,
             const std::string& name, int64_t id) {
        if (source > 0 && !sourceId.empty())
            m_sourceIds.emplace(SourceKey(source, sourceId), id);
        if (!katalog.empty())
            m_katalogs.Add(katalog, id);
        if (!name.empty())
            m_names.Add(name, id);
    }

    NameIndex::Found Find(const ProductRef& ref) const {
        switch (ref.by) {
        case ProductRef::By::Source: {
            const auto it = m_sourceIds.find(SourceKey(ref.source, ref.text));
            return it == m_sourceIds.end() ? NameIndex::Found{} : NameIndex::Found{it->second};
        }
        case ProductRef::By::Katalog:
            return m_katalogs.Find(ref.text);
        case ProductRef::By::Name:
            break;
        }
        return m_names.Find(ref.text);
    }

private:
    std::unordered_map<std::string, int64_t> m_sourceIds; // "source|identifier"
    NameIndex m_katalogs;
    NameIndex m_names;
};

// Skip: found with differences and left as it is, as the mode says.
enum class Plan { Add, Change, Keep, Skip };

// The plan of a record the user declined to overwrite: left as it is, and
// skipped when it differs.
Plan Declined(Plan plan) {
    return plan == Plan::Keep ? Plan::Keep : Plan::Skip;
}

// A cover an item or a line names: one of the file (whose identifier is
// known only once it is written) or one of the database.
struct CoverTarget {
    int file = -1;
    RecordId db = NoRecord;
};

struct ResolvedLine {
    CoverTarget cover;
    CoverLine line; // line.cover is the database cover, NoRecord for a new one
};

struct CoverWork {
    RecordId db = NoRecord;
    Plan plan = Plan::Add;
    bool codesChanged = false;
};

struct CompCoverWork {
    RecordId db = NoRecord;
    Plan plan = Plan::Add;
    bool headSame = true; // name and note
    std::vector<ResolvedLine> items;
};

// A product the packaging sheet names: one of the product sheet, or only in
// the database.
struct ProductTarget {
    int file = -1;
    RecordId db = NoRecord;
    bool revive = false; // a deleted product found by its source identifier
    Plan plan = Plan::Keep;
    bool packagingChanged = false;
};

struct DefinitionWork {
    size_t book = 0;    // index of the file's definition
    size_t product = 0; // index of the target
    RecordId db = NoRecord;
    Plan plan = Plan::Add;
    bool dateSame = true;
    std::vector<ResolvedLine> lines;
};

class RegisterImport {
public:
    RegisterImport(CDataStore& store, const Book& book, const RegisterImportOptions& options,
                   const PropagationSwitches& switches, IProgressPort& progress)
        : m_store(store), m_book(book), m_options(options), m_switches(switches),
          m_progress(progress) {}

    // Looks every record up in the database and decides what is to be done;
    // faults for what cannot be found.
    void Resolve(std::vector<RegisterFault>& faults);
    // What Resolve decided, with the ask mode counted as overwriting.
    RegisterImportSummary Planned() const;
    // Writes the records inside the caller's unit, one phase after the
    // other; asks in the ask mode.
    RegisterImportSummary Apply();
    // Once the unit is stored: the views reload what changed.
    void Notify(IViewNotifier& notifier) const;

private:
    void LoadCovers();
    void LoadCompCovers();
    void LoadProducts();
    const std::vector<PackagingDefinition>& StoredDefinitions(RecordId product);

    void ResolveCovers();
    void ResolveCompCovers();
    void ResolveProducts();
    void ResolveDefinitions();
    std::optional<ResolvedLine> ResolveLine(const BookLine& line, const std::string& sheet);
    std::optional<size_t> ResolveProduct(const ProductRef& ref, int row);
    Plan Decide(bool same) const;
    bool SameLines(CoverLineTable table, RecordId owner, const std::vector<ResolvedLine>& lines,
                   bool carrySwitch);
    void DecideAgainAfterCovers();
    void BeginPhase(const char* status);
    void Fault(const std::string& sheet, int row, std::string_view column, std::string text);
    void CheckCancel(long count);

    void Step();
    bool Overwrite(Plan plan, ExistingRecords& existing, const std::string& question);
    RecordId CoverId(const CoverTarget& target) const;
    void InsertLines(CoverLineWriter& writer, RecordId owner,
                     const std::vector<ResolvedLine>& lines);
    void WriteCover(CoverWriter& writer, CoverWork& work, const BookCover& cover);
    std::string ProductName(const ProductTarget& target) const;
    void ApplyCovers(ExistingRecords& existing, ChangeCounts& done);
    void ApplyCompCovers(ExistingRecords& existing, ChangeCounts& done);
    void ApplyProducts(ExistingRecords& existing, ChangeCounts& done);
    void ApplyDefinitions(ExistingRecords& existing, ChangeCounts& done);
    long RederiveDispatches();

    CDataStore& m_store;
    const Book& m_book;
    const RegisterImportOptions& m_options;
    const PropagationSwitches& m_switches;
    IProgressPort& m_progress;
    std::vector<RegisterFault>* m_faults = nullptr;
    // The progress of Apply over every record it looks at.
    long m_total = 0;
    long m_count = 0;

    // The database as it was found.
    std::unordered_map<RecordId, BookCover> m_dbCovers;
    NameIndex m_dbCoverNames;
    NameIndex m_dbDeletedCoverNames;
    std::unordered_map<RecordId, CompCoverRecord> m_dbCompCovers;
    NameIndex m_dbCompNames;
    std::unordered_map<RecordId, ProductRecord> m_dbProducts;
    std::unordered_set<RecordId> m_dbDeletedProducts;
    // Deleted products only by their identifier in the source.
    ProductIndex m_dbProductIndex;
    std::unordered_map<RecordId, std::vector<PackagingDefinition>> m_dbDefinitions;

    // The file's records looked up.
    NameIndex m_fileCoverNames;
    NameIndex m_fileDeletedCoverNames;
    ProductIndex m_fileProductIndex;
    std::vector<CoverWork> m_covers;
    std::vector<CompCoverWork> m_compCovers;
    std::vector<ProductTarget> m_products; // the file's products first, in their order
    std::unordered_map<RecordId, size_t> m_productOfDb;
    std::vector<DefinitionWork> m_definitions;
    // The codes that covers to be overwritten will carry into the lines that
    // copied them, by the database cover: planned, not yet written.
    std::unordered_map<RecordId, std::array<int, 3>> m_carriedCodes;

    // What the views have to reload.
    bool m_wroteMain = false;
    bool m_wroteItems = false;
    bool m_wroteCovers = false;
};

void RegisterImport::Fault(const std::string& sheet, int row, std::string_view column,
                           std::string text) {
    m_faults->push_back({sheet, row, std::string(column), std::move(text)});
}

void RegisterImport::CheckCancel(long count) {
    if (count % CheckEvery == 0 && m_progress.CheckCancel())
        throw ImportCancelled();
}

void RegisterImport::BeginPhase(const char* status) {
    // Also between the checks of long runs: a small file is through its
    // phases before a thousand rows go by.
    if (m_progress.CheckCancel())
        throw ImportCancelled();
    m_progress.SetStatus(status);
}

Plan RegisterImport::Decide(bool same) const {
    if (same)
        return Plan::Keep;
    return m_options.existing == ExistingMode::Skip ? Plan::Skip : Plan::Change;
}

// --- The database as found --------------------------------------------------

void RegisterImport::LoadCovers() {
    std::map<RecordId, CoverClassification> classes = AllClassifications(m_store);
    for (StoredCover& stored : AllCovers(m_store)) {
        (stored.deleted ? m_dbDeletedCoverNames : m_dbCoverNames)
            .Add(stored.record.name, stored.id);
        BookCover cover{0, std::move(stored.record), stored.deleted, true, std::nullopt};
        if (auto it = classes.find(stored.id); it != classes.end())
            cover.classification = std::move(it->second);
        m_dbCovers.emplace(stored.id, std::move(cover));
    }
}

void RegisterImport::LoadCompCovers() {
    for (auto& [id, compCover] : AllCompCovers(m_store)) {
        m_dbCompNames.Add(compCover.name, id);
        m_dbCompCovers.emplace(id, std::move(compCover));
    }
}

void RegisterImport::LoadProducts() {
    for (StoredProduct& stored : AllProducts(m_store)) {
        const ProductRecord& product = stored.record;
        std::string sourceId;
        if (product.sourceId) {
            const int64_t* number = std::get_if<int64_t>(&*product.sourceId);
            sourceId = number ? std::to_string(*number) : std::get<std::string>(*product.sourceId);
        }
        // A deleted product is still found by its identifier in its source,
        // as the imports find it: the import brings it back.
        const int source = static_cast<int>(product.source);
        if (stored.deleted) {
            m_dbProductIndex.Add(source, sourceId, {}, {}, stored.id);
            m_dbDeletedProducts.insert(stored.id);
        } else {
            m_dbProductIndex.Add(source, sourceId, product.katalog, product.name, stored.id);
        }
        m_dbProducts.emplace(stored.id, std::move(stored.record));
    }
}

const std::vector<PackagingDefinition>& RegisterImport::StoredDefinitions(RecordId product) {
    const auto [it, added] = m_dbDefinitions.try_emplace(product);
    if (added)
        it->second = DefinitionsOf(m_store, product);
    return it->second;
}

// --- Looking the file's records up ------------------------------------------

bool RegisterImport::SameLines(CoverLineTable table, RecordId owner,
                               const std::vector<ResolvedLine>& lines, bool carrySwitch) {
    const std::vector<CoverLine> stored = CoverLinesOf(m_store, table, owner);
    if (stored.size() != lines.size())
        return false;
    for (size_t k = 0; k < stored.size(); ++k) {
        if (lines[k].cover.db == NoRecord)
            return false;
        CoverLine item = stored[k];
        // The file states each line's codes: a line is the same when it will
        // be so after the covers carried their new codes into it.
        if (const auto it = m_carriedCodes.find(item.cover);
            carrySwitch && it != m_carriedCodes.end()) {
            item.type = it->second[0];
            item.origin = it->second[1];
            item.payment = it->second[2];
        }
        // The band of a line used always means nothing: the workbook has
        // one, the stored line may have none.
        CoverLine wanted = lines[k].line;
        if (wanted.useAlways) {
            wanted.useFrom = {};
            wanted.useTo = {};
        }
        if (!(item == wanted))
            return false;
    }
    return true;
}

void RegisterImport::DecideAgainAfterCovers() {
    // The covers are written now, with whatever they carried; what the
    // composite covers and the definitions found again hold is compared anew,
    // also where a cover was, after all, not overwritten. Without a planned
    // carry the first comparison stands: nothing it read has changed.
    if (m_carriedCodes.empty())
        return;
    m_carriedCodes.clear();
    for (CompCoverWork& work : m_compCovers) {
        if (work.db != NoRecord)
            work.plan = Decide(work.headSame && SameLines(CoverLineTable::CompCoverItems, work.db,
                                                          work.items, false));
    }
    for (DefinitionWork& work : m_definitions) {
        if (work.db != NoRecord)
            work.plan = Decide(work.dateSame &&
                               SameLines(CoverLineTable::Packaging, work.db, work.lines, false));
    }
}

void RegisterImport::ResolveCovers() {
    const std::string sheet(book::CoverSheet);
    m_covers.resize(m_book.covers.size());
    for (size_t i = 0; i < m_book.covers.size(); ++i) {
        const BookCover& cover = m_book.covers[i];
        // A deleted cover is found among the deleted ones, whichever of the
        // same name: they differ in nothing a person could tell by.
        (cover.deleted ? m_fileDeletedCoverNames : m_fileCoverNames)
            .Add(cover.record.name, static_cast<int64_t>(i));
        const NameIndex::Found found = cover.deleted
                                           ? m_dbDeletedCoverNames.Find(cover.record.name, true)
                                           : m_dbCoverNames.Find(cover.record.name);
        if (found.ambiguous) {
            Fault(sheet, cover.row, book::Name,
                  "v evidenci je více obalů „" + cover.record.name + "“");
            continue;
        }
        if (!found)
            continue;
        CoverWork& work = m_covers[i];
        const BookCover& stored = m_dbCovers.at(found.id);
        work.db = found.id;
        // A classification the file does not state stays as it is.
        work.plan = Decide(cover.record == stored.record && cover.deleted == stored.deleted &&
                           (!cover.classGiven || cover.classification == stored.classification));
        work.codesChanged = cover.record.type != stored.record.type ||
                            cover.record.origin != stored.record.origin ||
                            cover.record.payment != stored.record.payment;
        if (work.plan == Plan::Change && work.codesChanged)
            m_carriedCodes[found.id] = {cover.record.type, cover.record.origin,
                                        cover.record.payment};
    }
}

std::optional<ResolvedLine> RegisterImport::ResolveLine(const BookLine& line,
                                                        const std::string& sheet) {
    ResolvedLine resolved;
    // A cover in use first, then a deleted one: lines of deleted covers
    // still give dispatches their covers.
    // The same for both the file's covers and the database's.
    const auto find = [&line](const NameIndex& inUse, const NameIndex& deleted) {
        const NameIndex::Found found = inUse.Find(line.cover);
        return found || found.ambiguous ? found : deleted.Find(line.cover, true);
    };
    const CoverRecord* cover = nullptr;
    if (const NameIndex::Found file = find(m_fileCoverNames, m_fileDeletedCoverNames)) {
        resolved.cover.file = static_cast<int>(file.id);
        resolved.cover.db = m_covers[static_cast<size_t>(file.id)].db;
        cover = &m_book.covers[static_cast<size_t>(file.id)].record;
    } else if (const NameIndex::Found db = find(m_dbCoverNames, m_dbDeletedCoverNames)) {
        resolved.cover.db = db.id;
        cover = &m_dbCovers.at(db.id).record;
    } else {
        Fault(sheet, line.row, book::Cover,
              (db.ambiguous ? "v evidenci je více obalů „" : "obal „") + line.cover +
                  (db.ambiguous ? "“" : "“ neexistuje"));
        return std::nullopt;
    }
    // Codes left empty are the cover's own, as the packaging wizard offers them.
    resolved.line = {resolved.cover.db,
                     line.qtyCover,
                     line.qtyProd,
                     line.useAlways,
                     line.useFrom,
                     line.useTo,
                     line.type >= 0 ? line.type : cover->type,
                     line.origin >= 0 ? line.origin : cover->origin,
                     line.payment >= 0 ? line.payment : cover->payment};
    return resolved;
}

void RegisterImport::ResolveCompCovers() {
    const std::string sheet(book::CompCoverSheet);
    m_compCovers.resize(m_book.compCovers.size());
    for (size_t i = 0; i < m_book.compCovers.size(); ++i) {
        const BookCompCover& compCover = m_book.compCovers[i];
        CompCoverWork& work = m_compCovers[i];
        bool complete = true;
        for (const BookLine& item : compCover.items) {
            if (std::optional<ResolvedLine> resolved = ResolveLine(item, sheet))
                work.items.push_back(std::move(*resolved));
            else
                complete = false;
        }
        const NameIndex::Found found = m_dbCompNames.Find(compCover.name);
        if (found.ambiguous) {
            Fault(sheet, compCover.row, book::CompCover,
                  "v evidenci je více složených obalů „" + compCover.name + "“");
            continue;
        }
        if (!found || !complete)
            continue;
        work.db = found.id;
        work.headSame =
            m_dbCompCovers.at(found.id) == CompCoverRecord{compCover.name, compCover.note};
        work.plan = Decide(work.headSame && SameLines(CoverLineTable::CompCoverItems, work.db,
                                                      work.items, m_switches.coverToCompCovers));
    }
}

void RegisterImport::ResolveProducts() {
    const std::string sheet(book::ProductSheet);
    m_products.resize(m_book.products.size());
    for (size_t i = 0; i < m_book.products.size(); ++i) {
        const BookProduct& product = m_book.products[i];
        ProductTarget& target = m_products[i];
        target.file = static_cast<int>(i);
        target.plan = Plan::Add;
        m_fileProductIndex.Add(product.key.source, product.SourceId(), product.katalog,
                               product.name, static_cast<int64_t>(i));
        const NameIndex::Found found = m_dbProductIndex.Find(product.key);
        if (found.ambiguous) {
            Fault(sheet, product.row, product.key.column,
                  "v evidenci je více produktů: " + product.key.Described());
            continue;
        }
        if (!found)
            continue;
        const ProductRecord& stored = m_dbProducts.at(found.id);
        target.db = found.id;
        m_productOfDb.emplace(found.id, i);
        if (m_dbDeletedProducts.contains(found.id)) {
            target.revive = true;
            target.plan = Plan::Add;
        } else {
            target.plan = Decide(stored.name == product.name && stored.katalog == product.katalog &&
                                 stored.unit == product.unit);
        }
    }
}

std::optional<size_t> RegisterImport::ResolveProduct(const ProductRef& ref, int row) {
    const std::string sheet(book::PackagingSheet);
    // The product sheet first: the packaging of a product it brings names it
    // as it does.
    const NameIndex::Found file = m_fileProductIndex.Find(ref);
    if (file.ambiguous) {
        Fault(sheet, row, ref.column, "v listu Produkty je více produktů: " + ref.Described());
        return std::nullopt;
    }
    if (file)
        return static_cast<size_t>(file.id);

    // Packaging is never given to a deleted product: only its own row brings
    // it back.
    NameIndex::Found db = m_dbProductIndex.Find(ref);
    if (db && m_dbDeletedProducts.contains(db.id))
        db = {};
    if (!db) {
        Fault(sheet, row, ref.column,
              db.ambiguous ? "v evidenci je více produktů: " + ref.Described()
                           : ref.Described() + " neexistuje");
        return std::nullopt;
    }
    // A product of the database that a row of the product sheet also found
    // is one target, whichever way a row names it.
    const auto [it, added] = m_productOfDb.try_emplace(db.id, m_products.size());
    if (added) {
        ProductTarget target;
        target.db = db.id;
        m_products.push_back(target);
    }
    return it->second;
}

void RegisterImport::ResolveDefinitions() {
    const std::string sheet(book::PackagingSheet);
    // Rows may name one product in different ways (by its identifier, by its
    // catalogue number): its lines of one day are one definition all the same.
    std::map<std::pair<size_t, double>, size_t> byProductAndDay;
    bool complete = true;
    for (size_t i = 0; i < m_book.definitions.size(); ++i) {
        CheckCancel(static_cast<long>(i) + 1);
        const BookDefinition& definition = m_book.definitions[i];
        std::vector<ResolvedLine> lines;
        for (const BookLine& line : definition.lines) {
            if (std::optional<ResolvedLine> resolved = ResolveLine(line, sheet))
                lines.push_back(std::move(*resolved));
            else
                complete = false;
        }
        const std::optional<size_t> product = ResolveProduct(definition.product, definition.row);
        if (!product) {
            complete = false;
            continue;
        }
        const auto [it, added] = byProductAndDay.try_emplace(
            std::pair(*product, std::floor(definition.from.Value())), m_definitions.size());
        if (added) {
            DefinitionWork work;
            work.book = i;
            work.product = *product;
            m_definitions.push_back(std::move(work));
        }
        std::vector<ResolvedLine>& target = m_definitions[it->second].lines;
        target.insert(target.end(), lines.begin(), lines.end());
    }
    if (!complete)
        return;

    for (DefinitionWork& work : m_definitions) {
        const ProductTarget& product = m_products[work.product];
        if (product.db != NoRecord && !product.revive) {
            const OleDate& from = m_book.definitions[work.book].from;
            for (const PackagingDefinition& stored : StoredDefinitions(product.db)) {
                if (!stored.from.IsValid() ||
                    std::floor(stored.from.Value()) != std::floor(from.Value()))
                    continue;
                work.db = stored.dtId;
                work.dateSame = stored.from == from;
                work.plan =
                    Decide(work.dateSame && SameLines(CoverLineTable::Packaging, work.db,
                                                      work.lines, m_switches.coverToPackaging));
                break;
            }
        }
    }
}

void RegisterImport::Resolve(std::vector<RegisterFault>& faults) {
    m_faults = &faults;
    BeginPhase("Porovnávám s evidencí");
    LoadCovers();
    LoadCompCovers();
    LoadProducts();
    ResolveCovers();
    ResolveCompCovers();
    ResolveProducts();
    ResolveDefinitions();
}

void Count(ChangeCounts& counts, Plan plan) {
    (plan == Plan::Add ? counts.added : plan == Plan::Change ? counts.changed : counts.kept)++;
    if (plan == Plan::Skip)
        ++counts.skipped;
}

RegisterImportSummary RegisterImport::Planned() const {
    RegisterImportSummary summary;
    for (const CoverWork& work : m_covers)
        Count(summary.covers, work.plan);
    for (const CompCoverWork& work : m_compCovers)
        Count(summary.compCovers, work.plan);
    for (const ProductTarget& target : m_products) {
        if (target.file >= 0)
            Count(summary.products, target.plan);
    }
    for (const DefinitionWork& work : m_definitions)
        Count(summary.definitions, work.plan);
    return summary;
}

// --- Writing ----------------------------------------------------------------

bool RegisterImport::Overwrite(Plan plan, ExistingRecords& existing, const std::string& question) {
    if (plan != Plan::Change)
        return plan == Plan::Add;
    return m_options.existing != ExistingMode::Ask || existing.Overwrite(question);
}

RecordId RegisterImport::CoverId(const CoverTarget& target) const {
    return target.file >= 0 ? m_covers[static_cast<size_t>(target.file)].db : target.db;
}

void RegisterImport::InsertLines(CoverLineWriter& writer, RecordId owner,
                                 const std::vector<ResolvedLine>& lines) {
    for (const ResolvedLine& resolved : lines) {
        CoverLine line = resolved.line;
        line.cover = CoverId(resolved.cover);
        writer.Insert(owner, line);
    }
}

void RegisterImport::WriteCover(CoverWriter& writer, CoverWork& work, const BookCover& cover) {
    const bool added = work.db == NoRecord;
    if (added)
        work.db = writer.Insert(cover.record, cover.deleted);
    else
        UpdateCover(m_store, work.db, cover.record);
    if (cover.classification)
        WriteClassification(m_store, work.db, *cover.classification);
    else if (cover.classGiven && !added)
        DeleteClassification(m_store, work.db);
    if (added)
        return;
    if (work.codesChanged) {
        CarryCoverCodes(m_store, CoverCodeTargetsOf(m_switches), work.db,
                        {cover.record.type, cover.record.origin, cover.record.payment});
        m_wroteCovers = true;
    }
}

std::string RegisterImport::ProductName(const ProductTarget& target) const {
    if (target.file >= 0)
        return m_book.products[static_cast<size_t>(target.file)].name;
    return m_dbProducts.at(target.db).name;
}

void RegisterImport::Step() {
    if (++m_count % CheckEvery == 0) {
        if (m_progress.CheckCancel())
            throw ImportCancelled();
        m_progress.SetPos(static_cast<int>(m_count * 100 / std::max(m_total, 1L)));
    }
}

void RegisterImport::ApplyCovers(ExistingRecords& existing, ChangeCounts& done) {
    BeginPhase("Zapisuji obaly");
    CoverWriter writer(m_store);
    for (size_t i = 0; i < m_covers.size(); ++i) {
        Step();
        CoverWork& work = m_covers[i];
        const BookCover& cover = m_book.covers[i];
        if (!Overwrite(work.plan, existing,
                       Format("Obal \"%s\" již v evidenci je. Přejete si jej přepsat?",
                              cover.record.name.c_str()))) {
            Count(done, Declined(work.plan));
            continue;
        }
        WriteCover(writer, work, cover);
        Count(done, work.plan);
    }
    m_wroteMain = m_wroteMain || done.added + done.changed > 0;
}

void RegisterImport::ApplyCompCovers(ExistingRecords& existing, ChangeCounts& done) {
    BeginPhase("Zapisuji složené obaly");
    CompCoverWriter writer(m_store);
    // The band as the workbook has it, as the export wrote it out, also for a
    // line used always.
    CoverLineWriter items(m_store, CoverLineTable::CompCoverItems, AlwaysLimits::AsGiven);
    for (size_t i = 0; i < m_compCovers.size(); ++i) {
        Step();
        CompCoverWork& work = m_compCovers[i];
        const BookCompCover& compCover = m_book.compCovers[i];
        if (!Overwrite(work.plan, existing,
                       Format("Složený obal \"%s\" již v evidenci je. Přejete si jej přepsat?",
                              compCover.name.c_str()))) {
            Count(done, Declined(work.plan));
            continue;
        }
        const CompCoverRecord record{compCover.name, compCover.note};
        if (work.db == NoRecord) {
            work.db = writer.Insert(record);
        } else {
            UpdateCompCover(m_store, work.db, record);
            DeleteCoverLinesOf(m_store, CoverLineTable::CompCoverItems, work.db);
        }
        InsertLines(items, work.db, work.items);
        Count(done, work.plan);
        m_wroteMain = true;
    }
}

void RegisterImport::ApplyProducts(ExistingRecords& existing, ChangeCounts& done) {
    BeginPhase("Zapisuji produkty");
    ProductWriter writer(m_store);
    for (ProductTarget& target : m_products) {
        Step();
        if (target.file < 0)
            continue;
        const BookProduct& product = m_book.products[static_cast<size_t>(target.file)];
        if (!Overwrite(target.plan, existing,
                       Format("Produkt \"%s, kat.č. %s\" již v evidenci je. Přejete si jej "
                              "přepsat?",
                              product.name.c_str(), product.katalog.c_str()))) {
            Count(done, Declined(target.plan));
            continue;
        }
        ProductRecord record{product.name, product.katalog, product.unit, 0, std::nullopt};
        if (target.db == NoRecord) {
            if (product.key.by == ProductRef::By::Source) {
                // The identifier goes in as the text the file has; the
                // number column keeps one that reads as a number as that
                // number, so both kinds are found again as the imports
                // find them. A card's abbreviation from the XML export
                // stays the exact text it is, as that import finds it.
                record.source = product.key.source;
                if (product.key.source == static_cast<int>(ImportSource::MoneyS3Xml))
                    record.sourceId = ExactText{product.key.text};
                else
                    record.sourceId = product.key.text;
            }
            target.db = writer.Insert(record);
        } else {
            // Source and identifier stay: they are how the imports find the
            // product again.
            UpdateProduct(m_store, target.db, record);
            if (target.revive)
                ReviveProduct(m_store, target.db);
        }
        Count(done, target.plan);
        m_wroteMain = true;
    }
}

void RegisterImport::ApplyDefinitions(ExistingRecords& existing, ChangeCounts& done) {
    BeginPhase("Zapisuji balení");
    DefinitionWriter writer(m_store);
    CoverLineWriter lines(m_store, CoverLineTable::Packaging, AlwaysLimits::AsGiven);
    for (DefinitionWork& work : m_definitions) {
        Step();
        ProductTarget& product = m_products[work.product];
        const BookDefinition& definition = m_book.definitions[work.book];
        if (!Overwrite(work.plan, existing,
                       Format("Balení produktu \"%s\" platné od %s již v evidenci je. Přejete si "
                              "jej přepsat?",
                              ProductName(product).c_str(),
                              DefinitionDateText(definition.from).c_str()))) {
            Count(done, Declined(work.plan));
            continue;
        }
        if (work.db == NoRecord) {
            work.db = writer.Insert({product.db, definition.from});
        } else {
            UpdateDefinitionDate(m_store, work.db, definition.from);
            DeleteCoverLinesOf(m_store, CoverLineTable::Packaging, work.db);
        }
        InsertLines(lines, work.db, work.lines);
        product.packagingChanged = true;
        Count(done, work.plan);
        m_wroteItems = true;
    }
}

// The dispatches of a product whose packaging changed take their covers from
// it again, as after a change made in the product's window. How many products
// had dispatches to derive.
long RegisterImport::RederiveDispatches() {
    BeginPhase("Aktualizuji obaly u vydaných produktů");
    NullProgress quiet;
    long rederived = 0;
    for (const ProductTarget& target : m_products) {
        Step();
        if (target.packagingChanged && RederiveProdMoves(m_store, target.db, quiet) > 0)
            ++rederived;
    }
    m_wroteCovers = m_wroteCovers || rederived > 0;
    return rederived;
}

RegisterImportSummary RegisterImport::Apply() {
    RegisterImportSummary done;
    m_total = static_cast<long>(m_covers.size() + m_compCovers.size() + m_products.size() +
                                m_definitions.size());
    m_count = 0;
    m_progress.SetRange(0, 100);
    ExistingRecords existing(m_store.Messages(), m_options.existing);
    ApplyCovers(existing, done.covers);
    DecideAgainAfterCovers();
    existing.ResetMode();
    ApplyCompCovers(existing, done.compCovers);
    existing.ResetMode();
    ApplyProducts(existing, done.products);
    existing.ResetMode();
    ApplyDefinitions(existing, done.definitions);
    if (m_switches.packagingToDispatches)
        done.rederived = RederiveDispatches();
    m_progress.SetPos(100);
    return done;
}

void RegisterImport::Notify(IViewNotifier& notifier) const {
    if (m_wroteMain)
        notifier.NotifyAllViews(ViewNotification::ReloadMain);
    if (m_wroteItems)
        notifier.NotifyAllViews(ViewNotification::ReloadItems);
    if (m_wroteCovers)
        notifier.NotifyAllViews(ViewNotification::ReloadCovers);
}

// Faults in the order of the sheets and their rows, whichever check found them.
void SortFaults(std::vector<RegisterFault>& faults) {
    auto rank = [](const RegisterFault& fault) {
        const std::string_view order[] = {book::CoverSheet, book::CompositionSheet,
                                          book::CompCoverSheet, book::ProductSheet,
                                          book::PackagingSheet};
        for (size_t i = 0; i < std::size(order); ++i) {
            if (fault.sheet == order[i])
                return static_cast<int>(i) + 1;
        }
        return 0;
    };
    std::stable_sort(faults.begin(), faults.end(), [&](const auto& a, const auto& b) {
        return std::pair(rank(a), a.row) < std::pair(rank(b), b.row);
    });
}

} // namespace

RegisterImportResult ImportRegisters(CDataStore& store, const std::string& path,
                                     const RegisterImportOptions& options,
                                     const PropagationSwitches& switches, IProgressPort& progress,
                                     IViewNotifier& notifier) {
    RegisterImportResult result;
    try {
        Workbook workbook;
        workbook.Open(path);
        const Book book = ReadBook(workbook, result.faults, progress);
        workbook.Close();
        // What is looked up and what is written is one unit, so the file is
        // checked against the registers as they are written to.
        Transaction unit(store);
        RegisterImport import(store, book, options, switches, progress);
        if (book.complete)
            import.Resolve(result.faults);
        if (!result.faults.empty()) {
            SortFaults(result.faults);
            result.status = RegisterImportStatus::Faults;
            return result;
        }
        if (options.dryRun) {
            result.summary = import.Planned();
            result.status = RegisterImportStatus::Done;
            return result;
        }
        result.summary = import.Apply();
        // A cancel pressed while the last rows were written still counts.
        if (progress.CheckCancel())
            throw ImportCancelled();
        unit.Commit();
        import.Notify(notifier);
        result.status = RegisterImportStatus::Done;
    } catch (const ImportCancelled&) {
        result.status = RegisterImportStatus::Cancelled;
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        result.status = RegisterImportStatus::Failed;
    }
    return result;
}

} // namespace tarvo
