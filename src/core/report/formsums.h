#pragma once

#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/report/formlines.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;

// The sums of a quarter's cells (kilograms, or pieces in a pieces column) by
// FormCellId, and what stayed out.
struct FormSums {
    std::map<uint32_t, Quantity> cells;
    FormLeftOutSummary leftOut;
    // The covers behind each row of L, for the messages of its checks.
    std::map<int, std::set<RecordId>> litteringCovers;
    // The composites' weight in their rows by the K sheet and column they
    // are split into (FormCellId with row 0): what the K column must sum to.
    std::map<uint32_t, Quantity> compositeRows;
};
uint32_t FormCellId(const FormTarget& target);
FormTarget FormCellOfId(uint32_t id);

// Every line of the quarter into its cells; a line that needs a sheet the
// form hides (hidden[sheet]) is left out whole.
FormSums ComputeFormSums(CDataStore& store, int year, int quarter, const std::vector<bool>& hidden);

// The form's reconciliation of the composites: each K column equals the
// composite rows it splits. True by construction, so a failure is a fault
// of this program; the text names the sheet and column.
std::optional<std::string> ReconcileComposites(const FormSums& sums);

// The form's own checks of the user's data: the bags' weight per piece and
// pieces beside tonnes, the partly plastic rows, the EKOKOM-ID (9
// characters, a letter first). The texts name sheet, row and covers;
// rowOf gives the form's row of an L target.
std::vector<std::string> CheckFormData(CDataStore& store, const FormSums& sums,
                                       const std::function<int(const FormTarget&)>& rowOf,
                                       const std::string& ekokomId);

} // namespace tarvo
