#include "ui/framework/clistmodel.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "ui/framework/czechsortkey.h"

#include <algorithm>
#include <limits>
#include <sqlite3.h>
#include <string_view>
#include <unordered_map>

namespace tarvo {

namespace {
// A screen shows a few dozen rows; a chunk of 128 covers scrolling by pages
// with one query, and 32 chunks keep 4096 rows at most.
constexpr int ChunkRows = 128;
constexpr int MaxChunks = 32;
} // namespace

CListModel::CListModel(QStringList headers, std::string rowSql, CellReader reader, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_rowSql(std::move(rowSql)),
      m_reader(std::move(reader)), m_cache(ChunkRows, MaxChunks) {}

bool CListModel::Load(CDataStore& store, const std::string& idSql) {
    beginResetModel();
    m_store = &store;
    m_ids.clear();
    m_cache.Clear();
    bool ok = true;
    try {
        CStatement st(store, idSql);
        while (st.Step())
            m_ids.push_back(st.Int(0));
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        ok = false;
    }
    m_ids.shrink_to_fit();
    endResetModel();
    return ok;
}

bool CListModel::LoadSorted(CDataStore& store, const std::string& sql, SortValue kind,
                            bool descending) {
    beginResetModel();
    m_store = &store;
    m_ids.clear();
    m_cache.Clear();
    struct Row {
        int64_t id;
        int64_t number;
        std::string_view key;
    };
    std::vector<Row> rows;
    CzechKeyArena keys;
    bool ok = true;
    try {
        CStatement st(store, sql);
        sqlite3_stmt* handle = st.Handle();
        while (st.Step()) {
            Row row{sqlite3_column_int64(handle, 0), std::numeric_limits<int64_t>::min(), {}};
            if (sqlite3_column_type(handle, 1) != SQLITE_NULL) {
                if (kind == SortValue::Number) {
                    row.number = sqlite3_column_int64(handle, 1);
                } else {
                    const auto* text =
                        reinterpret_cast<const char*>(sqlite3_column_text(handle, 1));
                    row.key = keys.Add(std::string_view(
                        text, static_cast<size_t>(sqlite3_column_bytes(handle, 1))));
                }
            }
            rows.push_back(row);
        }
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        ok = false;
    }
    auto less = [kind](const Row& a, const Row& b) {
        return kind == SortValue::Number ? a.number < b.number : a.key < b.key;
    };
    if (descending)
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const Row& a, const Row& b) { return less(b, a); });
    else
        std::stable_sort(rows.begin(), rows.end(), less);
    m_ids.reserve(rows.size());
    for (const Row& row : rows)
        m_ids.push_back(row.id);
    endResetModel();
    return ok;
}

void CListModel::Clear() {
    beginResetModel();
    m_ids.clear();
    m_ids.shrink_to_fit();
    m_cache.Clear();
    endResetModel();
}

int CListModel::RowOf(int64_t id) const {
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return it == m_ids.end() ? -1 : static_cast<int>(it - m_ids.begin());
}

void CListModel::RefreshRow(int row) {
    if (row < 0 || row >= Count())
        return;
    m_cache.Invalidate(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CListModel::RemoveRow(int row) {
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_ids.erase(m_ids.begin() + row);
    // Every later row moves up by one, so the cached chunks no longer match.
    m_cache.Clear();
    endRemoveRows();
}

QString CListModel::Cell(int row, int column) const {
    const QStringList* cells = RowCells(row);
    if (!cells || column < 0 || column >= cells->size())
        return {};
    return cells->at(column);
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return Cell(index.row(), index.column());
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return {};
    return m_headers.at(section);
}

const QStringList* CListModel::RowCells(int row) const {
    if (row < 0 || row >= Count() || !m_store)
        return nullptr;
    if (const QStringList* cells = m_cache.Find(row))
        return cells;
    ReadChunk(m_cache.ChunkOf(row));
    return m_cache.Find(row);
}

void CListModel::ReadChunk(int chunk) const {
    const int first = chunk * ChunkRows;
    const int last = std::min(Count(), first + ChunkRows);
    std::string idList;
    for (int row = first; row < last; ++row) {
        if (!idList.empty())
            idList += ',';
        idList += std::to_string(m_ids[static_cast<size_t>(row)]);
    }
    std::unordered_map<int64_t, QStringList> byId;
    try {
        CStatement st(*m_store, Format(m_rowSql.c_str(), idList.c_str()));
        while (st.Step())
            byId.emplace(st.Int(0), m_reader(st));
    } catch (const ComError& e) {
        ShowComError(m_store->Messages(), e);
    }
    // A record that another program removed meanwhile shows empty cells.
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(last - first));
    for (int row = first; row < last; ++row) {
        auto it = byId.find(m_ids[static_cast<size_t>(row)]);
        rows.push_back(it == byId.end() ? QStringList() : std::move(it->second));
    }
    m_cache.Store(chunk, std::move(rows));
}

} // namespace tarvo
