#include "core/data/idlist.h"

#include "core/data/czechsortkey.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <sqlite3.h>
#include <string_view>

namespace tarvo {

namespace {
// The head of a sorted list that is ordered at once: more than the rows a
// screen shows and the rows that sizing the columns looks at.
constexpr size_t OrderedHead = 1024;

// A date's bits as an integer that orders like the date itself, so that a
// row of a million-row list needs no field of its own for dates: negative
// doubles have their other bits flipped, which reverses their order.
int64_t OrderedDateBits(double date) {
    const auto bits = std::bit_cast<int64_t>(date);
    return bits < 0 ? bits ^ std::numeric_limits<int64_t>::max() : bits;
}
} // namespace

struct IdList::PendingSort {
    // A million of these are held while a list loads: 24 bytes each.
    struct Row {
        static constexpr uint32_t NullLength = std::numeric_limits<uint32_t>::max();

        RecordId id;
        union {
            int64_t number; // also a date, as OrderedDateBits
            // Names: the text itself until the rest of the list is ordered,
            // then its Czech sort key.
            const char* text;
        };
        uint32_t length;   // of the text; NullLength for an empty value
        uint32_t position; // in the query: breaks ties, so the order is stable

        bool null() const { return length == NullLength; }
        std::string_view key() const { return {text, length}; }
        void SetKey(std::string_view key) {
            text = key.data();
            length = static_cast<uint32_t>(key.size());
        }
    };
    std::vector<Row> rows;
    CzechKeyArena keys;
    SortValue kind = SortValue::Number;
    bool descending = false;

    // The order of the list; byText compares names with the collation
    // instead of by their keys (the same order).
    bool Less(const Row& a, const Row& b, bool byText = false) const {
        int c = 0;
        if (a.null() || b.null())
            c = a.null() == b.null() ? 0 : (a.null() ? -1 : 1); // empty values first, as in SQL
        else if (kind != SortValue::CzechText)
            c = a.number < b.number ? -1 : (a.number == b.number ? 0 : 1);
        else if (byText)
            c = CzechCompare(a.key(), b.key());
        else
            c = a.key() < b.key() ? -1 : (a.key() == b.key() ? 0 : 1);
        if (c == 0)
            return a.position < b.position;
        return descending ? c > 0 : c < 0;
    }
};

IdList::IdList() = default;
IdList::~IdList() = default;
IdList::IdList(IdList&&) noexcept = default;
IdList& IdList::operator=(IdList&&) noexcept = default;

void IdList::Load(Statement& query) {
    Clear();
    // Whatever was read stays when a step fails.
    try {
        while (query.Step())
            m_ids.push_back(query.Int(0));
    } catch (...) {
        m_orderedRows = m_ids.size();
        throw;
    }
    m_ids.shrink_to_fit();
    m_orderedRows = m_ids.size();
}

void IdList::LoadSorted(Statement& query, SortValue kind, bool descending) {
    Clear();
    auto sort = std::make_unique<PendingSort>();
    sort->kind = kind;
    sort->descending = descending;
    // The rows read so far are ordered and kept even when a step fails.
    try {
        ReadSortRows(query, *sort);
    } catch (...) {
        Arrange(std::move(sort));
        throw;
    }
    Arrange(std::move(sort));
}

void IdList::ReadSortRows(Statement& query, PendingSort& sort) {
    std::vector<PendingSort::Row>& rows = sort.rows;
    sqlite3_stmt* handle = query.Handle();
    while (query.Step()) {
        PendingSort::Row row;
        row.id = sqlite3_column_int64(handle, 0);
        row.number = 0;
        row.length = PendingSort::Row::NullLength;
        row.position = static_cast<uint32_t>(rows.size());
        if (sqlite3_column_type(handle, 1) != SQLITE_NULL) {
            row.length = 0;
            if (sort.kind == SortValue::Number) {
                row.number = sqlite3_column_int64(handle, 1);
            } else if (sort.kind == SortValue::Date) {
                row.number = OrderedDateBits(sqlite3_column_double(handle, 1));
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle, 1));
                row.SetKey(sort.keys.AddText(
                    std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(handle, 1)))));
            }
        }
        rows.push_back(row);
    }
}

void IdList::Arrange(std::unique_ptr<PendingSort> sort) {
    std::vector<PendingSort::Row>& rows = sort->rows;
    const PendingSort& order = *sort;
    auto byText = [&order](const PendingSort::Row& a, const PendingSort::Row& b) {
        return order.Less(a, b, true);
    };
    // The head: the first rows in order; every row after it sorts after
    // them. For names a bounded heap finds them with about one collation a
    // row, and no row needs its sort key yet.
    const size_t head = std::min(rows.size(), OrderedHead);
    if (head < rows.size() && order.kind != SortValue::CzechText) {
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
        std::vector<PendingSort::Row> ordered;
        ordered.reserve(head);
        std::vector<bool> inHead(rows.size());
        for (size_t i : heap) {
            inHead[i] = true;
            ordered.push_back(rows[i]);
        }
        // The head moves to the front in place, without a second copy of a
        // million rows: the rest is in no order until it is sorted, and a
        // row's place in the query is its index still.
        std::partition(rows.begin(), rows.end(),
                       [&inHead](const PendingSort::Row& row) { return inHead[row.position]; });
        std::copy(ordered.begin(), ordered.end(), rows.begin());
    } else {
        std::sort(rows.begin(), rows.end(), byText);
    }
    m_ids.reserve(rows.size());
    for (const PendingSort::Row& row : rows)
        m_ids.push_back(row.id);
    m_orderedRows = head;
    if (head < rows.size())
        m_pending = std::move(sort);
}

void IdList::EnsureOrdered(int row) const {
    if (!m_pending || (row >= 0 && static_cast<size_t>(row) < m_orderedRows))
        return;
    std::vector<PendingSort::Row>& rows = m_pending->rows;
    const auto tail = rows.begin() + static_cast<ptrdiff_t>(m_orderedRows);
    // A million names sort faster by keys made once than by collating at
    // every comparison.
    if (m_pending->kind == SortValue::CzechText) {
        for (auto it = tail; it != rows.end(); ++it) {
            if (!it->null())
                it->SetKey(m_pending->keys.Add(it->key()));
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

void IdList::Clear() {
    m_pending.reset();
    m_ids.clear();
    m_ids.shrink_to_fit();
    m_orderedRows = 0;
}

RecordId IdList::Id(int row) const {
    EnsureOrdered(row);
    return m_ids.at(static_cast<size_t>(row));
}

const std::vector<RecordId>& IdList::Ids() const {
    EnsureOrdered(-1);
    return m_ids;
}

int IdList::RowOf(RecordId id) const {
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

void IdList::Remove(int row) {
    if (row < 0 || row >= Count())
        return;
    EnsureOrdered(-1);
    m_ids.erase(m_ids.begin() + row);
    m_orderedRows = m_ids.size();
}

} // namespace tarvo
