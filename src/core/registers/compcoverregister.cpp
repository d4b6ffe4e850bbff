#include "core/registers/compcoverregister.h"

#include "core/data/cdatastore.h"
#include "core/data/comerror.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal !";
constexpr const char* RecordGone = "Záznam byl odstraněn jinou aplikací!";
constexpr const char* DeleteQuestion = "Opravdu si přejete odstranit vybrané obaly";

// The nine item columns, in the order of the statements below.
constexpr const char* ItemColumns = "cover_id, cp_qtycover, cp_qtyprod, cp_usealways, cp_usefrom, "
                                    "cp_useto, cover_type, cover_org, cover_pay";

// A LIKE pattern that matches the text literally: its own wildcards and
// the escape character are escaped.
std::string LiteralPattern(std::string_view text) {
    std::string pattern;
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

void AddTextCondition(BoundCondition& condition, const char* column, const std::string& text,
                      bool part) {
    condition.sql += condition.sql.empty() ? " WHERE" : " AND";
    // LIKE compares every letter without regard to case, Czech ones too, as
    // the whole program's text matching does; an exact match is a LIKE
    // without wildcards.
    condition.sql += Format(" (%s LIKE ? ESCAPE '\\')", column);
    condition.texts.push_back(part ? "%" + LiteralPattern(text) + "%" : LiteralPattern(text));
}

// Binds the item's columns from index first on, in ItemColumns' order.
void BindItem(CStatement& st, int first, const CoverItem& item) {
    st.BindInt(first, item.coverId);
    st.BindQuantity(first + 1, item.qtyCover);
    st.BindQuantity(first + 2, item.qtyProd);
    st.BindInt(first + 3, item.useAlways ? 1 : 0);
    // An item used always keeps no band: the limits stay empty.
    if (item.useAlways) {
        st.BindNull(first + 4);
        st.BindNull(first + 5);
    } else {
        st.BindQuantity(first + 4, item.useFrom);
        st.BindQuantity(first + 5, item.useTo);
    }
    st.BindInt(first + 6, item.type);
    st.BindInt(first + 7, item.origin);
    st.BindInt(first + 8, item.payment);
}

CoverItem ItemOfRow(const CStatement& st, int first) {
    CoverItem item;
    item.coverId = st.Int(first);
    item.qtyCover = st.GetQuantity(first + 1);
    item.qtyProd = st.GetQuantity(first + 2);
    item.useAlways = st.Int(first + 3) != 0;
    if (!item.useAlways) {
        item.useFrom = st.GetQuantity(first + 4);
        item.useTo = st.GetQuantity(first + 5);
    }
    item.type = static_cast<int>(st.Int(first + 6));
    item.origin = static_cast<int>(st.Int(first + 7));
    item.payment = static_cast<int>(st.Int(first + 8));
    return item;
}

bool Exists(CDataStore& store, const char* sql, RecordId id) {
    CStatement st(store, sql);
    st.BindInt(1, id);
    return st.Step();
}

} // namespace

BoundCondition FilterCondition(const CompCoverFilter& filter) {
    BoundCondition condition;
    if (filter.useName)
        AddTextCondition(condition, "ccover_name", filter.name, filter.namePart);
    if (filter.useNote)
        AddTextCondition(condition, "ccover_note", filter.note, filter.notePart);
    return condition;
}

CompCoverRegister::CompCoverRegister(CDataStore& store, IMessagePort& messages)
    : m_store(store), m_messages(messages) {}

std::optional<CompCoverRecord> CompCoverRegister::Read(RecordId id) {
    try {
        CStatement st(m_store,
                      "SELECT ccover_name, ccover_note FROM CompCover WHERE ccover_id = ?");
        st.BindInt(1, id);
        if (!st.Step()) {
            m_messages.ShowMessage(RecordGone, MsgIcon::Information);
            return std::nullopt;
        }
        return CompCoverRecord{id, st.Text(0), st.Text(1)};
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return std::nullopt;
    }
}

void CompCoverRegister::CopyScratchItemsTo(RecordId compCoverId) {
    CStatement copy(m_store, Format("INSERT INTO CompCover_Item (ccover_id, %s) SELECT ?, %s "
                                    "FROM TmpCover_Item ORDER BY ti_id",
                                    ItemColumns, ItemColumns));
    copy.BindInt(1, compCoverId);
    copy.Run();
}

