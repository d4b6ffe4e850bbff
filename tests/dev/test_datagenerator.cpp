#include "core/data/codelists.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/engine/bulkresolution.h"
#include "dev/datagenerator.h"
#include "enginedata.h"
#include "recordingports.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

GeneratorOptions Small(uint64_t seed) {
    GeneratorOptions options;
    options.seed = seed;
    options.products = 30;
    options.dispatches = 300;
    options.linesPerDispatch = 3;
    options.coversPerLine = 2;
    options.discards = 40;
    return options;
}

// One text that differs when any generated row differs.
std::string Fingerprint(TestDatabase& db) {
    std::string all;
    for (const char* sql :
         {"SELECT COUNT(*), TOTAL(cover_weight), TOTAL(cover_mat * 7 + cover_stat), "
          "GROUP_CONCAT(cover_name) FROM Cover",
          "SELECT COUNT(*), TOTAL(dt_from) FROM Prod_CoverDT",
          "SELECT COUNT(*), TOTAL(cp_qtycover * 3 + cp_qtyprod + cp_usefrom + cp_useto) FROM "
          "Prod_Cover",
          "SELECT COUNT(*), TOTAL(move_date), GROUP_CONCAT(move_num) FROM Move",
          "SELECT COUNT(*), TOTAL(mvprod_qty * 3 + prod_id) FROM Move_Prod",
          "SELECT COUNT(*), TOTAL(mvcover_qty * 3 + cover_id) FROM Move_Cover",
          "SELECT COUNT(*), TOTAL(disc_qty + disc_date) FROM CoverDiscard"}) {
        Statement s(db.store, sql);
        s.Step();
        for (int i = 0; i < s.ColumnCount(); ++i)
            all += s.Text(i) + "|";
    }
    return all;
}

TEST(GenerateData, SameSeedSameRowsOtherSeedOtherRows) {
    TestDatabase a, b, c;
    NullProgress progress;
    GenerateData(a.store, Small(5), progress);
    GenerateData(b.store, Small(5), progress);
    GenerateData(c.store, Small(6), progress);
    EXPECT_EQ(Fingerprint(a), Fingerprint(b));
    EXPECT_NE(Fingerprint(a), Fingerprint(c));
}

// Products with many packaging lines and composite covers bring more rows
// than any estimate; the progress still ends at its whole, never past it.
TEST(GenerateData, ProgressEndsAtTheWholeAndNeverPassesIt) {
    TestDatabase db;
    RecordingProgress progress;
    GeneratorOptions options = Small(2);
    options.coversPerLine = 6;
    options.composites = 20;
    options.dispatches = 3000;
    GenerateData(db.store, options, progress);
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
    EXPECT_EQ(progress.positions.back(), 1000);
    const long records = db.Count("Cover") + 20 + 30 + 3000 + 40;
    EXPECT_EQ(progress.secondary, Format("%li z %li", records, records));
}

TEST(GenerateData, UsesEveryCodeOfEveryList) {
    TestDatabase db;
    NullProgress progress;
    GenerateData(db.store, Small(1), progress);
    struct Case {
        const char* column;
        const char* table;
        int expected;
    };
    const Case cases[] = {
        {"cover_mat", "Cover", Materials.size},
        {"cover_type", "Cover", CoverTypes.size},
        {"cover_org", "Cover", Origins.size},
        {"cover_pay", "Cover", Payments.size},
        {"cover_stat", "Cover", StatCategories.size},
        {"cover_reusable", "Cover", 2},
        {"deleted", "Cover", 2},
        {"cover_type", "Prod_Cover", CoverTypes.size},
        {"cover_org", "Prod_Cover", Origins.size},
        {"cover_pay", "Prod_Cover", Payments.size},
        {"cp_usealways", "Prod_Cover", 2},
        {"cover_type", "CompCover_Item", CoverTypes.size},
        {"move_type", "Move", MoveTypes.size},
        {"move_export", "Move", 2},
        {"IFNULL(move_source, 0)", "Move", 3},
        {"IFNULL(prod_source, 0)", "Product", 3},
        {"disc_type", "CoverDiscard", DiscardKinds.size},
        {"CAST(move_date / 365.25 AS INTEGER)", "Move", 4}, // the years
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.column);
        EXPECT_EQ(db.Count(std::string("(SELECT DISTINCT ") + c.column + " FROM " + c.table + ")"),
                  c.expected);
    }
    // One to three definitions per product, each with always-lines and bands.
    EXPECT_EQ(db.Count("(SELECT prod_id FROM Prod_CoverDT GROUP BY prod_id HAVING COUNT(*) "
                       "BETWEEN 1 AND 3)"),
              30);
    EXPECT_EQ(db.Count("(SELECT dt_id FROM Prod_Cover GROUP BY dt_id HAVING SUM(cp_usealways) "
                       "= 1 AND SUM(1 - cp_usealways) >= 1)"),
              db.Count("Prod_CoverDT"));
    EXPECT_EQ(db.Count("CompCover"), 10);
    EXPECT_EQ(db.Count("CoverDiscard"), 40);
}

TEST(GenerateData, DerivedCoversAreWhatTheEngineDerives) {
    TestDatabase db;
    NullProgress progress;
    const GeneratorCounts counts = GenerateData(db.store, Small(3), progress);
    // The bands of a definition cover every quantity: each line gets exactly
    // the asked number of cover lines.
    EXPECT_EQ(counts.lines, 900);
    EXPECT_EQ(counts.coverLines, 1800);
    EXPECT_EQ(db.Count("Move_Cover"), 1800);
    const std::string before = Fingerprint(db);
    db.messages.yesNoAnswers.push_back(true);
    NullNotifier views;
    EXPECT_EQ(ResolveAllMoveCovers(db.store, progress, views).outcome, BulkOutcome::Completed);
    EXPECT_EQ(Fingerprint(db), before);
}

} // namespace
} // namespace tarvo::test
