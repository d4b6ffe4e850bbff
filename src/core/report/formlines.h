#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/report/formplacement.h"
#include "core/report/reportdata.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;

// One record of a quarter behind the statement since 2021: a cover line of a
// dispatch dated in the quarter, or a discard dated in it.
struct FormLine {
    enum Kind : uint8_t { CoverLine, Discard } kind = CoverLine;
    RecordId id = 0;     // mvcover_id or disc_id
    RecordId moveId = 0; // the dispatch of a cover line
    RecordId coverId = 0;
    OleDate date;
    Quantity kilograms; // invalid when the cover's weight is unknown
};

// Reads every such record of the quarter once, in the order of the database,
// and hands it to visit with its cells or the reason it has none (the visit
// may change that placement: it is the line's own). The
// classification comes from Cover_Class and Cover_Part, a discard's
// destination from Discard_Dest or, without one, from its kind.
// Database errors throw ComError.
void ForEachFormLine(CDataStore& store, int year, int quarter,
                     const std::function<void(const FormLine&, FormPlacement&)>& visit);

// A placed line that needs a sheet the user's form hides (hidden[sheet])
// is left out whole, so that no line is half in the statement.
void LeaveOutHiddenSheets(FormPlacement& placement, const std::vector<bool>& hidden);

// The lines of a quarter that will not go into the statement, counted by
// reason: the warning before the statement is made.
struct FormLeftOutSummary {
    size_t lines = 0;
    Quantity kilograms = Quantity::FromUnits(0); // of the lines whose weight is known
    std::map<FormLeftOut, size_t> byReason;

    // "N řádků obalů (X kg) nepůjde do výkazu: reason (n), …" (the noun and
    // verb declined for 1 and 2-4); empty when
    // every line goes in.
    std::string Text() const;
    // count lines of a reason; their kilograms count when known.
    void Add(FormLeftOut reason, size_t count, Quantity linesKilograms);
};

// The summary from the grouped lines of the quarter: far cheaper than a
// visit of every line, and the same decisions, since a line's reason
// depends on its codes, its cover and whether it weighs anything, never on
// how much.
FormLeftOutSummary SummarizeLeftOut(CDataStore& store, int year, int quarter);

} // namespace tarvo
