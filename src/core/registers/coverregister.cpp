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

} // namespace

CoverRegister::CoverRegister(CDataStore& store, const PropagationSwitches& switches,
                             IViewNotifier& notifier)
    : m_store(store), m_switches(switches), m_notifier(notifier) {}

ReadResult<CoverRecord> CoverRegister::Read(RecordId id) {
    return ReadFound<CoverRecord>(m_store, [&] { return FindCover(m_store, id); });
}

std::optional<RecordId> CoverRegister::Add(const CoverRecord& cover) {
    try {
        Transaction transaction(m_store);
        const RecordId id = CoverWriter(m_store).Insert(cover);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::Update(RecordId id, const CoverRecord& cover) {
    const CoverCodes codes{cover.type, cover.origin, cover.payment};
    bool carried = false;
    try {
        // The cover and the lines its change is carried into are one unit:
        // either all of them change or none.
        Transaction transaction(m_store);
        const std::optional<CoverCodes> old = FindCoverCodes(m_store, id);
        if (RecordGone(m_store, old.has_value()))
            return Outcome::Vanished;
        carried = *old != codes;
        UpdateCover(m_store, id, cover);
        if (carried)
            CarryCoverCodes(m_store, CoverCodeTargetsOf(m_switches), id, codes);
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
        Transaction transaction(m_store);
        MarkCoversDeleted(m_store, ids);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

ReadResult<DiscardRecord> CoverRegister::ReadDiscard(RecordId id) {
    return ReadFound<DiscardRecord>(m_store, [&] { return FindDiscard(m_store, id); });
}

std::optional<RecordId> CoverRegister::AddDiscard(const DiscardRecord& discard) {
    try {
        Transaction transaction(m_store);
        const RecordId id = DiscardWriter(m_store).Insert(discard);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::UpdateDiscard(RecordId id, const DiscardRecord& discard) {
    try {
        Transaction transaction(m_store);
        if (RecordGone(m_store, FindDiscard(m_store, id).has_value()))
            return Outcome::Vanished;
        tarvo::UpdateDiscard(m_store, id, discard);
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
        const std::optional<DiscardRecord> discard = FindDiscard(m_store, id);
        if (RecordGone(m_store, discard.has_value()))
            return Outcome::Vanished;
        if (!messages.AskYesNo(
                Format("Opravdu si přejete odstranit ze seznamu obal vyřazený \"%s\" ?",
                       discard->date.ToText().c_str()),
                MsgIcon::Question))
            return Outcome::Unchanged;
        Transaction transaction(m_store);
        tarvo::DeleteDiscard(m_store, id);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Quantity CoverRegister::UnitWeight(RecordId cover) {
    try {
        Statement st(m_store, "SELECT cover_weight FROM Cover WHERE cover_id = ?");
        st.BindInt(1, cover);
        if (st.Step() && !st.IsNull(0))
            return st.GetQuantity(0);
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
    }
    return Quantity::FromUnits(0);
}

} // namespace tarvo
