#pragma once

namespace tarvo {

class CDataStore;
class IProgressPort;
class IViewNotifier;

// How a run of ResolveAllMoveCovers ended.
enum class BulkOutcome {
    Declined,  // the user answered No; nothing changed, no notification
    Completed, // every product line was processed
    Cancelled, // stopped by the user; "Aktualizace byla přerušena!" shown
    Failed,    // a database error stopped it; the error and the message shown
};

struct BulkResult {
    BulkOutcome outcome = BulkOutcome::Declined;
    long total = 0;     // product lines found
    long processed = 0; // product lines handled before the run ended
};

// Deletes and derives anew the cover lines of every dispatch product line.
// Asks for confirmation through the store's message port, reports through
// progress (range 0..200, a report every hundredth of the lines, where a
// cancel is also noticed) and tells every view to reload its cover lines in
// every ending but a declined one.
//
// Each line is its own unit: a line that fails keeps its old covers (the
// error is shown and the run goes on), and the lines are committed in
// batches, so that after a cancel or an error every finished line keeps its
// new covers and every other line its old ones.
BulkResult ResolveAllMoveCovers(CDataStore& store, IProgressPort& progress, IViewNotifier& views);

} // namespace tarvo
