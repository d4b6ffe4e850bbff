#include "../engine/enginedata.h"
#include "core/data/idlist.h"
#include "core/data/statement.h"
#include "core/registers/moverows.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

OleDate Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return OleDate::FromParts(year, month, day, hour, minute, second);
}

// The dispatches whose dates lie at the ends of a filter's date range.
TEST(MoveFilter, DateRangeTakesBothEndDaysWhole) {
    const struct {
        OleDate date;
        bool listed;
    } cases[] = {
        {Day(2023, 12, 31, 23, 59, 59), false},
        {Day(2024, 1, 1), true},
        {Day(2024, 1, 1, 23, 59, 59), true},
        {Day(2024, 2, 15, 12), true},
        {Day(2024, 3, 31), true},
        {Day(2024, 3, 31, 23, 59, 59), true},
        {Day(2024, 4, 1), false},
    };
    // The range's own times of day do not matter, only its days.
    for (const auto& [from, to] : {std::pair{Day(2024, 1, 1), Day(2024, 3, 31)},
                                   std::pair{Day(2024, 1, 1, 23, 59, 59), Day(2024, 3, 31)},
                                   std::pair{Day(2024, 1, 1, 12), Day(2024, 3, 31, 8)}}) {
        SCOPED_TRACE(from.Value());
        EngineData data;
        std::vector<RecordId> expected;
        for (const auto& c : cases) {
            const int64_t id = data.AddMove(c.date);
            if (c.listed)
                expected.push_back(id);
        }
        MoveFilter filter;
        filter.useDate = true;
        filter.from = from;
        filter.to = to;
        IdList ids;
        ASSERT_TRUE(LoadMoveIds(data.store, filter, {1, false}, ids));
        EXPECT_EQ(ids.Ids(), expected);
    }
}

