#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvo {

class CDataStore;

// One dispatch product line as the rewriter needs it.
struct ProductLine {
    int64_t mvprodId = 0;
    int64_t moveId = 0;
    RecordId prodId = 0;
    Quantity qty;
    OleDate moveDate;
};

// Deletes and derives the cover lines of many product lines. Every line is
// one unit: a line whose deletion or derivation fails keeps its old covers
// and the error is shown; never are old and new rows left side by side or a
// line left half-done. The lines are committed in batches, which keeps a long
// run fast; whatever has not been committed when the object goes away is
// rolled back, so call CommitBatch() at every point that must stay.
//
// A savepoint per line would make SQLite copy every page the line touches
// into its statement journal, which costs more than the line itself. So a
// batch is the only unit held open: when a line fails, the batch is rolled
// back and its earlier lines are done again, which is rare and cheap.
class LineRewriter {
public:
    explicit LineRewriter(CDataStore& store);
    LineRewriter(const LineRewriter&) = delete;
    LineRewriter& operator=(const LineRewriter&) = delete;

    // False when the line failed and kept its old covers (error shown).
    // Errors of the batch handling itself throw ComError.
    bool Rewrite(const ProductLine& line);
    // Makes every line rewritten so far permanent (inside the caller's unit,
    // when there is one).
    void CommitBatch();

private:
    // Deletes and derives; a ComError leaves the line half-done.
    void Apply(const ProductLine& line);
    // Rolls the batch back and does its finished lines again.
    void Recover();

    CDataStore& m_store;
    CoverDerivation m_derivation;
    std::optional<Transaction> m_batch;
    std::vector<ProductLine> m_done; // the lines of the open batch
};

} // namespace tarvo
