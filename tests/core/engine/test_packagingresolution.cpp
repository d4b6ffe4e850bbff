#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/engine/packagingresolution.h"
#include "enginedata.h"
#include "failingallocation.h"

#include <gtest/gtest.h>
#include <new>

namespace tarvo::test {
namespace {

OleDate Day(int year, int month, int day, int hour = 0, int minute = 0) {
    return OleDate::FromParts(year, month, day, hour, minute);
}

// A product with one definition from 1 January 2020 and one line.
struct OneLine : EngineData {
    int64_t cover = AddCover();
    int64_t prod = rows::Product(store, {"výrobek"});
    int64_t dt = rows::Definition(store, prod, Day(2020, 1, 1));
    int64_t move = AddMove(Day(2021, 6, 15));

    // Resolves a new line of qty; returns the result and the cover quantities.
    std::pair<long, std::vector<std::string>> Resolve(const char* qty) {
        const int64_t line = rows::MoveLine(store, move, prod, Q(qty));
        const long result = ResolveMoveCovers(store, line, move, prod, Q(qty), Day(2021, 6, 15));
        std::vector<std::string> quantities;
        for (const CoverRow& row : Covers(line))
            quantities.push_back(row.qty);
        return {result, quantities};
    }
};

struct PackCase {
    const char* qtyCover;
    const char* qtyProd;
    const char* qty;
    const char* expected;
};

TEST(ResolveMoveCovers, WholePacksTimesCoversTruncatedTowardZero) {
    const PackCase cases[] = {
        {"1", "100", "250", "2"},    {"1", "100", "99", "0"},
        {"1", "100", "100", "1"},    {"0,5", "10", "35", "1.5"},
        {"2", "1", "7,5", "14"},     {"1", "100", "-250", "-2"},
        {"1", "100", "199", "1"},    {"1", "100", "-199", "-1"},
        {"3", "0", "500", "0"},      // a zero divisor gives no packs
        {"3", "-1", "500", "3"},     // a negative one counts as a single pack
        {"0,0001", "1", "0,5", "0"}, // truncation of the product as well
    };
    for (const PackCase& c : cases) {
        OneLine data;
        data.AddLine(data.dt,
                     {.coverId = data.cover, .qtyCover = c.qtyCover, .qtyProd = c.qtyProd});
        const auto [result, quantities] = data.Resolve(c.qty);
        SCOPED_TRACE(std::string(c.qtyCover) + " per " + c.qtyProd + " of " + c.qty);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(quantities, std::vector<std::string>{c.expected});
        EXPECT_TRUE(data.messages.shown.empty());
    }
}

TEST(ResolveMoveCovers, BandsAreInclusiveAndIgnoredForAlwaysLines) {
    struct BandCase {
        const char* qty;
        size_t rows; // the band line applies: 2 rows, else only the always-line
    };
    const BandCase cases[] = {{"100", 2},      {"499", 2},  {"250", 2}, {"99,9999", 1},
                              {"499,0001", 1}, {"-100", 1}, {"0", 1}};
    for (const BandCase& c : cases) {
        OneLine data;
        const int64_t banded = data.AddCover();
        data.AddLine(data.dt,
                     {.coverId = banded, .useAlways = false, .useFrom = "100", .useTo = "499"});
        // Its band would exclude everything, but an always-line has none. The
        // program stores no band on such a line; an older database may.
        const int64_t always = data.AddLine(data.dt, {.coverId = data.cover, .qtyProd = "1000"});
        data.Run("UPDATE Prod_Cover SET cp_usefrom = 50000000, cp_useto = 60000000 "
                 "WHERE cp_id = " +
                 std::to_string(always));
        const auto [result, quantities] = data.Resolve(c.qty);
        SCOPED_TRACE(c.qty);
        EXPECT_EQ(result, static_cast<long>(c.rows));
        EXPECT_EQ(quantities.size(), c.rows);
    }
}

TEST(ResolveMoveCovers, WritesCodesOfThePackagingLineAndIgnoresSoftDeletion) {
    OneLine data;
    const int64_t gone = data.AddCover(true);
    data.AddLine(data.dt, {.coverId = gone, .qtyCover = "2", .type = 1, .org = 0, .pay = 1});
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("3"));
    EXPECT_EQ(ResolveMoveCovers(data.store, line, data.move, data.prod, Q("3"), Day(2021, 6, 15)),
              1);
    EXPECT_EQ(data.Covers(line), (std::vector<CoverRow>{{gone, "6", 1, 0, 1}}));
    EXPECT_EQ(data.Count("Move_Cover WHERE move_id = " + std::to_string(data.move)), 1);
}

// More lines than one statement takes: every row arrives, in line order,
// each with its own codes and quantity.
TEST(ResolveMoveCovers, ManyLinesAllArriveInOrder) {
    OneLine data;
    std::vector<CoverRow> expected;
    for (int i = 0; i < 19; ++i) {
        const int64_t cover = data.AddCover();
        const std::string qty = std::to_string(i + 1);
        data.AddLine(data.dt, {.coverId = cover,
                               .qtyCover = qty.c_str(),
                               .type = i % 4,
                               .org = i % 3,
                               .pay = (i + 1) % 3});
        expected.push_back({cover, std::to_string((i + 1) * 2), i % 4, i % 3, (i + 1) % 3});
    }
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("2"));
    EXPECT_EQ(ResolveMoveCovers(data.store, line, data.move, data.prod, Q("2"), Day(2021, 6, 15)),
              19);
    EXPECT_EQ(data.Covers(line), expected);
}

