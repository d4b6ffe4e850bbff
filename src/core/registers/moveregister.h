#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/dispatches.h"
#include "core/registers/outcome.h"

#include <functional>
#include <optional>
#include <vector>

namespace tarvo {

class CDataStore;

// The dispatch documents with their product lines and cover lines. Every
// operation is one unit of work and tells the user everything itself, through
// the store's message port, with the texts and icons of the dispatches view;
// the result only says what the caller's lists should do next:
//  - a record that another program removed meanwhile: "Záznam byl odstraněn
//    jinou aplikací!" (information) and Outcome::Vanished;
//  - a database error: the COM error box and Outcome::Failed, with nothing of
//    the unit written.
class MoveRegister {
public:
    explicit MoveRegister(CDataStore& store);

    ReadResult<MoveRecord> Read(RecordId id);
    // The new dispatch's identifier (it has no lines yet and no import
    // source) when Done; Refused or Failed otherwise. A number that
    // another dispatch has, compared without regard to letter case as the
    // imports compare, is refused (exclamation) naming that dispatch; an
    // empty number is not checked.
    ReadResult<RecordId> Add(const MoveRecord& move);
    // Writes the four header columns. The lines stay as they are: a new date
    // does not derive the covers again. A new number that another dispatch
    // has is Refused as in Add.
    Outcome Update(RecordId id, const MoveRecord& move);
    // Asks "Opravdu si přejete odstranit vybrané výdeje?" and on Yes removes
    // the dispatches with their product and cover lines. An empty selection
    // gets "Není vybrán doklad!" and Unchanged, as does the answer No.
    Outcome DeleteSelection(const std::vector<RecordId>& ids);

    ReadResult<MoveLineRecord> ReadLine(RecordId id);
    // Adds a product line to the dispatch and derives its covers from the
    // packaging valid on the dispatch date, together: a failure leaves
    // neither. A dispatch removed meanwhile lends the present moment as the
    // date. The new line's identifier, or nothing after a database error.
    std::optional<RecordId> AddLine(RecordId move, RecordId product, Quantity quantity);
    // Writes a new quantity and derives the line's covers again, replacing
    // all of them, hand-made ones included; a failure leaves the old quantity
    // and the old covers. The same quantity changes nothing (Unchanged).
    Outcome UpdateLineQuantity(RecordId id, Quantity quantity);
    // Asks "Opravdu si přejete odstranit ze seznamu produkt\n„%s“?" with the
    // product's name and on Yes removes the line with its covers.
    Outcome DeleteLine(RecordId id);

    ReadResult<MoveCoverRecord> ReadCoverLine(RecordId id);
    // Adds a cover line by hand to a product line; its dispatch is the
    // line's. When the product line is gone: "Údaje o produktu byly
    // odstraněny jinou aplikací!" (information), whatever cover lines it left
    // are removed, and Vanished.
    Outcome AddCoverLine(RecordId line, const MoveCoverRecord& cover);
    // Writes the quantity alone; the same quantity changes nothing.
    Outcome UpdateCoverLineQuantity(RecordId id, Quantity quantity);
    // Asks "Opravdu si přejete odstranit ze seznamu obal\n„%s“?" with the
    // cover's name and on Yes removes the cover line.
    Outcome DeleteCoverLine(RecordId id);

private:
    // The dispatch's date; the present moment when the dispatch is gone.
    OleDate DispatchDate(RecordId move);
    // Asks the question (a format taking the name that nameSql reads for
    // the record) and on Yes runs remove as one unit.
    Outcome DeleteNamed(RecordId id, const char* nameSql, const char* question,
                        const std::function<void()>& remove);

    CDataStore& m_store;
};

} // namespace tarvo
