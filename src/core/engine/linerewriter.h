#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/coverderivation.h"

#include <cstdint>
#include <optional>

namespace tarvo {

class CDataStore;

// Deletes and derives the cover lines of many product lines. Every line is
// its own unit (a savepoint): a line whose deletion or derivation fails keeps
// its old covers and the error is shown; never are old and new rows left side
// by side or a line left half-done. The lines are committed in batches, which
// keeps a long run fast; whatever has not been committed when the object goes
// away is rolled back, so call CommitBatch() at every point that must stay.
class CLineRewriter {
public:
    explicit CLineRewriter(CDataStore& store);
    CLineRewriter(const CLineRewriter&) = delete;
    CLineRewriter& operator=(const CLineRewriter&) = delete;

    // False when the line failed and kept its old covers (error shown).
    // Errors of the unit handling itself throw ComError.
    bool Rewrite(int64_t mvprodId, int64_t moveId, long prodId, Quantity qty,
                 const OleDate& moveDate);
    // Makes every line rewritten so far permanent (inside the caller's unit,
    // when there is one).
    void CommitBatch();

private:
    CDataStore& m_store;
    CCoverDerivation m_derivation;
    std::optional<CTransaction> m_batch;
    long m_inBatch = 0;
    CStatement m_begin;
    CStatement m_release;
    CStatement m_rollback;
};

} // namespace tarvo