// Which definition applies: each definition has its own cover, so the rows
// written tell which one was chosen (0 = none).
TEST(ResolveMoveCovers, ChoosesTheLatestDefinitionNotLaterThanTheDispatch) {
    struct Case {
        const char* name;
        OleDate dispatch;
        int expected; // 1-based index of the definition below, 0 for none
    };
    // Definitions: 1 from 1.1.2020, 2 from 1.6.2021 at 12:00, 3 without a
    // date, 4 from 1.1.2022 without lines.
    const Case cases[] = {
        {"before the first", Day(2019, 12, 31, 23, 59), 0},
        {"on the first day", Day(2020, 1, 1), 1},
        {"same day, earlier time", Day(2021, 6, 1, 11, 59), 1},
        {"same day, same time", Day(2021, 6, 1, 12, 0), 2},
        {"same day, later time", Day(2021, 6, 1, 18, 0), 2},
        {"a definition without lines wins", Day(2022, 3, 1), 0},
    };
    for (const Case& c : cases) {
        EngineData data;
        const int64_t prod = rows::Product(data.store, {"výrobek"});
        std::vector<int64_t> covers;
        const OleDate froms[] = {Day(2020, 1, 1), Day(2021, 6, 1, 12, 0), OleDate(),
                                 Day(2022, 1, 1)};
        for (size_t i = 0; i < 4; ++i) {
            const int64_t dt = rows::Definition(data.store, prod, froms[i]);
            covers.push_back(data.AddCover());
            if (i != 3)
                data.AddLine(dt, {.coverId = covers.back()});
        }
        const int64_t move = data.AddMove(c.dispatch);
        const int64_t line = rows::MoveLine(data.store, move, prod, Q("5"));
        SCOPED_TRACE(c.name);
        const long result = ResolveMoveCovers(data.store, line, move, prod, Q("5"), c.dispatch);
        const std::vector<CoverRow> rows = data.Covers(line);
        if (c.expected == 0) {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(rows.empty());
        } else {
            EXPECT_EQ(result, 1);
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(rows[0].coverId, covers[static_cast<size_t>(c.expected - 1)]);
        }
    }
}

TEST(ResolveMoveCovers, InvalidDateOrNoDefinitionWritesNothing) {
    OneLine data;
    data.AddLine(data.dt, {.coverId = data.cover});
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("5"));
    EXPECT_EQ(ResolveMoveCovers(data.store, line, data.move, data.prod, Q("5"), OleDate()), -1);
    const int64_t other = rows::Product(data.store, {"výrobek"});
    EXPECT_EQ(ResolveMoveCovers(data.store, line, data.move, other, Q("5"), Day(2021, 1, 1)), 0);
    EXPECT_EQ(data.Count("Move_Cover"), 0);
    EXPECT_TRUE(data.messages.shown.empty());
}

// A failure on the second row of a line leaves none of its rows behind, the
// error is shown, and the result is -1.
TEST(ResolveMoveCovers, FailureHalfwayWritesNothingAndIsShown) {
    OneLine data;
    const int64_t second = data.AddCover();
    data.AddLine(data.dt, {.coverId = data.cover});
    data.AddLine(data.dt, {.coverId = second});
    data.Run("CREATE TRIGGER fail BEFORE INSERT ON Move_Cover WHEN NEW.cover_id = " +
             std::to_string(second) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("5"));
    EXPECT_EQ(ResolveMoveCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1)),
              -1);
    EXPECT_EQ(data.Count("Move_Cover"), 0);
    ASSERT_EQ(data.messages.shown.size(), 1u);
    EXPECT_EQ(data.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(data.messages.shown[0].text.rfind("Došlo k chybě COM č.0x", 0), 0u);
}

// A failure that is no database error (here memory running out) is shown
// as well, with what it says: a line left without covers never passes unseen.
TEST(ResolveMoveCovers, AnUnexpectedFailureIsShownToo) {
    OneLine data;
    data.AddLine(data.dt, {.coverId = data.cover});
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("5"));
    long result = 0;
    {
        const NextAllocationFails outOfMemory;
        result = ResolveMoveCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1));
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(data.Count("Move_Cover"), 0);
    ASSERT_EQ(data.messages.shown.size(), 1u);
    EXPECT_EQ(data.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_NE(data.messages.shown[0].text.find(
                  "Obaly řádku výdeje se nepodařilo odvodit kvůli neočekávané chybě: " +
                  std::string(std::bad_alloc().what())),
              std::string::npos)
        << data.messages.shown[0].text;
}

