#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"
#include "core/registers/coverfilter.h"

#include <memory>

namespace tarvo {

class CDataStore;

// The covers list: "Název", "Materiál", "Hmotnost [kg]", "Typ", "Původ",
// "Platba", "Opakovaně používaný", "Výkaz 2021"; codes shown by their labels,
// the weight with two decimals, the flag as "ano"/"ne", the classification
// for the new form as its material's label when it is complete and
// "neúplné" otherwise; a deleted cover's name followed by DeletedMark.
std::unique_ptr<IRowSource> MakeCoverRows(CDataStore& store);
// The covers that are not deleted (all of them with withDeleted) and pass the filter, ordered by a
// column of the covers list: the name in the Czech order, the coded columns by their codes, "Výkaz
// 2021" by the material code of the new form (covers without one first). Any other column index
// sorts by name. A database error is shown and false returned; ids then holds the rows read before
// it.
bool LoadCoverIds(CDataStore& store, const CoverFilter& filter, ListSort sort, IdList& ids);

// The discards list of one cover: "Datum", "Typ", "Hmotnost [kg]", the weight
// being the quantity times the cover's present unit weight.
std::unique_ptr<IRowSource> MakeDiscardRows(CDataStore& store);
// The discards of the cover ordered by date (with the time of day), kind
// (column 1) or weight (column 2).
bool LoadDiscardIds(CDataStore& store, RecordId cover, ListSort sort, IdList& ids);

} // namespace tarvo
