#include "core/registers/productregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/packagingresolution.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/registers/propagationswitches.h"
#include "core/registers/recordaccess.h"

#include <map>
#include <set>

namespace tarvo {

namespace {

constexpr const char* NoProduct = "Není vybrán produkt!";
constexpr const char* NoLine = "Není vybrán obal!";
constexpr const char* NoDate = "Není vybráno datum!";

NullProgress g_noProgress;

} // namespace

std::string DefinitionDateText(const OleDate& date) {
    if (!date.IsValid())
        return std::string();
    return Format("%02i.%02i.%i", date.Day(), date.Month(), date.Year());
}

std::string AssignSummary::Text() const {
    return Format("Obaly byly přiřazeny.\n\nZměněno produktů: %i\nVytvořeno platností: %i\n"
                  "Přidáno řádků balení: %i",
                  products, definitions, lines);
}

ProductRegister::ProductRegister(CDataStore& store, const PropagationSwitches& switches,
                                 IViewNotifier& notifier, IProgressPort& progress)
    : m_store(store), m_switches(switches), m_notifier(notifier), m_progress(progress) {}

ProductRegister::ProductRegister(CDataStore& store, const PropagationSwitches& switches,
                                 IViewNotifier& notifier)
    : ProductRegister(store, switches, notifier, g_noProgress) {}

bool ProductRegister::CheckSelected(RecordId id, Missing what) const {
    if (id != NoRecord)
        return true;
    const char* text = what == Missing::Product ? NoProduct
                       : what == Missing::Date  ? NoDate
                                                : NoLine;
    m_store.Messages().ShowMessage(text, MsgIcon::Exclamation);
    return false;
}

Outcome ProductRegister::Failed(const ComError& error) const {
    ShowComError(m_store.Messages(), error);
    return Outcome::Failed;
}

bool ProductRegister::Carry(RecordId prodId) {
    if (!m_switches.packagingToDispatches)
        return false;
    RederiveProdMoves(m_store, prodId, m_progress);
    return true;
}

void ProductRegister::TellCarried(bool carried) {
    if (carried)
        m_notifier.NotifyAllViews(ViewNotification::ReloadCovers);
}

Outcome ProductRegister::ChangePackaging(const std::function<PackagingChange()>& change) {
    bool carried = false;
    try {
        Transaction unit(m_store);
        const PackagingChange changed = change();
        if (const Outcome* outcome = std::get_if<Outcome>(&changed))
            return *outcome;
        carried = Carry(std::get<RecordId>(changed));
        unit.Commit();
    } catch (const ComError& e) {
        return Failed(e);
    }
    TellCarried(carried);
    return Outcome::Done;
}

// Products

ReadResult<ProductRecord> ProductRegister::Read(RecordId id) const {
    if (!CheckSelected(id, Missing::Product))
        return {Outcome::Refused, {}};
    return ReadFound<ProductRecord>(m_store, [&] { return FindProduct(m_store, id); });
}

std::optional<RecordId> ProductRegister::Add(const ProductRecord& product) {
    try {
        // Only what the dialog edits: the source stays empty, which marks a
        // product entered by hand, and the deleted flag takes its default.
        Transaction unit(m_store);
        const RecordId id = ProductWriter(m_store).Insert(
            {product.name, product.katalog, product.unit, 0, std::nullopt});
        unit.Commit();
        return id;
    } catch (const ComError& e) {
        Failed(e);
        return std::nullopt;
    }
}

Outcome ProductRegister::Update(RecordId id, const ProductRecord& product) {
    try {
        Transaction unit(m_store);
        if (RecordGone(m_store, ProductExists(m_store, id)))
            return Outcome::Vanished;
        UpdateProduct(m_store, id, product);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        return Failed(e);
    }
}

Outcome ProductRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    if (!CheckSelected(ids.empty() ? NoRecord : ids.front(), Missing::Product))
        return Outcome::Unchanged;
    if (!m_store.Messages().AskYesNo("Opravdu si přejete odstranit vybrané produkty?",
                                     MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        Transaction unit(m_store);
        MarkProductsDeleted(m_store, ids);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        return Failed(e);
    }
}

Outcome ProductRegister::RestoreSelection(const std::vector<RecordId>& ids) {
    if (!CheckSelected(ids.empty() ? NoRecord : ids.front(), Missing::Product))
        return Outcome::Unchanged;
    try {
        Transaction unit(m_store);
        const std::vector<StoredProduct> products = AllProducts(m_store);
        // The key an import finds a product by; a product entered by hand
        // has none.
        const auto key = [](const ProductRecord& p) {
            return p.source != 0 && p.sourceId
                       ? std::optional(std::make_pair(p.source, *p.sourceId))
                       : std::nullopt;
        };
        std::map<std::pair<int64_t, ProductSourceId>, std::string> offered;
        for (const StoredProduct& product : products) {
            if (const auto k = key(product.record); k && !product.deleted)
                offered.emplace(*k, product.record.name);
        }
        const std::set<RecordId> chosen(ids.begin(), ids.end());
        bool found = false;
        std::vector<RecordId> revived;
        for (const StoredProduct& product : products) {
            if (chosen.count(product.id) == 0)
                continue;
            found = true;
            if (!product.deleted)
                continue;
            if (const auto k = key(product.record)) {
                const auto [same, fresh] = offered.emplace(*k, product.record.name);
                if (!fresh) {
                    m_store.Messages().ShowMessage(
                        Format("Produkt „%s“ nelze obnovit: produkt „%s“ v evidenci má stejné "
                               "označení z importu.",
                               product.record.name.c_str(), same->second.c_str()),
                        MsgIcon::Exclamation);
                    return Outcome::Refused;
                }
            }
            revived.push_back(product.id);
        }
        if (RecordGone(m_store, found))
            return Outcome::Vanished;
        if (revived.empty())
            return Outcome::Unchanged;
        for (RecordId id : revived)
            ReviveProduct(m_store, id);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        return Failed(e);
    }
}

// Definitions

ReadResult<DefinitionRecord> ProductRegister::ReadDefinition(RecordId dtId) const {
    if (!CheckSelected(dtId, Missing::Date))
        return {Outcome::Refused, {}};
    return ReadFound<DefinitionRecord>(m_store, [&] { return FindDefinition(m_store, dtId); });
}

RecordId ProductRegister::InsertDefinition(DefinitionWriter& definitions, RecordId prodId,
                                           const OleDate& from, NewDefinition start) {
    const std::optional<RecordId> previous = start == NewDefinition::CopyPrevious
                                                 ? DefinitionBefore(m_store, prodId, from)
                                                 : std::nullopt;
    const RecordId id = definitions.Insert({prodId, from});
    if (previous)
        CopyCoverLines(m_store, CoverLineTable::Packaging, *previous, CoverLineTable::Packaging,
                       id);
    return id;
}

Outcome ProductRegister::AddDefinition(RecordId prodId, const OleDate& from, NewDefinition start,
                                       RecordId* newId) {
    if (!CheckSelected(prodId, Missing::Product))
        return Outcome::Refused;
    RecordId id = NoRecord;
    const Outcome outcome = ChangePackaging([&]() -> PackagingChange {
        if (DefinitionOnDay(m_store, prodId, from)) {
            m_store.Messages().ShowMessage(
                Format("Databáze již obsahuje datum „%s“!", DefinitionDateText(from).c_str()),
                MsgIcon::None);
            return Outcome::Refused;
        }
        DefinitionWriter definitions(m_store);
        id = InsertDefinition(definitions, prodId, from, start);
        return prodId;
    });
    if (outcome == Outcome::Done && newId)
        *newId = id;
    return outcome;
}

Outcome ProductRegister::ChangeDefinitionDate(RecordId dtId, const OleDate& from) {
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<DefinitionRecord> stored = FindDefinition(m_store, dtId);
        if (RecordGone(m_store, stored.has_value()))
            return Outcome::Vanished;
        const OleDate& old = stored->from;
        if (old.IsValid() == from.IsValid() && old == from)
            return Outcome::Unchanged;
        UpdateDefinitionDate(m_store, dtId, from);
        return stored->prodId;
    });
}

