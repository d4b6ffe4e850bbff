#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/classification.h"
#include "core/records/covers.h"
#include "core/registers/outcome.h"
#include "core/registers/propagationswitches.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class IViewNotifier;

// What "Navrhnout zařazení pro výkaz 2021" did with a selection of covers.
struct ProposalSummary {
    int complete = 0;   // classified completely for the new form
    int incomplete = 0; // classified in part: the user still has a choice to make
    int kept = 0;       // already had a classification, left as it was

    bool operator==(const ProposalSummary&) const = default;
    // The lines the user is shown.
    std::string Text() const;
};

// A cover not complete for the new form, and what it lacks.
struct UnclassifiedCover {
    RecordId id = NoRecord;
    std::string name;
    // "zařazení" when it has no classification at all; otherwise the fields,
    // a missing material with the candidates its old material code leaves.
    std::string missing;
};

// The covers and their discards. Every operation is one unit of work and
// tells the user everything itself, through the store's message port, with
// the texts and icons the covers view always used; its result only says what
// the caller's list should do next:
//  - a record that another program removed meanwhile: "Záznam byl odstraněn
//    jinou aplikací!" (information) and Outcome::Vanished, so every caller
//    behaves the same and removes the row;
//  - a database error: the COM error box and Outcome::Failed, with nothing
//    of the unit written.
class CoverRegister {
public:
    // The switches are read at every update, so a change made in the options
    // dialog counts from the next edit on.
    CoverRegister(CDataStore& store, const PropagationSwitches& switches, IViewNotifier& notifier);

    // outcome is Done (record set), Vanished or Failed.
    ReadResult<CoverRecord> Read(RecordId id);
    // The new cover's identifier, or nothing after a database error. A
    // classification given with it (the cover dialog's section "Výkaz od roku
    // 2021") is stored in the same unit; one the rules refuse
    // (ClassificationFault) is told with the exclamation icon and nothing is
    // added.
    std::optional<RecordId> Add(const CoverRecord& cover,
                                const std::optional<CoverClassification>& classification = {});
    // Writes the cover. When its type, origin or payment changed, every switch
    // that is on carries the three codes into the composite cover items, the
    // packaging lines and the dispatch cover lines of the cover, and the views
    // are told to reload their covers (also with every switch off). A
    // classification given with the cover replaces the stored one in the
    // same unit, so the dialog's one OK writes both or neither. The cover
    // with the classification it ends up with must pass the rules
    // (ClassificationFault: a cover with a littering category is not made
    // reusable): a fault is told (exclamation) and Refused, nothing written.
    Outcome Update(RecordId id, const CoverRecord& cover,
                   const std::optional<CoverClassification>& classification = {});
    // Asks "Opravdu si přejete odstranit vybrané obaly?", followed by what the covers
    // are used by (packaging lines, composite covers, discards: counts), and
    // on Yes removes the covers' composite cover items and marks the covers
    // deleted; their packaging and dispatch lines and their discards stay.
    // An empty selection gets "Není vybrán obal!" and Unchanged, as does the
    // answer No.
    Outcome DeleteSelection(const std::vector<RecordId>& ids);
    // "Obnovit": the deleted covers of the selection are offered again (the
    // others are left alone; Unchanged when none was deleted). A cover whose
    // name a cover in the register has, in any letter case, is refused
    // (exclamation) naming both, and nothing is restored. Vanished when
    // every selected cover is gone.
    Outcome RestoreSelection(const std::vector<RecordId>& ids);

    ReadResult<DiscardRecord> ReadDiscard(RecordId id);
    // A destination (DiscardDestinations) given with the discard, as the
    // discard page asks for it, is stored in the same unit; the one its
    // kind implies is kept as nothing stored. One that does not agree with
    // the kind is told (exclamation) and nothing is written.
    std::optional<RecordId> AddDiscard(const DiscardRecord& discard,
                                       std::optional<int> destination = {});
    // Writes the date, kind and quantity; the discard stays with its cover.
    // With a destination, as AddDiscard; without one, a destination chosen
    // for it goes when the new kind no longer fits it.
    Outcome UpdateDiscard(RecordId id, const DiscardRecord& discard,
                          std::optional<int> destination = {});
    // Asks "Opravdu si přejete odstranit ze seznamu obal vyřazený „%s“?"
    // with the discard's date and removes it on Yes.
    Outcome DeleteDiscard(RecordId id);

    // The cover's classification for the statement in force since 2021: Done
    // with nothing when it has none yet.
    ReadResult<std::optional<CoverClassification>> ReadClassification(RecordId cover);
    // Stores the classification of the cover (the user's action of the cover
    // dialog's section "Výkaz od roku 2021", kept apart from Update so that
    // the twelve tables' edit and its propagation stay as they are). A
    // classification the rules refuse (ClassificationFault) is told with the
    // exclamation icon and Refused, nothing written.
    Outcome SetClassification(RecordId cover, const CoverClassification& classification);
    // "Navrhnout zařazení pro výkaz 2021": every selected cover without a
    // classification gets the one its old material code suggests, in one unit
    // of work; the summary is shown (information) and returned. An empty
    // selection gets "Není vybrán obal!"; nothing after a database error.
    std::optional<ProposalSummary> ProposeClassifications(const std::vector<RecordId>& ids);
    // The covers not deleted that are not complete for the new form, in the
    // order they were added; nothing after a database error.
    std::optional<std::vector<UnclassifiedCover>> Unclassified();

    // Where a discarded cover went (DiscardDestinations): the one chosen, or
    // the one its kind implies.
    ReadResult<int> ReadDiscardDestination(RecordId discard);
    // A destination that does not agree with the discard's kind is refused.
    Outcome SetDiscardDestination(RecordId discard, int destination);

    // The cover's present weight of one piece (0 when it has none or is
    // gone), for turning a discarded quantity into kilograms.
    Quantity UnitWeight(RecordId cover);

private:
    CDataStore& m_store;
    const PropagationSwitches& m_switches;
    IViewNotifier& m_notifier;
};

} // namespace tarvo
