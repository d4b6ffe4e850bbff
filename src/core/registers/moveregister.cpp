#include "core/registers/moveregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/packagingresolution.h"
#include "core/ports/messageport.h"
#include "core/registers/recordaccess.h"

namespace tarvo {

namespace {

constexpr const char* NoDispatch = "Není vybrán doklad !";
constexpr const char* LineGone = "Údaje o produktu byly odstraněny jinou aplikací!";

// A code column as the dialogs take it: nothing stored means nothing chosen.
int Code(const CStatement& st, int column) {
    return st.IsNull(column) ? -1 : static_cast<int>(st.Int(column));
}

void BindCode(CStatement& st, int index, int code) {
    if (code < 0)
        st.BindNull(index);
    else
        st.BindInt(index, code);
}

} // namespace

MoveRegister::MoveRegister(CDataStore& store) : m_store(store) {}

OleDate MoveRegister::DispatchDate(RecordId move) {
    CStatement st(m_store, "SELECT move_date FROM Move WHERE move_id = ?");
    st.BindInt(1, move);
    return st.Step() ? st.Date(0) : OleDate::Now();
}

ReadResult<MoveRecord> MoveRegister::Read(RecordId id) {
    return ReadOne<MoveRecord>(
        m_store,
        "SELECT move_num, move_type, move_date, move_export FROM Move "
        "WHERE move_id = ?",
        id, [](const CStatement& st) {
            return MoveRecord{st.Text(0), Code(st, 1), st.Date(2), st.Int(3) != 0};
        });
}

std::optional<RecordId> MoveRegister::Add(const MoveRecord& move) {
    try {
        CTransaction unit(m_store);
        CStatement st(m_store, "INSERT INTO Move (move_num, move_type, move_date, move_export) "
                               "VALUES (?, ?, ?, ?)");
        st.BindText(1, move.number);
        BindCode(st, 2, move.type);
        st.BindDate(3, move.date);
        st.BindInt(4, move.exported ? 1 : 0);
        st.Run();
        const RecordId id = m_store.LastInsertId();
        unit.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome MoveRegister::Update(RecordId id, const MoveRecord& move) {
    try {
        CTransaction unit(m_store);
        if (RecordGone(m_store, "SELECT move_id FROM Move WHERE move_id = ?", id))
            return Outcome::Vanished;
        CStatement st(m_store, "UPDATE Move SET move_num = ?, move_type = ?, move_date = ?, "
                               "move_export = ? WHERE move_id = ?");
        st.BindText(1, move.number);
        BindCode(st, 2, move.type);
        st.BindDate(3, move.date);
        st.BindInt(4, move.exported ? 1 : 0);
        st.BindInt(5, id);
        st.Run();
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoDispatch, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!messages.AskYesNo("Opravdu si přejete odstranit vybrané výdeje?", MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        CTransaction unit(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpID");
        CStatement insert(m_store, "INSERT INTO TmpID (id) VALUES (?)");
        for (const RecordId id : ids) {
            insert.BindInt(1, id);
            insert.Run();
        }
        // Children first: the cover lines, the product lines, the documents.
        m_store.ExecuteOrThrow("DELETE FROM Move_Cover WHERE (mvprod_id IN (SELECT mvprod_id "
                               "FROM Move_Prod WHERE (move_id IN (SELECT id FROM TmpID))))");
        m_store.ExecuteOrThrow("DELETE FROM Move_Prod WHERE (move_id IN (SELECT id FROM TmpID))");
        m_store.ExecuteOrThrow("DELETE FROM Move WHERE (move_id IN (SELECT id FROM TmpID))");
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

ReadResult<MoveLineRecord> MoveRegister::ReadLine(RecordId id) {
    return ReadOne<MoveLineRecord>(
        m_store, "SELECT move_id, prod_id, mvprod_qty FROM Move_Prod WHERE mvprod_id = ?", id,
        [](const CStatement& st) {
            return MoveLineRecord{st.Int(0), st.Int(1), st.GetQuantity(2)};
        });
}

std::optional<RecordId> MoveRegister::AddLine(RecordId move, RecordId product, Quantity quantity) {
    try {
        CTransaction unit(m_store);
        CStatement st(m_store,
                      "INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) VALUES (?, ?, ?)");
        st.BindInt(1, move);
        st.BindInt(2, product);
        st.BindQuantity(3, quantity);
        st.Run();
        const RecordId line = m_store.LastInsertId();
        const OleDate date = DispatchDate(move);
        // A dispatch without a date gives its lines no covers; any other
        // failure of the derivation has been shown and undoes the line too.
        if (ResolveMoveCovers(m_store, line, move, product, quantity, date) < 0 && date.IsValid())
            return std::nullopt;
        unit.Commit();
        return line;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome MoveRegister::UpdateLineQuantity(RecordId id, Quantity quantity) {
    try {
        CTransaction unit(m_store);
        CStatement st(m_store,
                      "SELECT move_id, prod_id, mvprod_qty FROM Move_Prod WHERE mvprod_id = ?");
        st.BindInt(1, id);
        if (!st.Step()) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        const RecordId move = st.Int(0);
        const RecordId product = st.Int(1);
        if (st.GetQuantity(2) == quantity && st.GetQuantity(2).IsValid())
            return Outcome::Unchanged;
        st.Reset();
        CStatement write(m_store, "UPDATE Move_Prod SET mvprod_qty = ? WHERE mvprod_id = ?");
        write.BindQuantity(1, quantity);
        write.BindInt(2, id);
        write.Run();
        const OleDate date = DispatchDate(move);
        if (ReplaceLineCovers(m_store, id, move, product, quantity, date) < 0 && date.IsValid())
            return Outcome::Failed;
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteLine(RecordId id) {
    return DeleteNamed(id,
                       "SELECT prod_name FROM Move_Prod LEFT JOIN Product ON Move_Prod.prod_id = "
                       "Product.prod_id WHERE mvprod_id = ?",
                       "Opravdu si přejete odstranit ze seznamu produkt\n\"%s\" ?",
                       {"DELETE FROM Move_Cover WHERE (mvprod_id = ?)",
                        "DELETE FROM Move_Prod WHERE (mvprod_id = ?)"});
}

ReadResult<MoveCoverRecord> MoveRegister::ReadCoverLine(RecordId id) {
    return ReadOne<MoveCoverRecord>(m_store,
                                    "SELECT move_id, mvprod_id, cover_id, mvcover_qty, cover_type, "
                                    "cover_org, cover_pay FROM Move_Cover WHERE mvcover_id = ?",
                                    id, [](const CStatement& st) {
                                        return MoveCoverRecord{
                                            st.Int(0),   st.Int(1),   st.Int(2),  st.GetQuantity(3),
                                            Code(st, 4), Code(st, 5), Code(st, 6)};
                                    });
}

Outcome MoveRegister::AddCoverLine(RecordId line, const MoveCoverRecord& cover) {
    IMessagePort& messages = m_store.Messages();
    try {
        CTransaction unit(m_store);
        CStatement owner(m_store, "SELECT move_id FROM Move_Prod WHERE mvprod_id = ?");
        owner.BindInt(1, line);
        if (!owner.Step()) {
            // Covers without their product line would be counted in the
            // report but could never be seen or removed here.
            RunWithId(m_store, "DELETE FROM Move_Cover WHERE (mvprod_id = ?)", line);
            RunWithId(m_store, "DELETE FROM Move_Prod WHERE (mvprod_id = ?)", line);
            unit.Commit();
            messages.ShowMessage(LineGone, MsgIcon::Information);
            return Outcome::Vanished;
        }
        const RecordId move = owner.Int(0);
        CStatement st(m_store, "INSERT INTO Move_Cover (mvprod_id, move_id, cover_id, mvcover_qty, "
                               "cover_type, cover_org, cover_pay) VALUES (?, ?, ?, ?, ?, ?, ?)");
        st.BindInt(1, line);
        st.BindInt(2, move);
        st.BindInt(3, cover.cover);
        st.BindQuantity(4, cover.quantity);
        BindCode(st, 5, cover.type);
        BindCode(st, 6, cover.origin);
        BindCode(st, 7, cover.payment);
        st.Run();
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::UpdateCoverLineQuantity(RecordId id, Quantity quantity) {
    try {
        CTransaction unit(m_store);
        CStatement st(m_store, "SELECT mvcover_qty FROM Move_Cover WHERE mvcover_id = ?");
        st.BindInt(1, id);
        if (!st.Step()) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        if (st.GetQuantity(0) == quantity && st.GetQuantity(0).IsValid())
            return Outcome::Unchanged;
        CStatement write(m_store, "UPDATE Move_Cover SET mvcover_qty = ? WHERE mvcover_id = ?");
        write.BindQuantity(1, quantity);
        write.BindInt(2, id);
        write.Run();
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
}

Outcome MoveRegister::DeleteCoverLine(RecordId id) {
    return DeleteNamed(id,
                       "SELECT cover_name FROM Move_Cover LEFT JOIN Cover ON Move_Cover.cover_id = "
                       "Cover.cover_id WHERE mvcover_id = ?",
                       "Opravdu si přejete odstranit ze seznamu obal\n\"%s\" ?",
                       {"DELETE FROM Move_Cover WHERE (mvcover_id = ?)"});
}

Outcome MoveRegister::DeleteNamed(RecordId id, const char* nameSql, const char* question,
                                  std::initializer_list<const char*> deletions) {
    IMessagePort& messages = m_store.Messages();
    try {
        std::string name;
        {
            CStatement st(m_store, nameSql);
            st.BindInt(1, id);
            if (!st.Step()) {
                ShowRecordGone(m_store.Messages());
                return Outcome::Vanished;
            }
            name = st.Text(0);
        }
        if (!messages.AskYesNo(Format(question, name.c_str()), MsgIcon::Question))
            return Outcome::Unchanged;
        CTransaction unit(m_store);
        for (const char* sql : deletions)
            RunWithId(m_store, sql, id);
        unit.Commit();
        return Outcome::Done;
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
}

} // namespace tarvo
