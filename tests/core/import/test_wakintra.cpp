#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/import/wakintra.h"
#include "importsummary.h"
#include "rows.h"
#include "testdatabase.h"
#include "wakserver.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tarvo::test {
namespace {

// The WAK INTRA data of the first quarter of 2010 that most tests import.
void FillQuarter(WakTestDatabase& wak) {
    wak.AddProduct(1, "Láhev žlutá", "L1", "ks");
    wak.AddProduct(2, "Víčko", "V2", "ks");
    wak.AddLine(10, "PRO", "P-1", "2010-02-03 10:00", 0, 1, "2.5");
    wak.AddLine(10, "PRO", "P-1", "2010-02-03 10:00", 0, 99, "1"); // not in pol_mj
    wak.AddLine(11, "pro", "P-2", "2010-03-31 22:00", 1, 2, "3");
    wak.AddLine(12, "FAV", "F-1", "2010-02-10", 0, 1, "5"); // another kind
    wak.AddLine(13, "PRO", "P-3", "2010-04-01", 0, 1, "7"); // after the range
}

class WakImportTest : public ::testing::Test {
protected:
    WakConnectionSettings Connection() const {
        WakConnectionSettings s;
        s.server = {"(local)", wak.Name(), "sa", "", false};
        s.odbc = wak.ConnectionString();
        return s;
    }

    static WakImportParams Params(ExistingMode mode = ExistingMode::Skip, bool products = true,
                                  bool documents = true) {
        return {{products, documents, mode},
                OleDate::FromParts(2010, 1, 1),
                OleDate::FromParts(2010, 3, 31, 23, 59, 59)};
    }

    ImportResult Run(const WakImportParams& params) {
        RecordingNotifier views;
        return RunImport(
            db.messages, views,
            [&](ImportCounters& c) {
                return ImportWakIntra(db.store, db.messages, progress, Connection(), params, c);
            },
            counters);
    }

    // The rows of a query, columns joined by '|'.
    std::vector<std::string> Rows(const std::string& sql) {
        Statement s(db.store, sql);
        std::vector<std::string> rows;
        while (s.Step()) {
            std::string row;
            for (int c = 0; c < s.ColumnCount(); ++c)
                row += (c ? "|" : "") + s.Text(c);
            rows.push_back(row);
        }
        return rows;
    }

    TestDatabase db;
    WakTestDatabase wak;
    RecordingProgress progress;
    ImportCounters counters;
};

TEST_F(WakImportTest, ImportsProductsAndSalesDocumentsOfTheRange) {
    FillQuarter(wak);
    // Product 1 was imported before and has a packaging definition.
    const RecordId box = rows::Cover(db.store, {.name = "Krabice", .weight = Q("0,1")});
    // A key of its own, 5, that the cards the import adds follow.
    db.Run("INSERT INTO Product (prod_id, prod_name, prod_source, prod_scrid) VALUES (5, 'stará', "
           "2, 1)");
    rows::Definition(db.store, 5, OleDate::FromParts(2010, 1, 1), {{.cover = box}});

    EXPECT_EQ(Run(Params(ExistingMode::Overwrite)), ImportResult::Succeeded);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{ImportSummary("Import dokončen úspěšně!", 3, 2)}));
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Importuji produkty", "Importuji skladové pohyby"}));

    EXPECT_EQ(
        Rows("SELECT prod_id, prod_scrid, prod_name, prod_katalog, prod_unit, deleted FROM "
             "Product WHERE prod_source = 2 ORDER BY prod_scrid"),
        (std::vector<std::string>{"5|1|Láhev žlutá|L1|ks|0", "6|2|Víčko|V2|ks|0", "7|99|???|||0"}));
    EXPECT_EQ(Rows(Format("SELECT move_num, move_type, move_export, move_source, "
                          "abs(move_date - %.6f) < 1e-6 FROM Move ORDER BY move_num",
                          OleDate::FromParts(2010, 2, 3, 10, 0).Value())),
              (std::vector<std::string>{"P-1|2|0|2|1", "P-2|2|1|2|0"}));
    EXPECT_EQ(Rows("SELECT m.move_num, p.prod_scrid, l.mvprod_qty FROM Move_Prod l "
                   "JOIN Move m ON m.move_id = l.move_id JOIN Product p ON p.prod_id = l.prod_id "
                   "ORDER BY l.mvprod_id"),
              (std::vector<std::string>{"P-1|1|25000", "P-1|99|10000", "P-2|2|30000"}));
    // Two whole packs of 2.5 pieces, one box each.
    EXPECT_EQ(Rows("SELECT c.cover_id, c.mvcover_qty FROM Move_Cover c JOIN Move_Prod l ON "
                   "l.mvprod_id = c.mvprod_id WHERE l.prod_id = 5"),
              (std::vector<std::string>{"1|20000"}));
}

