#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"
#include "core/registers/movefilter.h"

#include <memory>

namespace tarvo {

class CDataStore;

// The dispatches list: "Číslo", "Datum", "Export", "Typ"; the date as
// dd.mm.yyyy, the flag as "ano"/"ne", the document kind by its label.
std::unique_ptr<IRowSource> MakeMoveRows(CDataStore& store);
// The dispatches that pass the filter, ordered by date (column 1, with the
// time of day), kind (column 3) or otherwise by number in the Czech order;
// the "Export" column too sorts by number. A database error is shown and
// false returned; ids then holds the rows read before it.
bool LoadMoveIds(CDataStore& store, const MoveFilter& filter, ListSort sort, IdList& ids);

// The product lines list: "Název", "Kat. č.", "Množství".
std::unique_ptr<IRowSource> MakeMoveLineRows(CDataStore& store);
// The product lines of one dispatch, ordered by catalogue number (column 1),
// quantity (column 2) or otherwise by product name.
bool LoadMoveLineIds(CDataStore& store, RecordId move, ListSort sort, IdList& ids);

// The cover lines list: "Název", "Množství [ks]", "Hmotnost [kg]",
// "Materiál", "Typ", "Původ", "Platba", "Produkt"; the weight is the pieces
// times the cover's present unit weight, the material the cover's, the other
// codes the line's own, the product the one the covers left with (what tells
// the lines apart while every cover of a dispatch is shown).
std::unique_ptr<IRowSource> MakeMoveCoverRows(CDataStore& store);
// The cover lines of one product line, or (LoadDispatchCoverIds) of every
// product line of one dispatch, ordered by pieces (column 1), weight,
// material, type, origin, payment, product (columns 2 to 7) or otherwise by
// cover name.
bool LoadLineCoverIds(CDataStore& store, RecordId line, ListSort sort, IdList& ids);
bool LoadDispatchCoverIds(CDataStore& store, RecordId move, ListSort sort, IdList& ids);

} // namespace tarvo
