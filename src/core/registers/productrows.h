#pragma once

#include "core/data/idlist.h"
#include "core/data/recordid.h"
#include "core/data/rowsource.h"
#include "core/registers/prodfilter.h"

#include <memory>

namespace tarvo {

class CDataStore;

// The products list: "ID", "Název", "Kat. č.", "Jednotka". The ID is the
// product's number in the system it was imported from, empty for a product
// entered by hand. A deleted product's name is followed by DeletedMark.
std::unique_ptr<IRowSource> MakeProductRows(CDataStore& store);
// The products that are not deleted (all of them with withDeleted) and pass
// the filter, ordered by a column
// of the list: 0 the source number, 2 the catalogue number, 3 the unit, any
// other the name; texts in the Czech order. A database error is shown and
// false returned; ids then holds the rows read before it.
bool LoadProductIds(CDataStore& store, const ProdFilter& filter, ListSort sort, IdList& ids);

// The validity dates of one product: "Platné od", always oldest first.
std::unique_ptr<IRowSource> MakeDefinitionRows(CDataStore& store);
bool LoadDefinitionIds(CDataStore& store, RecordId prodId, IdList& ids);

// The packaging lines of one definition: "Název", "Hmotnost [kg]" (the
// covers' weight in total), "Počet výr.", "Použít od", "Použít do" (both "-"
// for a line that applies to any quantity), "Typ", "Původ", "Platba" (the
// line's own codes).
std::unique_ptr<IRowSource> MakePackagingLineRows(CDataStore& store);
// Ordered by a column of the list; any column out of range sorts by name.
bool LoadPackagingLineIds(CDataStore& store, RecordId dtId, ListSort sort, IdList& ids);

} // namespace tarvo
