#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/report/reportfills.h"
#include "core/report/reporttemplate.h"
#include "core/workbook/workbook.h"
#include "rows.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

constexpr Quantity Old = Quantity::FromScaled(15000); // "1.5"
constexpr Quantity New = Quantity::FromScaled(24000); // "2.4"

std::string Name(const std::optional<ReportCell>& cell) {
    return cell ? CellName(cell->column, cell->row) : "-";
}

TEST(ReportCells, DispatchGroupsMapByTheFormsTable) {
    struct Case {
        int material, type, origin;
        bool reusable;
        Quantity version;
        const char* cell;
    };
    const Case cases[] = {
        {7, 1, 0, false, New, "G25"},  // papír, skupinový, dovezený: the worked example
        {7, 1, 0, false, Old, "G24"},  // the same under the old layout
        {11, 2, 2, false, New, "C6"},  // first row, first column
        {28, 0, 1, true, New, "K34"},  // last row of the reusable sheets
        {28, 0, 1, false, Old, "K34"}, // last row of the single-use sheets
        {6, 2, 1, false, New, "E31"},  // nápojové kartony, prodejní, single use
        {6, 2, 1, true, New, "-"},     // ... has no row on the reusable sheets
        {6, 1, 1, false, New, "-"},    // ... and only the prodejní type
        {1, 2, 2, true, New, "C31"},   // rows below the cartons move up on reusable sheets
        {26, 3, 2, false, New, "L26"}, // sklo průmyslový only under the new layout
        {26, 3, 2, false, Old, "-"},
        {26, 1, 2, false, New, "-"}, // sklo skupinový is not on the
                                     // form
        {13, 1, 0, false, New, "-"}, // "nad 5l" only prodejní
        {5, 0, 0, false, New, "-"},
        {4, 2, 0, false, New, "D30"},
        {0, 3, 1, false, New, "N33"},
        {0, 3, 1, false, Old, "-"},
        {0, 4, 1, false, New, "-"},  // unknown type
        {0, 2, 3, false, New, "-"},  // unknown origin
        {30, 2, 2, false, New, "-"}, // unknown material
        {-1, 2, 2, false, New, "-"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Name(DispatchCell(c.material, c.type, c.origin, c.reusable, c.version)), c.cell)
            << c.material << "/" << c.type << "/" << c.origin << "/" << c.reusable;
}

TEST(ReportCells, DiscardAndStatisticsGroupsMapByTheFormsTable) {
    // Discard kind inside the type block: recyklováno, energeticky využito, odstraněno.
    EXPECT_EQ(Name(DiscardCell(7, 2, 2, New)), "C25");
    EXPECT_EQ(Name(DiscardCell(7, 2, 0, New)), "D25");
    EXPECT_EQ(Name(DiscardCell(7, 2, 1, New)), "E25");
    EXPECT_EQ(Name(DiscardCell(7, 0, 1, Old)), "K24");
    EXPECT_EQ(Name(DiscardCell(1, 1, 2, Old)), "F30");
    EXPECT_EQ(Name(DiscardCell(6, 2, 2, New)), "-");
    EXPECT_EQ(Name(DiscardCell(7, 2, 3, New)), "-");
    EXPECT_EQ(Name(DiscardCell(7, 3, 2, Old)), "-");

    EXPECT_EQ(Name(StatisticsCell(1, true, Old)), "E6");
    EXPECT_EQ(Name(StatisticsCell(2, true, Old)), "E7");
    EXPECT_EQ(Name(StatisticsCell(2, false, Old)), "H7");
    EXPECT_EQ(Name(StatisticsCell(3, false, Old)), "H8");
    EXPECT_EQ(Name(StatisticsCell(1, true, New)), "E5");
    EXPECT_EQ(Name(StatisticsCell(3, false, New)), "H7");
    EXPECT_EQ(Name(StatisticsCell(1, false, New)), "-");
    EXPECT_EQ(Name(StatisticsCell(3, true, New)), "-");
    EXPECT_EQ(Name(StatisticsCell(0, false, New)), "-");
}

// A database with dispatches, and a template sheet to fill.
class FillTest : public ::testing::Test {
protected:
    void SetUp() override { MakeReportTemplate(book, 2026, 1); }

    long Cover(int material, int stat, bool reusable, int64_t weightScaled) {
        return static_cast<long>(
            test::rows::Cover(db.store, {"c", Quantity::FromScaled(weightScaled), reusable, 0,
                                         material, 0, 0, stat}));
    }
    void Dispatch(OleDate date, bool exported, long cover, int64_t qtyScaled, int type, int origin,
                  int payment) {
        const RecordId move = test::rows::Move(db.store, {"m", 0, date, exported});
        test::rows::MoveCover(
            db.store, {move, 0, cover, Quantity::FromScaled(qtyScaled), type, origin, payment});
    }

    test::TestDatabase db;
    std::string book = db.folder.File("fill.xlsx");
    test::RecordingProgress progress;
    const OleDate first = OleDate::FromParts(2026, 1, 1);
    const OleDate last = OleDate::FromParts(2026, 3, 31);
};

// Each group of a sheet as "codes=kilograms", in order.
std::string GroupsText(const std::vector<SheetGroup>& groups) {
    std::string text;
    for (const SheetGroup& group : groups) {
        for (const std::optional<int64_t>& code : group.key.codes)
            text += code ? std::to_string(*code) + "," : "-,";
        text += "=" + (group.kilograms ? QuantityToPlainText(*group.kilograms) : "-") + " ";
    }
    return text;
}

TEST_F(FillTest, OnePassGroupsEverySheetAsItsOwnGroupedQuery) {
    // Reusable as 1, -1 and 0; a cover without weight; every payment; missing
    // codes; both edges of the quarter, half a second from midnight.
    const long covers[] = {Cover(7, 1, true, 10000), Cover(27, 2, false, 25000),
                           Cover(1, 3, false, 3333), Cover(6, 0, false, 10000),
                           Cover(27, 2, true, 12345)};
    db.Run("UPDATE Cover SET cover_reusable = -1 WHERE cover_id = " + std::to_string(covers[0]));
    db.Run("INSERT INTO Cover (cover_name, cover_reusable, cover_mat, cover_stat) VALUES ('bez "
           "váhy', 0, 7, 2)");
    const long weightless = static_cast<long>(db.Number("SELECT MAX(cover_id) FROM Cover"));
    const OleDate dates[] = {first, OleDate::FromValue(last.Value() + 1 - 0.5 / 86400),
                             OleDate::FromValue(first.Value() - 0.5 / 86400), last.AddDays(1),
                             OleDate::FromParts(2026, 2, 14, 12, 0)};
    int n = 0;
    for (const OleDate& date : dates) {
        for (long cover : {covers[0], covers[1], covers[2], covers[3], covers[4], weightless}) {
            for (int payment : {-1, 0, 1, 2}) {
                ++n;
                Dispatch(date, n % 7 == 0, cover, 10000 * n + 7, n % 5 - 1, n % 4 - 1, payment);
            }
        }
    }
    const QuarterDispatches quarter(db.store, first, last);
    for (const ReportSheet& sheet : ReportSheets) {
        if (sheet.fill == ReportSheet::Discard)
            continue;
        const SheetQuery query = SheetQueryOf(sheet);
        Statement grouped(db.store, "SELECT " + query.keys + ", Sum(" + query.weight + ") " +
                                        query.tables + " WHERE " + query.condition + " AND " +
                                        PeriodCondition(query.dateColumn, first, last) +
                                        " GROUP BY " + query.keys);
        std::vector<SheetGroup> expected;
        const int weight = sheet.fill == ReportSheet::Statistics ? 2 : 3;
        while (grouped.Step())
            expected.push_back({ReadSheetKey(sheet, grouped, 0),
                                grouped.IsNull(weight)
                                    ? std::nullopt
                                    : std::optional<Quantity>(grouped.GetQuantity(weight))});
        SCOPED_TRACE(sheet.name);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(GroupsText(quarter.Groups(sheet)), GroupsText(expected));
    }
}

TEST_F(FillTest, WritesTonnesTruncatedToFourDecimalsAndSkipsUnmappedGroups) {
    const long paper = Cover(7, 0, false, 10000);     // 1 kg
    const long carton = Cover(6, 0, false, 10000);    // nápojové kartony
    const long odd = Cover(40, 0, false, 10000);      // no row on the form
    Dispatch(first, false, paper, 12345678, 1, 0, 1); // 1234.5678 kg -> 1.2345 t
    Dispatch(last, false, paper, 10000, 2, 2, 1);
    Dispatch(last, false, carton, 7 * 10000, 0, 2, 1); // přepravní carton: no cell
    Dispatch(last, false, odd, 10000, 2, 2, 1);
    Dispatch(last, false, paper, 10000, 2, 2, 2); // another payment
    Dispatch(last, true, paper, 10000, 2, 2, 1);  // export
    {
        Workbook wb;
        wb.Open(book);
        FillDispatchSheet(db.store, progress, *wb.Sheet("1-1"), first, last, false, false, 1, New);
        wb.Save();
    }
    EXPECT_EQ(test::CellText(book, "1-1", "G25"), "1.2345");
    EXPECT_EQ(test::CellText(book, "1-1", "C25"), "0.001");
    // Only those two cells changed.
    MakeReportTemplate(db.folder.File("fresh.xlsx"), 2026, 1);
    const auto before = test::SheetCells(db.folder.File("fresh.xlsx"), "1-1");
    const auto after = test::SheetCells(book, "1-1");
    ASSERT_EQ(after.size(), before.size());
    int changed = 0;
    for (const auto& [address, text] : after)
        changed += before.at(address) != text;
    EXPECT_EQ(changed, 2);
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST_F(FillTest, ProgressCountsEveryStepthRowOnTwoHundredSteps) {
    // 150 materials x 3 origins = 450 groups; most map to no cell.
    Transaction transaction(db.store);
    for (int material = 0; material < 150; ++material) {
        const long cover = Cover(material, 0, false, 10000);
        for (int origin = 0; origin < 3; ++origin)
            Dispatch(first, false, cover, 10000, 2, origin, 1);
    }
    transaction.Commit();
    Workbook wb;
    wb.Open(book);
    FillDispatchSheet(db.store, progress, *wb.Sheet("1-1"), first, last, false, false, 1, New);
    ASSERT_EQ(progress.secondaries.size(), 225u);
    EXPECT_EQ(progress.secondaries.front(), "1 z 450");
    EXPECT_EQ(progress.secondaries[1], "3 z 450");
    EXPECT_EQ(progress.secondaries.back(), "449 z 450");
    EXPECT_EQ(progress.positions.front(), 0);
    EXPECT_EQ(progress.positions.back(), 199);

    // No rows: the progress is not touched at all.
    test::RecordingProgress untouched;
    FillDiscardSheet(db.store, untouched, *wb.Sheet("3-1"), first, last, New);
    EXPECT_TRUE(untouched.positions.empty());
    EXPECT_TRUE(untouched.secondaries.empty());
}

TEST_F(FillTest, DiscardsOfReusableCoversAndStatisticsFillTheirSheets) {
    const long crate = Cover(27, 0, true, 20000); // vlnitá lepenka, 2 kg, reusable
    const long oneWay = Cover(27, 0, false, 20000);
    db.Run(Format("UPDATE Cover SET cover_type = 2 WHERE cover_id = %ld", crate));
    // Late on the last day, with the time of day the program does not store.
    for (const long cover : {crate, oneWay})
        db.Run(Format("INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
                      "VALUES (%ld, %.10f, 2, 5000000)",
                      cover, last.Value() + 0.99));
    const long eur = Cover(0, 1, true, 250000); // 25 kg
    const long plain = Cover(0, 2, false, 150000);
    const long cartons = Cover(6, 3, true, 150000); // reusable cartons: no cell
    Dispatch(first, true, eur, 40000, 0, 0, 0);     // exported counts too
    Dispatch(first, false, plain, 20000, 0, 0, 2);
    Dispatch(first, false, cartons, 20000, 0, 0, 2);
    {
        Workbook wb;
        wb.Open(book);
        FillDiscardSheet(db.store, progress, *wb.Sheet("3-1"), first, last, New);
        FillStatisticsSheet(db.store, progress, *wb.Sheet("4-1"), first, last, New);
        wb.Save();
    }
    EXPECT_EQ(test::CellText(book, "3-1", "C24"), "1"); // 500 pieces x 2 kg
    EXPECT_EQ(test::CellText(book, "4-1", "E5"), "0.1");
    EXPECT_EQ(test::CellText(book, "4-1", "H6"), "0.03");
    EXPECT_EQ(test::CellText(book, "4-1", "E7"), "");
}

// A line without a code (NULL, -1 here) is a missing value, not the code 0: it is put
// into no cell, and the cell of the real code 0 keeps exactly its own weight.
TEST_F(FillTest, LinesWithoutACodeGoIntoNoCell) {
    struct Case {
        int type;
        int origin;
        int payment;
        bool withRealLine;
    };
    const Case cases[] = {
        {-1, 0, 0, false}, {-1, 0, 0, true},  {0, -1, 0, false},
        {0, -1, 0, true},  {0, 0, -1, false}, {0, 0, -1, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        db.Run("DELETE FROM Move_Cover");
        const RecordId move = test::rows::Move(db.store, {"m", 0, first});
        const long paper = Cover(7, 0, false, 10000); // 1 kg
        auto line = [&](int pieces, int type, int origin, int payment) {
            test::rows::MoveCover(
                db.store, {move, 0, paper, Quantity::FromUnits(pieces), type, origin, payment});
        };
        if (c.withRealLine)
            line(1, 0, 0, 0); // přepravní, dovezený, neplacený
        line(5, c.type, c.origin, c.payment);
        const std::string out = db.folder.File(Format("nulls%d.xlsx", n++));
        MakeReportTemplate(out, 2026, 1);
        {
            Workbook wb;
            wb.Open(out);
            FillDispatchSheet(db.store, progress, *wb.Sheet("1-3"), first, last, false, false, 0,
                              New);
            wb.Save();
        }
        EXPECT_EQ(test::CellText(out, "1-3", "J25"), c.withRealLine ? "0.001" : "")
            << c.type << "/" << c.origin << "/" << c.payment;
        const auto cells = test::SheetCells(out, "1-3");
        const auto fresh = test::SheetCells(book, "1-3");
        int changed = 0;
        for (const auto& [address, text] : cells)
            changed += fresh.at(address) != text;
        EXPECT_EQ(changed, c.withRealLine ? 1 : 0) << c.type << "/" << c.origin;
    }
}

// The discard sheet counts reusable covers only; a discarded one-way cover,
// or one whose kind is missing, reaches no cell.
TEST_F(FillTest, DiscardSheetTakesReusableCoversOnly) {
    struct Case {
        bool reusable;
        const char* kind;
        const char* expected; // in I24: vlnitá lepenka, přepravní, recyklováno
    };
    const Case cases[] = {{true, "2", "0.001"}, {false, "2", ""}, {true, "NULL", ""}};
    int n = 0;
    for (const Case& c : cases) {
        db.Run("DELETE FROM CoverDiscard");
        const long cover = Cover(27, 0, c.reusable, 10000);
        // SQL for the missing kind (NULL), which the program never stores.
        db.Run(Format("INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
                      "VALUES (%ld, %.10f, %s, 10000)",
                      cover, first.Value(), c.kind));
        const std::string out = db.folder.File(Format("discard%d.xlsx", n++));
        MakeReportTemplate(out, 2026, 1);
        {
            Workbook wb;
            wb.Open(out);
            FillDiscardSheet(db.store, progress, *wb.Sheet("3-1"), first, last, New);
            wb.Save();
        }
        EXPECT_EQ(test::CellText(out, "3-1", "I24"), c.expected) << c.reusable << " " << c.kind;
        const auto cells = test::SheetCells(out, "3-1");
        const auto fresh = test::SheetCells(book, "3-1");
        int changed = 0;
        for (const auto& [address, text] : cells)
            changed += fresh.at(address) != text;
        EXPECT_EQ(changed, *c.expected ? 1 : 0) << c.reusable << " " << c.kind;
    }
}

} // namespace
} // namespace tarvo
