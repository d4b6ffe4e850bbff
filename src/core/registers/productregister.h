#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/registers/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class ComError;
class IProgressPort;
class IViewNotifier;
struct PropagationSwitches;

// One product as the product dialog edits it. Source and source id are read
// only: the imports write them, a person never does.
struct ProductRecord {
    RecordId id = NoRecord;
    std::string name;
    std::string katalog;
    std::string unit;
    int64_t source = 0;
    std::optional<int64_t> sourceId;
};

// One packaging definition: how the product is packed from a day on.
struct DefinitionRecord {
    RecordId id = NoRecord;
    RecordId prodId = NoRecord;
    OleDate from;
};

// One packaging line: qtyCover covers per qtyProd product units, for every
// dispatched quantity (useAlways) or for those from useFrom to useTo.
struct PackagingLineRecord {
    RecordId id = NoRecord;
    RecordId dtId = NoRecord;
    RecordId coverId = NoRecord;
    Quantity qtyCover;
    Quantity qtyProd;
    bool useAlways = true;
    Quantity useFrom;
    Quantity useTo;
    int coverType = -1;
    int coverOrg = -1;
    int coverPay = -1;
};

// What the packaging-line wizard chose: either one line of a simple cover, or
// a composite cover whose items become one ordinary line each (the composite
// cover itself is not remembered).
struct LineChoice {
    std::optional<RecordId> compositeId;
    PackagingLineRecord line;
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

    // Products. Read: Refused when id is NoRecord, Vanished when the row is
    // gone (both told).
    Outcome ReadProduct(RecordId id, ProductRecord& record) const;
    // Writes name, catalogue number and unit; sets record.id.
    Outcome AddProduct(ProductRecord& record);
    Outcome UpdateProduct(const ProductRecord& record);
    // Asks first; the packaging goes, the products are marked deleted and
    // keep their dispatch lines.
    Outcome DeleteProducts(const std::vector<RecordId>& ids);

    // Definitions. A product has at most one per calendar day: adding one on
    // a day that has one is refused (a date change is not checked).
    Outcome ReadDefinition(RecordId dtId, DefinitionRecord& record) const;
    // Sets newId on success.
    Outcome AddDefinition(RecordId prodId, const OleDate& from, RecordId* newId = nullptr);
    // Unchanged when the date and time are what is stored.
    Outcome ChangeDefinitionDate(RecordId dtId, const OleDate& from);
    // Asks first; the definition goes with its lines.
    Outcome DeleteDefinition(RecordId dtId);

    // Lines.
    Outcome ReadLine(RecordId cpId, PackagingLineRecord& record) const;
    Outcome AddLines(RecordId dtId, const LineChoice& choice);
    // Writes the quantities, the band (kept when the line applies always)
    // and the three codes; the cover stays.
    Outcome UpdateLine(const PackagingLineRecord& record);
    // Asks first, naming the cover.
    Outcome DeleteLine(RecordId cpId);

    // For every product, in the order given: its definition on the day of
    // from (made when there is none), to which the chosen line(s) are added.
    // Existing lines stay. The views are told to reload their cover lines
    // even when nothing was carried into dispatches.
    Outcome AssignToProducts(const std::vector<RecordId>& prodIds, const OleDate& from,
                             const LineChoice& choice);

private:
    // The product's definition on the calendar day of from, if any.
    std::optional<RecordId> DefinitionOnDay(RecordId prodId, const OleDate& from) const;
    void InsertLines(RecordId dtId, const LineChoice& choice);
    // Inside a unit: derives the product's dispatch lines again when the
    // switch says so. True when it did.
    bool Carry(RecordId prodId);
    // After the unit is stored.
    void TellCarried(bool carried);
    void TellVanished() const;
    Outcome Failed(const ComError& error) const;

    CDataStore& m_store;
    const PropagationSwitches& m_switches;
    IViewNotifier& m_notifier;
    IProgressPort& m_progress;
};

// The date of a definition as lists and messages show it: "dd.mm.yyyy".
std::string DefinitionDateText(const OleDate& date);

} // namespace tarvo
