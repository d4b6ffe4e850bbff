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

constexpr const char* NoProduct = "Není vybrán produkt !";
constexpr const char* NoLine = "Není vybrán obal !";
constexpr const char* NoDate = "Není vybráno datum !";

NullProgress g_noProgress;

void BindOptional(CStatement& s, int index, const std::optional<int64_t>& value) {
    if (value)
        s.BindInt(index, *value);
    else
        s.BindNull(index);
}

void BindCode(CStatement& s, int index, int code) {
    s.BindInt(index, code);
}

// The product a definition belongs to; nothing when the definition is gone.
std::optional<RecordId> OwnerOfDefinition(CDataStore& store, RecordId dtId) {
    CStatement s(store, "SELECT prod_id FROM Prod_CoverDT WHERE (dt_id = ?)");
    s.BindInt(1, dtId);
    if (!s.Step())
        return std::nullopt;
    return s.Int(0);
}

// The product a line belongs to, through its definition.
std::optional<RecordId> OwnerOfLine(CDataStore& store, RecordId cpId) {
    CStatement s(store, "SELECT Prod_CoverDT.prod_id FROM Prod_Cover INNER JOIN Prod_CoverDT ON "
                        "Prod_Cover.dt_id = Prod_CoverDT.dt_id WHERE (Prod_Cover.cp_id = ?)");
    s.BindInt(1, cpId);
    if (!s.Step())
        return std::nullopt;
    return s.Int(0);
}

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
        CTransaction unit(m_store);
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
    return ReadOne<ProductRecord>(
        m_store,
        "SELECT prod_name, prod_katalog, prod_unit, prod_source, prod_scrid "
        "FROM Product WHERE (prod_id = ?)",
        id, [](const CStatement& s) {
            ProductRecord product;
            product.name = s.Text(0);
            product.katalog = s.Text(1);
            product.unit = s.Text(2);
            product.source = s.IsNull(3) ? 0 : s.Int(3);
            product.sourceId = s.IsNull(4) ? std::nullopt : std::optional<int64_t>(s.Int(4));
            return product;
        });
}

std::optional<RecordId> ProductRegister::Add(const ProductRecord& product) {
    try {
        // Only what the dialog edits: the source stays empty, which marks a
        // product entered by hand, and the deleted flag takes its default.
        CTransaction unit(m_store);
        CStatement s(m_store,
                     "INSERT INTO Product (prod_name, prod_katalog, prod_unit) VALUES (?, ?, ?)");
        s.BindText(1, product.name).BindText(2, product.katalog).BindText(3, product.unit);
        s.Run();
        const RecordId id = m_store.LastInsertId();
        unit.Commit();
        return id;
    } catch (const ComError& e) {
        Failed(e);
        return std::nullopt;
    }
}

Outcome ProductRegister::Update(RecordId id, const ProductRecord& product) {
    try {
        CTransaction unit(m_store);
        if (RecordGone(m_store, "SELECT 1 FROM Product WHERE (prod_id = ?)", id))
            return Outcome::Vanished;
        CStatement s(m_store, "UPDATE Product SET prod_name = ?, prod_katalog = ?, prod_unit = ? "
                              "WHERE (prod_id = ?)");
        s.BindText(1, product.name).BindText(2, product.katalog).BindText(3, product.unit);
        s.BindInt(4, id);
        s.Run();
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        return Failed(e);
    }
}

