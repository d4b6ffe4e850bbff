#include "core/registers/coverregister.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/registers/classification.h"
#include "core/registers/recordaccess.h"

#include <map>
#include <set>

namespace tarvo {

namespace {

constexpr const char* NoCover = "Není vybrán obal!";

// What the deletion question adds about the covers' uses, and what becomes
// of each; nothing for covers used nowhere.
std::string UsesText(const CoverUses& uses) {
    if (uses.packagingLines == 0 && uses.compCovers == 0 && uses.discards == 0)
        return std::string();
    std::string text = "\n\nVybrané obaly jsou použity:";
    if (uses.packagingLines > 0)
        text += Format("\n- v řádcích balení produktů: %lld (zůstanou, obal v nich zůstane "
                       "uveden)",
                       static_cast<long long>(uses.packagingLines));
    if (uses.compCovers > 0)
        text += Format("\n- ve složených obalech: %lld (obaly z nich budou odebrány)",
                       static_cast<long long>(uses.compCovers));
    if (uses.discards > 0)
        text += Format("\n- ve vyřazeních: %lld (zůstanou, patří k vykázaným čtvrtletím)",
                       static_cast<long long>(uses.discards));
    return text;
}

// Tells why a discard of the kind cannot have the destination; false when
// it can.
bool RefuseDestination(IMessagePort& messages, int kind, int destination) {
    if (DestinationFitsKind(destination, kind))
        return false;
    messages.ShowMessage(Format("Vyřazení '%s' nemůže mít cíl '%s'.",
                                DiscardKinds.Label(kind).c_str(),
                                DiscardDestinations.Label(destination).c_str()),
                         MsgIcon::Exclamation);
    return true;
}

// Stores a destination that fits the kind: the one the kind implies as
// nothing, so a later change of the kind carries it along.
void StoreDestination(CDataStore& store, RecordId discard, int kind, int destination) {
    if (destination == DestinationOfKind(kind))
        DeleteDiscardDestination(store, discard);
    else
        WriteDiscardDestination(store, discard, destination);
}

} // namespace

CoverRegister::CoverRegister(CDataStore& store, const PropagationSwitches& switches,
                             IViewNotifier& notifier)
    : m_store(store), m_switches(switches), m_notifier(notifier) {}

ReadResult<CoverRecord> CoverRegister::Read(RecordId id) {
    return ReadFound<CoverRecord>(m_store, [&] { return FindCover(m_store, id); });
}

std::optional<RecordId>
CoverRegister::Add(const CoverRecord& cover,
                   const std::optional<CoverClassification>& classification) {
    if (classification) {
        if (const auto fault = ClassificationFault(*classification, cover.reusable)) {
            m_store.Messages().ShowMessage(*fault, MsgIcon::Exclamation);
            return std::nullopt;
        }
    }
    try {
        Transaction transaction(m_store);
        const RecordId id = CoverWriter(m_store).Insert(cover);
        if (classification)
            WriteClassification(m_store, id, *classification);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::Update(RecordId id, const CoverRecord& cover,
                              const std::optional<CoverClassification>& classification) {
    const CoverCodes codes{cover.type, cover.origin, cover.payment};
    bool carried = false;
    try {
        // The cover and the lines its change is carried into are one unit:
        // either all of them change or none.
        Transaction transaction(m_store);
        const std::optional<CoverCodes> old = FindCoverCodes(m_store, id);
        if (RecordGone(m_store, old.has_value()))
            return Outcome::Vanished;
        // The classification the cover ends up with must fit the edited
        // cover: one with a littering category cannot become reusable.
        const std::optional<CoverClassification> kept =
            classification ? classification : FindClassification(m_store, id);
        if (kept) {
            if (const auto fault = ClassificationFault(*kept, cover.reusable)) {
                m_store.Messages().ShowMessage(*fault, MsgIcon::Exclamation);
                return Outcome::Refused;
            }
        }
        carried = *old != codes;
        UpdateCover(m_store, id, cover);
        if (classification)
            WriteClassification(m_store, id, *classification);
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
    try {
        const std::string uses = UsesText(UsesOfCovers(m_store, ids));
        if (!messages.AskYesNo("Opravdu si přejete odstranit vybrané obaly?" + uses,
                               MsgIcon::Question))
            return Outcome::Unchanged;
        Transaction transaction(m_store);
        MarkCoversDeleted(m_store, ids);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

Outcome CoverRegister::RestoreSelection(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return Outcome::Unchanged;
    }
    try {
        Transaction transaction(m_store);
        const std::vector<StoredCover> covers = AllCovers(m_store);
        // The register workbook finds a cover by its name in any letter
        // case: a restored cover must not make a name ambiguous.
        std::map<std::string, std::string> offered;
        for (const StoredCover& cover : covers) {
            if (!cover.deleted)
                offered.emplace(FoldCase(cover.record.name), cover.record.name);
        }
        const std::set<RecordId> chosen(ids.begin(), ids.end());
        bool found = false;
        std::vector<RecordId> revived;
        for (const StoredCover& cover : covers) {
            if (chosen.count(cover.id) == 0)
                continue;
            found = true;
            if (!cover.deleted)
                continue;
            const auto [same, fresh] =
                offered.emplace(FoldCase(cover.record.name), cover.record.name);
            if (!fresh) {
                messages.ShowMessage(Format("Obal „%s“ nelze obnovit: v evidenci již je obal "
                                            "„%s“. Jeden z nich nejprve přejmenujte.",
                                            cover.record.name.c_str(), same->second.c_str()),
                                     MsgIcon::Exclamation);
                return Outcome::Refused;
            }
            revived.push_back(cover.id);
        }
        if (RecordGone(m_store, found))
            return Outcome::Vanished;
        if (revived.empty())
            return Outcome::Unchanged;
        for (RecordId id : revived)
            ReviveCover(m_store, id);
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

std::optional<RecordId> CoverRegister::AddDiscard(const DiscardRecord& discard,
                                                  std::optional<int> destination) {
    if (destination && RefuseDestination(m_store.Messages(), discard.kind, *destination))
        return std::nullopt;
    try {
        Transaction transaction(m_store);
        const RecordId id = DiscardWriter(m_store).Insert(discard);
        if (destination)
            StoreDestination(m_store, id, discard.kind, *destination);
        transaction.Commit();
        return id;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

Outcome CoverRegister::UpdateDiscard(RecordId id, const DiscardRecord& discard,
                                     std::optional<int> destination) {
    try {
        Transaction transaction(m_store);
        if (RecordGone(m_store, FindDiscard(m_store, id).has_value()))
            return Outcome::Vanished;
        if (destination && RefuseDestination(m_store.Messages(), discard.kind, *destination))
            return Outcome::Refused;
        tarvo::UpdateDiscard(m_store, id, discard);
        if (destination) {
            StoreDestination(m_store, id, discard.kind, *destination);
        } else {
            const std::optional<int> stored = FindDiscardDestination(m_store, id);
            if (stored && !DestinationFitsKind(*stored, discard.kind))
                DeleteDiscardDestination(m_store, id);
        }
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
        if (!messages.AskYesNo(Format("Opravdu si přejete odstranit ze seznamu obal vyřazený „%s“?",
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

ReadResult<std::optional<CoverClassification>> CoverRegister::ReadClassification(RecordId cover) {
    return ReadFound<std::optional<CoverClassification>>(
        m_store, [&]() -> std::optional<std::optional<CoverClassification>> {
            if (!FindCoverCodes(m_store, cover))
                return std::nullopt;
            return FindClassification(m_store, cover);
        });
}

Outcome CoverRegister::SetClassification(RecordId cover,
                                         const CoverClassification& classification) {
    try {
        Transaction transaction(m_store);
        const std::optional<CoverRecord> stored = FindCover(m_store, cover);
        if (RecordGone(m_store, stored.has_value()))
            return Outcome::Vanished;
        if (const auto fault = ClassificationFault(classification, stored->reusable)) {
            m_store.Messages().ShowMessage(*fault, MsgIcon::Exclamation);
            return Outcome::Refused;
        }
        WriteClassification(m_store, cover, classification);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return Outcome::Failed;
    }
    return Outcome::Done;
}

std::string ProposalSummary::Text() const {
    return Format("Návrh zařazení pro výkaz 2021\n"
                  "Úplně zařazené obaly: %d\n"
                  "Obaly, u nichž zbývá volba: %d\n"
                  "Obaly zařazené už dříve (beze změny): %d",
                  complete, incomplete, kept);
}

std::optional<ProposalSummary>
CoverRegister::ProposeClassifications(const std::vector<RecordId>& ids) {
    IMessagePort& messages = m_store.Messages();
    if (ids.empty()) {
        messages.ShowMessage(NoCover, MsgIcon::Exclamation);
        return std::nullopt;
    }
    ProposalSummary summary;
    try {
        // The whole selection is one unit: a failure leaves every cover as it
        // was, and running it again proposes for the same covers.
        Transaction transaction(m_store);
        for (const RecordId id : ids) {
            const std::optional<CoverRecord> cover = FindCover(m_store, id);
            if (!cover)
                continue;
            if (FindClassification(m_store, id)) {
                ++summary.kept;
                continue;
            }
            const CoverClassification proposed =
                ProposeClassification(cover->material).classification;
            WriteClassification(m_store, id, proposed);
            ++(IsCompleteForNewForm(proposed) ? summary.complete : summary.incomplete);
        }
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(messages, e);
        return std::nullopt;
    }
    messages.ShowMessage(summary.Text(), MsgIcon::Information);
    return summary;
}

std::optional<std::vector<UnclassifiedCover>> CoverRegister::Unclassified() {
    try {
        const std::map<RecordId, CoverClassification> classes = AllClassifications(m_store);
        std::vector<UnclassifiedCover> list;
        for (const StoredCover& cover : AllCovers(m_store)) {
            if (cover.deleted)
                continue;
            const auto found = classes.find(cover.id);
            if (found == classes.end()) {
                list.push_back({cover.id, cover.record.name, "zařazení"});
                continue;
            }
            std::vector<std::string> missing = MissingForNewForm(found->second);
            if (missing.empty())
                continue;
            if (missing.front() == "materiál") {
                std::string candidates;
                for (const int m : ProposeClassification(cover.record.material).materials)
                    candidates += (candidates.empty() ? "" : " / ") + Materials2021.Label(m);
                if (!candidates.empty())
                    missing.front() += " (" + candidates + ")";
            }
            std::string text;
            for (const std::string& field : missing)
                text += (text.empty() ? "" : ", ") + field;
            list.push_back({cover.id, cover.record.name, text});
        }
        return list;
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        return std::nullopt;
    }
}

ReadResult<int> CoverRegister::ReadDiscardDestination(RecordId discard) {
    return ReadFound<int>(m_store, [&]() -> std::optional<int> {
        const std::optional<DiscardRecord> found = FindDiscard(m_store, discard);
        if (!found)
            return std::nullopt;
        return FindDiscardDestination(m_store, discard).value_or(DestinationOfKind(found->kind));
    });
}

Outcome CoverRegister::SetDiscardDestination(RecordId discard, int destination) {
    try {
        Transaction transaction(m_store);
        const std::optional<DiscardRecord> found = FindDiscard(m_store, discard);
        if (RecordGone(m_store, found.has_value()))
            return Outcome::Vanished;
        if (RefuseDestination(m_store.Messages(), found->kind, destination))
            return Outcome::Refused;
        WriteDiscardDestination(m_store, discard, destination);
        transaction.Commit();
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
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
