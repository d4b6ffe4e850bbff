#include "core/data/statement.h"
#include "core/records/coverline.h"
#include "core/records/dispatches.h"
#include "core/records/products.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// What the bulk paths store that a person never enters: import sources and
// source ids, and the band limits of always lines carried over.

// The text the query makes of the row with key id.
std::string Stored(TestDatabase& db, const char* sql, RecordId id) {
    Statement st(db.store, sql);
    st.BindInt(1, id);
    return st.Step() ? st.Text(0) : "gone";
}

TEST(BulkWrites, DispatchStoresItsSourceOnlyWhenImported) {
    TestDatabase db;
    MoveWriter writer(db.store);
    const MoveRecord move{"FV-1", 0, OleDate::FromParts(2024, 3, 1), false};
    const char* sql = "SELECT typeof(move_source) || ' ' || IFNULL(move_source, '') FROM Move "
                      "WHERE move_id = ?";
    // Imported first, so a source left bound would show in the next row.
    EXPECT_EQ(Stored(db, sql, writer.Insert(move, 2)), "integer 2");
    EXPECT_EQ(Stored(db, sql, writer.Insert(move)), "null ");
    EXPECT_EQ(FindMove(db.store, writer.Insert(move, 1)), move);
}

// Headers queued for a later INSERT take the keys the table would have given
// them, also after the largest key was deleted (AUTOINCREMENT never gives it
// again), and the table counts on after them.
TEST(BulkWrites, QueuedDispatchesTakeTheKeysTheTableWouldGive) {
    TestDatabase db;
    MoveWriter writer(db.store);
    MoveBatchWriter batch(db.store);
    const MoveRecord move{"DL-1", 0, OleDate::FromParts(2024, 3, 1), false};
    for (int i = 0; i < 3; ++i)
        writer.Insert(move);
    DeleteMoves(db.store, {3});
    std::vector<RecordId> keys;
    for (const int64_t source : {2, 0, 2})
        keys.push_back(batch.Queue(move, source));
    batch.Flush();
    batch.Discard();
    keys.push_back(batch.Queue(move, 2));
    keys.push_back(writer.Insert(move));
    EXPECT_EQ(keys, (std::vector<RecordId>{4, 5, 6, 7, 8}));
    EXPECT_EQ(db.Count("Move WHERE move_source = 2 AND move_id IN (4, 6, 7)"), 3);
    EXPECT_EQ(FindMove(db.store, 5), move);
}

// Lines carried over from data that has them keep an always line's limits;
// a line entered now stores none, in each of the three tables.
TEST(BulkWrites, AlwaysLineKeepsItsLimitsOnlyWhenTheWriterKeepsThem) {
    struct Case {
        CoverLineTable table;
        const char* sql;
    };
    const Case cases[] = {
        {CoverLineTable::Packaging, "SELECT IFNULL(cp_usefrom, '-') || ' ' || IFNULL(cp_useto, "
                                    "'-') FROM Prod_Cover WHERE cp_id = ?"},
        {CoverLineTable::CompCoverItems, "SELECT IFNULL(cp_usefrom, '-') || ' ' || "
                                         "IFNULL(cp_useto, '-') FROM CompCover_Item WHERE "
                                         "rowid = ?"},
        {CoverLineTable::Scratch, "SELECT IFNULL(cp_usefrom, '-') || ' ' || IFNULL(cp_useto, "
                                  "'-') FROM TmpCover_Item WHERE ti_id = ?"},
    };
    TestDatabase db;
    CoverLine always;
    always.useFrom = Quantity::FromScaled(0);
    always.useTo = Quantity::FromScaled(70000);
    for (const Case& c : cases) {
        CoverLineWriter kept(db.store, c.table, AlwaysLimits::AsGiven);
        CoverLineWriter dropped(db.store, c.table);
        EXPECT_EQ(Stored(db, c.sql, kept.Insert(1, always)), "0 70000");
        EXPECT_EQ(Stored(db, c.sql, dropped.Insert(1, always)), "- -");
    }
}

} // namespace
} // namespace tarvo::test
