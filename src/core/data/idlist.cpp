#include "core/data/idlist.h"

#include "core/data/czechsortkey.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <limits>
#include <sqlite3.h>
#include <stop_token>
#include <string_view>
#include <system_error>
#include <thread>

namespace tarvo {

namespace {
// The head of a sorted list that is ordered at once: more than the rows a
// screen shows and the rows that sizing the columns looks at.
constexpr size_t OrderedHead = 1024;
// The rows ordered at once on either side of the kept record's: more than a
// screen and the chunks of rows a list reads around it.
constexpr size_t KeptNeighbours = 1024;

// Thrown inside the loader thread when it is told to stop.
struct Stopped {};

// Keeps in heap the limit values that come first by less, the last of them
// on top: value goes in while there is room, or in place of the top when it
// comes before it. One pass over a million rows finds the first thousand
// without ordering the rest.
template <typename T, typename Less>
void KeepFirst(std::vector<T>& heap, size_t limit, const T& value, const Less& less) {
    if (heap.size() < limit) {
        heap.push_back(value);
        std::push_heap(heap.begin(), heap.end(), less);
    } else if (less(value, heap.front())) {
        std::pop_heap(heap.begin(), heap.end(), less);
        heap.back() = value;
        std::push_heap(heap.begin(), heap.end(), less);
    }
}

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

// The rows after the ordered head, put in order by a thread of its own. The
// thread alone touches the rows until it has been joined.
struct IdList::Loader {
    std::unique_ptr<PendingSort> sort;
    size_t first = 0;
    std::exception_ptr error;
    // Last, so that it is stopped and joined before the rows go.
    std::jthread thread;

    // Orders the rest unless told to stop; an error is kept for the list.
    void Order(const std::stop_token& stop) {
        try {
            Run(stop);
        } catch (...) {
            error = std::current_exception();
        }
    }
    void Run(const std::stop_token& stop);
};

void IdList::Loader::Run(const std::stop_token& stop) {
    std::vector<PendingSort::Row>& rows = sort->rows;
    const auto tail = rows.begin() + static_cast<ptrdiff_t>(first);
    // A million names sort faster by keys made once than by collating at
    // every comparison.
    if (sort->kind == SortValue::CzechText) {
        for (auto it = tail; it != rows.end(); ++it) {
            if ((it - tail) % 4096 == 0 && stop.stop_requested())
                return;
            if (!it->null())
                it->SetKey(sort->keys.Add(it->key()));
        }
    }
    const PendingSort& order = *sort;
    size_t compared = 0;
    try {
        std::sort(tail, rows.end(),
                  [&order, &stop, &compared](const PendingSort::Row& a, const PendingSort::Row& b) {
                      if (++compared % 65536 == 0 && stop.stop_requested())
                          throw Stopped();
                      return order.Less(a, b);
                  });
    } catch (const Stopped&) {
    }
}

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
        for (size_t i = 0; i < rows.size(); ++i)
            KeepFirst(heap, head, i, heapLess);
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
    if (head == rows.size())
        return;
    OrderAroundKept(*sort);
    m_loader = std::make_unique<Loader>();
    m_loader->sort = std::move(sort);
    m_loader->first = head;
    Loader* loader = m_loader.get();
    try {
        m_loader->thread =
            std::jthread([loader](const std::stop_token& stop) { loader->Order(stop); });
    } catch (const std::system_error&) {
        // No thread to be had: the rest is ordered here once it is asked for.
    }
}

void IdList::OrderAroundKept(const PendingSort& sort) {
    using Row = PendingSort::Row;
    const std::vector<Row>& rows = sort.rows;
    const auto tail = rows.begin() + static_cast<ptrdiff_t>(m_orderedRows);
    auto less = [&sort](const Row& a, const Row& b) { return sort.Less(a, b, true); };
    // A record listed twice is kept where it comes first.
    auto kept = rows.end();
    for (auto it = tail; it != rows.end(); ++it) {
        if (it->id == m_kept && (kept == rows.end() || less(*it, *kept)))
            kept = it;
    }
    if (kept == rows.end())
        return;
    auto greater = [&less](const Row& a, const Row& b) { return less(b, a); };
    // One pass counts the rows before the kept one (its row) and keeps its
    // nearest neighbours on either side in bounded heaps: before holds the
    // greatest rows below it (smallest on top), after the least above it.
    std::vector<Row> before;
    std::vector<Row> after;
    before.reserve(KeptNeighbours);
    after.reserve(KeptNeighbours);
    size_t row = m_orderedRows;
    for (auto it = tail; it != rows.end(); ++it) {
        if (it == kept)
            continue;
        if (less(*it, *kept)) {
            ++row;
            KeepFirst(before, KeptNeighbours, *it, greater);
        } else {
            KeepFirst(after, KeptNeighbours, *it, less);
        }
    }
    std::sort_heap(before.begin(), before.end(), greater);
    std::sort_heap(after.begin(), after.end(), less);
    m_windowFirst = row - before.size();
    m_window.reserve(before.size() + 1 + after.size());
    for (auto it = before.rbegin(); it != before.rend(); ++it)
        m_window.push_back(it->id);
    m_window.push_back(kept->id);
    for (const Row& neighbour : after)
        m_window.push_back(neighbour.id);
}

bool IdList::InWindow(int row) const {
    return row >= 0 && static_cast<size_t>(row) >= m_windowFirst &&
           static_cast<size_t>(row) < m_windowFirst + m_window.size();
}

void IdList::EnsureOrdered(int row) const {
    if (!m_loader || (row >= 0 && static_cast<size_t>(row) < m_orderedRows) || InWindow(row))
        return;
    const std::unique_ptr<Loader> loader = std::move(m_loader);
    if (loader->thread.joinable())
        loader->thread.join();
    else
        loader->Order(std::stop_token());
    m_window.clear();
    m_orderedRows = m_ids.size();
    if (loader->error)
        std::rethrow_exception(loader->error);
    const std::vector<PendingSort::Row>& rows = loader->sort->rows;
    for (size_t i = loader->first; i < rows.size(); ++i)
        m_ids[i] = rows[i].id;
}

void IdList::Clear() {
    m_loader.reset();
    m_window.clear();
    m_ids.clear();
    m_ids.shrink_to_fit();
    m_orderedRows = 0;
}

RecordId IdList::Id(int row) const {
    if (m_loader && InWindow(row))
        return m_window[static_cast<size_t>(row) - m_windowFirst];
    EnsureOrdered(row);
    return m_ids.at(static_cast<size_t>(row));
}

const std::vector<RecordId>& IdList::Ids() const {
    EnsureOrdered(-1);
    return m_ids;
}

int IdList::RowOf(RecordId id) const {
    // The ordered head first, then the kept record's neighbours: a selection
    // kept there needs no more ordering. Ordering the rest leaves the head
    // where it is.
    const auto headRows = static_cast<ptrdiff_t>(m_orderedRows);
    auto it = std::find(m_ids.begin(), m_ids.begin() + headRows, id);
    if (it != m_ids.begin() + headRows)
        return static_cast<int>(it - m_ids.begin());
    if (m_loader) {
        const auto near = std::find(m_window.begin(), m_window.end(), id);
        if (near != m_window.end())
            return static_cast<int>(m_windowFirst) + static_cast<int>(near - m_window.begin());
        // The load looked for the kept record and did not find it.
        if (id == m_kept)
            return -1;
    }
    EnsureOrdered(-1);
    it = std::find(m_ids.begin() + headRows, m_ids.end(), id);
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
