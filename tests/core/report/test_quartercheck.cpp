#include "core/report/quartercheck.h"
#include "rows.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::Q;

OleDate At(int month, int day, int hour = 0) {
    return OleDate::FromParts(2026, month, day).WithTime(hour, 0, 0);
}

// Each product stands for one case of the first quarter of 2026: whether its
// single dispatched line counts as a line without packaging.
TEST(QuarterGaps, ALineCountsWhenNoDefinitionWithLinesAppliesOnItsDate) {
    test::TestDatabase db;
    const RecordId cover = test::rows::Cover(db.store, {"Krabice", Q("1")});
    const CoverLine line{cover};
    struct Case {
        const char* product;
        std::vector<std::pair<OleDate, bool>> definitions; // from, with a line
        OleDate dispatched;
        bool counted;
    };
    const Case cases[] = {
        {"platná od loňska", {{OleDate::FromParts(2025, 1, 1), true}}, At(2, 1), false},
        {"bez definic", {}, At(2, 1), true},
        {"platná až později", {{At(2, 2), true}}, At(2, 1), true},
        {"týž den, ale odpoledne", {{At(2, 1, 14), true}}, At(2, 1, 8), true},
        {"týž den ráno", {{At(2, 1, 6), true}}, At(2, 1, 8), false},
        {"novější prázdná", {{At(1, 1), true}, {At(1, 15), false}}, At(2, 1), true},
        {"novější až po výdeji", {{At(1, 1), true}, {At(3, 1), false}}, At(2, 1), false},
        {"poslední den čtvrtletí", {}, At(3, 31, 23), true},
        {"první den dalšího", {}, At(4, 1), false},
        {"poslední den minulého", {}, OleDate::FromParts(2025, 12, 31).WithTime(23, 0, 0), false},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const RecordId product = test::rows::Product(db.store, {c.product});
        for (const auto& [from, withLine] : c.definitions)
            test::rows::Definition(db.store, product, from,
                                   withLine ? std::vector<CoverLine>{line}
                                            : std::vector<CoverLine>{});
        const RecordId move = test::rows::Move(db.store, {c.product, 0, c.dispatched});
        test::rows::MoveLine(db.store, move, product, Q("5"));
        if (c.counted)
            expected.push_back(c.product);
    }
    // A line whose product no longer exists has no packaging either.
    test::rows::MoveLine(db.store, test::rows::Move(db.store, {"zmizelý", 0, At(3, 30)}), 9999,
                         Q("1"));
    expected.push_back("");

    const std::vector<UnpackagedLine> lines = ListLinesWithoutPackaging(db.store, 2026, 1);
    std::vector<std::string> listed;
    for (const UnpackagedLine& l : lines) {
        listed.push_back(l.product);
        EXPECT_EQ(l.dispatch, l.product.empty() ? "zmizelý" : l.product);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(CountQuarterGaps(db.store, 2026, 1).linesWithoutPackaging,
              static_cast<int64_t>(expected.size()));
}

TEST(QuarterGaps, CoversWithoutWeightAreThoseTheQuarterWeighsOnce) {
    test::TestDatabase db;
    struct Case {
        const char* cover;
        const char* weight; // SQL value
        bool reusable;
        bool dispatched, discarded, nextQuarter;
        bool counted;
    };
    const Case cases[] = {
        {"s hmotností", "10000", false, true, false, false, false},
        {"nula", "0", false, true, false, false, true},
        {"chybí", "NULL", false, true, false, false, true},
        {"až v dalším čtvrtletí", "0", false, false, false, true, false},
        {"vyřazený vratný", "0", true, false, true, false, true},
        {"vyřazený nevratný", "0", false, false, true, false, false},
        {"nepoužitý", "0", false, false, false, false, false},
    };
    const RecordId move = test::rows::Move(db.store, {"V1", 0, At(2, 1)});
    const RecordId later = test::rows::Move(db.store, {"V2", 0, At(4, 1)});
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        db.Run("INSERT INTO Cover (cover_name, cover_weight, cover_reusable) VALUES ('" +
               std::string(c.cover) + "', " + c.weight + ", " + (c.reusable ? "1" : "0") + ")");
        const RecordId cover = db.store.LastInsertId();
        // Two lines of one cover: still one cover to weigh.
        for (int i = 0; c.dispatched && i < 2; ++i)
            test::rows::MoveCover(db.store, {move, 0, cover, Q("3")});
        if (c.nextQuarter)
            test::rows::MoveCover(db.store, {later, 0, cover, Q("3")});
        if (c.discarded)
            test::rows::Discard(db.store, {cover, At(3, 3), 2, Q("1")});
        if (c.counted)
            expected.push_back(c.cover);
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> listed = ListCoversWithoutWeight(db.store, 2026, 1);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(CountQuarterGaps(db.store, 2026, 1).coversWithoutWeight, 3);
}

TEST(QuarterGaps, TextCountsInCzech) {
    EXPECT_EQ(QuarterGapsText({1, 2}),
              "1 řádek výdeje bez platného balení, 2 obaly bez hmotnosti.");
    EXPECT_EQ(QuarterGapsText({5, 0}),
              "5 řádků výdejů bez platného balení, 0 obalů bez hmotnosti.");
    EXPECT_EQ(QuarterGapsText({}), "Všechny řádky výdejů čtvrtletí mají platné balení a všechny "
                                   "jejich obaly hmotnost.");
}

} // namespace
} // namespace tarvo
