#include "core/records/dispatches.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/records/findbyid.h"
#include "core/records/selection.h"

#include <algorithm>
#include <string>

namespace tarvo {

namespace {

// A code column as the dialogs take it: nothing stored means nothing chosen.
int Code(const Statement& st, int column) {
    return st.IsNull(column) ? -1 : static_cast<int>(st.Int(column));
}

void BindCode(Statement& st, int index, int code) {
    if (code < 0)
        st.BindNull(index);
    else
        st.BindInt(index, code);
}

void BindOptional(Statement& st, int index, const std::optional<int64_t>& value) {
    if (value)
        st.BindInt(index, *value);
    else
        st.BindNull(index);
}

int64_t CountOf(CDataStore& store, const char* sql) {
    Statement count(store, sql);
    count.Step();
    return count.Int(0);
}

constexpr const char* MoveColumns =
    "move_id, move_num, move_type, move_date, move_export, move_source";
constexpr const char* LineColumns = "move_id, prod_id, mvprod_qty";
constexpr const char* CoverColumns =
    "mvprod_id, move_id, cover_id, mvcover_qty, cover_type, cover_org, cover_pay";

// The header's columns from index on; a source of 0 is stored as none.
void BindMove(Statement& st, int index, const MoveRecord& move, int64_t source) {
    st.BindText(index, move.number);
    BindCode(st, index + 1, move.type);
    st.BindDate(index + 2, move.date).BindInt(index + 3, move.exported ? 1 : 0);
    if (source == 0)
        st.BindNull(index + 4);
    else
        st.BindInt(index + 4, source);
}

void RunWithId(CDataStore& store, const char* sql, RecordId id) {
    Statement st(store, sql);
    st.BindInt(1, id).Run();
}

} // namespace

MoveWriter::MoveWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Move (move_num, move_type, move_date, "
                      "move_export, move_source) VALUES (?, ?, ?, ?, ?)") {}

RecordId MoveWriter::Insert(const MoveRecord& move, int64_t source) {
    BindMove(m_insert.Prepared(), 1, move, source);
    return m_insert.Run();
}

MoveBatchWriter::MoveBatchWriter(CDataStore& store)
    : m_first(store), m_inserts(store, "Move", MoveColumns) {}

MoveBatchWriter::~MoveBatchWriter() = default;

RecordId MoveBatchWriter::Queue(const MoveRecord& move, int64_t source) {
    if (!m_next) {
        const RecordId id = m_first.Insert(move, source);
        m_next = id + 1;
        return id;
    }
    const RecordId id = (*m_next)++;
    m_waiting.push_back({id, move, source});
    if (m_waiting.size() == RowInserts::MaxRows)
        Flush();
    return id;
}

void MoveBatchWriter::Flush() {
    if (m_waiting.empty())
        return;
    // Headers that failed to go in are not tried again: the error ends the
    // caller's unit of work.
    struct Clear {
        std::vector<Row>& rows;
        ~Clear() { rows.clear(); }
    } clear{m_waiting};
    Statement& insert = m_inserts.For(m_waiting.size());
    for (size_t i = 0; i < m_waiting.size(); ++i) {
        const int base = static_cast<int>(i) * 6;
        insert.BindInt(base + 1, m_waiting[i].id);
        BindMove(insert, base + 2, m_waiting[i].move, m_waiting[i].source);
    }
    insert.Run();
}

void MoveBatchWriter::Discard() {
    m_waiting.clear();
    m_next.reset();
}

std::optional<MoveRecord> FindMove(CDataStore& store, RecordId id) {
    return FindById(store,
                    "SELECT move_num, move_type, move_date, move_export FROM Move "
                    "WHERE move_id = ?",
                    id, [](const Statement& st) {
                        return MoveRecord{st.Text(0), Code(st, 1), st.Date(2), st.Int(3) != 0};
                    });
}

bool MoveExists(CDataStore& store, RecordId id) {
    return MoveDate(store, id).has_value();
}

std::optional<OleDate> MoveDate(CDataStore& store, RecordId id) {
    return FindById(store, "SELECT move_date FROM Move WHERE move_id = ?", id,
                    [](const Statement& st) { return st.Date(0); });
}

void UpdateMove(CDataStore& store, RecordId id, const MoveRecord& move) {
    Statement st(store, "UPDATE Move SET move_num = ?, move_type = ?, move_date = ?, "
                        "move_export = ? WHERE move_id = ?");
    st.BindText(1, move.number);
    BindCode(st, 2, move.type);
    st.BindDate(3, move.date).BindInt(4, move.exported ? 1 : 0).BindInt(5, id).Run();
}

std::optional<NumberedMove> MoveWithNumber(CDataStore& store, const std::string& number,
                                           RecordId except) {
    const std::string folded = FoldCase(number);
    Statement st(store, "SELECT move_id, move_num, move_date FROM Move WHERE move_id <> ? AND "
                        "move_num IS NOT NULL ORDER BY move_id");
    st.BindInt(1, except);
    while (st.Step()) {
        if (FoldCase(st.Text(1)) == folded)
            return NumberedMove{st.Int(0), st.Text(1), st.Date(2)};
    }
    return std::nullopt;
}

void DeleteMoves(CDataStore& store, const std::vector<RecordId>& ids) {
    SelectIds(store, ids);
    // Children first: the cover lines, the product lines, the documents.
    store.ExecuteOrThrow("DELETE FROM Move_Cover WHERE (mvprod_id IN (SELECT mvprod_id "
                         "FROM Move_Prod WHERE (move_id IN (SELECT id FROM TmpID))))");
    store.ExecuteOrThrow("DELETE FROM Move_Prod WHERE (move_id IN (SELECT id FROM TmpID))");
    store.ExecuteOrThrow("DELETE FROM Move WHERE (move_id IN (SELECT id FROM TmpID))");
}

MoveLineWriter::MoveLineWriter(CDataStore& store)
    : m_store(store), m_insert(store, InsertRowsSql("Move_Prod", LineColumns, 1)),
      m_inserts(store, "Move_Prod", LineColumns) {}

MoveLineWriter::~MoveLineWriter() = default;

RecordId MoveLineWriter::Insert(const MoveLineRecord& line) {
    Statement& st = m_insert.Prepared();
    st.BindInt(1, line.move).BindInt(2, line.product).BindQuantity(3, line.quantity);
    return m_insert.Run();
}

RecordId MoveLineWriter::InsertAll(const std::vector<MoveLineRecord>& lines) {
    RecordId first = NoRecord;
    for (size_t done = 0; done < lines.size();) {
        const size_t count = std::min(lines.size() - done, RowInserts::MaxRows);
        Statement& st = m_inserts.For(count);
        for (size_t i = 0; i < count; ++i) {
            const MoveLineRecord& line = lines[done + i];
            const int base = static_cast<int>(i) * 3;
            st.BindInt(base + 1, line.move)
                .BindInt(base + 2, line.product)
                .BindQuantity(base + 3, line.quantity);
        }
        st.Run();
        if (first == NoRecord)
            first = m_store.LastInsertId() - static_cast<RecordId>(count) + 1;
        done += count;
    }
    return first;
}

std::optional<MoveLineRecord> FindMoveLine(CDataStore& store, RecordId id) {
    return FindById(store, "SELECT move_id, prod_id, mvprod_qty FROM Move_Prod WHERE mvprod_id = ?",
                    id, [](const Statement& st) {
                        return MoveLineRecord{st.Int(0), st.Int(1), st.GetQuantity(2)};
                    });
}

void UpdateMoveLineQuantity(CDataStore& store, RecordId id, Quantity quantity) {
    Statement st(store, "UPDATE Move_Prod SET mvprod_qty = ? WHERE mvprod_id = ?");
    st.BindQuantity(1, quantity).BindInt(2, id).Run();
}

void DeleteMoveLine(CDataStore& store, RecordId id) {
    RunWithId(store, "DELETE FROM Move_Cover WHERE (mvprod_id = ?)", id);
    RunWithId(store, "DELETE FROM Move_Prod WHERE (mvprod_id = ?)", id);
}

MoveCoverWriter::MoveCoverWriter(CDataStore& store)
    : m_insert(store, InsertRowsSql("Move_Cover", CoverColumns, 1)) {}

RecordId MoveCoverWriter::Insert(const MoveCoverRecord& cover) {
    Statement& st = m_insert.Prepared();
    st.BindInt(1, cover.line)
        .BindInt(2, cover.move)
        .BindInt(3, cover.cover)
        .BindQuantity(4, cover.quantity);
    BindCode(st, 5, cover.type);
    BindCode(st, 6, cover.origin);
    BindCode(st, 7, cover.payment);
    return m_insert.Run();
}

DerivedCoverWriter::DerivedCoverWriter(CDataStore& store, bool keep)
    : m_inserts(store, "Move_Cover", CoverColumns, keep) {}

DerivedCoverWriter::~DerivedCoverWriter() = default;

void DerivedCoverWriter::Write(const Row* rows, size_t count) {
    Statement& insert = m_inserts.For(count);
    for (size_t i = 0; i < count; ++i) {
        const Row& row = rows[i];
        const int base = static_cast<int>(i) * 7;
        insert.BindInt(base + 1, row.line);
        insert.BindInt(base + 2, row.move);
        BindOptional(insert, base + 3, row.cover.coverId);
        insert.BindInt(base + 4, row.cover.qty.Scaled());
        BindOptional(insert, base + 5, row.cover.coverType);
        BindOptional(insert, base + 6, row.cover.coverOrg);
        BindOptional(insert, base + 7, row.cover.coverPay);
    }
    insert.Run();
}

void DerivedCoverWriter::Append(RecordId line, RecordId move,
                                const std::vector<DerivedCover>& rows) {
    Queue(line, move, rows);
    Flush();
}

void DerivedCoverWriter::Queue(RecordId line, RecordId move,
                               const std::vector<DerivedCover>& rows) {
    for (const DerivedCover& cover : rows) {
        m_waiting.push_back({line, move, cover});
        if (m_waiting.size() == RowInserts::MaxRows)
            Flush();
    }
}

void DerivedCoverWriter::Flush() {
    // Rows that failed to go in are not tried again with the next ones: the
    // caller has been told by the error and decides what is written again.
    struct Clear {
        std::vector<Row>& rows;
        ~Clear() { rows.clear(); }
    } clear{m_waiting};
    if (!m_waiting.empty())
        Write(m_waiting.data(), m_waiting.size());
}

void ClearProductLineCovers(CDataStore& store) {
    // Usually every cover line belongs to a product line, and the table is
    // emptied whole, which SQLite does page by page rather than row by row.
    // The join counts the rows that belong through the product-line index.
    if (CountOf(store, "SELECT COUNT(*) FROM Move_Cover") ==
        CountOf(store, "SELECT COUNT(*) FROM Move INNER JOIN Move_Prod ON Move.move_id = "
                       "Move_Prod.move_id INNER JOIN Move_Cover ON Move_Cover.mvprod_id = "
                       "Move_Prod.mvprod_id")) {
        store.ExecuteOrThrow("DELETE FROM Move_Cover");
        return;
    }
    std::vector<std::string> names;
    std::vector<std::string> definitions;
    {
        // The indexes the schema declared (SQLite's own have no SQL), in the
        // order they were made.
        Statement indexes(store, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND "
                                 "tbl_name = 'Move_Cover' AND sql IS NOT NULL ORDER BY rowid");
        while (indexes.Step()) {
            names.push_back(indexes.Text(0));
            definitions.push_back(indexes.Text(1));
        }
    }
    for (const std::string& name : names)
        store.ExecuteOrThrow(Format("DROP INDEX \"%s\"", name.c_str()));
    store.ExecuteOrThrow("DELETE FROM Move_Cover WHERE mvprod_id IN (SELECT Move_Prod.mvprod_id "
                         "FROM Move INNER JOIN Move_Prod ON Move.move_id = Move_Prod.move_id)");
    for (const std::string& definition : definitions)
        store.ExecuteOrThrow(definition);
}

std::optional<MoveCoverRecord> FindMoveCover(CDataStore& store, RecordId id) {
    return FindById(store,
                    "SELECT move_id, mvprod_id, cover_id, mvcover_qty, cover_type, "
                    "cover_org, cover_pay FROM Move_Cover WHERE mvcover_id = ?",
                    id, [](const Statement& st) {
                        return MoveCoverRecord{st.Int(0),         st.Int(1),   st.Int(2),
                                               st.GetQuantity(3), Code(st, 4), Code(st, 5),
                                               Code(st, 6)};
                    });
}

void UpdateMoveCoverQuantity(CDataStore& store, RecordId id, Quantity quantity) {
    Statement st(store, "UPDATE Move_Cover SET mvcover_qty = ? WHERE mvcover_id = ?");
    st.BindQuantity(1, quantity).BindInt(2, id).Run();
}

void DeleteMoveCover(CDataStore& store, RecordId id) {
    RunWithId(store, "DELETE FROM Move_Cover WHERE (mvcover_id = ?)", id);
}

} // namespace tarvo
