#include "core/data/transaction.h"
#include "core/engine/bulkresolution.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "enginedata.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <tuple>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tarvo::test {
namespace {

const char* const Question = "Opravdu si přejete upravit výdeje obalů podle nadefinovaných balení "
                             "produktů?\nZtratíte tak ručně provedné změny ve výdejích obalů!";

// n product lines of one product, each with a hand-made cover line that the
// run replaces by one row of the packaging line's cover (quantity = line
// number).
struct Lines : EngineData {
    explicit Lines(int n) {
        Transaction unit(store); // one write to the disk, not hundreds
        handCover = AddCover();
        derivedCover = AddCover();
        prod = rows::Product(store, {"výrobek"});
        dt = rows::Definition(store, prod, OleDate::FromParts(2020, 1, 1));
        AddLine(dt, {.coverId = derivedCover});
        move = AddMove(OleDate::FromParts(2021, 3, 1));
        for (int i = 1; i <= n; ++i) {
            lines.push_back(rows::MoveLine(store, move, prod, Quantity::FromUnits(i)));
            AddMoveCover(move, lines.back(), handCover, "1");
        }
        unit.Commit();
    }

    BulkResult RunAll(bool answer = true, long rebuildFrom = RebuildFromLines) {
        messages.yesNoAnswers.push_back(answer);
        return ResolveAllMoveCovers(store, progress, views, rebuildFrom);
    }
    bool Derived(size_t index) {
        const std::vector<CoverRow> rows = Covers(lines[index]);
        return rows == std::vector<CoverRow>{{derivedCover, std::to_string(index + 1), 0, 0, 0}};
    }
    bool Untouched(size_t index) {
        return Covers(lines[index]) == std::vector<CoverRow>{{handCover, "1", 1, 1, 1}};
    }

    int64_t handCover = 0;
    int64_t derivedCover = 0;
    int64_t prod = 0;
    int64_t dt = 0;
    int64_t move = 0;
    std::vector<int64_t> lines;
    RecordingProgress progress;
    RecordingNotifier views;
};

const std::vector<ViewNotification> Reloaded{ViewNotification::ReloadCovers};

// Every cover line with its key and every column, and the table's indexes.
std::string CoverTable(TestDatabase& db) {
    return db.Text("SELECT GROUP_CONCAT(mvcover_id||','||quote(move_id)||','||quote(mvprod_id)||"
                   "','||quote(cover_id)||','||quote(mvcover_qty)||','||quote(cover_type)||','||"
                   "quote(cover_org)||','||quote(cover_pay), ';') FROM (SELECT * FROM Move_Cover "
                   "ORDER BY mvcover_id)") +
           db.Text("SELECT seq FROM sqlite_sequence WHERE name = 'Move_Cover'") +
           db.Text("SELECT GROUP_CONCAT(sql, ';') FROM (SELECT sql FROM sqlite_master WHERE "
                   "tbl_name = 'Move_Cover' AND type = 'index' ORDER BY name)");
}

// An old database: two definitions, bands, a "use always" stored as -1,
// divisors 0 and -1, codes missing or -1, a product without packaging, a
// dispatch without a date, cover lines of vanished lines and dispatches.
struct Mixed : EngineData {
    Mixed() {
        Transaction unit(store);
        const int64_t a = AddCover(), b = AddCover();
        const int64_t prod = rows::Product(store, {"výrobek"}), bare = rows::Product(store, {"x"});
        const int64_t old = rows::Definition(store, prod, OleDate::FromParts(2020, 1, 1));
        AddLine(old, {.coverId = a, .qtyProd = "10", .type = 2, .org = 1, .pay = 1});
        const int64_t now = rows::Definition(store, prod, OleDate::FromParts(2021, 1, 1));
        AddLine(now, {.coverId = a, .qtyCover = "2", .qtyProd = "0"});
        AddLine(now, {.coverId = b, .qtyProd = "-1", .useAlways = false, .useTo = "5"});
        AddLine(now, {.coverId = b,
                      .qtyProd = "3",
                      .useAlways = false,
                      .useFrom = "5,0001",
                      .useTo = "100"});
        Run("UPDATE Prod_Cover SET cp_usealways = -1, cover_type = -1, cover_pay = NULL "
            "WHERE cp_id = (SELECT MAX(cp_id) FROM Prod_Cover)");
        for (int year : {2020, 2021}) {
            const int64_t move = AddMove(OleDate::FromParts(year, 6, 30, 23, 59));
            for (int qty : {1, 5, 6, 40}) {
                lines.push_back(rows::MoveLine(store, move, prod, Quantity::FromUnits(qty)));
                AddMoveCover(move, lines.back(), a, "1");
            }
            lines.push_back(rows::MoveLine(store, move, bare, Quantity::FromUnits(1)));
            AddMoveCover(move, lines.back(), b, "1");
        }
        const int64_t undated = AddMove(OleDate::FromParts(2021, 1, 1));
        lines.push_back(rows::MoveLine(store, undated, prod, Quantity::FromUnits(1)));
        AddMoveCover(undated, lines.back(), a, "1");
        Run("UPDATE Move SET move_date = NULL WHERE move_id = " + std::to_string(undated));
        Run("INSERT INTO Move_Prod (move_id, prod_id, mvprod_qty) VALUES (999, " +
            std::to_string(prod) + ", 10000)");
        Run("INSERT INTO Move_Cover (move_id, mvprod_id, cover_id, mvcover_qty) VALUES "
            "(999, last_insert_rowid(), 1, 10000), (1, NULL, 1, 20000), (1, 999, 1, 30000)");
        unit.Commit();
    }

