#pragma once

#include "core/data/idlist.h"
#include "core/data/rowcache.h"
#include "core/data/rowsource.h"

#include <memory>
#include <string>

namespace tarvo {

class IMessagePort;

// A list as a view shows it: the identifiers in list order and the cells of
// the rows shown lately, read from the row source in chunks when they are
// first asked for. A database error while reading is shown through the
// message port and the chunk shows empty cells.
class RowList {
public:
    // A screen shows a few dozen rows; a chunk covers scrolling by pages with
    // one query, and 32 chunks keep 4096 rows at most.
    static constexpr int ChunkRows = StatementRowSource::BatchSize;
    static constexpr int MaxChunks = 32;

    RowList(IMessagePort& messages, std::unique_ptr<IRowSource> source);

    const std::vector<std::string>& Headers() const { return m_source->Headers(); }
    int ColumnCount() const { return static_cast<int>(Headers().size()); }

    // Shows these identifiers from now on; every cached row is dropped.
    void SetIds(IdList ids);
    const IdList& Ids() const { return m_ids; }
    int Count() const { return m_ids.Count(); }
    RecordId Id(int row) const { return m_ids.Id(row); }
    int RowOf(RecordId id) const { return m_ids.RowOf(id); }

    // The cells of a row (read when needed), or nullptr outside the list.
    const RowCells* Cells(int row);
    // One cell's text; empty outside the list.
    std::string Cell(int row, int column);
    // The record of the row changed: its cells are read again.
    void RefreshRow(int row);
    void RemoveRow(int row);
    void Clear();

private:
    void ReadChunk(int chunk);

    IMessagePort& m_messages;
    std::unique_ptr<IRowSource> m_source;
    IdList m_ids;
    RowCache<RowCells> m_cache{ChunkRows, MaxChunks};
};

} // namespace tarvo
