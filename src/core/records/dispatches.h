#pragma once

#include "core/data/oledate.h"
#include "core/data/quantity.h"
#include "core/data/recordid.h"
#include "core/records/preparedinsert.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

class CDataStore;
class Statement;

// The header of one dispatch document (Move) as a person edits it. A new
// record starts with the values of an empty dispatch dialog: no number, no
// kind chosen (-1), the moment the record is made, not for export.
struct MoveRecord {
    std::string number{};
    int type = -1;
    OleDate date = OleDate::Now();
    bool exported = false;

    bool operator==(const MoveRecord&) const = default;
};

// One product line of a dispatch (Move_Prod).
struct MoveLineRecord {
    RecordId move = NoRecord;
    RecordId product = NoRecord;
    Quantity quantity = Quantity::FromUnits(0);

    bool operator==(const MoveLineRecord&) const = default;
};

// One cover line of a dispatch (Move_Cover): the covers that left with one
// product line, with the line's own type, origin and payment.
struct MoveCoverRecord {
    RecordId move = NoRecord;
    RecordId line = NoRecord;
    RecordId cover = NoRecord;
    Quantity quantity = Quantity::FromUnits(0);
    int type = -1;
    int origin = -1;
    int payment = -1;

    bool operator==(const MoveCoverRecord&) const = default;
};

// Every write below throws ComError and opens no unit of its own: the caller
// holds the Transaction. A code of -1 (nothing chosen) is stored as no
// value.

// Adds dispatch headers with the INSERT prepared once.
class MoveWriter {
public:
    explicit MoveWriter(CDataStore& store);
    // source is the import that brought the document (move_source), by which
    // the import finds it again; 0 is a dispatch entered by hand, stored
    // without a source.
    RecordId Insert(const MoveRecord& move, int64_t source = 0);

private:
    PreparedInsert m_insert;
};

// Adds the new dispatch headers of a unit of work by INSERTs of many rows. A
// header's key is known when it is queued, so that its lines can name it and
// it can wait for the next ones: the first header of the unit is written at
// once and takes the key the table gives it, those after it are numbered on
// from there as the table would number them, while nothing else adds
// dispatches. Write whatever waits before a query that must see the headers,
// and before the unit of work ends.
class MoveBatchWriter {
public:
    explicit MoveBatchWriter(CDataStore& store);
    ~MoveBatchWriter();
    MoveBatchWriter(const MoveBatchWriter&) = delete;
    MoveBatchWriter& operator=(const MoveBatchWriter&) = delete;

    // The key the header has; source as for MoveWriter::Insert.
    RecordId Queue(const MoveRecord& move, int64_t source);
    // Writes the headers waiting.
    void Flush();
    // Drops the headers waiting, and the count of keys: the unit of work has
    // ended (committed, or gone back with them).
    void Discard();

private:
    struct Row {
        RecordId id;
        MoveRecord move;
        int64_t source;
    };

    MoveWriter m_first;
    RowInserts m_inserts;
    std::vector<Row> m_waiting;
    // The key of the next header; none before the unit's first.
    std::optional<RecordId> m_next;
};

std::optional<MoveRecord> FindMove(CDataStore& store, RecordId id);
bool MoveExists(CDataStore& store, RecordId id);
// The dispatch's date; nothing when the dispatch is gone.
std::optional<OleDate> MoveDate(CDataStore& store, RecordId id);
// The four header columns; the lines stay as they are.
void UpdateMove(CDataStore& store, RecordId id, const MoveRecord& move);
// Another dispatch than except whose number is number without regard to
// letter case (the way the imports find a document again), with the number
// and date it has; nothing when there is none.
struct NumberedMove {
    RecordId id = NoRecord;
    std::string number;
    OleDate date;
};
std::optional<NumberedMove> MoveWithNumber(CDataStore& store, const std::string& number,
                                           RecordId except);