Outcome ProductRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    if (!CheckSelected(ids.empty() ? NoRecord : ids.front(), Missing::Product))
        return Outcome::Unchanged;
    if (!m_store.Messages().AskYesNo("Opravdu si přejete odstranit vybrané produkty",
                                     MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        CTransaction unit(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpID");
        CStatement insert(m_store, "INSERT INTO TmpID (id) VALUES (?)");
        for (RecordId id : ids) {
            insert.BindInt(1, id);
            insert.Run();
            insert.Reset();
        }
        // Lines first: they are found through the definitions. The products
        // stay as rows, so their dispatch lines still name them.
        m_store.ExecuteOrThrow("DELETE FROM Prod_Cover WHERE (dt_id IN (SELECT dt_id FROM "
                               "Prod_CoverDT WHERE (prod_id IN (SELECT id FROM TmpID))))");
        m_store.ExecuteOrThrow(
            "DELETE FROM Prod_CoverDT WHERE (prod_id IN (SELECT id FROM TmpID))");
        m_store.ExecuteOrThrow(
            "UPDATE Product SET deleted = true WHERE (prod_id IN (SELECT id FROM TmpID))");
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        return Failed(e);
    }
}

// Definitions

std::optional<RecordId> ProductRegister::DefinitionOnDay(RecordId prodId,
                                                         const OleDate& from) const {
    CStatement s(m_store, "SELECT dt_id FROM Prod_CoverDT WHERE (prod_id = ?) AND "
                          "DATEDIFF(\"d\", ?, dt_from)=0 ORDER BY dt_id");
    s.BindInt(1, prodId);
    s.BindDate(2, from);
    if (!s.Step())
        return std::nullopt;
    return s.Int(0);
}

ReadResult<DefinitionRecord> ProductRegister::ReadDefinition(RecordId dtId) const {
    if (!CheckSelected(dtId, Missing::Date))
        return {Outcome::Refused, {}};
    return ReadOne<DefinitionRecord>(m_store,
                                     "SELECT prod_id, dt_from FROM Prod_CoverDT WHERE (dt_id = ?)",
                                     dtId, [](const CStatement& s) {
                                         return DefinitionRecord{s.Int(0), s.Date(1)};
                                     });
}

Outcome ProductRegister::AddDefinition(RecordId prodId, const OleDate& from, RecordId* newId) {
    if (!CheckSelected(prodId, Missing::Product))
        return Outcome::Refused;
    RecordId id = NoRecord;
    const Outcome outcome = ChangePackaging([&]() -> PackagingChange {
        if (DefinitionOnDay(prodId, from)) {
            m_store.Messages().ShowMessage(
                Format("Databáze již obsahuje datum \"%s\"!", DefinitionDateText(from).c_str()),
                MsgIcon::None);
            return Outcome::Refused;
        }
        CStatement s(m_store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)");
        s.BindInt(1, prodId).BindDate(2, from);
        s.Run();
        id = m_store.LastInsertId();
        return prodId;
    });
    if (outcome == Outcome::Done && newId)
        *newId = id;
    return outcome;
}

Outcome ProductRegister::ChangeDefinitionDate(RecordId dtId, const OleDate& from) {
    return ChangePackaging([&]() -> PackagingChange {
        CStatement read(m_store, "SELECT prod_id, dt_from FROM Prod_CoverDT WHERE (dt_id = ?)");
        read.BindInt(1, dtId);
        if (!read.Step()) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        const RecordId prodId = read.Int(0);
        const OleDate old = read.Date(1);
        if (old.IsValid() == from.IsValid() && old == from)
            return Outcome::Unchanged;
        CStatement s(m_store, "UPDATE Prod_CoverDT SET dt_from = ? WHERE (dt_id = ?)");
        s.BindDate(1, from).BindInt(2, dtId);
        s.Run();
        return prodId;
    });
}

Outcome ProductRegister::DeleteDefinition(RecordId dtId) {
    const ReadResult<DefinitionRecord> definition = ReadDefinition(dtId);
    if (!definition)
        return definition.outcome;
    if (!m_store.Messages().AskYesNo(
            Format("Opravdu si přejete odstranit ze seznamu platnost\n\"%s\" ?",
                   DefinitionDateText(definition->from).c_str()),
            MsgIcon::Question))
        return Outcome::Unchanged;
    return ChangePackaging([&]() -> PackagingChange {
        RunWithId(m_store, "DELETE FROM Prod_Cover WHERE (dt_id = ?)", dtId);
        RunWithId(m_store, "DELETE FROM Prod_CoverDT WHERE (dt_id = ?)", dtId);
        return definition->prodId;
    });
}

// Lines

ReadResult<PackagingLineRecord> ProductRegister::ReadLine(RecordId cpId) const {
    if (!CheckSelected(cpId, Missing::Line))
        return {Outcome::Refused, {}};
    return ReadOne<PackagingLineRecord>(
        m_store,
        "SELECT dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, cp_useto, "
        "cover_type, cover_org, cover_pay FROM Prod_Cover WHERE (cp_id = ?)",
        cpId, [](const CStatement& s) {
            PackagingLineRecord line;
            line.dtId = s.Int(0);
            line.coverId = s.IsNull(1) ? NoRecord : s.Int(1);
            line.qtyCover = s.GetQuantity(2);
            line.qtyProd = s.GetQuantity(3);
            line.useAlways = s.Int(4) != 0;
            line.useFrom = s.GetQuantity(5);
            line.useTo = s.GetQuantity(6);
            line.coverType = s.IsNull(7) ? -1 : static_cast<int>(s.Int(7));
            line.coverOrg = s.IsNull(8) ? -1 : static_cast<int>(s.Int(8));
            line.coverPay = s.IsNull(9) ? -1 : static_cast<int>(s.Int(9));
            return line;
        });
}

void ProductRegister::InsertLines(RecordId dtId, const LineChoice& choice) {
    if (choice.compositeId) {
        // Each item with its own quantities, band and codes, in the order
        // the items were entered.
        CStatement s(m_store,
                     "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, "
                     "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
                     "SELECT ?, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, "
                     "cp_useto, cover_type, cover_org, cover_pay FROM CompCover_Item WHERE "
                     "ccover_id = ? ORDER BY rowid");
        s.BindInt(1, dtId).BindInt(2, *choice.compositeId);
        s.Run();
        return;
    }
    const PackagingLineRecord& line = choice.line;
    CStatement s(m_store, "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, "
                          "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    s.BindInt(1, dtId);
    BindOptional(s, 2,
                 line.coverId == NoRecord ? std::nullopt : std::optional<int64_t>(line.coverId));
    s.BindQuantity(3, line.qtyCover).BindQuantity(4, line.qtyProd);
    s.BindInt(5, line.useAlways ? 1 : 0);
    // A line for every quantity has no band.
    if (line.useAlways)
        s.BindNull(6).BindNull(7);
    else
        s.BindQuantity(6, line.useFrom).BindQuantity(7, line.useTo);
    BindCode(s, 8, line.coverType);
    BindCode(s, 9, line.coverOrg);
    BindCode(s, 10, line.coverPay);
    s.Run();
}

Outcome ProductRegister::AddLines(RecordId dtId, const LineChoice& choice) {
    if (!CheckSelected(dtId, Missing::Date))
        return Outcome::Refused;
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<RecordId> prodId = OwnerOfDefinition(m_store, dtId);
        if (!prodId) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        InsertLines(dtId, choice);
        return *prodId;
    });
}

