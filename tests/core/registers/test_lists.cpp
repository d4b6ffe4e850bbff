#include "core/data/codelists.h"
#include "core/data/czechsortkey.h"
#include "core/data/idlist.h"
#include "core/data/rowcache.h"
#include "core/data/rowlist.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "core/data/statement.h"
#include "core/registers/coverrows.h"
#include "rows.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// Five rows whose values tie, collate in the Czech way and share a day at
// different times of it.
struct SortTable : ::testing::Test {
    TestDatabase db;
    SortTable() {
        db.Run("CREATE TABLE T (id INTEGER PRIMARY KEY, txt TEXT, num INTEGER, day REAL)");
        db.Run("INSERT INTO T VALUES (1, 'chata', 5, 45000.75), (2, 'hrad', 5, 45000.25), "
               "(3, 'čep', 1, 45000.5), (4, 'cena', 9, NULL), (5, NULL, 5, 44999.9)");
    }
};

struct SortCase {
    const char* name;
    const char* column;
    IdList::SortValue kind;
    bool descending;
    std::vector<RecordId> expected;
};

class IdListOrder : public SortTable, public ::testing::WithParamInterface<SortCase> {};

TEST_P(IdListOrder, SortsByTheValueKind) {
    const SortCase& c = GetParam();
    Statement st(db.store, std::string("SELECT id, ") + c.column + " FROM T ORDER BY id");
    IdList ids;
    ids.LoadSorted(st, c.kind, c.descending);
    EXPECT_EQ(ids.Ids(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, IdListOrder,
    ::testing::Values(
        // ch sorts after h; empty values first
        SortCase{"CzechText", "txt", IdList::SortValue::CzechText, false, {5, 4, 3, 2, 1}},
        SortCase{"CzechTextDescending", "txt", IdList::SortValue::CzechText, true, {1, 2, 3, 4, 5}},
        // equal values keep the query's order in both directions
        SortCase{"NumberTies", "num", IdList::SortValue::Number, false, {3, 1, 2, 5, 4}},
        SortCase{"NumberTiesDescending", "num", IdList::SortValue::Number, true, {4, 1, 2, 5, 3}},
        // the time of day orders dates of one day
        SortCase{"DateWithTime", "day", IdList::SortValue::Date, false, {4, 5, 2, 3, 1}},
        SortCase{"DateWithTimeDescending", "day", IdList::SortValue::Date, true, {1, 3, 2, 5, 4}}),
    [](const auto& p) { return std::string(p.param.name); });

struct LongCase {
    const char* column;
    IdList::SortValue kind;
    bool descending;
};

class LongIdList : public ::testing::TestWithParam<LongCase> {};

// Covers with names that collate in the Czech way, empty names and tied
// weights, made by the database for speed (the program never stores an
// empty name).
void AddLongCovers(TestDatabase& db, int count) {
    db.Run(Format("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
                  "INSERT INTO Cover (cover_name, cover_weight, deleted) "
                  "SELECT CASE WHEN i %% 97 = 0 THEN NULL ELSE "
                  "substr('cčhchCzžZ', 1 + (i * 7) %% 9, 2) || printf('%%04d', (i * 7919) %% 3001) "
                  "END, (i * 13) %% 50, 0 FROM n",
                  count));
}

std::vector<RecordId> DatabaseOrder(TestDatabase& db, const std::string& column, bool descending) {
    Statement st(db.store, "SELECT cover_id FROM Cover ORDER BY " + column +
                               (descending ? " DESC" : "") + ", cover_id");
    std::vector<RecordId> ids;
    while (st.Step())
        ids.push_back(st.Int(0));
    return ids;
}

// More rows than the head ordered at once: the head and the rows around a
// kept record come first, the rest from the loader thread, and all agree
// with the database's own order.
TEST_P(LongIdList, MatchesTheDatabaseOrder) {
    const LongCase& c = GetParam();
    TestDatabase db;
    AddLongCovers(db, 3000);
    const std::string column = c.column;
    const std::vector<RecordId> expected = DatabaseOrder(db, column, c.descending);
    // Kept: a record deep in the list, the last one, one in the head and
    // one that is not in the list at all.
    for (const int keptRow : {1900, 2999, 5, -1}) {
        SCOPED_TRACE(keptRow);
        Statement query(db.store, "SELECT cover_id, " + column + " FROM Cover");
        IdList ids;
        const RecordId kept = keptRow < 0 ? 99999 : expected[static_cast<size_t>(keptRow)];
        ids.Keep(kept);
        ids.LoadSorted(query, c.kind, c.descending);
        ASSERT_EQ(ids.Count(), 3000);
        EXPECT_EQ(ids.Id(0), expected.front());
        EXPECT_EQ(ids.RowOf(kept), keptRow);
        for (int row = std::max(0, keptRow - 40); row < std::min(3000, keptRow + 40); ++row)
            ASSERT_EQ(ids.Id(row), expected[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(ids.Ids(), expected);
        EXPECT_EQ(ids.RowOf(expected.back()), 2999);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, LongIdList,
    ::testing::Values(LongCase{"cover_name", IdList::SortValue::CzechText, false},
                      LongCase{"cover_name", IdList::SortValue::CzechText, true},
                      LongCase{"cover_weight", IdList::SortValue::Number, false},
                      LongCase{"cover_weight", IdList::SortValue::Number, true}));

// A list loaded again, cleared, moved or destroyed while its loader thread
// still orders the rest: the thread stops or finishes unseen, and the list
// shows only the last load, whole and in order.
TEST(IdListLoader, LoadingAgainOrClearingStopsTheOrderingUnderWay) {
    TestDatabase db;
    AddLongCovers(db, 20000);
    const std::vector<RecordId> descending = DatabaseOrder(db, "cover_name", true);
    auto load = [&db](IdList& ids, bool down) {
        Statement query(db.store, "SELECT cover_id, cover_name FROM Cover");
        ids.LoadSorted(query, IdList::SortValue::CzechText, down);
    };
    IdList ids;
    load(ids, false);
    load(ids, true);
    IdList moved = std::move(ids);
    EXPECT_EQ(moved.Ids(), descending);

    IdList cleared;
    load(cleared, false);
    cleared.Clear();
    EXPECT_EQ(cleared.Count(), 0);
    EXPECT_EQ(cleared.RowOf(descending.front()), -1);

    IdList replaced;
    load(replaced, false);
    IdList other;
    load(other, true);
    replaced = std::move(other);
    EXPECT_EQ(replaced.Id(19999), descending.back());

    IdList dropped;
    load(dropped, true);
}

// Counts the records asked for, to show which chunks a list reads.
class CountingSource final : public IRowSource {
public:
    explicit CountingSource(std::unique_ptr<IRowSource> inner) : m_inner(std::move(inner)) {}
    const std::vector<std::string>& Headers() const override { return m_inner->Headers(); }
    std::vector<RowCells> Read(std::span<const RecordId> ids) override {
        *asked += static_cast<int>(ids.size());
        return m_inner->Read(ids);
    }
    std::shared_ptr<int> asked = std::make_shared<int>(0);

private:
    std::unique_ptr<IRowSource> m_inner;
};

TEST(RowList, ReadsOnlyTheChunksShownThroughBoundIdentifiers) {
    TestDatabase db;
    for (int i = 1; i <= 300; ++i)
        rows::Cover(db.store, {.name = Format("c'%03d", i), .weight = Quantity::FromScaled(i)});
    auto source = std::make_unique<CountingSource>(MakeCoverRows(db.store));
    const std::shared_ptr<int> asked = source->asked;
    RowList list(db.messages, std::move(source));
    IdList ids;
    ASSERT_TRUE(LoadCoverIds(db.store, {}, {0, true}, ids));
    list.SetIds(std::move(ids));
    ASSERT_EQ(list.Count(), 300);
    EXPECT_EQ(*asked, 0);
    EXPECT_EQ(list.Cell(0, 0), "c'300");
    EXPECT_EQ(list.Cell(299, 0), "c'001");
    EXPECT_EQ(*asked, 128 + 44); // the first chunk and the short last one
    EXPECT_EQ(list.Cell(1, 0), "c'299");
    EXPECT_EQ(*asked, 172);

    // A record another program removed shows empty cells; removing its row
    // moves the rest up.
    db.Run("DELETE FROM Cover WHERE cover_name = 'c''300'");
    list.RefreshRow(0);
    EXPECT_EQ(list.Cells(0)->size(), 0u);
    list.RemoveRow(0);
    EXPECT_EQ(list.Cell(0, 0), "c'299");
    EXPECT_EQ(list.RowOf(list.Id(0)), 0);
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST(RowList, ShowsADatabaseErrorAndEmptyCells) {
    TestDatabase db;
    rows::Cover(db.store, {.name = "a"});
    RowList list(db.messages, std::make_unique<StatementRowSource>(
                                  db.store, std::vector<std::string>{"x"},
                                  "SELECT cover_id, no_such_column FROM Cover WHERE cover_id IN ",
                                  [](const Statement& st) { return RowCells{st.Text(1)}; }));
    IdList ids;
    ASSERT_TRUE(LoadCoverIds(db.store, {}, {}, ids));
    list.SetIds(std::move(ids));
    EXPECT_EQ(list.Cell(0, 0), "");
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
}

TEST(CoverRows, ShowLabelsWeightsAndDates) {
    TestDatabase db;
    // Keys of its own and a discard with its time of day, which the program
    // never stores.
    db.Run("INSERT INTO Cover (cover_id, cover_name, cover_weight, cover_mat, cover_type, "
           "cover_org, cover_pay, cover_reusable, deleted) VALUES (7, 'Paleta', 5000, 2, 1, 0, "
           "1, 1, 0)");
    // 3 pieces of 0,5 kg on 5 March 2024, at 18:00
    db.Run("INSERT INTO CoverDiscard (disc_id, cover_id, disc_date, disc_type, disc_qty) "
           "VALUES (4, 7, 45356.75, 2, 30000)");
    const std::vector<RecordId> cover{7};
    EXPECT_EQ(MakeCoverRows(db.store)->Read(cover).at(0),
              (RowCells{"Paleta", Materials.Label(2), "0,5", CoverTypes.Label(1), Origins.Label(0),
                        Payments.Label(1), "ano", "neúplné"}));
    const std::vector<RecordId> discard{4};
    EXPECT_EQ(MakeDiscardRows(db.store)->Read(discard).at(0),
              (RowCells{"05.03.2024", DiscardKinds.Label(2), "1,5"}));
    IdList ids;
    ASSERT_TRUE(LoadDiscardIds(db.store, 7, {2, false}, ids));
    EXPECT_EQ(ids.Ids(), std::vector<RecordId>{4});
}

TEST(RowCache, DropsTheLeastRecentChunk) {
    RowCache<int> cache(10, 2);
    cache.Store(0, std::vector<int>(10, 1));
    cache.Store(1, std::vector<int>(10, 2));
    EXPECT_TRUE(cache.Find(3)); // chunk 0 is now the most recent
    cache.Store(2, std::vector<int>(5, 3));
    EXPECT_EQ(cache.ChunkCount(), 2);
    EXPECT_TRUE(cache.Find(3));
    EXPECT_FALSE(cache.Find(13));
    EXPECT_EQ(*cache.Find(24), 3);
    EXPECT_FALSE(cache.Find(25)); // past the short last chunk
}

TEST(RowCache, InvalidatesOneRow) {
    RowCache<int> cache(4, 4);
    cache.Store(0, {1, 2, 3, 4});
    cache.Invalidate(2);
    EXPECT_FALSE(cache.Find(2));
    EXPECT_EQ(*cache.Find(3), 4);
    cache.Store(0, {1, 2, 30, 4});
    EXPECT_EQ(*cache.Find(2), 30);
}

struct KeyCase {
    const char* name;
    const char* a;
    const char* b;
};

class CzechSortKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(CzechSortKey, OrdersAsTheCollation) {
    const std::string a = GetParam().a;
    const std::string b = GetParam().b;
    std::string keyA;
    std::string keyB;
    AppendCzechSortKey(a, keyA);
    AppendCzechSortKey(b, keyB);
    const int byKey = keyA < keyB ? -1 : (keyA == keyB ? 0 : 1);
    EXPECT_EQ(byKey, CzechCompare(a, b));
    EXPECT_EQ(-byKey, CzechCompare(b, a));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CzechSortKey,
    ::testing::Values(KeyCase{"ChAfterH", "chata", "hrad"}, KeyCase{"CaronAfterC", "čep", "cena"},
                      KeyCase{"Case", "abc", "ABC"}, KeyCase{"Prefix", "Etiketa", "Etiketa papír"},
                      KeyCase{"Numbers", "Etiketa 117583", "Etiketa 117595"},
                      KeyCase{"AccentOnly", "hrábě", "hrabe"}, KeyCase{"Equal", "Obal", "Obal"},
                      KeyCase{"Empty", "", "a"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace tarvo::test
