#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"

#include <cstdint>

namespace tarvo {

class CDataStore;
class IProgressPort;

// Derives the covers that left with one dispatch product line and appends them
// to Move_Cover: the product's packaging definition valid at moveDate (the one
// with the latest dt_from not later than moveDate, compared as full date-time
// values; definitions without a valid dt_from are ignored), then every
// packaging line that applies to the quantity, with the whole number of packs
// times cp_qtycover. A row is written even when its quantity comes out 0.
//
// Returns the number of rows written, or -1 when moveDate is not valid
// (nothing is read, written or shown) or after a failure, which has been
// shown through the store's message port: a database error as such, anything
// else as an unexpected error with what it says. The rows of one call are
// written together or not at all, so an error never leaves half a line's
// covers behind. Old cover lines are not removed here: use ReplaceLineCovers
// for that. Runs inside the caller's Transaction when there is one.
long ResolveMoveCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate);

// Deletes the cover lines of one product line and derives new ones as one
// unit: after an error (shown) the line keeps its old covers and the result is
// -1. An invalid moveDate leaves the line without covers and gives -1, as the
// derivation itself has nothing to offer for it. Otherwise the number of rows
// written.
long ReplaceLineCovers(CDataStore& store, RecordId mvprodId, RecordId moveId, RecordId prodId,
                       Quantity qty, const OleDate& moveDate);

// Re-derives the cover lines of every dispatch line of one product, whatever
// its date; hand-made changes to those lines are replaced. Returns the number
// of product lines processed, or -1 after a database error outside the lines
// (shown); lines finished before it keep their new covers, and a line whose
// own derivation failed keeps its old ones.
long ResolveProdMoves(CDataStore& store, RecordId prodId);

// The same re-derivation as one part of the caller's unit of work (a change
// of the product's packaging and its consequences stand or fall together):
// the first database error throws ComError, nothing is shown, and the caller's
// unit undoes everything. Reports progress per line, for the rare product
// dispatched hundreds of thousands of times. Returns the number of lines.
long RederiveProdMoves(CDataStore& store, RecordId prodId, IProgressPort& progress);

} // namespace tarvo