TEST(MoveFilter, NumberAndExportCriteria) {
    EngineData data;
    const char* numbers[] = {"FV-2024/1", "fv-2024/10", "ČR 5", "čr 5", "O'Neil 50%", "5"};
    std::vector<RecordId> ids;
    for (const char* number : numbers) {
        ids.push_back(data.AddMove(Day(2024, 1, 1)));
        Statement st(data.store, "UPDATE Move SET move_num = ?, move_export = ? WHERE move_id = ?");
        st.BindText(1, number).BindInt(2, ids.size() % 2).BindInt(3, ids.back()).Run();
    }
    // A number criterion (nullptr: none), whether it is a part, and an export
    // criterion (-1: none).
    const struct {
        const char* what;
        const char* number;
        bool part;
        int exported;
        std::vector<size_t> listed; // indexes into numbers
    } cases[] = {
        {"exact, other case", "FV-2024/10", false, -1, {1}},
        {"exact, Czech letters in other case", "čR 5", false, -1, {2, 3}},
        {"part", "2024/1", true, -1, {0, 1}},
        {"part with an apostrophe and a percent sign", "'Neil 50%", true, -1, {4}},
        {"a percent sign is no wildcard", "%", false, -1, {}},
        {"an underscore is no wildcard", "_", true, -1, {}},
        {"exported", nullptr, false, 1, {0, 2, 4}},
        {"not exported", nullptr, false, 0, {1, 3, 5}},
        {"part and exported", "5", true, 1, {2, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MoveFilter filter;
        filter.useNumber = c.number != nullptr;
        filter.number = c.number ? c.number : "";
        filter.numberPart = c.part;
        filter.useExport = c.exported >= 0;
        filter.exported = c.exported == 1;
        IdList list;
        ASSERT_TRUE(LoadMoveIds(data.store, filter, {0, false}, list));
        std::vector<RecordId> expected;
        for (size_t i : c.listed)
            expected.push_back(ids[i]);
        std::vector<RecordId> found = list.Ids();
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
    EXPECT_TRUE(data.messages.shown.empty());
}

// Dispatches sorted by each column of the list: the date with its time of
// day, "Export" by number, the kind by its code; descending reverses.
TEST(MoveRows, DispatchOrderByColumn) {
    EngineData data;
    const struct {
        const char* number;
        OleDate date;
        int type;
    } moves[] = {{"B-2", Day(2024, 5, 1, 15), 2},
                 {"a-10", Day(2024, 5, 1, 9), 0},
                 {"Č-1", Day(2023, 1, 1), 3},
                 {"C-1", Day(2025, 1, 1), 1}};
    std::vector<RecordId> ids;
    for (const auto& m : moves) {
        ids.push_back(data.AddMove(m.date));
        Statement st(data.store, "UPDATE Move SET move_num = ?, move_type = ? WHERE move_id = ?");
        st.BindText(1, m.number).BindInt(2, m.type).BindInt(3, ids.back()).Run();
    }
    const struct {
        ListSort sort;
        std::vector<size_t> order;
    } cases[] = {
        {{0, false}, {1, 0, 3, 2}},                             // Czech order: a, B, C, Č
        {{0, true}, {2, 3, 0, 1}},  {{1, false}, {2, 1, 0, 3}}, // the same day: 9:00 before 15:00
        {{2, false}, {1, 0, 3, 2}},                             // "Export" sorts by number
        {{3, false}, {1, 3, 0, 2}}, {{3, true}, {2, 0, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.sort.column) + (c.sort.descending ? " desc" : ""));
        IdList list;
        ASSERT_TRUE(LoadMoveIds(data.store, MoveFilter{}, c.sort, list));
        std::vector<RecordId> expected;
        for (size_t i : c.order)
            expected.push_back(ids[i]);
        EXPECT_EQ(list.Ids(), expected);
    }
}

// The three lists as the view shows them, and which rows each dependent
// list holds.
TEST(MoveRows, CellsAndDependentLists) {
    EngineData data;
    const int64_t cover = data.AddCover(); // 1 kg a piece, type 3, origin 2, payment 2
    const int64_t product = rows::Product(data.store, {"výrobek"});
    data.Run("UPDATE Product SET prod_katalog = 'K-7'");
    const int64_t move = data.AddMove(Day(2024, 6, 15, 10));
    data.Run("UPDATE Move SET move_export = 1, move_type = 1");
    const int64_t first = rows::MoveLine(data.store, move, product, Q("12,5"));
    const int64_t second =
        rows::MoveLine(data.store, move, rows::Product(data.store, {"džus"}), Q("3"));
    data.Run("UPDATE Cover SET cover_weight = 0.5"); // kilograms
    data.AddMoveCover(move, first, cover, "2,5");
    data.AddMoveCover(move, first, cover, "1");
    data.AddMoveCover(move, second, cover, "4");
    const int64_t elsewhere = data.AddMove(Day(2024, 6, 16));
    data.AddMoveCover(elsewhere, rows::MoveLine(data.store, elsewhere, product, Q("1")), cover,
                      "9");

    const std::vector<RecordId> one{move};
    EXPECT_EQ(MakeMoveRows(data.store)->Read(one),
              (std::vector<RowCells>{{"V1", "15.06.2024", "ano", MoveTypes.Label(1)}}));
    const std::vector<RecordId> lines{first};
    EXPECT_EQ(MakeMoveLineRows(data.store)->Read(lines),
              (std::vector<RowCells>{{"výrobek", "K-7", "12,50"}}));

    IdList lineCovers;
    ASSERT_TRUE(LoadLineCoverIds(data.store, first, {1, true}, lineCovers));
    ASSERT_EQ(lineCovers.Count(), 2);
    // Most pieces first; the weight is the pieces times the cover's weight,
    // the codes are the line's own.
    EXPECT_EQ(
        MakeMoveCoverRows(data.store)->Read(lineCovers.Ids()),
        (std::vector<RowCells>{{"obal", "2,50", "1,25", Materials.Label(0), CoverTypes.Label(1),
                                Origins.Label(1), Payments.Label(1), "výrobek"},
                               {"obal", "1,00", "0,5", Materials.Label(0), CoverTypes.Label(1),
                                Origins.Label(1), Payments.Label(1), "výrobek"}}));
    // Every cover of the dispatch, by the product it left with.
    IdList all;
    ASSERT_TRUE(LoadDispatchCoverIds(data.store, move, {7, false}, all));
    ASSERT_EQ(all.Count(), 3);
    EXPECT_EQ(MakeMoveCoverRows(data.store)->Read(all.Ids()).front().back(), "džus");
    IdList lineIds;
    ASSERT_TRUE(LoadMoveLineIds(data.store, move, {2, false}, lineIds));
    EXPECT_EQ(lineIds.Ids(), (std::vector<RecordId>{second, first}));
    EXPECT_TRUE(data.messages.shown.empty());
}

} // namespace
} // namespace tarvo::test
