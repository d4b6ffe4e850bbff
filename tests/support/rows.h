#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/compcovers.h"
#include "core/records/coverline.h"
#include "core/records/covers.h"
#include "core/records/dispatches.h"
#include "core/records/products.h"

#include <vector>

namespace tarvo {
class CDataStore;
} // namespace tarvo

namespace tarvo::test {

// Quantities written as the user types them: "0,5", "-250".
Quantity Q(const char* text);

} // namespace tarvo::test

// Rows of a test's database written through the program's own record writers,
// so that a fixture stores what the program would store. Each returns the new
// row's key and throws ComError when the write fails; none opens a unit of
// its own.
namespace tarvo::test::rows {

RecordId Cover(CDataStore& store, const CoverRecord& cover = {}, bool deleted = false);
RecordId Discard(CDataStore& store, const DiscardRecord& discard);
// A composite cover with its items.
RecordId CompCover(CDataStore& store, const CompCoverRecord& compCover,
                   const std::vector<CoverLine>& items = {});
RecordId CompCoverItem(CDataStore& store, RecordId compCover, const CoverLine& item);
RecordId Product(CDataStore& store, const ProductRecord& product = {});
// A packaging definition of product from the day from, with its lines.
RecordId Definition(CDataStore& store, RecordId product, OleDate from,
                    const std::vector<CoverLine>& lines = {});
RecordId PackagingLine(CDataStore& store, RecordId definition, const CoverLine& line);
RecordId Move(CDataStore& store, const MoveRecord& move);
RecordId MoveLine(CDataStore& store, RecordId move, RecordId product, Quantity quantity);
RecordId MoveCover(CDataStore& store, const MoveCoverRecord& cover);

} // namespace tarvo::test::rows
