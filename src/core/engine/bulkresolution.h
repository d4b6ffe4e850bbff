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

// From this many product lines on, a run rebuilds Move_Cover instead of
// rewriting it line by line (see ResolveAllMoveCovers). Measured with
// bench_resolve (Release, CPU time), the rebuild is already the cheaper one at
// 2 000 lines (81 000 against 72 000 lines per CPU second) and clearly so at
// 20 000 (145 000 against 94 000). Below a thousand lines either run takes a
// few hundredths of a second, so there the line-by-line run is kept for what
// it gives besides speed: a line that fails keeps its old covers while the
// others go on, and a cancel keeps the lines already done.
constexpr long RebuildFromLines = 1000;

// Deletes and derives anew the cover lines of every dispatch product line.
// Asks for confirmation through the store's message port, reports through
// progress (range 0..200, a report every hundredth of the lines, where a
// cancel is also noticed) and tells every view to reload its cover lines in
// every ending but a declined one.
//
// Fewer lines than rebuildFrom are rewritten line by line: each line is its
// own unit, a line that fails keeps its old covers (the error is shown and
// the run goes on), and the lines are committed in batches, so that after a
// cancel or an error every finished line keeps its new covers and every other
// line its old ones.
//
// From rebuildFrom lines on, the run is a rebuild of Move_Cover in one unit:
// the old rows go at once and the new rows are appended in key order. The
// rows come out the same as line by line, keys included. A cancel
// or an error leaves every cover line as it was before the run, and so does
// a crash at any moment.
BulkResult ResolveAllMoveCovers(CDataStore& store, IProgressPort& progress, IViewNotifier& views,
                                long rebuildFrom = RebuildFromLines);

} // namespace tarvo
