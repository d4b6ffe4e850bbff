#include "core/data/jetdialect.h"
#include "core/data/shared.h"
#include "core/data/sqlfunctions.h"
#include "rows.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::TestDatabase;

// The value of the first column of the first row of a query.
Value Scalar(TestDatabase& db, const std::string& sql) {
    Recordset rs;
    EXPECT_TRUE(db.store.OpenRecordset(rs, sql)) << sql;
    if (!rs.IsOpen() || rs.IsEOF())
        return Value();
    return rs.Field(0);
}

std::vector<std::string> Column(TestDatabase& db, const std::string& sql, const char* field) {
    Recordset rs;
    EXPECT_TRUE(db.store.OpenRecordset(rs, sql)) << sql;
    std::vector<std::string> values;
    for (; rs.IsOpen() && !rs.IsEOF(); rs.MoveNext())
        values.push_back(VariantToText(rs.Field(field)));
    return values;
}

void AddCover(TestDatabase& db, const std::string& name, const char* weight, int reusable = 0) {
    test::rows::Cover(db.store, {name, *ParseQuantity(weight), reusable != 0, 0, 0, 0, 0, 0});
}

TEST(JetDialect, DateLiteralsAreMonthFirstAndDateDiffCountsWholeDays) {
    TestDatabase db;
    db.Run("INSERT INTO Move (move_num, move_date) VALUES ('A', #3/5/2012#)");
    const OleDate stored = Scalar(db, "SELECT move_date FROM Move").ToDate();
    EXPECT_EQ(stored, OleDate::FromParts(2012, 3, 5));

    db.Run(Format("INSERT INTO Move (move_num, move_date) VALUES ('B', %.10f)",
                  OleDate::FromParts(2012, 3, 31, 23, 59, 59).Value()));
    db.Run(Format("INSERT INTO Move (move_num, move_date) VALUES ('C', %.10f)",
                  OleDate::FromParts(2012, 4, 1, 0, 0, 1).Value()));
    // The last day of the quarter counts at any time; the next day does not.
    EXPECT_EQ(Column(db,
                     "SELECT move_num FROM Move WHERE DATEDIFF(\"d\", #1/1/2012#, move_date)>=0 "
                     "AND DATEDIFF(\"d\", move_date, #3/31/2012#)>=0 ORDER BY move_num",
                     "move_num"),
              (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Scalar(db, "SELECT DATEDIFF(\"d\", #12/31/2011#, #1/1/2012#)").ToLong(), 1);
    EXPECT_EQ(Scalar(db, "SELECT DATEDIFF('d', #3/5/2012#, #3/5/2012#)").ToLong(), 0);
    EXPECT_EQ(Scalar(db, "SELECT DATEDIFF('d', #3/5/2012#, #3/1/2012#)").ToLong(), -4);
}

TEST(JetDialect, BooleanLiteralsMatchStoredFlags) {
    TestDatabase db;
    AddCover(db, "Paleta", "25", 1);
    AddCover(db, "Krabice", "0.2", 0);
    db.Run("UPDATE Cover SET deleted = true WHERE cover_name = 'Krabice'");
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE deleted = FALSE", "cover_name"),
              (std::vector<std::string>{"Paleta"}));
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE cover_reusable=TRUE", "cover_name"),
              (std::vector<std::string>{"Paleta"}));
}

TEST(JetDialect, LikeIgnoresCaseOfCzechLetters) {
    TestDatabase db;
    for (const char* name : {"Čokoládová krabice", "ŽLUTÁ fólie", "Střech", "krabice"})
        AddCover(db, name, "1");
    EXPECT_EQ(Column(db,
                     "SELECT * FROM Cover WHERE (cover_name LIKE '%ČOKOLÁD%') ORDER BY cover_name",
                     "cover_name"),
              (std::vector<std::string>{"Čokoládová krabice"}));
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE (cover_name LIKE '%žlutá%')", "cover_name"),
              (std::vector<std::string>{"ŽLUTÁ fólie"}));
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE cover_name LIKE '%KRABICE' ORDER BY cover_name",
                     "cover_name"),
              (std::vector<std::string>{"Čokoládová krabice", "krabice"}));
    EXPECT_TRUE(JetLike("s_ech", "STŘECH") == false);
    EXPECT_TRUE(JetLike("st_ech", "STŘECH"));
    EXPECT_TRUE(JetLike("100!%", "100%", U'!'));
    EXPECT_FALSE(JetLike("100!%", "1000", U'!'));
}

