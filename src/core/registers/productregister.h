#pragma once

#include "core/data/oledate.h"
#include "core/data/recordid.h"
#include "core/records/coverline.h"
#include "core/records/products.h"
#include "core/registers/outcome.h"

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

class CDataStore;
class ComError;
class IProgressPort;
class IViewNotifier;
struct PropagationSwitches;

// What the packaging-line wizard chose: either one line of a simple cover, or
// a composite cover whose items become one ordinary line each (the composite
// cover itself is not remembered).
struct LineChoice {
    std::optional<RecordId> compositeId;
    CoverLine line;
};

// How a new packaging definition starts: without lines, or with a copy of
// the lines of the definition in force just before its first day (as
// stored, band limits and the "always" flag included), so that the
// product's other covers keep applying from that day on.
enum class NewDefinition { Empty, CopyPrevious };

// What a bulk assignment did, for its summary.
struct AssignSummary {
    int products = 0;    // products that got lines
    int definitions = 0; // definitions made
    int lines = 0;       // lines of the chosen cover added

    bool operator==(const AssignSummary&) const = default;
    // The lines the user is shown.
    std::string Text() const;
};

// What an operation had nothing to work on; each has its own message.
enum class Missing { Product, Date, Line };

// The products register: products, their packaging definitions by validity
// date and the packaging lines of each definition. Every operation is one
// unit of work and tells the user what there is to tell through the store's
// message port.
//
// A change of a definition or a line changes which covers left with the
// product's past dispatches. With the switch "Zmenu baleni promitnout do
// vydeju" on, those dispatch lines are derived again in the same unit, so
// the packaging and the dispatch covers never disagree, and the views are
// told to reload their cover lines.
class ProductRegister {
public:
    ProductRegister(CDataStore& store, const PropagationSwitches& switches, IViewNotifier& notifier,
                    IProgressPort& progress);
    // Without progress: for callers with nobody to show it to.
    ProductRegister(CDataStore& store, const PropagationSwitches& switches,
                    IViewNotifier& notifier);

    // False, after the message of what is missing, when id is NoRecord. For
    // the checks that come before a dialog is shown.
    bool CheckSelected(RecordId id, Missing what) const;

    // Products. A read of NoRecord is Refused after the message that nothing
    // is selected; a record gone is Vanished (told).
    ReadResult<ProductRecord> Read(RecordId id) const;
    // Writes name, catalogue number and unit, nothing else; the new
    // identifier, or nothing after a database error.
    std::optional<RecordId> Add(const ProductRecord& product);
    Outcome Update(RecordId id, const ProductRecord& product);
    // Asks "Opravdu si přejete odstranit vybrané produkty?"; on Yes the
    // packaging goes and the products are marked deleted, keeping their
    // dispatch lines. An empty selection gets "Není vybrán produkt!" and
    // Unchanged, as does the answer No.
    Outcome DeleteSelection(const std::vector<RecordId>& ids);
    // "Obnovit": the deleted products of the selection are in the register
    // again, without packaging (the others are left alone; Unchanged when
    // none was deleted). A product whose identifier in its import source
    // another product in the register has is refused (exclamation) naming
    // both, and nothing is restored: the import would no longer know which
    // one it finds. Vanished when every selected product is gone.
    Outcome RestoreSelection(const std::vector<RecordId>& ids);

    // Definitions. A product has at most one per calendar day: adding one on
    // a day that has one is refused (a date change is not checked).
    ReadResult<DefinitionRecord> ReadDefinition(RecordId dtId) const;
    // Sets newId on success.
    Outcome AddDefinition(RecordId prodId, const OleDate& from, NewDefinition start,
                          RecordId* newId = nullptr);
    // Unchanged when the date and time are what is stored.
    Outcome ChangeDefinitionDate(RecordId dtId, const OleDate& from);
    // Asks first; the definition goes with its lines.
    Outcome DeleteDefinition(RecordId dtId);

    // Lines.
    ReadResult<CoverLine> ReadLine(RecordId cpId) const;
    Outcome AddLines(RecordId dtId, const LineChoice& choice);
    // Writes the quantities, the band (kept when the line applies always)
    // and the three codes; the cover and the definition stay.
    Outcome UpdateLine(RecordId cpId, const CoverLine& line);
    // Asks first, naming the cover.
    Outcome DeleteLine(RecordId cpId);

    // For every product, in the order given: its definition on the day of
    // from (made as start says when there is none), to which the chosen
    // line(s) are added. Existing lines stay. The views are told to reload
    // their cover lines even when nothing was carried into dispatches. What
    // was done, for the summary the caller shows once its progress window is
    // gone; nothing when refused or failed (told).
    std::optional<AssignSummary> AssignToProducts(const std::vector<RecordId>& prodIds,
                                                  const OleDate& from, const LineChoice& choice,
                                                  NewDefinition start);

private:
    void InsertLines(CoverLineWriter& lines, RecordId dtId, const LineChoice& choice);
    // Inside a unit: a new definition of the product from the day given,
    // started as start says.
    RecordId InsertDefinition(DefinitionWriter& definitions, RecordId prodId, const OleDate& from,
                              NewDefinition start);
    // Inside a unit: derives the product's dispatch lines again when the
    // switch says so. True when it did.
    bool Carry(RecordId prodId);
    // After the unit is stored.
    void TellCarried(bool carried);
    // What a change of a product's packaging came to: the product whose
    // packaging it wrote, or, when it wrote nothing, the outcome to report.
    using PackagingChange = std::variant<RecordId, Outcome>;
    // Runs change as one unit of work, the product's dispatches derived again
    // in it when the switch says so; the views hear of it once it is stored.
    Outcome ChangePackaging(const std::function<PackagingChange()>& change);
    Outcome Failed(const ComError& error) const;

    CDataStore& m_store;
    const PropagationSwitches& m_switches;
    IViewNotifier& m_notifier;
    IProgressPort& m_progress;
};

// The date of a definition as lists and messages show it: "dd.mm.yyyy".
std::string DefinitionDateText(const OleDate& date);

} // namespace tarvo
