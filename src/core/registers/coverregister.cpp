#include "core/registers/coverregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/registers/recordaccess.h"

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal !";

// The codes a cover's lines copy from it; a change of them is what the
// propagation switches carry.
struct CopiedCodes {
    int64_t type;
    int64_t origin;
    int64_t payment;
    bool operator==(const CopiedCodes&) const = default;
};

} // namespace

void BindCover(CStatement& st, const CoverRecord& cover) {
    st.BindText(1, cover.name)
        .BindQuantity(2, cover.weight)
        .BindInt(3, cover.reusable ? 1 : 0)
        .BindInt(4, cover.type)
        .BindInt(5, cover.material)
        .BindInt(6, cover.origin)
        .BindInt(7, cover.payment)
        .BindInt(8, cover.stat)
        .BindText(9, cover.note);
}

void CarryCoverCodes(CDataStore& store, const PropagationSwitches& switches, RecordId cover,
                     int type, int origin, int payment) {
    // Every line of the cover takes the three codes, also a line whose codes
    // had been set apart from the cover's.
    const struct {
        bool on;
        const char* sql;
    } targets[] = {{switches.coverToCompCovers, "UPDATE CompCover_Item SET cover_type = ?, "
                                                "cover_org = ?, cover_pay = ? WHERE cover_id = ?"},
                   {switches.coverToPackaging, "UPDATE Prod_Cover SET cover_type = ?, "
                                               "cover_org = ?, cover_pay = ? WHERE cover_id = ?"},
                   {switches.coverToDispatches, "UPDATE Move_Cover SET cover_type = ?, "
                                                "cover_org = ?, cover_pay = ? WHERE cover_id = ?"}};
    for (const auto& target : targets) {
        if (!target.on)
            continue;
        CStatement carry(store, target.sql);
        carry.BindInt(1, type).BindInt(2, origin).BindInt(3, payment).BindInt(4, cover);
        carry.Run();
    }
}

CoverRegister::CoverRegister(CDataStore& store, const PropagationSwitches& switches,
                             IViewNotifier& notifier)
    : m_store(store), m_switches(switches), m_notifier(notifier) {}

ReadResult<CoverRecord> CoverRegister::Read(RecordId id) {
    return ReadOne<CoverRecord>(m_store,
                                "SELECT cover_name, cover_weight, cover_reusable, cover_type, "
                                "cover_mat, cover_org, cover_pay, cover_stat, cover_note "
                                "FROM Cover WHERE cover_id = ?",
                                id, [](const CStatement& st) {
                                    CoverRecord cover;
                                    cover.name = st.Text(0);
                                    cover.weight = st.GetQuantity(1);
                                    cover.reusable = st.Int(2) != 0;
                                    cover.type = static_cast<int>(st.Int(3));
                                    cover.material = static_cast<int>(st.Int(4));
                                    cover.origin = static_cast<int>(st.Int(5));
                                    cover.payment = static_cast<int>(st.Int(6));
                                    cover.stat = static_cast<int>(st.Int(7));
                                    cover.note = st.Text(8);
                                    return cover;
                                });
}

