#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/sqlclause.h"

#include <memory>
#include <optional>
#include <string>

namespace tarvo {

class CDataStore;
class Statement;
class IRowSource;
struct CodeList;

// What the row sources of every register share: how a code and a quantity
// look in a list, and how a list's identifiers are read.

// What follows the name of a deleted cover or product in a list that shows
// deleted records too.
inline constexpr const char* DeletedMark = " (odstraněný)";

// The label of a stored code ("???" outside the list).
std::string CodeLabel(const CodeList& list, int64_t code);
// A quantity column as the lists show it.
std::string QuantityCell(const Statement& st, int column);
// A weight column: every stored decimal, none rounded away.
std::string WeightCell(const Statement& st, int column);

// One bound value: the parent record of a dependent list.
SqlClause OneValue(RecordId id);

// Runs the query of identifiers (and, with a sort kind, of their sort
// values) with its parameters bound and puts them in list order; without a
// kind the query's own order stays. A database error is shown through the
// store's message port and whatever was read is kept.
bool LoadListIds(CDataStore& store, const std::string& sql, const SqlClause& parameters,
                 std::optional<IdList::SortValue> kind, bool descending, IdList& ids);

// The rows of cover lines as the products' packaging and the composite
// cover editor list them: name, weight of the line, products, band, codes.
// table holds the lines (Prod_Cover, TmpCover_Item), idColumn identifies one.
std::unique_ptr<IRowSource> MakeCoverLineRows(CDataStore& store, const std::string& table,
                                              const std::string& idColumn);

} // namespace tarvo
