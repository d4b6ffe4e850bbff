#include "core/engine/linerewriter.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"

namespace tarvo {

namespace {

// Large enough that the commit costs nothing per line, small enough that the
// uncommitted work stays a small part of the page cache.
constexpr long LinesPerBatch = 20000;

} // namespace

CLineRewriter::CLineRewriter(CDataStore& store)
    : m_store(store), m_derivation(store, true), m_begin(store, "SAVEPOINT tarvo_line"),
      m_release(store, "RELEASE tarvo_line"), m_rollback(store, "ROLLBACK TO tarvo_line") {}

bool CLineRewriter::Rewrite(int64_t mvprodId, int64_t moveId, long prodId, Quantity qty,
                            const OleDate& moveDate) {
    if (!m_batch)
        m_batch.emplace(m_store);
    // Prepared savepoint statements: a line costs microseconds, and parsing
    // the unit's statements anew every time would be a good part of that.
    m_begin.Run();
    try {
        m_derivation.DeleteCovers(mvprodId);
        m_derivation.Append(mvprodId, moveId, prodId, qty, moveDate);
    } catch (const ComError& e) {
        m_rollback.Run();
        m_release.Run();
        ShowComError(m_store.Messages(), e);
        return false;
    }
    m_release.Run();
    if (++m_inBatch >= LinesPerBatch)
        CommitBatch();
    return true;
}

void CLineRewriter::CommitBatch() {
    if (m_batch) {
        m_batch->Commit();
        m_batch.reset();
    }
    m_inBatch = 0;
}

} // namespace tarvo