std::optional<RecordId> CoverRegister::Add(const CoverRecord& cover) {
    try {
        CTransaction transaction(m_store);
        CStatement st(m_store, "INSERT INTO Cover (cover_name, cover_weight, cover_reusable, "
                               "cover_type, cover_mat, cover_org, cover_pay, cover_stat, "
                               "cover_note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        BindCover(st, cover);
        st.Run();
        const RecordId id = m_store.LastInsertId();
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::Update(RecordId id, const CoverRecord& cover) {
    const CopiedCodes codes{cover.type, cover.origin, cover.payment};
    bool carried = false;
    try {
        // The cover and the lines its change is carried into are one unit:
        // either all of them change or none.
        CTransaction transaction(m_store);
        CStatement read(m_store,
                        "SELECT cover_type, cover_org, cover_pay FROM Cover WHERE cover_id = ?");
        read.BindInt(1, id);
        if (!read.Step()) {
            ShowRecordGone(m_store.Messages());
            return Outcome::Vanished;
        }
        carried = CopiedCodes{read.Int(0), read.Int(1), read.Int(2)} != codes;
        CStatement write(m_store, "UPDATE Cover SET cover_name = ?, cover_weight = ?, "
                                  "cover_reusable = ?, cover_type = ?, cover_mat = ?, "
                                  "cover_org = ?, cover_pay = ?, cover_stat = ?, cover_note = ? "
                                  "WHERE cover_id = ?");
        BindCover(write, cover);
        write.BindInt(10, id);
        write.Run();
        if (carried)
            CarryCoverCodes(m_store, m_switches, id, cover.type, cover.origin, cover.payment);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
    // The other views show the cover lines' codes: they reload them whenever
    // the codes changed, whichever switches were on.
    if (carried)
        m_notifier.NotifyAllViews(ViewNotification::ReloadCovers);
    return Outcome::Done;
}

Outcome CoverRegister::DeleteSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    if (!messages.AskYesNo("Opravdu si přejete odstranit vybrané obaly", MsgIcon::Question))
        return Outcome::Unchanged;
    try {
        CTransaction transaction(m_store);
        m_store.ExecuteOrThrow("DELETE FROM TmpID");
        CStatement insert(m_store, "INSERT INTO TmpID (id) VALUES (?)");
        for (RecordId id : ids) {
            insert.BindInt(1, id);
            insert.Run();
            insert.Reset();
        }
        // The discards and composite cover items go for good; the cover stays,
        // marked deleted, so that packaging definitions, dispatches and
        // reports keep it.
        m_store.ExecuteOrThrow("DELETE FROM CoverDiscard WHERE cover_id IN (SELECT id FROM TmpID)");
        m_store.ExecuteOrThrow(
            "DELETE FROM CompCover_Item WHERE cover_id IN (SELECT id FROM TmpID)");
        m_store.ExecuteOrThrow(
            "UPDATE Cover SET deleted = true WHERE (cover_id IN (SELECT id FROM TmpID))");
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

ReadResult<DiscardRecord> CoverRegister::ReadDiscard(RecordId id) {
    return ReadOne<DiscardRecord>(m_store,
                                  "SELECT cover_id, disc_date, disc_type, disc_qty "
                                  "FROM CoverDiscard WHERE disc_id = ?",
                                  id, [](const CStatement& st) {
                                      return DiscardRecord{st.Int(0), st.Date(1),
                                                           static_cast<int>(st.Int(2)),
                                                           st.GetQuantity(3)};
                                  });
}

std::optional<RecordId> CoverRegister::AddDiscard(const DiscardRecord& discard) {
    try {
        CTransaction transaction(m_store);
        CStatement st(m_store, "INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, "
                               "disc_qty) VALUES (?, ?, ?, ?)");
        // The day alone is stored, without the time.
        st.BindInt(1, discard.cover)
            .BindDate(2, discard.date.DayOnly())
            .BindInt(3, discard.kind)
            .BindQuantity(4, discard.quantity);
        st.Run();
        const RecordId id = m_store.LastInsertId();
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::UpdateDiscard(RecordId id, const DiscardRecord& discard) {
    try {
        CTransaction transaction(m_store);
        if (RecordGone(m_store, "SELECT disc_id FROM CoverDiscard WHERE disc_id = ?", id))
            return Outcome::Vanished;
        CStatement st(m_store, "UPDATE CoverDiscard SET disc_date = ?, disc_type = ?, "
                               "disc_qty = ? WHERE disc_id = ?");
        st.BindDate(1, discard.date.DayOnly())
            .BindInt(2, discard.kind)
            .BindQuantity(3, discard.quantity)
            .BindInt(4, id);
        st.Run();
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Outcome CoverRegister::DeleteDiscard(RecordId id) {
    IMessagePort& messages = m_store.Messages();
    try {
        std::string day;
        {
            CStatement read(m_store, "SELECT disc_date FROM CoverDiscard WHERE disc_id = ?");
            read.BindInt(1, id);
            if (!read.Step()) {
                ShowRecordGone(m_store.Messages());
                return Outcome::Vanished;
            }
            day = read.Date(0).ToText();
        }
        if (!messages.AskYesNo(
                Format("Opravdu si přejete odstranit ze seznamu obal vyřazený \"%s\" ?",
                       day.c_str()),
                MsgIcon::Question))
            return Outcome::Unchanged;
        CTransaction transaction(m_store);
        CStatement remove(m_store, "DELETE FROM CoverDiscard WHERE disc_id = ?");
        remove.BindInt(1, id);
        remove.Run();
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Quantity CoverRegister::UnitWeight(RecordId cover) {
    try {
        CStatement st(m_store, "SELECT cover_weight FROM Cover WHERE cover_id = ?");
        st.BindInt(1, cover);
        if (st.Step() && !st.IsNull(0))
            return st.GetQuantity(0);
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
    }
    return Quantity::FromUnits(0);
}

} // namespace tarvo