Outcome ProductRegister::DeleteDefinition(RecordId dtId) {
    const ReadResult<DefinitionRecord> definition = ReadDefinition(dtId);
    if (!definition)
        return definition.outcome;
    if (!m_store.Messages().AskYesNo(
            Format("Opravdu si přejete odstranit ze seznamu platnost\n„%s“?",
                   DefinitionDateText(definition->from).c_str()),
            MsgIcon::Question))
        return Outcome::Unchanged;
    return ChangePackaging([&]() -> PackagingChange {
        tarvo::DeleteDefinition(m_store, dtId);
        return definition->prodId;
    });
}

// Lines

ReadResult<CoverLine> ProductRegister::ReadLine(RecordId cpId) const {
    if (!CheckSelected(cpId, Missing::Line))
        return {Outcome::Refused, {}};
    return ReadFound<CoverLine>(
        m_store, [&] { return FindCoverLine(m_store, CoverLineTable::Packaging, cpId); });
}

void ProductRegister::InsertLines(CoverLineWriter& lines, RecordId dtId, const LineChoice& choice) {
    // Each item of a composite cover with its own quantities, band and codes,
    // in the order the items were entered.
    if (choice.compositeId)
        CopyCoverLines(m_store, CoverLineTable::CompCoverItems, *choice.compositeId,
                       CoverLineTable::Packaging, dtId);
    else
        lines.Insert(dtId, choice.line);
}

