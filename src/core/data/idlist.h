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
    // are put in order at once; the rest is ordered the first time a row
    // beyond them (or the whole list) is asked for, so a long list shows
    // sooner. A ComError propagates, leaving the rows read before it.
    void LoadSorted(Statement& query, SortValue kind, bool descending);
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
    // Puts the rest of the list in order when row lies beyond the ordered
    // head (any row when row is -1).
    void EnsureOrdered(int row) const;
    static void ReadSortRows(Statement& query, PendingSort& sort);
    // Orders the head of the rows read and keeps the rest pending.
    void Arrange(std::unique_ptr<PendingSort> sort);

    mutable std::vector<RecordId> m_ids;
    mutable std::unique_ptr<PendingSort> m_pending;
    mutable size_t m_orderedRows = 0;
};

} // namespace tarvo