Outcome CompCoverRegister::Add(CompCoverRecord& record) {
    try {
        // The composite cover and its items are stored together: a failure
        // leaves neither, never a composite cover with half its items.
        CTransaction transaction(m_store);
        CStatement insert(m_store,
                          "INSERT INTO CompCover (ccover_name, ccover_note) VALUES (?, ?)");
        insert.BindText(1, record.name).BindText(2, record.note).Run();
        const RecordId id = m_store.LastInsertId();
        CopyScratchItemsTo(id);
        transaction.Commit();
        record.id = id;
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::Update(const CompCoverRecord& record) {
    try {
        CTransaction transaction(m_store);
        if (!Exists(m_store, "SELECT 1 FROM CompCover WHERE ccover_id = ?", record.id)) {
            m_messages.ShowMessage(RecordGone, MsgIcon::Information);
            return Outcome::Vanished;
        }
        CStatement update(
            m_store, "UPDATE CompCover SET ccover_name = ?, ccover_note = ? WHERE ccover_id = ?");
        update.BindText(1, record.name).BindText(2, record.note).BindInt(3, record.id).Run();
        // The items are replaced as a whole (and get new keys); with the name
        // and note in one unit, so a failure keeps the old items.
        CStatement clear(m_store, "DELETE FROM CompCover_Item WHERE ccover_id = ?");
        clear.BindInt(1, record.id).Run();
        CopyScratchItemsTo(record.id);
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::Delete(const std::vector<RecordId>& ids) {
    if (ids.empty()) {
        m_messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!m_messages.AskYesNo(DeleteQuestion, MsgIcon::Question))
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
        ShowComError(m_messages, e);
        return Outcome::Failed;
    }
}

bool CompCoverRegister::BeginEditing(RecordId id) {
    try {
        CTransaction transaction(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpCover_Item");
        if (id != NoRecord) {
            CStatement copy(m_store, Format("INSERT INTO TmpCover_Item (%s) SELECT %s FROM "
                                            "CompCover_Item WHERE ccover_id = ? ORDER BY rowid",
                                            ItemColumns, ItemColumns));
            copy.BindInt(1, id).Run();
        }
        transaction.Commit();
        return true;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return false;
    }
}

RecordId CompCoverRegister::AddItem(const CoverItem& item) {
    try {
        CStatement insert(m_store, Format("INSERT INTO TmpCover_Item (%s) VALUES "
                                          "(?, ?, ?, ?, ?, ?, ?, ?, ?)",
                                          ItemColumns));
        BindItem(insert, 1, item);
        insert.Run();
        return m_store.LastInsertId();
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return NoRecord;
    }
}

std::optional<CoverItem> CompCoverRegister::ReadItem(RecordId itemId) {
    try {
        CStatement st(m_store, Format("SELECT %s FROM TmpCover_Item WHERE ti_id = ?", ItemColumns));
        st.BindInt(1, itemId);
        if (!st.Step()) {
            m_messages.ShowMessage(RecordGone, MsgIcon::Information);
            return std::nullopt;
        }
        return ItemOfRow(st, 0);
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return std::nullopt;
    }
}

Outcome CompCoverRegister::UpdateItem(RecordId itemId, const CoverItem& item) {
    try {
        CTransaction transaction(m_store);
        if (!Exists(m_store, "SELECT 1 FROM TmpCover_Item WHERE ti_id = ?", itemId)) {
            m_messages.ShowMessage(RecordGone, MsgIcon::Information);
            return Outcome::Vanished;
        }
        // Band limits are written only for an item with a band; switching to
        // "always" leaves the old limits, which nothing reads then. Type,
        // origin and payment are written either way: the page lets the user
        // change them for an item used always, too.
        CStatement update(m_store, "UPDATE TmpCover_Item SET cp_qtycover = ?, cp_qtyprod = ?, "
                                   "cp_usealways = ?, cover_type = ?, cover_org = ?, "
                                   "cover_pay = ?, cp_usefrom = IIF(?, cp_usefrom, ?), "
                                   "cp_useto = IIF(?, cp_useto, ?) WHERE ti_id = ?");
        update.BindQuantity(1, item.qtyCover).BindQuantity(2, item.qtyProd);
        update.BindInt(3, item.useAlways ? 1 : 0);
        update.BindInt(4, item.type).BindInt(5, item.origin).BindInt(6, item.payment);
        update.BindInt(7, item.useAlways ? 1 : 0).BindQuantity(8, item.useFrom);
        update.BindInt(9, item.useAlways ? 1 : 0).BindQuantity(10, item.useTo);
        update.BindInt(11, itemId);
        update.Run();
        transaction.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return Outcome::Failed;
    }
}

Outcome CompCoverRegister::DeleteItem(RecordId itemId) {
    try {
        CStatement remove(m_store, "DELETE FROM TmpCover_Item WHERE ti_id = ?");
        remove.BindInt(1, itemId).Run();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        return Outcome::Failed;
    }
}

} // namespace tarvo
