#include "core/data/transaction.h"
#include "core/engine/bulkresolution.h"
#include "enginedata.h"

#include <gtest/gtest.h>

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

    BulkResult RunAll(bool answer = true) {
        messages.yesNoAnswers.push_back(answer);
        return ResolveAllMoveCovers(store, progress, views);
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