TEST_F(WakImportTest, ImportedRecordsFollowTheExistingRecordsMode) {
    FillQuarter(wak);
    ASSERT_EQ(Run(Params()), ImportResult::Succeeded);
    wak.Exec("UPDATE pol_mj SET \"NazPol\" = 'Láhev modrá' WHERE \"nPol\" = 1");
    wak.Exec("UPDATE dokl_pol SET \"TypStatu\" = 1 WHERE \"nDoklSkl\" = 10");

    db.messages.shown.clear();
    ASSERT_EQ(Run(Params(ExistingMode::Skip)), ImportResult::Succeeded);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{ImportSummary("Import dokončen úspěšně!", 0, 0, 2, 2)}));
    EXPECT_EQ(Rows("SELECT prod_name FROM Product WHERE prod_scrid = 1"),
              (std::vector<std::string>{"Láhev žlutá"}));

    // "Ne všem" for the products does not silence the questions for documents.
    db.messages.shown.clear();
    db.messages.overwriteAnswers = {OverwriteAnswer::NoToAll, OverwriteAnswer::Yes,
                                    OverwriteAnswer::No};
    ASSERT_EQ(Run(Params(ExistingMode::Ask)), ImportResult::Succeeded);
    // pol_mj comes in no particular order: one product question, whichever.
    const std::vector<std::string> texts = db.messages.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_TRUE(texts[0] ==
                    "Produkt \"Láhev žlutá, kat.č. L1\" byl již z WAK importován. Přejete si jej "
                    "aktualizovat?" ||
                texts[0] == "Produkt \"Víčko, kat.č. V2\" byl již z WAK importován. Přejete si jej "
                            "aktualizovat?")
        << texts[0];
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()),
              (std::vector<std::string>{
                  "Doklad \"P-1\" byl již z WAK importován. Přejete si jej aktualizovat?",
                  "Doklad \"P-2\" byl již z WAK importován. Přejete si jej aktualizovat?",
                  ImportSummary("Import dokončen úspěšně!", 0, 1, 2, 1)}));
    EXPECT_EQ(Rows("SELECT move_num, move_export FROM Move ORDER BY move_num"),
              (std::vector<std::string>{"P-1|1", "P-2|1"}));

    // Overwriting rebuilds the lines instead of adding to them; "???" stays.
    db.messages.shown.clear();
    ASSERT_EQ(Run(Params(ExistingMode::Overwrite)), ImportResult::Succeeded);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{ImportSummary("Import dokončen úspěšně!", 2, 2)}));
    EXPECT_EQ(db.Count("Move_Prod"), 3);
    EXPECT_EQ(db.Count("Product"), 3);
    EXPECT_EQ(Rows("SELECT prod_name FROM Product ORDER BY prod_scrid"),
              (std::vector<std::string>{"Láhev modrá", "Víčko", "???"}));
}

TEST_F(WakImportTest, ProductsOnlyAcceptReversedDatesAndWriteNoDocuments) {
    FillQuarter(wak);
    WakImportParams params = Params(ExistingMode::Skip, true, false);
    std::swap(params.from, params.to);
    ASSERT_TRUE(ValidateWakParams(params, db.messages));
    EXPECT_EQ(Run(params), ImportResult::Succeeded);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{ImportSummary("Import dokončen úspěšně!", 2, 0)}));
    EXPECT_EQ(db.Count("Move"), 0);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Importuji produkty"}));
}

