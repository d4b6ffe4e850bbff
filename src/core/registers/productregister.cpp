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

// Definitions

ReadResult<DefinitionRecord> ProductRegister::ReadDefinition(RecordId dtId) const {
    if (!CheckSelected(dtId, Missing::Date))
        return {Outcome::Refused, {}};
    return ReadFound<DefinitionRecord>(m_store, [&] { return FindDefinition(m_store, dtId); });
}

Outcome ProductRegister::AddDefinition(RecordId prodId, const OleDate& from, RecordId* newId) {
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
        id = DefinitionWriter(m_store).Insert({prodId, from});
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

Outcome ProductRegister::AssignToProducts(const std::vector<RecordId>& prodIds, const OleDate& from,
                                          const LineChoice& choice) {
    if (!CheckSelected(prodIds.empty() ? NoRecord : prodIds.front(), Missing::Product))
        return Outcome::Refused;
    try {
        Transaction unit(m_store);
        DefinitionWriter definitions(m_store);
        CoverLineWriter lines(m_store, CoverLineTable::Packaging);
        for (RecordId prodId : prodIds) {
            std::optional<RecordId> dtId = DefinitionOnDay(m_store, prodId, from);
            if (!dtId)
                dtId = definitions.Insert({prodId, from});
            InsertLines(lines, *dtId, choice);
            Carry(prodId);
        }
        unit.Commit();
    } catch (const ComError& e) {
        return Failed(e);
    }
    m_notifier.NotifyAllViews(ViewNotification::ReloadCovers);
    return Outcome::Done;
}

} // namespace tarvo
