#include "ui/framework/clistmodel.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/data/czechsortkey.h"

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
// The head of a sorted list that is ordered at once: more than the rows a
// screen shows and the rows that sizing the columns looks at.
constexpr size_t OrderedHead = 1024;
} // namespace

struct CListModel::PendingSort {
    struct Row {
        int64_t id;
        int64_t number;
        // Names: the text itself until the rest of the list is ordered, then
        // its Czech sort key.
        std::string_view key;
        size_t position; // in the query: breaks ties, so the order is stable
        bool null;
    };
    std::vector<Row> rows;
    CzechKeyArena keys;
    SortValue kind = SortValue::Number;
    bool descending = false;

    // The order of the list; byText compares names with the collation
    // instead of by their keys (the same order).
    bool Less(const Row& a, const Row& b, bool byText = false) const {
        int c = 0;
        if (kind == SortValue::Number)
            c = a.number < b.number ? -1 : (a.number == b.number ? 0 : 1);
        else if (a.null || b.null)
            c = a.null == b.null ? 0 : (a.null ? -1 : 1); // empty values first, as in SQL
        else if (byText)
            c = CzechCompare(a.key, b.key);
        else
            c = a.key < b.key ? -1 : (a.key == b.key ? 0 : 1);
        if (c == 0)
            return a.position < b.position;
        return descending ? c > 0 : c < 0;
    }
};

CListModel::CListModel(QStringList headers, std::string rowSql, CellReader reader, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_rowSql(std::move(rowSql)),
      m_reader(std::move(reader)), m_cache(ChunkRows, MaxChunks) {}

CListModel::~CListModel() = default;

bool CListModel::Load(CDataStore& store, const std::string& idSql) {
    beginResetModel();
    m_store = &store;
    m_pending.reset();
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
    m_orderedRows = m_ids.size();
    endResetModel();
    return ok;
}

bool CListModel::LoadSorted(CDataStore& store, const std::string& sql, SortValue kind,
                            bool descending) {
    beginResetModel();
    m_store = &store;
    m_pending.reset();
    m_ids.clear();
    m_cache.Clear();
    auto sort = std::make_unique<PendingSort>();
    sort->kind = kind;
    sort->descending = descending;
    std::vector<PendingSort::Row>& rows = sort->rows;
    bool ok = true;
    try {
        CStatement st(store, sql);
        sqlite3_stmt* handle = st.Handle();
        while (st.Step()) {
            PendingSort::Row row{sqlite3_column_int64(handle, 0),
                                 std::numeric_limits<int64_t>::min(),
                                 {},
                                 rows.size(),
                                 true};
            if (sqlite3_column_type(handle, 1) != SQLITE_NULL) {
                row.null = false;
                if (kind == SortValue::Number) {
                    row.number = sqlite3_column_int64(handle, 1);
                } else {
                    const auto* text =
                        reinterpret_cast<const char*>(sqlite3_column_text(handle, 1));
                    row.key = sort->keys.AddText(std::string_view(
                        text, static_cast<size_t>(sqlite3_column_bytes(handle, 1))));
                }
            }
            rows.push_back(row);
        }
    } catch (const ComError& e) {
        ShowComError(store.Messages(), e);
        ok = false;
    }
    const PendingSort& order = *sort;
    auto byText = [&order](const PendingSort::Row& a, const PendingSort::Row& b) {
        return order.Less(a, b, true);
    };
    // The head: the first rows in order; every row after it sorts after
    // them. For names a bounded heap finds them with about one collation a
    // row, and no row needs its sort key yet.
    const size_t head = std::min(rows.size(), OrderedHead);
    if (head < rows.size() && kind == SortValue::Number) {
        // Numbers compare cheaply: a selection in place is fastest.
        std::nth_element(rows.begin(), rows.begin() + static_cast<ptrdiff_t>(head), rows.end(),
                         byText);
        std::sort(rows.begin(), rows.begin() + static_cast<ptrdiff_t>(head), byText);
    } else if (head < rows.size()) {
        std::vector<size_t> heap;
        heap.reserve(head);
        auto heapLess = [&](size_t a, size_t b) { return byText(rows[a], rows[b]); };
        for (size_t i = 0; i < rows.size(); ++i) {
            if (heap.size() < head) {
                heap.push_back(i);
                std::push_heap(heap.begin(), heap.end(), heapLess);
            } else if (byText(rows[i], rows[heap.front()])) {
                std::pop_heap(heap.begin(), heap.end(), heapLess);
                heap.back() = i;
                std::push_heap(heap.begin(), heap.end(), heapLess);
            }
        }
        std::sort_heap(heap.begin(), heap.end(), heapLess);
        std::vector<bool> inHead(rows.size());
        std::vector<PendingSort::Row> arranged;
        arranged.reserve(rows.size());
        for (size_t i : heap) {
            inHead[i] = true;
            arranged.push_back(rows[i]);
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!inHead[i])
                arranged.push_back(rows[i]);
        }
        rows.swap(arranged);
    } else {
        std::sort(rows.begin(), rows.end(), byText);
    }
    m_ids.reserve(rows.size());
    for (const PendingSort::Row& row : rows)
        m_ids.push_back(row.id);
    m_orderedRows = head;
    if (head < rows.size())
        m_pending = std::move(sort);
    endResetModel();
    return ok;
}

void CListModel::EnsureOrdered(int row) const {
    if (!m_pending || (row >= 0 && static_cast<size_t>(row) < m_orderedRows))
        return;
    std::vector<PendingSort::Row>& rows = m_pending->rows;
    const auto tail = rows.begin() + static_cast<ptrdiff_t>(m_orderedRows);
    // A million names sort faster by keys made once than by collating at
    // every comparison.
    if (m_pending->kind == SortValue::CzechText) {
        for (auto it = tail; it != rows.end(); ++it) {
            if (!it->null)
                it->key = m_pending->keys.Add(it->key);
        }
    }
    const PendingSort& order = *m_pending;
    std::sort(tail, rows.end(), [&order](const PendingSort::Row& a, const PendingSort::Row& b) {
        return order.Less(a, b);
    });
    for (size_t i = m_orderedRows; i < rows.size(); ++i)
        m_ids[i] = rows[i].id;
    m_orderedRows = m_ids.size();
    m_pending.reset();
}

int64_t CListModel::Id(int row) const {
    EnsureOrdered(row);
    return m_ids.at(static_cast<size_t>(row));
}

const std::vector<int64_t>& CListModel::Ids() const {
    EnsureOrdered(-1);
    return m_ids;
}

void CListModel::Clear() {
    beginResetModel();
    m_pending.reset();
    m_ids.clear();
    m_ids.shrink_to_fit();
    m_cache.Clear();
    endResetModel();
}

int CListModel::RowOf(int64_t id) const {
    // The ordered head first: a selection kept there needs no more ordering.
    // Ordering the rest leaves the head where it is.
    const auto headRows = static_cast<ptrdiff_t>(m_orderedRows);
    auto it = std::find(m_ids.begin(), m_ids.begin() + headRows, id);
    if (it == m_ids.begin() + headRows) {
        EnsureOrdered(-1);
        it = std::find(m_ids.begin() + headRows, m_ids.end(), id);
    }
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
    EnsureOrdered(-1);
    beginRemoveRows(QModelIndex(), row, row);
    m_ids.erase(m_ids.begin() + row);
    m_orderedRows = m_ids.size();
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
    EnsureOrdered(last - 1);
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