TEST(JetDialect, TextColumnsSortInCzechOrder) {
    TestDatabase db;
    for (const char* name :
         {"Chleba", "Hrnek", "čaj", "Cukr", "ďas", "Dort", "řepa", "Rum", "Šroub", "Zip", "ananas"})
        AddCover(db, name, "1");
    EXPECT_EQ(
        Column(db, "SELECT * FROM Cover WHERE deleted = FALSE ORDER BY cover_name", "cover_name"),
        (std::vector<std::string>{"ananas", "Cukr", "čaj", "ďas", "Dort", "Hrnek", "Chleba", "Rum",
                                  "řepa", "Šroub", "Zip"}));
    const auto descending =
        Column(db, "SELECT * FROM Cover ORDER BY Cover.cover_name DESC", "cover_name");
    EXPECT_EQ(descending.front(), "Zip");
    EXPECT_EQ(descending.back(), "ananas");
    EXPECT_LT(CzechCompare("Hrnek", "Chleba"), 0);
}

TEST(JetDialect, ProductsOfQuantitiesStayQuantities) {
    TestDatabase db;
    AddCover(db, "Paleta", "12.5");
    AddCover(db, "Fólie", "0.0125");
    test::rows::Discard(db.store, {1, OleDate::FromParts(2012, 1, 10), 0, test::Q("3")});
    test::rows::Discard(db.store, {2, OleDate::FromParts(2012, 1, 11), 1, test::Q("100")});
    test::rows::Discard(db.store, {2, OleDate::FromParts(2012, 1, 12), 1, test::Q("0,0005")});

    Recordset rs;
    ASSERT_TRUE(db.store.OpenRecordset(
        rs, "SELECT CoverDiscard.*, disc_qty*cover_weight AS totWeight FROM CoverDiscard INNER "
            "JOIN Cover ON CoverDiscard.cover_id = Cover.cover_id WHERE (CoverDiscard.cover_id=2) "
            "ORDER BY disc_qty*cover_weight DESC"));
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Field("totWeight").GetKind(), Value::Kind::Currency);
    EXPECT_EQ(rs.GetQuantity("totWeight"), *ParseQuantity("1.25"));
    EXPECT_EQ(VariantToText(rs.Field("totWeight")), "1,25");
    rs.MoveNext();
    // 0.0005 pieces x 0.0125 kg is below the fourth decimal and truncates to 0.
    EXPECT_EQ(rs.GetQuantity("totWeight"), *ParseQuantity("0"));

    const Value sum =
        Scalar(db, "SELECT Sum(CoverDiscard.disc_qty*Cover.cover_weight) AS SumWeight "
                   "FROM CoverDiscard INNER JOIN Cover ON CoverDiscard.cover_id = "
                   "Cover.cover_id");
    EXPECT_EQ(sum.GetKind(), Value::Kind::Currency);
    EXPECT_EQ(sum.ToQuantity(), *ParseQuantity("38.75"));
    EXPECT_EQ(Scalar(db, "SELECT Sum(disc_qty) FROM CoverDiscard").GetKind(),
              Value::Kind::Currency);
    EXPECT_EQ(Scalar(db, "SELECT COUNT(disc_qty) FROM CoverDiscard").ToLong(), 3);
}

TEST(JetDialect, DecimalComparisonsWithQuantitiesUseTheStoredScale) {
    TestDatabase db;
    AddCover(db, "Lehký", "0.4");
    AddCover(db, "Střední", "0.5");
    AddCover(db, "Těžký", "2");
    EXPECT_EQ(Column(db,
                     "SELECT * FROM Cover WHERE (deleted = FALSE) AND (cover_weight>=0.5) AND "
                     "(cover_weight<=1.5) ORDER BY cover_name",
                     "cover_name"),
              (std::vector<std::string>{"Střední"}));
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE 1 < cover_weight", "cover_name"),
              (std::vector<std::string>{"Těžký"}));
    EXPECT_EQ(Column(db, "SELECT * FROM Cover WHERE cover_weight > -1 AND cover_weight < .45",
                     "cover_name"),
              (std::vector<std::string>{"Lehký"}));
}

TEST(JetDialect, QuotedTextsAreStoredAndFoundExactly) {
    TestDatabase db;
    const std::vector<std::string> names = {"O'Brien", "'; DROP TABLE Cover; --", "\"uvozovky\"",
                                            "50% sleva", "#1/1/2012#"};
    for (const std::string& name : names)
        AddCover(db, name, "1");
    for (const std::string& name : names) {
        EXPECT_EQ(
            Column(db, "SELECT * FROM Cover WHERE cover_name = " + SqlQuote(name), "cover_name"),
            (std::vector<std::string>{name}));
        EXPECT_EQ(Column(db,
                         "SELECT * FROM Cover WHERE (cover_name LIKE '%" + SqlEscape(name) + "%')",
                         "cover_name")
                      .size(),
                  1U)
            << name;
    }
    EXPECT_EQ(db.Count("Cover"), 5);
}

TEST(JetDialect, DoubleQuotedLiteralsBecomeStrings) {
    const TranslatedSql t = TranslateJetSql("SELECT \"a\"\"b\", 'c''d' FROM Cover");
    EXPECT_EQ(t.sql, "SELECT 'a\"b', 'c''d' FROM Cover");
}

} // namespace
} // namespace tarvo
