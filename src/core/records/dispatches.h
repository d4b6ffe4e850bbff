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
    RecordId Insert(const MoveLineRecord& line);

private:
    PreparedInsert m_insert;
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

std::optional<MoveCoverRecord> FindMoveCover(CDataStore& store, RecordId id);
void UpdateMoveCoverQuantity(CDataStore& store, RecordId id, Quantity quantity);
void DeleteMoveCover(CDataStore& store, RecordId id);

} // namespace tarvo
