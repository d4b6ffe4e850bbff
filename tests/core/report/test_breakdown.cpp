#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/report/breakdown.h"
#include "core/report/quartercheck.h"
#include "core/report/reportbuild.h"
#include "core/report/reportfills.h"
#include "core/report/reporttemplate.h"
#include "core/workbook/workbook.h"
#include "rows.h"
#include "testdatabase.h"
#include "workbookfiles.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace tarvo {
namespace {

const OleDate First = OleDate::FromParts(2026, 1, 1);
const OleDate Last = OleDate::FromParts(2026, 3, 31);

// A small working database filled by hand for one quarter. Covers, dispatches
// and discards are written as SQL on purpose: the values come as SQL text,
// NULLs and codes the program never stores among them.
class BreakdownData {
public:
    explicit BreakdownData(test::TestDatabase& db) : m_db(db) {}

    RecordId Cover(const std::string& material, const std::string& type,
                   const std::string& reusable, const std::string& stat,
                   const std::string& weight) {
        m_db.Run(Format("INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, "
                        "cover_org, cover_pay, cover_stat, cover_reusable) VALUES ('obal', %s, "
                        "%s, %s, 0, 0, %s, %s)",
                        weight.c_str(), material.c_str(), type.c_str(), stat.c_str(),
                        reusable.c_str()));
        return m_db.store.LastInsertId();
    }
    RecordId Move(const std::string& date, const std::string& exported) {
        m_db.Run(Format("INSERT INTO Move (move_num, move_date, move_type, move_export, "
                        "move_source) VALUES ('V%d', %s, 0, %s, 0)",
                        ++m_moves, date.c_str(), exported.c_str()));
        return m_db.store.LastInsertId();
    }
    RecordId CoverLine(RecordId move, RecordId mvprod, const std::string& cover,
                       const std::string& qty, const std::string& type, const std::string& origin,
                       const std::string& payment) {
        m_db.Run(Format("INSERT INTO Move_Cover (move_id, mvprod_id, cover_id, mvcover_qty, "
                        "cover_type, cover_org, cover_pay) VALUES (%lld, %lld, %s, %s, %s, %s, "
                        "%s)",
                        static_cast<long long>(move), static_cast<long long>(mvprod), cover.c_str(),
                        qty.c_str(), type.c_str(), origin.c_str(), payment.c_str()));
        return m_db.store.LastInsertId();
    }
    RecordId Discard(const std::string& cover, const std::string& date, const std::string& kind,
                     const std::string& qty) {
        m_db.Run(Format("INSERT INTO CoverDiscard (cover_id, disc_date, disc_type, disc_qty) "
                        "VALUES (%s, %s, %s, %s)",
                        cover.c_str(), date.c_str(), kind.c_str(), qty.c_str()));
        return m_db.store.LastInsertId();
    }

private:
    test::TestDatabase& m_db;
    int m_moves = 0;
};

std::string Number(double value) {
    return Format("%.10f", value);
}

std::string Id(RecordId id) {
    return std::to_string(id);
}

// Dispatches and discards over every code, flag and edge date, with
// products whose definitions start on the quarter's edges.
void Generate(test::TestDatabase& db, unsigned seed) {
    BreakdownData data(db);
    std::mt19937 random(seed);
    auto pick = [&](const std::vector<std::string>& values) {
        return values[random() % values.size()];
    };
    Transaction transaction(db.store);
    std::vector<std::string> materials{"NULL"};
    for (int m = -1; m <= 31; ++m)
        materials.push_back(std::to_string(m));
    const std::vector<std::string> types{"NULL", "-1", "0", "1", "2", "3", "4"};
    const std::vector<std::string> origins{"NULL", "0", "1", "2", "3"};
    const std::vector<std::string> payments{"NULL", "0", "1", "2", "3"};
    const std::vector<std::string> flags{"NULL", "0", "1", "1", "0", "-1"};
    const std::vector<std::string> exports{"NULL", "0", "1", "0", "1", "2"};
    const std::vector<std::string> stats{"NULL", "0", "1", "2", "3", "4"};
    const std::vector<std::string> weights{"NULL", "0", "10000", "12345", "1", "2500000", "-5000"};
    const std::vector<std::string> quantities{"NULL", "0", "10000", "1", "123456789", "-30000"};
    const std::vector<std::string> dates{"NULL",
                                         Number(First.Value()),
                                         Number(First.Value() - 0.0001),
                                         Number(Last.Value() + 0.9999),
                                         Number(Last.Value() + 1),
                                         Number(First.Value() + 40.5),
                                         Number(OleDate::FromParts(2026, 2, 14, 13, 0).Value())};

    std::vector<std::string> covers;
    for (int i = 0; i < 300; ++i)
        covers.push_back(
            Id(data.Cover(pick(materials), pick(types), pick(flags), pick(stats), pick(weights))));
    covers.push_back("NULL");
    covers.push_back("999999"); // a cover that does not exist

    const RecordId product = test::rows::Product(db.store, {"Výrobek A", "K-1"});
    for (const OleDate from : {OleDate::FromValue(First.Value() + 0.5),
                               OleDate::FromValue(First.Value() + 30), OleDate()})
        test::rows::Definition(db.store, product, from);

    for (int d = 0; d < 400; ++d) {
        const RecordId move = data.Move(pick(dates), pick(exports));
        const RecordId line = test::rows::MoveLine(db.store, move, product, Quantity::FromUnits(1));
        const int coverLines = static_cast<int>(random() % 6); // some lines get none
        for (int c = 0; c < coverLines; ++c)
            data.CoverLine(move, line, pick(covers), pick(quantities), pick(types), pick(origins),
                           pick(payments));
    }
    const std::vector<std::string> kinds{"NULL", "0", "1", "2", "3"};
    for (int i = 0; i < 400; ++i)
        data.Discard(pick(covers), pick(dates), pick(kinds), pick(quantities));
    transaction.Commit();
}

struct Layout {
    const char* versionText;
    Quantity version;
};

class BreakdownLayoutTest : public ::testing::TestWithParam<Layout> {};

// The statement as the report fills it, and its breakdown, on the same data:
// every filled cell is the sum of its lines, every line of the quarter is in
// one cell or left out, never both and never twice.
TEST_P(BreakdownLayoutTest, CellsAreTheSumsOfTheirLinesAndNoLineIsLost) {
    const Layout layout = GetParam();
    for (const unsigned seed : {1u, 2u, 3u}) {
        test::TestDatabase db;
        Generate(db, seed);
        const std::string book = db.folder.File("vykaz.xlsx");
        const std::string fresh = db.folder.File("fresh.xlsx");
        MakeReportTemplate(book, 2026, 1, layout.versionText);
        MakeReportTemplate(fresh, 2026, 1, layout.versionText);
        {
            Workbook wb;
            wb.Open(book);
            test::RecordingProgress progress;
            for (const ReportSheet& sheet : ReportSheets)
                FillReportSheet(db.store, progress, *wb.Sheet(sheet.name), sheet, First, Last,
                                layout.version);
            wb.Save();
        }
        const Breakdown breakdown = ComputeBreakdown(db.store, 2026, 1, layout.version);

        std::map<std::pair<int, std::string>, Quantity> totals;
        for (const CellTotal& total : breakdown.CellTotals())
            totals[{total.sheet, CellName(total.cell.column, total.cell.row)}] = total.tonnes;
        size_t filled = 0;
        for (size_t s = 0; s < ReportSheets.size(); ++s) {
            const auto after = test::SheetCells(book, ReportSheets[s].name);
            const auto before = test::SheetCells(fresh, ReportSheets[s].name);
            for (const auto& [address, cell] : after) {
                if (before.at(address) == cell)
                    continue;
                ++filled;
                const std::string text = test::CellText(book, ReportSheets[s].name, address);
                const auto it = totals.find({static_cast<int>(s), address});
                // A cell reached only by lines weighing nothing holds 0.
                const std::string expected =
                    it == totals.end() ? "0" : QuantityToPlainText(it->second);
                EXPECT_EQ(text, expected) << ReportSheets[s].name << " " << address;
            }
        }
        for (const auto& [key, tonnes] : totals) {
            const std::string text =
                test::CellText(book, ReportSheets[static_cast<size_t>(key.first)].name, key.second);
            EXPECT_EQ(text, QuantityToPlainText(tonnes)) << key.first << " " << key.second;
        }
        EXPECT_GT(filled, 10u);

        // Every record of the quarter once per part of the statement.
        std::multiset<std::pair<int, RecordId>> seen; // part (0 dispatch, 8 discard, 9 stats), id
        auto part = [](int sheet) { return sheet >= 0 && sheet < 8 ? 0 : sheet < 0 ? 0 : sheet; };
        for (const Contribution& c : breakdown.contributions) {
            const BreakdownLine& line = breakdown.lines[c.line];
            ASSERT_NE(line.kind, BreakdownLine::ProductLine);
            seen.insert({part(c.sheet), line.id});
        }
        size_t productLines = 0;
        for (const LeftOutLine& left : breakdown.leftOut) {
            const BreakdownLine& line = breakdown.lines[left.line];
            if (line.kind == BreakdownLine::ProductLine)
                ++productLines;
            else
                seen.insert({part(left.sheet), line.id});
        }
        auto ids = [&](const std::string& sql) {
            std::multiset<RecordId> result;
            Statement s(db.store, sql);
            while (s.Step())
                result.insert(s.Int(0));
            return result;
        };
        auto seenOf = [&](int p) {
            std::multiset<RecordId> result;
            for (const auto& [partOf, id] : seen)
                if (partOf == p)
                    result.insert(id);
            return result;
        };
        const std::string period = PeriodCondition("move_date", First, Last);
        EXPECT_EQ(seenOf(0), ids("SELECT mvcover_id FROM Move INNER JOIN Move_Cover ON "
                                 "Move.move_id = Move_Cover.move_id WHERE " +
                                 period));
        EXPECT_EQ(seenOf(8), ids("SELECT disc_id FROM CoverDiscard WHERE " +
                                 PeriodCondition("disc_date", First, Last)));
        EXPECT_EQ(seenOf(9), ids("SELECT mvcover_id FROM (Move INNER JOIN Move_Cover ON "
                                 "Move.move_id = Move_Cover.move_id) INNER JOIN Cover ON "
                                 "Move_Cover.cover_id = Cover.cover_id WHERE cover_stat<>0 AND " +
                                 period));
        EXPECT_EQ(productLines,
                  ids("SELECT move_id FROM Move WHERE move_date IS NULL").size() +
                      ids("SELECT mvprod_id FROM Move INNER JOIN Move_Prod ON Move.move_id = "
                          "Move_Prod.move_id WHERE " +
                          period +
                          " AND NOT EXISTS (SELECT 1 FROM Move_Cover WHERE "
                          "Move_Cover.mvprod_id = Move_Prod.mvprod_id)")
                          .size());
        EXPECT_TRUE(db.messages.shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, BreakdownLayoutTest,
                         ::testing::Values(Layout{"1.5", Quantity::FromScaled(15000)},
                                           Layout{"2.19", Quantity::FromScaled(21900)}),
                         [](const auto& layout) { return layout.index == 0 ? "Old" : "New"; });

// One line made to have each reason, and what the breakdown says of it.
TEST(BreakdownReasons, EachReasonIsNamedForTheLineThatHasIt) {
    const std::string in = Number(First.Value() + 10);
    struct Case {
        const char* what;
        // material, type(cover), reusable, stat, weight | line type, origin, payment, qty | export
        const char *material, *reusable, *weight, *type, *origin, *payment, *qty, *exported;
        LeftOutReason reason;
        const char* detail;
    };
    const Case cases[] = {
        {"material without a row", "31", "0", "10000", "2", "2", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "materiál 31"},
        {"cartons as reusable", "6", "1", "10000", "2", "2", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "materiál 6 (vratný)"},
        {"nad 5l skupinový", "13", "0", "10000", "1", "2", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "materiál 13 s druhem obalu 1"},
        {"průmyslový on the old form", "7", "0", "10000", "3", "2", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "druh obalu 3"},
        {"unknown origin", "7", "0", "10000", "2", "5", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "původ 5"},
        {"unknown payment", "7", "0", "10000", "2", "2", "7", "10000", "0",
         LeftOutReason::CodeWithoutCell, "platba 7"},
        {"reusable flag -1", "7", "-1", "10000", "2", "2", "1", "10000", "0",
         LeftOutReason::CodeWithoutCell, "vratnost -1"},
        {"missing type", "7", "0", "10000", "NULL", "2", "1", "10000", "0",
         LeftOutReason::MissingCode, "druh obalu"},
        {"missing origin", "7", "0", "10000", "2", "NULL", "1", "10000", "0",
         LeftOutReason::MissingCode, "původ"},
        {"missing payment", "7", "0", "10000", "2", "2", "NULL", "10000", "0",
         LeftOutReason::MissingCode, "platba"},
        {"missing material", "NULL", "0", "10000", "2", "2", "1", "10000", "0",
         LeftOutReason::MissingCode, "materiál"},
        {"missing export flag", "7", "0", "10000", "2", "2", "1", "10000", "NULL",
         LeftOutReason::MissingCode, "vývoz"},
        {"zero cover weight", "7", "0", "0", "2", "2", "1", "10000", "0", LeftOutReason::ZeroWeight,
         "hmotnost obalu 0 kg"},
        {"no cover weight", "7", "0", "NULL", "2", "2", "1", "10000", "0",
         LeftOutReason::ZeroWeight, "hmotnost obalu chybí"},
        {"zero pieces", "7", "0", "10000", "2", "2", "1", "0", "0", LeftOutReason::ZeroWeight,
         "množství 0"},
        {"export ignores the payment", "7", "0", "10000", "2", "2", "NULL", "10000", "1",
         LeftOutReason::CodeWithoutCell, ""},
    };
    const Quantity oldForm = Quantity::FromScaled(15000);
    for (const Case& c : cases) {
        test::TestDatabase db;
        BreakdownData data(db);
        const RecordId cover = data.Cover(c.material, "0", c.reusable, "0", c.weight);
        const RecordId move = data.Move(in, c.exported);
        const RecordId line =
            data.CoverLine(move, 0, Id(cover), c.qty, c.type, c.origin, c.payment);
        const Breakdown b = ComputeBreakdown(db.store, 2026, 1, oldForm);
        if (!*c.detail) {
            EXPECT_TRUE(b.leftOut.empty()) << c.what;
            EXPECT_EQ(b.contributions.size(), 1u) << c.what;
            continue;
        }
        ASSERT_EQ(b.leftOut.size(), 1u) << c.what;
        EXPECT_TRUE(b.contributions.empty()) << c.what;
        EXPECT_EQ(b.lines[b.leftOut[0].line].id, line) << c.what;
        EXPECT_EQ(b.leftOut[0].reason, c.reason) << c.what;
        EXPECT_EQ(b.leftOut[0].detail, c.detail) << c.what;
    }
}

// Reasons that belong to other records than one dispatch cover line.
TEST(BreakdownReasons, DiscardsCoversDatesAndProductLines) {
    test::TestDatabase db;
    BreakdownData data(db);
    const std::string in = Number(First.Value() + 10);
    const RecordId oneWay = data.Cover("27", "0", "0", "0", "10000");
    const RecordId crate = data.Cover("27", "0", "1", "1", "10000");
    data.Discard(Id(oneWay), in, "2", "10000");
    data.Discard(Id(crate), in, "NULL", "10000");
    data.Discard(Id(crate), in, "2", "10000"); // into I23 (old form)
    data.Discard("424242", in, "2", "10000");
    const RecordId undated = data.Move("NULL", "0");
    const RecordId product = test::rows::Product(db.store, {"Bez balení", "X"});
    test::rows::Definition(db.store, product, OleDate::FromValue(First.Value() + 20));
    test::rows::MoveLine(db.store, undated, product, Quantity::FromUnits(1));
    const RecordId early = data.Move(in, "0"); // before the definition
    test::rows::MoveLine(db.store, early, product, Quantity::FromUnits(1));
    const RecordId later = data.Move(Number(First.Value() + 25), "0");
    test::rows::MoveLine(db.store, later, product,
                         Quantity::FromUnits(1)); // definition valid, no lines from it
    const RecordId move = data.Move(in, "0");
    data.CoverLine(move, 0, "NULL", "10000", "2", "2", "1");
    // On the statistics sheet as EUR pallet, reusable: E6 on the old form.
    data.CoverLine(move, 0, Id(crate), "20000", "0", "0", "1");

    const Breakdown b = ComputeBreakdown(db.store, 2026, 1, Quantity::FromScaled(15000));
    std::multiset<std::pair<LeftOutReason, std::string>> found;
    for (const LeftOutLine& left : b.leftOut)
        found.insert({left.reason, left.detail});
    const std::multiset<std::pair<LeftOutReason, std::string>> expected = {
        {LeftOutReason::NonReusableDiscard, "vratnost 0"},
        {LeftOutReason::MissingCode, "způsob odstranění"},
        {LeftOutReason::MissingCover, "obal 424242 neexistuje"},
        {LeftOutReason::MissingCover, "řádek nemá obal"},
        {LeftOutReason::NoValidDate, "výdej nemá datum"},
        {LeftOutReason::NoCovers, "žádná definice balení platná k datu výdeje"},
        {LeftOutReason::NoCovers, Format("definice balení platná od %s nedává žádný obal",
                                         First.AddDays(20).ToText().c_str())},
    };
    EXPECT_EQ(found, expected);

    std::set<std::string> cells;
    for (const CellTotal& total : b.CellTotals())
        cells.insert(Format("%s %s %s", ReportSheets[static_cast<size_t>(total.sheet)].name,
                            CellName(total.cell.column, total.cell.row).c_str(),
                            QuantityToPlainText(total.tonnes).c_str()));
    EXPECT_EQ(cells, (std::set<std::string>{"3-1 I23 0.001", "2-1 J23 0.002", "4-1 E6 0.002"}));

    const auto lines = ExplainCell(b, "4-1", "E6");
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ(lines->front().substr(0, 10), "4-1\tE6\tV4\t");
    EXPECT_EQ(lines->back(), "celkem\t2\t0.002");
    EXPECT_FALSE(ExplainCell(b, "5-1", "E6"));
    EXPECT_FALSE(ExplainCell(b, "4-1", "E6:F7"));
}

TEST(BreakdownPath, SitsBesideTheStatement) {
    EXPECT_EQ(BreakdownPath("/d/Vykazy/vykaz_2022_4_radny.xlsx"),
              "/d/Vykazy/vykaz_2022_4_radny_rozpis.xlsx");
    EXPECT_EQ(BreakdownPath("/d.x/vykaz"), "/d.x/vykaz_rozpis.xlsx");
}

// The breakdown workbook: a subtotal per cell equal to the statement's cell.
TEST(BreakdownWorkbook, SubtotalsEqualTheStatementsCells) {
    test::TestDatabase db;
    Generate(db, 7);
    const Quantity version = Quantity::FromScaled(21900);
    const Breakdown b = ComputeBreakdown(db.store, 2026, 1, version);
    const std::string path = db.folder.File("rozpis.xlsx");
    WriteBreakdownWorkbook(b, path);
    Workbook book;
    book.Open(path);
    const std::vector<std::string> names = book.SheetNames();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), "Souhrn");
    EXPECT_EQ(names.back(), "Nezahrnuto");
    std::map<std::string, std::string> subtotals;
    for (size_t s = 0; s < ReportSheets.size(); ++s) {
        Worksheet& sheet = *book.Sheet(ReportSheets[s].name);
        EXPECT_EQ(sheet.GetText("A1"), "Buňka");
        for (int row = 2;; ++row) {
            const std::string label = sheet.GetText(CellName(0, row));
            if (label.empty())
                break;
            if (label.size() > 7 && label.substr(label.size() - 7) == " celkem")
                subtotals[std::string(ReportSheets[s].name) + " " +
                          label.substr(0, label.size() - 7)] = sheet.GetText(CellName(18, row));
        }
    }
    std::map<std::string, std::string> expected;
    for (const CellTotal& total : b.CellTotals())
        expected[std::string(ReportSheets[static_cast<size_t>(total.sheet)].name) + " " +
                 CellName(total.cell.column, total.cell.row)] = QuantityToPlainText(total.tonnes);
    EXPECT_EQ(subtotals, expected);
    Worksheet& left = *book.Sheet("Nezahrnuto");
    int rows = 0;
    while (!left.GetText(CellName(0, rows + 2)).empty())
        ++rows;
    EXPECT_EQ(static_cast<size_t>(rows), b.leftOut.size());
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

class CliBreakdown : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TARVO_CLI"))
            GTEST_SKIP() << "TARVO_CLI is set by CTest";
    }
    int Run(const std::string& args) {
        last = test::RunCli(dir, args, base);
        return last.status;
    }
    std::vector<std::string> OutLines() {
        std::vector<std::string> lines;
        std::istringstream in(last.out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string Err() { return last.err; }

    test::CliRun last;
    test::TempFolder base;
    std::string dir = base.Folder() + "data";
};

// report --breakdown prints both workbooks; explain prints one cell's lines
// and a total equal to the statement's cell.
TEST_F(CliBreakdown, ReportWritesBothWorkbooksAndExplainAddsUpToTheCell) {
    ASSERT_EQ(Run("init"), 0) << Err();
    ASSERT_EQ(Run("generate --seed 3 --products 30 --dispatches 300 --first-year 2020 --years 1"),
              0)
        << Err();
    ASSERT_EQ(Run("report --year 2020 --quarter 1 --breakdown"), 0) << Err();
    const std::string reportErr = Err();
    const std::vector<std::string> paths = OutLines();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[1], BreakdownPath(paths[0]));
    ASSERT_TRUE(std::filesystem::exists(paths[1]));

    test::RecordingMessages messages;
    CDataStore store(messages);
    store.SetDatabasePath(dir + "/Tarvo.mdb");
    ASSERT_TRUE(store.OpenDatabase());
    // The check of the quarter is told before the statement is built.
    EXPECT_EQ(reportErr.substr(0, reportErr.find('\n')),
              QuarterGapsText(CountQuarterGaps(store, 2020, 1)));
    const Breakdown b = ComputeBreakdown(store, 2020, 1, ReadReportVersion(paths[0]));
    const std::vector<CellTotal> totals = b.CellTotals();
    ASSERT_FALSE(totals.empty());
    for (const CellTotal& total : {totals.front(), totals.back()}) {
        const char* sheet = ReportSheets[static_cast<size_t>(total.sheet)].name;
        const std::string cell = CellName(total.cell.column, total.cell.row);
        ASSERT_EQ(Run(Format("explain --year 2020 --quarter 1 --sheet %s --cell %s", sheet,
                             cell.c_str())),
                  0)
            << Err();
        const std::vector<std::string> lines = OutLines();
        ASSERT_EQ(lines.size(), total.lines + 1);
        EXPECT_EQ(lines.front().rfind(Format("%s\t%s\t", sheet, cell.c_str()), 0), 0u);
        const std::string tonnes = test::CellText(paths[0], sheet, cell);
        EXPECT_EQ(
            lines.back(),
            Format("celkem\t%s\t%s", QuantityToPlainText(total.kilograms).c_str(), tonnes.c_str()));
    }
    EXPECT_EQ(Run("explain --year 2020 --quarter 1 --sheet 9-9 --cell A1"), 2);
    EXPECT_EQ(Err(), "Výkaz nemá list \"9-9\".\n");
}

} // namespace
} // namespace tarvo
