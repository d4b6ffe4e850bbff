#include "core/data/rowsource.h"

#include "core/data/cdatastore.h"
#include "core/data/statement.h"

#include <algorithm>
#include <unordered_map>

namespace tarvo {

StatementRowSource::StatementRowSource(CDataStore& store, std::vector<std::string> headers,
                                       std::string_view select, CellReader reader)
    : m_store(store), m_headers(std::move(headers)), m_sql(select), m_reader(std::move(reader)) {
    m_sql += '(';
    for (int i = 0; i < BatchSize; ++i)
        m_sql += i == 0 ? "?" : ",?";
    m_sql += ')';
}

std::vector<RowCells> StatementRowSource::Read(std::span<const RecordId> ids) {
    std::unordered_map<RecordId, RowCells> byId;
    byId.reserve(ids.size());
    for (size_t first = 0; first < ids.size(); first += BatchSize) {
        const std::span<const RecordId> batch =
            ids.subspan(first, std::min<size_t>(BatchSize, ids.size() - first));
        Statement& st = m_store.Cached(m_sql);
        for (int i = 0; i < BatchSize; ++i)
            st.BindInt(i + 1, static_cast<size_t>(i) < batch.size() ? batch[i] : NoRecord);
        while (st.Step())
            byId.emplace(st.Int(0), m_reader(st));
    }
    std::vector<RowCells> rows;
    rows.reserve(ids.size());
    for (RecordId id : ids) {
        auto it = byId.find(id);
        rows.push_back(it == byId.end() ? RowCells() : it->second);
    }
    return rows;
}

} // namespace tarvo