    std::vector<int64_t> lines;
};

TEST(ResolveAllMoveCovers, RebuildGivesTheRowsAndKeysOfTheLineByLineRun) {
    Mixed lineByLine;
    Mixed rebuilt;
    const std::string before = CoverTable(rebuilt);
    for (Mixed* data : {&lineByLine, &rebuilt}) {
        data->messages.yesNoAnswers.push_back(true);
        RecordingProgress progress;
        RecordingNotifier views;
        const BulkResult result =
            ResolveAllMoveCovers(data->store, progress, views, data == &rebuilt ? 0 : LONG_MAX);
        EXPECT_EQ(result.outcome, BulkOutcome::Completed);
        EXPECT_EQ(result.processed, 11);
        EXPECT_EQ(data->messages.shown.size(), 1u);
        // The start, then a position per line up to the end of the bar.
        EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
        EXPECT_EQ(progress.positions.size(), 12u);
        EXPECT_EQ(progress.positions.back(), 200);
    }
    EXPECT_NE(CoverTable(rebuilt), before);
    EXPECT_EQ(CoverTable(rebuilt), CoverTable(lineByLine));
    // The dispatch of 30 June 2021 late in the evening takes the newer
    // definition; its 40 units get 2 × 0 packs of a and the always-line of b.
    EXPECT_EQ(rebuilt.Covers(rebuilt.lines[8]),
              (std::vector<CoverRow>{{1, "0", 0, 0, 0}, {2, "13", -1, 0, 0}}));
}

TEST(ResolveAllMoveCovers, RebuildThatStopsLeavesEveryCoverAsBefore) {
    const ShownMessage cancelled{"Aktualizace byla přerušena!", MsgIcon::None};
    const ShownMessage failed{"Během aktualizace výdejů došlo k chybě!", MsgIcon::None};
    // 50 lines, a check before every line. Cancels at the first line,
    // halfway and at the last line; a failure on line 3.
    const std::tuple<int, bool, ShownMessage> cases[] = {
        {1, false, cancelled}, {25, false, cancelled}, {50, false, cancelled}, {0, true, failed}};
    for (const auto& [cancelOnCheck, failOnLine3, last] : cases) {
        SCOPED_TRACE(cancelOnCheck);
        Lines data(50);
        if (failOnLine3)
            data.Run("CREATE TRIGGER fail BEFORE INSERT ON Move_Cover WHEN NEW.mvprod_id = " +
                     std::to_string(data.lines[2]) +
                     " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        const std::string before = CoverTable(data);
        data.progress.cancelOnCheck = {cancelOnCheck};
        const BulkResult result = data.RunAll(true, 0);
        EXPECT_EQ(result.outcome, failOnLine3 ? BulkOutcome::Failed : BulkOutcome::Cancelled);
        EXPECT_EQ(CoverTable(data), before);
        EXPECT_EQ(data.messages.shown.back(), last);
        EXPECT_EQ(data.views.sent, Reloaded);
    }
}

// A rebuild killed at any moment (emptying, lines, commit) leaves the table as
// it was or as the finished run leaves it, and a database that opens whole.
TEST(ResolveAllMoveCovers, KilledRebuildLeavesTheOldOrTheNewTable) {
#ifdef _WIN32
    GTEST_SKIP() << "the process killed midway is made with fork(), which Windows does not have";
#else
    Lines data(3000);
    const std::string original = data.folder.File("original.mdb");
    std::filesystem::copy_file(data.DatabasePath(), original);
    const std::string before = CoverTable(data);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(data.RunAll(true, 0).outcome, BulkOutcome::Completed);
    const auto runTime = std::chrono::steady_clock::now() - started;
    const std::string after = CoverTable(data);
    ASSERT_NE(before, after);
    ASSERT_TRUE(data.store.CloseDatabase());
    std::mt19937 random(28);
    for (int round = 0; round < 12; ++round) {
        std::filesystem::copy_file(original, data.DatabasePath(),
                                   std::filesystem::copy_options::overwrite_existing);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecordingMessages yes;
            yes.yesNoAnswers.push_back(true);
            CDataStore store(yes);
            store.SetDatabasePath(data.DatabasePath());
            NullProgress progress;
            NullNotifier views;
            if (store.OpenDatabase())
                ResolveAllMoveCovers(store, progress, views, 0);
            _exit(0);
        }
        // Anywhere from before the run starts to a little after it would end.
        std::this_thread::sleep_for(runTime * std::uniform_real_distribution<>(0, 1.3)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ASSERT_TRUE(data.store.OpenDatabase());
        const std::string found = CoverTable(data);
        EXPECT_TRUE(found == before || found == after) << "round " << round;
        EXPECT_EQ(data.Text("PRAGMA integrity_check"), "ok");
        ASSERT_TRUE(data.store.CloseDatabase());
    }
#endif
}

TEST(ResolveAllMoveCovers, AnswerNoChangesNothingAndNotifiesNobody) {
    Lines data(3);
    const BulkResult result = data.RunAll(false);
    EXPECT_EQ(result.outcome, BulkOutcome::Declined);
    EXPECT_EQ(data.messages.shown, (std::vector<ShownMessage>{{Question, MsgIcon::Question}}));
    EXPECT_TRUE(data.Untouched(0) && data.Untouched(2));
    EXPECT_TRUE(data.views.sent.empty());
    EXPECT_EQ(data.progress.positions.size(), 0u);
}

TEST(ResolveAllMoveCovers, EmptyDatabaseShowsNoStatusButNotifies) {
    Lines data(0);
    const BulkResult result = data.RunAll();
    EXPECT_EQ(result.outcome, BulkOutcome::Completed);
    EXPECT_EQ(result.total, 0);
    EXPECT_EQ(data.progress.rangeUpper, 200);
    EXPECT_TRUE(data.progress.statuses.empty());
    EXPECT_EQ(data.messages.shown.size(), 1u);
    EXPECT_EQ(data.views.sent, Reloaded);
}

TEST(ResolveAllMoveCovers, ReportsEveryHundredthLine) {
    struct Case {
        int n;
        size_t reports;
        const char* first;
        const char* last;
        int lastPos;
    };
    // 50 lines: every line, the bar moving by 4; 250 lines: every second
    // line, the last report at line 249 of 250.
    for (const Case& c :
         {Case{50, 50, "1 z 50", "50 z 50", 200}, Case{250, 125, "1 z 250", "249 z 250", 199}}) {
        Lines data(c.n);
        const BulkResult result = data.RunAll();
        SCOPED_TRACE(c.n);
        EXPECT_EQ(result.outcome, BulkOutcome::Completed);
        EXPECT_EQ(result.processed, c.n);
        EXPECT_EQ(data.progress.rangeLower, 0);
        EXPECT_EQ(data.progress.rangeUpper, 200);
        EXPECT_EQ(data.progress.statuses,
                  std::vector<std::string>{"Aktualizuji obaly u vydaných produktů"});
        ASSERT_EQ(data.progress.secondaries.size(), c.reports);
        EXPECT_EQ(data.progress.secondaries.front(), c.first);
        EXPECT_EQ(data.progress.secondaries.back(), c.last);
        EXPECT_EQ(data.progress.checks, static_cast<int>(c.reports));
        // SetPos(0) before the first line, then one position per report.
        ASSERT_EQ(data.progress.positions.size(), c.reports + 1);
        EXPECT_EQ(data.progress.positions[0], 0);
        EXPECT_EQ(data.progress.positions[1], 200 / c.n);
        EXPECT_EQ(data.progress.positions.back(), c.lastPos);
        EXPECT_TRUE(data.Derived(0) && data.Derived(static_cast<size_t>(c.n - 1)));
        EXPECT_EQ(data.Count("Move_Cover"), c.n);
        EXPECT_EQ(data.messages.shown.size(), 1u);
        EXPECT_EQ(data.views.sent, Reloaded);
    }
}

TEST(ResolveAllMoveCovers, CancelKeepsFinishedLinesAndLeavesTheRest) {
    // 250 lines report every second line: the fourth check comes before
    // line 7, so lines 1 to 6 are done.
    Lines data(250);
    data.progress.cancelOnCheck = {4};
    const BulkResult result = data.RunAll();
    EXPECT_EQ(result.outcome, BulkOutcome::Cancelled);
    EXPECT_EQ(result.processed, 6);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_TRUE(data.Derived(i)) << i;
    for (size_t i = 6; i < 250; ++i)
        EXPECT_TRUE(data.Untouched(i)) << i;
    EXPECT_EQ(data.messages.shown.back(),
              (ShownMessage{"Aktualizace byla přerušena!", MsgIcon::None}));
    EXPECT_EQ(data.views.sent, Reloaded);
}

TEST(ResolveAllMoveCovers, FailureInsideALineKeepsItsOldCoversAndGoesOn) {
    Lines data(5);
    const int64_t second = data.AddCover();
    // The line gets a second packaging row whose insertion fails after the
    // first row of line 3 was written and its old rows deleted.
    data.AddLine(data.dt, {.coverId = second, .qtyCover = "0"});
    data.Run("CREATE TRIGGER fail BEFORE INSERT ON Move_Cover WHEN NEW.mvprod_id = " +
             std::to_string(data.lines[2]) + " AND NEW.cover_id = " + std::to_string(second) +
             " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const BulkResult result = data.RunAll();
    EXPECT_EQ(result.outcome, BulkOutcome::Completed);
    EXPECT_EQ(result.processed, 5);
    EXPECT_TRUE(data.Untouched(2));
    for (size_t i : {0u, 1u, 3u, 4u})
        EXPECT_EQ(data.Covers(data.lines[i]).size(), 2u) << i;
    ASSERT_EQ(data.messages.shown.size(), 2u);
    EXPECT_EQ(data.messages.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(data.views.sent, Reloaded);
}

TEST(ResolveAllMoveCovers, DatabaseErrorIsShownWithTheRunsMessage) {
    Lines data(3);
    data.Run("DROP TABLE Move");
    const BulkResult result = data.RunAll();
    EXPECT_EQ(result.outcome, BulkOutcome::Failed);
    ASSERT_EQ(data.messages.shown.size(), 3u);
    EXPECT_EQ(data.messages.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(data.messages.shown[2],
              (ShownMessage{"Během aktualizace výdejů došlo k chybě!", MsgIcon::None}));
    EXPECT_TRUE(data.Untouched(0));
    EXPECT_EQ(data.views.sent, Reloaded);
}

} // namespace
} // namespace tarvo::test
