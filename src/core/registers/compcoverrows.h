#pragma once

#include "core/data/idlist.h"
#include "core/data/rowsource.h"
#include "core/registers/compcoverfilter.h"

#include <memory>

namespace tarvo {

class CDataStore;

// The composite covers list: "Název", "Poznámka".
std::unique_ptr<IRowSource> MakeCompCoverRows(CDataStore& store);
// Every composite cover that passes the filter, ordered by the note (column
// 1) or by the name (any other column), in the Czech order. A database error
// is shown and false returned; ids then holds the rows read before it.
bool LoadCompCoverIds(CDataStore& store, const CompCoverFilter& filter, ListSort sort, IdList& ids);

// The composite cover editor's item list, from the scratch items:
// "Název", "Hmotnost [kg]" (cover quantity times the cover's unit weight),
// "Počet výr.", "Použít od", "Použít do" ("-" both for an item used always),
// "Typ", "Původ", "Platba".
std::unique_ptr<IRowSource> MakeCoverItemRows(CDataStore& store);
// The scratch items in the Czech order of their cover's name.
bool LoadCoverItemIds(CDataStore& store, IdList& ids);

} // namespace tarvo