Outcome ProductRegister::AddLines(RecordId dtId, const LineChoice& choice) {
    if (!CheckSelected(dtId, Missing::Date))
        return Outcome::Refused;
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<DefinitionRecord> definition = FindDefinition(m_store, dtId);
        if (RecordGone(m_store, definition.has_value()))
            return Outcome::Vanished;
        CoverLineWriter lines(m_store, CoverLineTable::Packaging);
        InsertLines(lines, dtId, choice);
        return definition->prodId;
    });
}

Outcome ProductRegister::UpdateLine(RecordId cpId, const CoverLine& line) {
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<RecordId> prodId = ProductOfLine(m_store, cpId);
        if (RecordGone(m_store, prodId.has_value()))
            return Outcome::Vanished;
        // The band of a line for every quantity is left as it was.
        UpdateCoverLine(m_store, CoverLineTable::Packaging, cpId, line);
        return *prodId;
    });
}

Outcome ProductRegister::DeleteLine(RecordId cpId) {
    if (!CheckSelected(cpId, Missing::Line))
        return Outcome::Refused;
    const ReadResult<std::string> coverName =
        ReadOne<std::string>(m_store,
                             "SELECT Cover.cover_name FROM Prod_Cover LEFT JOIN Cover ON "
                             "Prod_Cover.cover_id = Cover.cover_id WHERE (cp_id = ?)",
                             cpId, [](const Statement& s) { return s.Text(0); });
    if (!coverName)
        return coverName.outcome;
    if (!m_store.Messages().AskYesNo(
            Format("Opravdu si přejete odstranit ze seznamu obal\n„%s“?", coverName->c_str()),
            MsgIcon::Question))
        return Outcome::Unchanged;
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<RecordId> prodId = ProductOfLine(m_store, cpId);
        if (RecordGone(m_store, prodId.has_value()))
            return Outcome::Vanished;
        DeleteCoverLine(m_store, CoverLineTable::Packaging, cpId);
        return *prodId;
    });
}

// Bulk assignment

std::optional<AssignSummary> ProductRegister::AssignToProducts(const std::vector<RecordId>& prodIds,
                                                               const OleDate& from,
                                                               const LineChoice& choice,
                                                               NewDefinition start) {
    if (!CheckSelected(prodIds.empty() ? NoRecord : prodIds.front(), Missing::Product))
        return std::nullopt;
    AssignSummary summary;
    try {
        Transaction unit(m_store);
        const int linesEach =
            choice.compositeId
                ? static_cast<int>(
                      CoverLinesOf(m_store, CoverLineTable::CompCoverItems, *choice.compositeId)
                          .size())
                : 1;
        DefinitionWriter definitions(m_store);
        CoverLineWriter lines(m_store, CoverLineTable::Packaging);
        for (RecordId prodId : prodIds) {
            std::optional<RecordId> dtId = DefinitionOnDay(m_store, prodId, from);
            if (!dtId) {
                dtId = InsertDefinition(definitions, prodId, from, start);
                ++summary.definitions;
            }
            InsertLines(lines, *dtId, choice);
            if (linesEach > 0)
                ++summary.products;
            summary.lines += linesEach;
            Carry(prodId);
        }
        unit.Commit();
    } catch (const ComError& e) {
        Failed(e);
        return std::nullopt;
    }
    m_notifier.NotifyAllViews(ViewNotification::ReloadCovers);
    return summary;
}

} // namespace tarvo
