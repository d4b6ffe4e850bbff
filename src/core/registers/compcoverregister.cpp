#include "core/registers/compcoverregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"
#include "core/registers/recordaccess.h"

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal !";
constexpr const char* DeleteQuestion = "Opravdu si přejete odstranit vybrané obaly";

// The nine item columns that CompCover_Item and TmpCover_Item share, in the
// order of the statements below.
constexpr const char* ItemColumns = "cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, "
                                    "cp_useto, cover_type, cover_org, cover_pay";

} // namespace

CompCoverRegister::CompCoverRegister(CDataStore& store) : m_store(store) {}

ReadResult<CompCoverRecord> CompCoverRegister::Read(RecordId id) {
    return ReadOne<CompCoverRecord>(
        m_store, "SELECT ccover_name, ccover_note FROM CompCover WHERE ccover_id = ?", id,
        [](const CStatement& st) {
            return CompCoverRecord{st.Text(0), st.Text(1)};
        });
}

void CompCoverRegister::CopyScratchItemsTo(RecordId compCover) {
    CStatement copy(m_store, Format("INSERT INTO CompCover_Item (ccover_id, %s) SELECT ?, %s "
                                    "FROM TmpCover_Item ORDER BY ti_id",
                                    ItemColumns, ItemColumns));
    copy.BindInt(1, compCover).Run();
}

std::optional<RecordId> CompCoverRegister::Add(const CompCoverRecord& compCover) {
    try {
        // The composite cover and its items are stored together: a failure
        // leaves neither, never a composite cover with part of its items.
        CTransaction transaction(m_store);
        CStatement insert(m_store,
                          "INSERT INTO CompCover (ccover_name, ccover_note) VALUES (?, ?)");
        insert.BindText(1, compCover.name).BindText(2, compCover.note).Run();
        const RecordId id = m_store.LastInsertId();
        CopyScratchItemsTo(id);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CompCoverRegister::Update(RecordId id, const CompCoverRecord& compCover) {
    try {
        CTransaction transaction(m_store);
        if (RecordGone(m_store, "SELECT ccover_id FROM CompCover WHERE ccover_id = ?", id))
            return Outcome::Vanished;
        CStatement update(
            m_store, "UPDATE CompCover SET ccover_name = ?, ccover_note = ? WHERE ccover_id = ?");
        update.BindText(1, compCover.name).BindText(2, compCover.note).BindInt(3, id).Run();
        // The items are replaced as a whole, in the same unit as the name: a
        // failure while writing them keeps the old items and the old name.
        CStatement clear(m_store, "DELETE FROM CompCover_Item WHERE ccover_id = ?");
        clear.BindInt(1, id).Run();
        CopyScratchItemsTo(id);
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!messages.AskYesNo(DeleteQuestion, MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        CTransaction transaction(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpID");
        CStatement insert(m_store, "INSERT INTO TmpID (id) VALUES (?)");
        for (RecordId id : ids) {
            insert.BindInt(1, id).Run();
            insert.Reset();
        }
        m_store.ExecuteOrThrow(
            "DELETE FROM CompCover_Item WHERE ccover_id IN (SELECT id FROM TmpID)");
        m_store.ExecuteOrThrow("DELETE FROM CompCover WHERE ccover_id IN (SELECT id FROM TmpID)");
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

bool CompCoverRegister::BeginEditing(RecordId id) {
    try {
        CTransaction transaction(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpCover_Item");
        CStatement copy(m_store, Format("INSERT INTO TmpCover_Item (%s) SELECT %s FROM "
                                        "CompCover_Item WHERE ccover_id = ? ORDER BY rowid",
                                        ItemColumns, ItemColumns));
        copy.BindInt(1, id).Run();
        transaction.Commit();
        return true;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return false;
    }
}

std::optional<RecordId> CompCoverRegister::AddItem(const CoverItem& item) {
    try {
        CStatement insert(m_store, Format("INSERT INTO TmpCover_Item (%s) VALUES "
                                          "(?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                          ItemColumns));
        insert.BindInt(1, item.cover)
            .BindQuantity(2, item.qtyCover)
            .BindQuantity(3, item.qtyProd)
            .BindInt(4, item.useAlways ? 1 : 0);
        // An item used always gets no band limits.
        if (item.useAlways)
            insert.BindNull(5).BindNull(6);
        else
            insert.BindQuantity(5, item.useFrom).BindQuantity(6, item.useTo);
        insert.BindInt(7, item.type).BindInt(8, item.origin).BindInt(9, item.payment).Run();
        return m_store.LastInsertId();
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

ReadResult<CoverItem> CompCoverRegister::ReadItem(RecordId itemId) {
    return ReadOne<CoverItem>(m_store,
                              Format("SELECT %s FROM TmpCover_Item WHERE ti_id = ?", ItemColumns),
                              itemId, [](const CStatement& st) {
                                  CoverItem item;
                                  item.cover = st.Int(0);
                                  item.qtyCover = st.GetQuantity(1);
                                  item.qtyProd = st.GetQuantity(2);
                                  item.useAlways = st.Int(3) != 0;
                                  if (!item.useAlways) {
                                      item.useFrom = st.GetQuantity(4);
                                      item.useTo = st.GetQuantity(5);
                                  }
                                  item.type = static_cast<int>(st.Int(6));
                                  item.origin = static_cast<int>(st.Int(7));
                                  item.payment = static_cast<int>(st.Int(8));
                                  return item;
                              });
}

Outcome CompCoverRegister::UpdateItem(RecordId itemId, const CoverItem& item) {
    try {
        CTransaction transaction(m_store);
        if (RecordGone(m_store, "SELECT ti_id FROM TmpCover_Item WHERE ti_id = ?", itemId))
            return Outcome::Vanished;
        // Type, origin and payment are written for every item: the page lets
        // the user change them for an item used always, too. The band limits
        // only for an item with a band; an item switched to "always" keeps
        // its old limits, which nothing reads then.
        CStatement update(m_store, "UPDATE TmpCover_Item SET cp_qtycover = ?, cp_qtyprod = ?, "
                                   "cp_usealways = ?, cover_type = ?, cover_org = ?, "
                                   "cover_pay = ? WHERE ti_id = ?");
        update.BindQuantity(1, item.qtyCover)
            .BindQuantity(2, item.qtyProd)
            .BindInt(3, item.useAlways ? 1 : 0)
            .BindInt(4, item.type)
            .BindInt(5, item.origin)
            .BindInt(6, item.payment)
            .BindInt(7, itemId)
            .Run();
        if (!item.useAlways) {
            CStatement band(
                m_store, "UPDATE TmpCover_Item SET cp_usefrom = ?, cp_useto = ? WHERE ti_id = ?");
            band.BindQuantity(1, item.useFrom).BindQuantity(2, item.useTo).BindInt(3, itemId).Run();
        }
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::DeleteItem(RecordId itemId) {
    try {
        CStatement remove(m_store, "DELETE FROM TmpCover_Item WHERE ti_id = ?");
        remove.BindInt(1, itemId).Run();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

} // namespace tarvo
