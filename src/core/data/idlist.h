#pragma once

#include "core/data/recordid.h"

#include <memory>
#include <vector>

namespace tarvo {

class Statement;

// The sort state of a list: a column index of the list and its direction.
struct ListSort {
    int column = 0;
    bool descending = false;
};

// The record identifiers of a list, in list order. The identifiers of a
// million records take 8 MB; the list's cells are read elsewhere (RowList),
// only for the rows shown.
//
// A sorted load orders the first screens at once and leaves the rest to a
// thread of its own, so that a long list shows before it is all in order; a
// row beyond them waits for that thread. Clearing, loading again or
// destroying the list stops the thread and waits for it.
class IdList {
public:
    // What the second column of a sorted load is compared as: an integer
    // (codes, flags, scaled quantities), a REAL date with its time of day, or
    // a text in the Czech order.
    enum class SortValue { Number, Date, CzechText };

    IdList();
    ~IdList();
    IdList(IdList&&) noexcept;
    IdList& operator=(IdList&&) noexcept;

    // Steps through the query (first column: the identifier) and keeps its
    // order. A ComError propagates, leaving the rows read before it.
    void Load(Statement& query);
    // Steps through the query (identifier, sort value; in any order) and
    // orders the rows here: a sort in memory is several times faster than the
    // database's on a million rows. Rows with equal values keep the query's
    // order; an empty value sorts first, as in SQL. Only the first screens
    // and the rows around the kept record are put in order at once; the rest
    // is ordered by the loader thread. A ComError propagates, leaving the
    // rows read before it.
    void LoadSorted(Statement& query, SortValue kind, bool descending);
    // The record whose row the following sorted loads find at once, with the
    // rows around it in order: a list loaded again in another order shows
    // its selected record without waiting for the whole order.
    void Keep(RecordId id) { m_kept = id; }
    // Empties the list (the kept record stays).
    void Clear();

    int Count() const { return static_cast<int>(m_ids.size()); }
    RecordId Id(int row) const;
    // The first row holding the identifier, or -1.
    int RowOf(RecordId id) const;
    // Every identifier in list order.
    const std::vector<RecordId>& Ids() const;
    void Remove(int row);

private:
    struct PendingSort;
    struct Loader;
    // Waits for the loader thread when row lies beyond the rows already in
    // order (any row when row is -1).
    void EnsureOrdered(int row) const;
    bool InWindow(int row) const;
    static void ReadSortRows(Statement& query, PendingSort& sort);
    // Orders the head of the rows read and the rows around the kept record,
    // and starts the loader thread on the rest.
    void Arrange(std::unique_ptr<PendingSort> sort);
    void OrderAroundKept(const PendingSort& sort);

    mutable std::vector<RecordId> m_ids;
    mutable size_t m_orderedRows = 0;
    // While the loader thread runs: the kept record's row and its
    // neighbours, m_window[i] being row m_windowFirst + i.
    mutable std::vector<RecordId> m_window;
    size_t m_windowFirst = 0;
    RecordId m_kept = NoRecord;
    mutable std::unique_ptr<Loader> m_loader;
};

} // namespace tarvo