// The dispatches with their product and cover lines.
void DeleteMoves(CDataStore& store, const std::vector<RecordId>& ids);

// Adds product lines (without covers) with the INSERT prepared once.
class MoveLineWriter {
public:
    explicit MoveLineWriter(CDataStore& store);
    ~MoveLineWriter();
    RecordId Insert(const MoveLineRecord& line);
    // Adds the lines of one document by as few statements as it can: the
    // key of the first, the others numbered on from it in their order (the
    // table's keys only count up).
    RecordId InsertAll(const std::vector<MoveLineRecord>& lines);

private:
    CDataStore& m_store;
    PreparedInsert m_insert;
    RowInserts m_inserts;
};

std::optional<MoveLineRecord> FindMoveLine(CDataStore& store, RecordId id);
void UpdateMoveLineQuantity(CDataStore& store, RecordId id, Quantity quantity);
// The product line with its cover lines.
void DeleteMoveLine(CDataStore& store, RecordId id);

// Adds cover lines with the INSERT prepared once.
class MoveCoverWriter {
public:
    explicit MoveCoverWriter(CDataStore& store);
    RecordId Insert(const MoveCoverRecord& cover);

private:
    PreparedInsert m_insert;
};

// One cover row that the packaging derivation gives a product line: the
// cover and the codes exactly as its packaging line holds them (a missing one
// stays missing, any stored value is kept as it is).
struct DerivedCover {
    std::optional<int64_t> coverId;
    Quantity qty;
    std::optional<int64_t> coverType;
    std::optional<int64_t> coverOrg;
    std::optional<int64_t> coverPay;

    bool operator==(const DerivedCover&) const = default;
};

// Appends the derived cover lines of product lines with as few statements as
// possible: running a statement costs as much as storing a row. With keep set
// the INSERTs are prepared once for the writer's life (runs over many lines);
// otherwise they come from the store's cache.
class DerivedCoverWriter {
public:
    DerivedCoverWriter(CDataStore& store, bool keep);
    ~DerivedCoverWriter();
    DerivedCoverWriter(const DerivedCoverWriter&) = delete;
    DerivedCoverWriter& operator=(const DerivedCoverWriter&) = delete;

    // The rows of one line in the order given, each with the line's dispatch.
    void Append(RecordId line, RecordId move, const std::vector<DerivedCover>& rows);
    // The same, but the rows may wait to go in with those of the next lines,
    // in the order queued: for a rebuild, which reads none of them before it
    // ends. Flush() writes what waits; rows left waiting are never written.
    void Queue(RecordId line, RecordId move, const std::vector<DerivedCover>& rows);
    void Flush();
    // Drops the rows waiting: their lines went back with a failed unit.
    void Discard() { m_waiting.clear(); }

private:
    struct Row {
        RecordId line;
        RecordId move;
        DerivedCover cover;
    };
    void Write(const Row* rows, size_t count);

    RowInserts m_inserts;
    std::vector<Row> m_waiting;
};

// Makes Move_Cover ready to be filled anew inside the caller's unit of work:
// removes the cover lines of every dispatch product line (the rows of a
// product line or dispatch that no longer exists stay, as a line-by-line run
// would leave them). When rows stay, the table's secondary indexes are
// dropped for the delete and made again, exactly as they were defined, on
// what is left: deleting millions of rows would otherwise take each one out
// of three indexes. The indexes are kept up to date by the fill that follows:
// its rows, appended in product-line order, go into them at the few places
// where their keys end, while building the indexes after the fill would sort
// every key, and the cover index's few distinct keys make that sort slow.
// Throws ComError.
void ClearProductLineCovers(CDataStore& store);

std::optional<MoveCoverRecord> FindMoveCover(CDataStore& store, RecordId id);
void UpdateMoveCoverQuantity(CDataStore& store, RecordId id, Quantity quantity);
void DeleteMoveCover(CDataStore& store, RecordId id);

} // namespace tarvo