TEST_F(WakImportTest, SourceFailures) {
    FillQuarter(wak);
    const std::string prefix =
        Format("Nemohu otevřít databázi '%s' na serveru '(local)'", wak.Name().c_str());

    // The procedure fails: the products written are still reported.
    wak.Exec("DROP FUNCTION DoklSkl_Pre(text, text)");
    EXPECT_EQ(Run(Params()), ImportResult::Succeeded);
    ASSERT_EQ(db.messages.shown.size(), 2u);
    EXPECT_EQ(db.messages.shown[0].text.rfind(prefix, 0), 0u) << db.messages.shown[0].text;
    EXPECT_EQ(db.messages.shown[1].text, ImportSummary("Import dokončen úspěšně!", 2, 0));

    // The products cannot be read: nothing imported, no summary.
    db.messages.shown.clear();
    wak.Exec("DROP TABLE pol_mj");
    EXPECT_EQ(Run(Params(ExistingMode::Overwrite)), ImportResult::NotRun);
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(db.messages.shown[0].text.rfind(prefix, 0), 0u);

    // Nothing selected: nothing at all.
    db.messages.shown.clear();
    EXPECT_EQ(Run(Params(ExistingMode::Skip, false, false)), ImportResult::NotRun);
    EXPECT_TRUE(db.messages.shown.empty());
}

TEST_F(WakImportTest, CancelKeepsFinishedDocumentsAndDropsTheOneInProgress) {
    FillQuarter(wak);
    // Checks 1-2 are the products, 3-4 the lines of P-1, 5 the line of P-2.
    for (int cancelAt : {4, 5}) {
        TestDatabase fresh;
        RecordingProgress cancelling;
        cancelling.cancelOnCheck = {cancelAt};
        RecordingNotifier views;
        ImportCounters c;
        const ImportResult result = RunImport(
            fresh.messages, views,
            [&](ImportCounters& n) {
                return ImportWakIntra(fresh.store, fresh.messages, cancelling, Connection(),
                                      Params(), n);
            },
            c);
        EXPECT_EQ(result, ImportResult::Interrupted);
        // P-1 brings its "???" product with it.
        const long documents = cancelAt == 5 ? 1 : 0;
        EXPECT_EQ(fresh.messages.Texts(), (std::vector<std::string>{ImportSummary(
                                              "Import byl přerušen!", 2 + documents, documents)}));
        EXPECT_EQ(fresh.Count("Move"), documents) << cancelAt;
        EXPECT_EQ(fresh.Count("Move_Prod"), documents * 2) << cancelAt;
    }
}

TEST_F(WakImportTest, CommandLineTakesTheConnectionFromTheSettings) {
    const char* cli = std::getenv("TARVO_CLI");
    if (!cli)
        GTEST_SKIP() << "TARVO_CLI is set by CTest";
    FillQuarter(wak);
    TempFolder base;
    const std::string dir = base.Folder() + "data";
    const auto run = [&](const std::string& args) {
        return WEXITSTATUS(
            std::system(Format("'%s' --data-dir '%s' %s >'%s' 2>'%s' </dev/null", cli, dir.c_str(),
                               args.c_str(), base.File("out").c_str(), base.File("err").c_str())
                            .c_str()));
    };
    ASSERT_EQ(run("init"), 0);
    Profile profile(dir + "/tarvo.ini");
    WakConnectionSettings settings = Connection();
    ASSERT_TRUE(settings.Save(profile));
    ASSERT_TRUE(profile.WriteString("ImportWAK", "ODBC", settings.odbc));

    EXPECT_EQ(run("import-wak --test-connection"), 0);
    EXPECT_EQ(ReadFile(base.File("out")), "Spojení s databází vytvořeno!\n");

    EXPECT_EQ(run("import-wak --from 2010-03-31 --to 2010-01-01"), 1);
    EXPECT_NE(ReadFile(base.File("err")).find("Datum od nesmí být větší než datum do!"),
              std::string::npos);
    EXPECT_EQ(run("import-wak --documents no --from 2010-03-31 --to 2010-01-01"), 0);
    EXPECT_EQ(ReadFile(base.File("out")), ImportSummary("Import dokončen úspěšně!", 2, 0) + "\n");
    EXPECT_EQ(run("import-wak --from 2010-01-01 --to 2010-03-31 --existing overwrite"), 0);
    EXPECT_EQ(ReadFile(base.File("out")), ImportSummary("Import dokončen úspěšně!", 3, 2) + "\n");
    EXPECT_EQ(run("import-wak --existing sometimes"), 2);
}

} // namespace
} // namespace tarvo::test
