#include "core/engine/linerewriter.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"

namespace tarvo {

namespace {

// A commit waits for the disk (tens of milliseconds), so a batch must be
// large; but its changed pages have to fit in the page cache (64 MB during the
// bulk run), or SQLite writes them out halfway, syncing the journal each time.
// 25 000 lines change about 15 MB of pages.
constexpr size_t LinesPerBatch = 25000;

} // namespace

LineRewriter::LineRewriter(CDataStore& store) : m_store(store), m_derivation(store, true) {}

void LineRewriter::Apply(const ProductLine& line) {
    m_derivation.DeleteCovers(line.mvprodId);
    m_derivation.Append(line.mvprodId, line.moveId, line.prodId, line.qty, line.moveDate);
}

bool LineRewriter::Rewrite(const ProductLine& line) {
    if (!m_batch)
        m_batch.emplace(m_store);
    try {
        Apply(line);
    } catch (const ComError& e) {
        ShowComError(m_store.Messages(), e);
        Recover();
        return false;
    }
    m_done.push_back(line);
    if (m_done.size() >= LinesPerBatch)
        CommitBatch();
    return true;
}

void LineRewriter::Recover() {
    std::vector<ProductLine> redo = std::move(m_done);
    bool again = true;
    while (again) {
        again = false;
        m_batch.reset();
        m_batch.emplace(m_store);
        m_done.clear();
        for (auto it = redo.begin(); it != redo.end(); ++it) {
            try {
                Apply(*it);
                m_done.push_back(*it);
            } catch (const ComError& e) {
                // A line that worked a moment ago fails now: it keeps its
                // old covers too, and the rest of the batch is done again.
                ShowComError(m_store.Messages(), e);
                redo.erase(it);
                again = true;
                break;
            }
        }
    }
}

void LineRewriter::CommitBatch() {
    if (m_batch) {
        m_batch->Commit();
        m_batch.reset();
    }
    m_done.clear();
}

} // namespace tarvo
