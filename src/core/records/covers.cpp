#include "core/records/covers.h"

#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/records/classification.h"
#include "core/records/findbyid.h"
#include "core/records/selection.h"

namespace tarvo {

void BindCover(Statement& st, const CoverRecord& cover) {
    st.BindText(1, cover.name)
        .BindQuantity(2, cover.weight)
        .BindInt(3, cover.reusable ? 1 : 0)
        .BindInt(4, cover.type)
        .BindInt(5, cover.material)
        .BindInt(6, cover.origin)
        .BindInt(7, cover.payment)
        .BindInt(8, cover.stat)
        .BindText(9, cover.note);
}

CoverRecord ReadCover(const Statement& st, int first) {
    CoverRecord cover;
    cover.name = st.Text(first);
    cover.weight = st.GetQuantity(first + 1);
    cover.reusable = st.Int(first + 2) != 0;
    cover.type = static_cast<int>(st.Int(first + 3));
    cover.material = static_cast<int>(st.Int(first + 4));
    cover.origin = static_cast<int>(st.Int(first + 5));
    cover.payment = static_cast<int>(st.Int(first + 6));
    cover.stat = static_cast<int>(st.Int(first + 7));
    cover.note = st.Text(first + 8);
    return cover;
}

CoverWriter::CoverWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO Cover (cover_name, cover_weight, cover_reusable, cover_type, "
                      "cover_mat, cover_org, cover_pay, cover_stat, cover_note, deleted) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)") {}

RecordId CoverWriter::Insert(const CoverRecord& cover, bool deleted) {
    Statement& st = m_insert.Prepared();
    BindCover(st, cover);
    st.BindInt(10, deleted ? 1 : 0);
    return m_insert.Run();
}

std::optional<CoverRecord> FindCover(CDataStore& store, RecordId id) {
    return FindById(store, Format("SELECT %s FROM Cover WHERE cover_id = ?", CoverColumns), id,
                    [](const Statement& st) { return ReadCover(st); });
}

std::vector<StoredCover> AllCovers(CDataStore& store) {
    std::vector<StoredCover> covers;
    Statement st(store,
                 Format("SELECT %s, cover_id, deleted FROM Cover ORDER BY cover_id", CoverColumns));
    while (st.Step())
        covers.push_back({st.Int(9), ReadCover(st), st.Int(10) != 0});
    return covers;
}

std::optional<CoverCodes> FindCoverCodes(CDataStore& store, RecordId id) {
    return FindById(store, "SELECT cover_type, cover_org, cover_pay FROM Cover WHERE cover_id = ?",
                    id, [](const Statement& st) {
                        return CoverCodes{static_cast<int>(st.Int(0)), static_cast<int>(st.Int(1)),
                                          static_cast<int>(st.Int(2))};
                    });
}

void UpdateCover(CDataStore& store, RecordId id, const CoverRecord& cover) {
    Statement st(store, "UPDATE Cover SET cover_name = ?, cover_weight = ?, "
                        "cover_reusable = ?, cover_type = ?, cover_mat = ?, "
                        "cover_org = ?, cover_pay = ?, cover_stat = ?, cover_note = ? "
                        "WHERE cover_id = ?");
    BindCover(st, cover);
    st.BindInt(10, id).Run();
}

void MarkCoversDeleted(CDataStore& store, const std::vector<RecordId>& ids) {
    SelectIds(store, ids);
    store.ExecuteOrThrow("DELETE FROM CompCover_Item WHERE cover_id IN (SELECT id FROM TmpID)");
    store.ExecuteOrThrow(
        "UPDATE Cover SET deleted = true WHERE (cover_id IN (SELECT id FROM TmpID))");
}

void ReviveCover(CDataStore& store, RecordId id) {
    Statement st(store, "UPDATE Cover SET deleted = 0 WHERE (cover_id = ?)");
    st.BindInt(1, id).Run();
}

CoverUses UsesOfCovers(CDataStore& store, const std::vector<RecordId>& ids) {
    SelectIds(store, ids);
    Statement st(store,
                 "SELECT (SELECT COUNT(*) FROM Prod_Cover WHERE cover_id IN (SELECT id FROM "
                 "TmpID)), (SELECT COUNT(DISTINCT ccover_id) FROM CompCover_Item WHERE cover_id "
                 "IN (SELECT id FROM TmpID)), (SELECT COUNT(*) FROM CoverDiscard WHERE cover_id "
                 "IN (SELECT id FROM TmpID))");
    st.Step();
    return {st.Int(0), st.Int(1), st.Int(2)};
}

void CarryCoverCodes(CDataStore& store, const CoverCodeTargets& targets, RecordId cover,
                     const CoverCodes& codes) {
    const struct {
        bool on;
        const char* sql;
    } copies[] = {{targets.compCovers, "UPDATE CompCover_Item SET cover_type = ?, "
                                       "cover_org = ?, cover_pay = ? WHERE cover_id = ?"},
                  {targets.packaging, "UPDATE Prod_Cover SET cover_type = ?, "
                                      "cover_org = ?, cover_pay = ? WHERE cover_id = ?"},
                  {targets.dispatches, "UPDATE Move_Cover SET cover_type = ?, "
                                       "cover_org = ?, cover_pay = ? WHERE cover_id = ?"}};
    for (const auto& copy : copies) {
        if (!copy.on)
            continue;
        Statement carry(store, copy.sql);
        carry.BindInt(1, codes.type)
            .BindInt(2, codes.origin)
            .BindInt(3, codes.payment)
            .BindInt(4, cover)
            .Run();
    }
}

DiscardWriter::DiscardWriter(CDataStore& store)
    : m_insert(store, "INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, "
                      "disc_qty) VALUES (?, ?, ?, ?)") {}

RecordId DiscardWriter::Insert(const DiscardRecord& discard) {
    Statement& st = m_insert.Prepared();
    st.BindInt(1, discard.cover)
        .BindDate(2, discard.date.DayOnly())
        .BindInt(3, discard.kind)
        .BindQuantity(4, discard.quantity);
    return m_insert.Run();
}

std::optional<DiscardRecord> FindDiscard(CDataStore& store, RecordId id) {
    return FindById(store,
                    "SELECT cover_id, disc_date, disc_type, disc_qty "
                    "FROM CoverDiscard WHERE disc_id = ?",
                    id, [](const Statement& st) {
                        return DiscardRecord{st.Int(0), st.Date(1), static_cast<int>(st.Int(2)),
                                             st.GetQuantity(3)};
                    });
}

void UpdateDiscard(CDataStore& store, RecordId id, const DiscardRecord& discard) {
    Statement st(store, "UPDATE CoverDiscard SET disc_date = ?, disc_type = ?, "
                        "disc_qty = ? WHERE disc_id = ?");
    st.BindDate(1, discard.date.DayOnly())
        .BindInt(2, discard.kind)
        .BindQuantity(3, discard.quantity)
        .BindInt(4, id)
        .Run();
}

void DeleteDiscard(CDataStore& store, RecordId id) {
    DeleteDiscardDestination(store, id);
    Statement st(store, "DELETE FROM CoverDiscard WHERE disc_id = ?");
    st.BindInt(1, id).Run();
}

} // namespace tarvo