Outcome ProductRegister::UpdateLine(RecordId cpId, const PackagingLineRecord& line) {
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<RecordId> prodId = OwnerOfLine(m_store, cpId);
        if (!prodId) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        // The band of a line for every quantity is left as it was.
        CStatement s(m_store,
                     line.useAlways
                         ? "UPDATE Prod_Cover SET cp_qtycover = ?, cp_qtyprod = ?, "
                           "cp_usealways = 1, cover_type = ?, cover_org = ?, "
                           "cover_pay = ? WHERE (cp_id = ?)"
                         : "UPDATE Prod_Cover SET cp_qtycover = ?, cp_qtyprod = ?, "
                           "cp_usealways = 0, cover_type = ?, cover_org = ?, "
                           "cover_pay = ?, cp_usefrom = ?, cp_useto = ? WHERE (cp_id = ?)");
        s.BindQuantity(1, line.qtyCover).BindQuantity(2, line.qtyProd);
        BindCode(s, 3, line.coverType);
        BindCode(s, 4, line.coverOrg);
        BindCode(s, 5, line.coverPay);
        if (line.useAlways) {
            s.BindInt(6, cpId);
        } else {
            s.BindQuantity(6, line.useFrom).BindQuantity(7, line.useTo);
            s.BindInt(8, cpId);
        }
        s.Run();
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
                             cpId, [](const CStatement& s) { return s.Text(0); });
    if (!coverName)
        return coverName.outcome;
    if (!m_store.Messages().AskYesNo(
            Format("Opravdu si přejete odstranit ze seznamu obal\n\"%s\" ?", coverName->c_str()),
            MsgIcon::Question))
        return Outcome::Unchanged;
    return ChangePackaging([&]() -> PackagingChange {
        const std::optional<RecordId> prodId = OwnerOfLine(m_store, cpId);
        if (!prodId) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        RunWithId(m_store, "DELETE FROM Prod_Cover WHERE (cp_id = ?)", cpId);
        return *prodId;
    });
}

// Bulk assignment

Outcome ProductRegister::AssignToProducts(const std::vector<RecordId>& prodIds, const OleDate& from,
                                          const LineChoice& choice) {
    if (!CheckSelected(prodIds.empty() ? NoRecord : prodIds.front(), Missing::Product))
        return Outcome::Refused;
    try {
        CTransaction unit(m_store);
        for (RecordId prodId : prodIds) {
            std::optional<RecordId> dtId = DefinitionOnDay(prodId, from);
            if (!dtId) {
                CStatement s(m_store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)");
                s.BindInt(1, prodId).BindDate(2, from);
                s.Run();
                dtId = m_store.LastInsertId();
            }
            InsertLines(*dtId, choice);
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
