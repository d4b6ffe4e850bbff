#include "core/data/rowlist.h"

#include "core/data/comerror.h"
#include "core/data/shared.h"

#include <algorithm>

namespace tarvo {

RowList::RowList(IMessagePort& messages, std::unique_ptr<IRowSource> source)
    : m_messages(messages), m_source(std::move(source)) {}

void RowList::SetIds(IdList ids) {
    m_ids = std::move(ids);
    m_cache.Clear();
}

const RowCells* RowList::Cells(int row) {
    if (row < 0 || row >= Count())
        return nullptr;
    if (const RowCells* cells = m_cache.Find(row))
        return cells;
    ReadChunk(m_cache.ChunkOf(row));
    return m_cache.Find(row);
}

std::string RowList::Cell(int row, int column) {
    const RowCells* cells = Cells(row);
    if (!cells || column < 0 || column >= static_cast<int>(cells->size()))
        return {};
    return (*cells)[static_cast<size_t>(column)];
}

void RowList::RefreshRow(int row) {
    if (row >= 0 && row < Count())
        m_cache.Invalidate(row);
}

void RowList::RemoveRow(int row) {
    if (row < 0 || row >= Count())
        return;
    m_ids.Remove(row);
    // Every later row moves up by one, so the cached chunks no longer match.
    m_cache.Clear();
}

void RowList::Clear() {
    m_ids.Clear();
    m_cache.Clear();
}

void RowList::ReadChunk(int chunk) {
    const int first = chunk * ChunkRows;
    const int last = std::min(Count(), first + ChunkRows);
    std::vector<RecordId> ids;
    ids.reserve(static_cast<size_t>(last - first));
    for (int row = first; row < last; ++row)
        ids.push_back(m_ids.Id(row));
    std::vector<RowCells> rows;
    try {
        rows = m_source->Read(ids);
    } catch (const ComError& e) {
        ShowComError(m_messages, e);
        rows.assign(ids.size(), RowCells());
    }
    m_cache.Store(chunk, std::move(rows));
}

} // namespace tarvo