TEST(ResolveMoveCovers, RunsInsideTheCallersUnit) {
    OneLine data;
    data.AddLine(data.dt, {.coverId = data.cover});
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("5"));
    {
        Transaction unit(data.store);
        EXPECT_EQ(
            ResolveMoveCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1)), 1);
        // Not committed: the caller's unit decides.
    }
    EXPECT_EQ(data.Count("Move_Cover"), 0);
    {
        Transaction unit(data.store);
        ResolveMoveCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1));
        unit.Commit();
    }
    EXPECT_EQ(data.Count("Move_Cover"), 1);
}

TEST(ReplaceLineCovers, ReplacesHandMadeLinesOrKeepsThemOnFailure) {
    OneLine data;
    const int64_t second = data.AddCover();
    data.AddLine(data.dt, {.coverId = data.cover, .qtyCover = "2"});
    data.AddLine(data.dt, {.coverId = second});
    const int64_t line = rows::MoveLine(data.store, data.move, data.prod, Q("5"));
    data.AddMoveCover(data.move, line, second, "7");
    const std::vector<CoverRow> handMade = data.Covers(line);

    data.Run("CREATE TRIGGER fail BEFORE INSERT ON Move_Cover WHEN NEW.cover_id = " +
             std::to_string(second) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_EQ(ReplaceLineCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1)),
              -1);
    EXPECT_EQ(data.Covers(line), handMade);
    EXPECT_EQ(data.messages.shown.size(), 1u);

    data.Run("DROP TRIGGER fail");
    EXPECT_EQ(ReplaceLineCovers(data.store, line, data.move, data.prod, Q("5"), Day(2021, 1, 1)),
              2);
    EXPECT_EQ(data.Covers(line),
              (std::vector<CoverRow>{{data.cover, "10", 0, 0, 0}, {second, "5", 0, 0, 0}}));
}

TEST(ResolveProdMoves, RewritesEveryLineOfTheProductOnly) {
    EngineData data;
    const int64_t cover = data.AddCover();
    const int64_t prod = rows::Product(data.store, {"výrobek"});
    const int64_t other = rows::Product(data.store, {"výrobek"});
    data.AddLine(rows::Definition(data.store, prod, Day(2020, 1, 1)),
                 {.coverId = cover, .qtyProd = "10"});
    const int64_t early = data.AddMove(Day(2019, 5, 1));
    const int64_t late = data.AddMove(Day(2021, 5, 1));
    // Two lines of the product in one dispatch are derived each by its own
    // quantity; a line dated before the definition loses its hand-made rows.
    const int64_t a = rows::MoveLine(data.store, late, prod, Q("25"));
    const int64_t b = rows::MoveLine(data.store, late, prod, Q("40"));
    const int64_t c = rows::MoveLine(data.store, early, prod, Q("40"));
    const int64_t d = rows::MoveLine(data.store, late, other, Q("40"));
    data.AddMoveCover(late, a, cover, "99");
    data.AddMoveCover(early, c, cover, "99");
    data.AddMoveCover(late, d, cover, "99");

    EXPECT_EQ(ResolveProdMoves(data.store, prod), 3);
    EXPECT_EQ(data.Covers(a), (std::vector<CoverRow>{{cover, "2", 0, 0, 0}}));
    EXPECT_EQ(data.Covers(b), (std::vector<CoverRow>{{cover, "4", 0, 0, 0}}));
    EXPECT_TRUE(data.Covers(c).empty());
    EXPECT_EQ(data.Covers(d), (std::vector<CoverRow>{{cover, "99", 1, 1, 1}}));
    EXPECT_EQ(ResolveProdMoves(data.store, rows::Product(data.store, {"výrobek"})), 0);
    EXPECT_TRUE(data.messages.shown.empty());
}

TEST(ResolveProdMoves, ALineThatFailsKeepsItsOldCoversAndTheOthersGoOn) {
    EngineData data;
    const int64_t cover = data.AddCover();
    const int64_t prod = rows::Product(data.store, {"výrobek"});
    data.AddLine(rows::Definition(data.store, prod, Day(2020, 1, 1)), {.coverId = cover});
    const int64_t move = data.AddMove(Day(2021, 5, 1));
    const int64_t a = rows::MoveLine(data.store, move, prod, Q("1"));
    const int64_t b = rows::MoveLine(data.store, move, prod, Q("2"));
    data.AddMoveCover(move, a, cover, "99");
    data.AddMoveCover(move, b, cover, "99");
    // The deletion of a's old rows fails: deriving anyway would put new rows
    // beside the old ones.
    data.Run("CREATE TRIGGER fail BEFORE DELETE ON Move_Cover WHEN OLD.mvprod_id = " +
             std::to_string(a) + " BEGIN SELECT RAISE(ABORT, 'locked'); END");

    EXPECT_EQ(ResolveProdMoves(data.store, prod), 2);
    EXPECT_EQ(data.Covers(a), (std::vector<CoverRow>{{cover, "99", 1, 1, 1}}));
    EXPECT_EQ(data.Covers(b), (std::vector<CoverRow>{{cover, "2", 0, 0, 0}}));
    EXPECT_EQ(data.messages.shown.size(), 1u);
}

} // namespace
} // namespace tarvo::test
