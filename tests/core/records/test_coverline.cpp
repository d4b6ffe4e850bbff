#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/records/coverline.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <tuple>

namespace tarvo::test {
namespace {

Quantity Q(int64_t units) {
    return Quantity::FromUnits(units);
}

struct Table {
    const char* name;
    CoverLineTable table;
    const char* sqlName;
    const char* key;
};

const Table Tables[] = {
    {"packaging", CoverLineTable::Packaging, "Prod_Cover", "cp_id"},
    {"composite items", CoverLineTable::CompCoverItems, "CompCover_Item", "rowid"},
    {"scratch", CoverLineTable::Scratch, "TmpCover_Item", "ti_id"},
};

class CoverLines : public ::testing::TestWithParam<Table> {
protected:
    // The stored band columns of a line: "usealways from to", NULL as '-'.
    std::string Stored(RecordId id) {
        const Table& t = GetParam();
        Statement st(db.store, Format("SELECT cp_usealways || ' ' || IFNULL(cp_usefrom, '-') || "
                                      "' ' || IFNULL(cp_useto, '-') FROM %s WHERE %s = ?",
                                      t.sqlName, t.key));
        st.BindInt(1, id);
        return st.Step() ? st.Text(0) : "gone";
    }

    TestDatabase db;
};

TEST_P(CoverLines, RoundTripStoresTheBandKindAsZeroOrOne) {
    CoverLineWriter writer(db.store, GetParam().table);
    // An "always" line handed in with limits stores none; its flag is 1,
    // never the -1 of a true bool taken as an integer.
    const CoverLine always{7, Q(2), Q(1), true, Q(5), Q(9), 1, 2, 0};
    const CoverLine band{NoRecord, Q(1), Q(10), false, Q(5), Q(50), -1, -1, -1};
    const RecordId a = writer.Insert(3, always);
    const RecordId b = writer.Insert(3, band);
    EXPECT_EQ(Stored(a), "1 - -");
    EXPECT_EQ(Stored(b), "0 50000 500000");
    EXPECT_EQ(FindCoverLine(db.store, GetParam().table, a),
              (CoverLine{7, Q(2), Q(1), true, {}, {}, 1, 2, 0}));
    EXPECT_EQ(FindCoverLine(db.store, GetParam().table, b), band);
    // A line brought from a copy of the registers keeps the band it has.
    CoverLineWriter copier(db.store, GetParam().table, AlwaysLimits::AsGiven);
    const RecordId c = copier.Insert(3, always);
    EXPECT_EQ(Stored(c), "1 50000 90000");
    const CoverLine read = *FindCoverLine(db.store, GetParam().table, a);
    EXPECT_EQ(CoverLinesOf(db.store, GetParam().table, 3), (std::vector{read, band, read}));
    if (GetParam().table != CoverLineTable::Scratch) {
        EXPECT_TRUE(CoverLinesOf(db.store, GetParam().table, 4).empty());
    }

    // Switched to "always" the line keeps its limits, which nothing reads.
    UpdateCoverLine(db.store, GetParam().table, b, {NoRecord, Q(1), Q(10), true});
    EXPECT_EQ(Stored(b), "1 50000 500000");
    EXPECT_TRUE(FindCoverLine(db.store, GetParam().table, b)->useAlways);
    EXPECT_EQ(FindCoverLine(db.store, GetParam().table, b)->useFrom, Quantity{});

    DeleteCoverLine(db.store, GetParam().table, a);
    EXPECT_FALSE(FindCoverLine(db.store, GetParam().table, a));
    EXPECT_TRUE(FindCoverLine(db.store, GetParam().table, b));
}

std::string TableName(const ::testing::TestParamInfo<Table>& param) {
    std::string name = param.param.name;
    std::erase(name, ' ');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Tables, CoverLines, ::testing::ValuesIn(Tables), TableName);

TEST(CoverLineCopy, CopiesAsStoredInEntryOrderToTheOwner) {
    TestDatabase db;
    CoverLineWriter scratch(db.store, CoverLineTable::Scratch);
    const RecordId first = scratch.Insert(NoRecord, {4, Q(1), Q(1), false, Q(1), Q(2), 0, 0, 0});
    scratch.Insert(NoRecord, {5, Q(3), Q(1)});
    UpdateCoverLine(db.store, CoverLineTable::Scratch, first,
                    {4, Q(1), Q(1), true, {}, {}, 0, 0, 0});

    CopyCoverLines(db.store, CoverLineTable::Scratch, NoRecord, CoverLineTable::CompCoverItems, 8);
    CopyCoverLines(db.store, CoverLineTable::CompCoverItems, 8, CoverLineTable::Packaging, 21);
    CopyCoverLines(db.store, CoverLineTable::CompCoverItems, 99, CoverLineTable::Packaging, 22);

    Statement st(db.store, "SELECT dt_id || ':' || cover_id || ' ' || cp_usealways || ' ' || "
                           "IFNULL(cp_usefrom, '-') FROM Prod_Cover ORDER BY cp_id");
    std::vector<std::string> rows;
    while (st.Step())
        rows.push_back(st.Text(0));
    EXPECT_EQ(rows, (std::vector<std::string>{"21:4 1 10000", "21:5 1 -"}));

    DeleteCoverLinesOf(db.store, CoverLineTable::Scratch, NoRecord);
    DeleteCoverLinesOf(db.store, CoverLineTable::Packaging, 21);
    EXPECT_EQ(db.Count("TmpCover_Item"), 0);
    EXPECT_EQ(db.Count("Prod_Cover"), 0);
    EXPECT_EQ(db.Count("CompCover_Item"), 2);
}

TEST(CoverLineBand, OnlyABandThatNeverAppliesIsAFault) {
    // always, from, to: the limits of a line used always mean nothing.
    const std::tuple<bool, int64_t, int64_t, const char*> cases[] = {
        {false, 100, 50, "Hodnota „od“ musí být menší než „do“"},
        {false, 100, 100, ""},
        {true, 100, 50, ""},
        {false, 5, OpenBandEnd.WholeUnits(), ""}};
    for (const auto& [always, from, to, fault] : cases)
        EXPECT_STREQ(
            BandFault({.useAlways = always, .useFrom = Q(from), .useTo = Q(to)}).value_or(""),
            fault);
    // What older data stored as "no upper limit" reads as one too.
    EXPECT_TRUE(IsOpenBandEnd(Quantity::FromScaled(100'000'000'000'000 - 1)));
    EXPECT_FALSE(IsOpenBandEnd(Q(999'999'999)));
}

} // namespace
} // namespace tarvo::test
