#include "moneyfixture.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tarvo::test {
namespace {

const char* const Done = "Import dokončen úspěšně!";
const char* const Failed = "Během importu došlo k chybě!";
const char* const Interrupted = "Import byl přerušen!";

TEST_F(MoneyImportTest, FreshImportWritesProductsDocumentsLinesAndCovers) {
    // Product 1 is known before the import, with a packaging definition, so
    // that its lines get covers: one box per 100 pieces.
    const RecordId box = rows::Cover(db.store, {.name = "krabice", .weight = Q("0,5")});
    rows::Definition(db.store, rows::Product(db.store, {"starý", "", "", 1, 1}),
                     OleDate::FromParts(2024, 1, 1),
                     {{box, Q("1"), Q("100"), true, {}, {}, 1, 0, 1}});

    EXPECT_EQ(Import(), ImportResult::Succeeded);

    // Eleven new stock cards, card 1 left alone (mode "nepřepisovat"), card
    // 99 made from an invoice line.
    EXPECT_EQ(counters.products, 12);
    EXPECT_EQ(counters.documents, 6);
    EXPECT_EQ(db.messages.Texts(), (std::vector<std::string>{ImportSummary(Done, 12, 6, 1, 1)}));
    EXPECT_EQ(db.messages.shown.back().icon, MsgIcon::Information);
    EXPECT_EQ(views.sent, (std::vector<ViewNotification>{ViewNotification::ReloadMain,
                                                         ViewNotification::ReloadItems}));

    // Kinds V, D, P and invoices; Slovakia and Germany are export; the empty
    // country, "Česká republika" and " čr " are not; kind X, a missing
    // header, a cancelled and a deleted invoice are skipped; the second
    // FV-001 is left as it was.
    EXPECT_EQ(Documents(), (std::vector<std::string>{
                               "VY-001|15.01.2024|3|1|2|1",
                               "VY-002|16.01.2024|3|0|1|0",
                               "DL-001|17.01.2024|0|0|1|0",
                               "PR-001|18.01.2024|2|0|1|0",
                               "VY'003|20.01.2024|3|1|1|0",
                               "FV-001|01.02.2024|1|0|2|1",
                           }));
    EXPECT_EQ(db.Count("Move WHERE move_source = 1"), 6);

    // 250 pieces give 2 boxes, 100 give 1; the packaging line's codes copied.
    Statement covers(db.store, "SELECT mvcover_qty, cover_type, cover_org, cover_pay FROM "
                               "Move_Cover ORDER BY mvcover_id");
    std::vector<std::tuple<int64_t, int64_t, int64_t, int64_t>> got;
    while (covers.Step())
        got.emplace_back(covers.Int(0), covers.Int(1), covers.Int(2), covers.Int(3));
    EXPECT_EQ(got, (std::vector<std::tuple<int64_t, int64_t, int64_t, int64_t>>{{20000, 1, 0, 1},
                                                                                {10000, 1, 0, 1}}));

    EXPECT_EQ(db.Count("Product WHERE prod_scrid = 1 AND prod_name = 'starý'"), 1);
    EXPECT_EQ(db.Count("Product WHERE prod_scrid = 2 AND prod_name LIKE 'Rohlík _tukový_'"), 1);
    EXPECT_EQ(db.Count("Product WHERE prod_scrid = 99 AND prod_source = 1 AND deleted = 0 AND "
                       "prod_name = 'Sůl jodidovaná' AND prod_katalog = 'SO-099' AND "
                       "prod_unit = 'kg'"),
              1);
    EXPECT_EQ(db.Count("Move_Prod WHERE mvprod_qty = 12.5"), 1);
    EXPECT_EQ(db.Count("Move_Prod WHERE mvprod_qty = 2.5"), 1);
}

TEST_F(MoneyImportTest, ExportRuleFollowsTheSettings) {
    struct Case {
        bool setExport;
        const char* countries;
        std::vector<int> exports; // VY-001 (SK), VY-002 (empty), DL-001 (CZ), PR-001 (čr)
    };
    const Case cases[] = {
        {true, ";Česká republika ;ČR", {1, 0, 0, 0}},
        {false, ";Česká republika ;ČR", {0, 0, 0, 0}},
        {true, "ČR;česká republika", {1, 1, 0, 0}},
        {true, "", {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        db.Run("DELETE FROM Move");
        params.setExport = c.setExport;
        params.nonExportCountries = c.countries;
        params.choices.products = false;
        Import();
        std::vector<int> exports;
        Statement query(db.store, "SELECT move_export FROM Move WHERE move_num IN ('VY-001', "
                                  "'VY-002', 'DL-001', 'PR-001') ORDER BY move_id");
        while (query.Step())
            exports.push_back(static_cast<int>(query.Int(0)));
        EXPECT_EQ(exports, c.exports) << c.setExport << " " << c.countries;
    }
}

TEST_F(MoneyImportTest, ReimportWithOverwriteCountsEverythingAndRebuildsLines) {
    params.choices.existing = ExistingMode::Overwrite;
    Import();
    // The second FV-001 overwrites the first: one document, written twice.
    EXPECT_EQ(counters.products, 13);
    EXPECT_EQ(counters.documents, 7);
    const long lines = db.Count("Move_Prod");
    EXPECT_EQ(lines, 7);

    params.setExport = false;
    Import();
    EXPECT_EQ(db.messages.Texts(), (std::vector<std::string>{ImportSummary(Done, 12, 7)}));
    EXPECT_EQ(db.Count("Move"), 6);
    EXPECT_EQ(db.Count("Move WHERE move_export <> 0"), 0);
    EXPECT_EQ(db.Count("Move_Prod"), lines);
    EXPECT_EQ(db.Count("Product"), 13);
    EXPECT_EQ(Documents().back(), "FV-001|04.02.2024|1|0|1|0");
}

// Overwriting a document removes its cover lines before deriving them anew:
// the covers a report sums are the same after any number of re-imports, and
// a line added by hand to an imported document goes with the old ones.
TEST_F(MoneyImportTest, ReimportWithOverwriteReplacesTheCoverLines) {
    const RecordId box = rows::Cover(db.store, {.name = "krabice", .weight = Q("0,5")});
    rows::Definition(db.store, rows::Product(db.store, {"starý", "", "", 1, 1}),
                     OleDate::FromParts(2024, 1, 1),
                     {{box, Q("1"), Q("100"), true, {}, {}, 1, 0, 1}});
    params.choices.existing = ExistingMode::Overwrite;
    auto covers = [this] {
        std::vector<std::string> rows;
        Statement query(db.store, "SELECT m.move_num, SUM(c.mvcover_qty), COUNT(*) FROM "
                                  "Move_Cover c JOIN Move m ON m.move_id = c.move_id "
                                  "GROUP BY m.move_num ORDER BY m.move_num");
        while (query.Step())
            rows.push_back(Format("%s %lld %lld", query.Text(0).c_str(),
                                  static_cast<long long>(query.Int(1)),
                                  static_cast<long long>(query.Int(2))));
        return rows;
    };
    Import();
    const std::vector<std::string> first = covers();
    EXPECT_EQ(first, std::vector<std::string>{"VY-001 20000 1"});
    const RecordId imported = db.Number("SELECT move_id FROM Move WHERE move_num = 'VY-001'");
    rows::MoveCover(db.store, {imported, 0, box, Q("7"), 1, 0, 1});
    for (int run = 0; run < 2; ++run) {
        Import();
        EXPECT_EQ(counters.documents, 7);
        EXPECT_EQ(covers(), first) << run;
    }
}

// A document stored under the same number in another letter case (Czech
// letters too) is the same document: found again, never stored twice.
TEST_F(MoneyImportTest, DocumentNumberInAnotherLetterCaseIsTheSameDocument) {
    struct Case {
        const char* stored;
        const char* inSource; // the number VY-002 has in the source
        ExistingMode mode;
        const char* storedAfter;
    };
    const Case cases[] = {
        {"vy-001", "VY-002", ExistingMode::Skip, "vy-001|01.01.2024|0|0|0|0"},
        {"vy-001", "VY-002", ExistingMode::Overwrite, "vy-001|15.01.2024|3|1|2|0"},
        {"Vy-001", "VY-002", ExistingMode::Overwrite, "Vy-001|15.01.2024|3|1|2|0"},
        {"čř-002", "ČŘ-002", ExistingMode::Overwrite, "čř-002|16.01.2024|3|0|1|0"},
        {"ČŘ-002", "čř-002", ExistingMode::Skip, "ČŘ-002|01.01.2024|0|0|0|0"},
        {"žluť-1", "ŽLUŤ-1", ExistingMode::Overwrite, "žluť-1|16.01.2024|3|0|1|0"},
    };
    const std::string documents = params.agendaFolder + "Rok.2024/SKSEZDOK.csv";
    const std::string original = ReadFile(documents);
    for (const Case& c : cases) {
        WriteFile(documents, original);
        Edit("Rok.2024/SKSEZDOK.csv", "VY-002", c.inSource);
        db.Run("DELETE FROM Move");
        db.Run("DELETE FROM Move_Prod");
        const RecordId move = rows::Move(db.store, {c.stored, 0, OleDate::FromParts(2024, 1, 1)});
        // The import source by hand: the record layer's dispatch writes none.
        db.Run("UPDATE Move SET move_source = 1 WHERE move_id = " + std::to_string(move));
        params.choices.products = false;
        params.choices.existing = c.mode;
        EXPECT_EQ(Import(), ImportResult::Succeeded);
        EXPECT_EQ(db.Count("Move"), 6) << c.stored;
        EXPECT_EQ(Documents().front(), c.storedAfter) << c.stored;
    }
}

TEST_F(MoneyImportTest, InvoicesWithTheSameNumberFollowTheMode) {
    struct Case {
        ExistingMode mode;
        std::vector<OverwriteAnswer> answers;
        const char* invoice;
        long documents;
    };
    const Case cases[] = {
        {ExistingMode::Skip, {}, "FV-001|01.02.2024|1|0|2|0", 6},
        {ExistingMode::Overwrite, {}, "FV-001|04.02.2024|1|1|1|0", 7},
        {ExistingMode::Ask, {OverwriteAnswer::Yes}, "FV-001|04.02.2024|1|1|1|0", 7},
        {ExistingMode::Ask, {OverwriteAnswer::No}, "FV-001|01.02.2024|1|0|2|0", 6},
    };
    for (const Case& c : cases) {
        db.Run("DELETE FROM Move");
        db.Run("DELETE FROM Move_Prod");
        params.choices.products = false;
        params.choices.existing = c.mode;
        db.messages.overwriteAnswers.assign(c.answers.begin(), c.answers.end());
        Import();
        EXPECT_EQ(Documents().back(), c.invoice) << static_cast<int>(c.mode);
        EXPECT_EQ(counters.documents, c.documents);
        if (c.mode == ExistingMode::Ask) {
            EXPECT_EQ(db.messages.Texts().front(),
                      "Doklad \"FV-001\" byl již z Money importován. Přejete si jej aktualizovat?");
        }
    }
}

TEST_F(MoneyImportTest, HandDeletedProductComesBackUnasked) {
    params.choices.documents = false;
    Import();
    db.Run("UPDATE Product SET deleted = 1, prod_name = 'smazáno' WHERE prod_scrid = 3");
    for (ExistingMode mode : {ExistingMode::Skip, ExistingMode::Ask}) {
        params.choices.existing = mode;
        db.messages.overwriteAnswers.assign(12, OverwriteAnswer::No);
        Import();
        EXPECT_EQ(counters.products, 1);
        EXPECT_EQ(db.Count("Product WHERE prod_scrid = 3 AND deleted = 0 AND prod_name = 'Veka'"),
                  1);
        for (const std::string& text : db.messages.Texts())
            EXPECT_EQ(text.find("Veka"), std::string::npos) << text;
        db.Run("UPDATE Product SET deleted = 1 WHERE prod_scrid = 3");
    }
    EXPECT_EQ(views.sent, (std::vector<ViewNotification>{ViewNotification::ReloadMain}));
}

TEST_F(MoneyImportTest, NoToAllForProductsStillAsksAboutDocuments) {
    params.choices.existing = ExistingMode::Overwrite;
    Import();
    params.choices.existing = ExistingMode::Ask;
    db.messages.overwriteAnswers = {OverwriteAnswer::NoToAll, OverwriteAnswer::Yes,
                                    OverwriteAnswer::No, OverwriteAnswer::YesToAll};
    Import();
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{
                  "Produkt \"Chléb kmínový 1 kg, kat.č. CH-100\" byl již z Money importován. "
                  "Přejete si jej aktualizovat?",
                  "Doklad \"VY-001\" byl již z Money importován. Přejete si jej aktualizovat?",
                  "Doklad \"VY-002\" byl již z Money importován. Přejete si jej aktualizovat?",
                  "Doklad \"DL-001\" byl již z Money importován. Přejete si jej aktualizovat?",
                  ImportSummary(Done, 0, 6, 12, 1),
              }));
    EXPECT_EQ(views.sent, (std::vector<ViewNotification>{ViewNotification::ReloadItems}));
}

TEST_F(MoneyImportTest, CancelKeepsWholeDocumentsOnly) {
    struct Case {
        int cancelAt; // 12 checks for the cards, then one per line
        long documents;
        long lines;
    };
    // Check 16 comes at the first line of DL-001: VY-001 and VY-002 are
    // complete. Check 14 comes at the second line of VY-001, which is dropped.
    const Case cases[] = {{16, 2, 3}, {14, 0, 0}, {5, 0, 0}};
    for (const Case& c : cases) {
        TestDatabase fresh;
        RecordingProgress cancelling;
        cancelling.cancelOnCheck = {c.cancelAt};
        const ImportResult result = RunImport(
            fresh.messages, views,
            [&](ImportCounters& n) {
                return ImportMoneyS3(fresh.store, fresh.messages, cancelling, params, n);
            },
            counters);
        EXPECT_EQ(result, ImportResult::Interrupted);
        const long products = c.cancelAt > 12 ? 12 : c.cancelAt - 1;
        EXPECT_EQ(fresh.messages.Texts(),
                  (std::vector<std::string>{ImportSummary(Interrupted, products, c.documents)}));
        EXPECT_EQ(fresh.Count("Product"), products);
        EXPECT_EQ(fresh.Count("Move"), c.documents);
        EXPECT_EQ(fresh.Count("Move_Prod"), c.lines);
    }
}

TEST_F(MoneyImportTest, ProgressReportsRowsOfEachPhase) {
    Import();
    EXPECT_EQ(progress.rangeUpper, 200);
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Importuji kmenové karty", "Importuji skladové pohyby"}));
    EXPECT_EQ(progress.secondaries.front(), "1 z 12");
    EXPECT_EQ(progress.secondaries.back(), "14 z 14");
    EXPECT_EQ(progress.positions.back(), 200);
}

TEST_F(MoneyImportTest, MalformedFilesNameFileAndLineAndKeepFinishedWork) {
    struct Case {
        const char* file;
        const char* from;
        const char* to;
        const char* message; // after "Chybný soubor Money \"<folder>/<file>\", "
        long documents;
        long lines;
    };
    const Case cases[] = {
        {"Rok.2024/SKSEZPOL.csv", "103;S;1;4;Koláč tvarohový;KO-070;ks;5",
         "103;S;1;4;Koláč tvarohový;KO-070;ks;pět",
         "řádek 6: hodnota \"pět\" pole \"PocetMJ\" není číslo.", 2, 3},
        {"Rok.2024/SKSEZDOK.csv", "17.01.2024", "31.02.2024",
         "řádek 5: hodnota \"31.02.2024\" pole \"Datum\" není platné datum (dd.mm.rrrr).", 2, 3},
        // The invoice's bad last line comes after one that makes card 99:
        // neither the invoice nor that product is stored.
        {"Rok.2024/SKSEZPOL.csv", "kg;2.5\n", "kg;2.5\n201;V;3;1;Chléb;CH-100;ks;pět\n",
         "řádek 3: hodnota \"pět\" pole \"PocetMJ\" není číslo.", 5, 6},
        {"Rok.2024/SKSEZPOL.csv", "102;S;1;3;Veka", "102;S;1;3;Ve\"ka",
         "řádek 5: uvozovky uprostřed pole bez uvozovek.", 0, 0},
        {"Rok.2024/VFAKTURY.csv", "O_Stat", "Zeme", "řádek 1: chybí sloupec \"O_Stat\".", 0, 0},
        {"Rok.2024/SKSEZDOK.csv", "105;XX-001;19.01.2024;X;", "105;XX-001;19.01.2024;X",
         "řádek 7: počet polí 4 se liší od řádku se jmény polí (5).", 0, 0},
        {"SKKMKART.csv", "12;Kvásek", "\"12;Kvásek", "řádek 13: uvozovky pole nejsou uzavřeny.", 0,
         0},
    };
    for (const Case& c : cases) {
        TestDatabase fresh;
        TempFolder copy;
        std::filesystem::copy(TARVO_FIXTURES "/money", copy.Path(),
                              std::filesystem::copy_options::recursive);
        params.agendaFolder = copy.Folder() + "Agenda.001/";
        params.yearFolder = params.agendaFolder + "Rok.2024/";
        Edit(c.file, c.from, c.to);
        const ImportResult result = RunImport(
            fresh.messages, views,
            [&](ImportCounters& n) {
                return ImportMoneyS3(fresh.store, fresh.messages, progress, params, n);
            },
            counters);
        EXPECT_EQ(result, ImportResult::Failed) << c.message;
        const std::string file = params.agendaFolder + c.file;
        const long products = std::string(c.file) == "SKKMKART.csv" ? 0 : 13 - 1;
        ASSERT_EQ(fresh.messages.shown.size(), 2u) << c.message;
        EXPECT_EQ(fresh.messages.shown[0],
                  (ShownMessage{Format("Chybný soubor Money \"%s\", %s", file.c_str(), c.message),
                                MsgIcon::Error}));
        EXPECT_EQ(fresh.messages.shown[1].text, ImportSummary(Failed, products, c.documents));
        EXPECT_EQ(fresh.Count("Move"), c.documents);
        // No line without its document, no document with part of its lines.
        EXPECT_EQ(fresh.Count("Move_Prod WHERE move_id NOT IN (SELECT move_id FROM Move)"), 0);
        EXPECT_EQ(fresh.Count("Move_Prod"), c.lines);
        EXPECT_EQ(fresh.Count("Product"), products);
    }
}

// The database refusing a line of DL-001, with VY-001 and VY-002 finished
// before it in the same batch: the batch is taken back (the database could
// hold part of DL-001), and the summary counts only what was stored.
TEST_F(MoneyImportTest, DatabaseFailureInADocumentTakesBackItsBatchAndItsCounts) {
    db.Run("CREATE TRIGGER refuse BEFORE INSERT ON Move_Prod WHEN NEW.move_id = (SELECT move_id "
           "FROM Move WHERE move_num = 'DL-001') BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_EQ(Import(), ImportResult::Failed);
    // The second FV-001 was left as it was before the failure.
    EXPECT_EQ(db.messages.shown.back().text, ImportSummary(Failed, 12, 0, 0, 1));
    EXPECT_EQ(db.Count("Move"), 0);
    EXPECT_EQ(db.Count("Move_Prod"), 0);
    EXPECT_EQ(db.Count("Product"), 12);
}

TEST_F(MoneyImportTest, MissingTablesEndThePhaseTheirWay) {
    // Without the stock cards nothing is imported and there is no summary.
    std::filesystem::remove(params.agendaFolder + "SKKMKART.csv");
    EXPECT_EQ(Import(), ImportResult::NotRun);
    EXPECT_EQ(db.messages.shown,
              (std::vector<ShownMessage>{{Format("Nemohu otevřít tabulku Money \"%sSKKMKART.DAT\"",
                                                 params.agendaFolder.c_str()),
                                          MsgIcon::Error}}));

    // Without the invoices the documents phase ends; the products count.
    std::filesystem::copy(TARVO_FIXTURES "/money/Agenda.001/SKKMKART.csv",
                          params.agendaFolder + "SKKMKART.csv");
    std::filesystem::remove(params.yearFolder + "VFAKTURY.csv");
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{Format("Nemohu otevřít tabulku Money \"%sVFAKTURY.DAT\"",
                                               params.yearFolder.c_str()),
                                        ImportSummary(Done, 12, 0)}));
    EXPECT_EQ(db.Count("Move"), 0);

    // Neither products nor documents: nothing at all.
    params.choices = {false, false, ExistingMode::Skip};
    EXPECT_EQ(Import(), ImportResult::NotRun);
    EXPECT_TRUE(db.messages.shown.empty());
}

#ifndef _WIN32
// Kills its process at one cancel check, as a power cut would stop it; slow
// enough that batches of finished documents are stored on the way.
class KillingProgress final : public IProgressPort {
public:
    explicit KillingProgress(int killAt) : m_killAt(killAt) {}
    void SetRange(int, int) override {}
    void SetStatus(const std::string&) override {}
    void SetSecondaryStatus(const std::string&) override {}
    void SetPos(int) override {}
    bool CheckCancel() override {
        if (++m_checks == m_killAt)
            std::raise(SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
        return false;
    }

private:
    int m_killAt;
    int m_checks = 0;
};
#endif

// A kill in the middle of a document or between two leaves the documents
// stored before it whole, and none of the one in progress: every document
// found has all three lines and their covers, and they are the first ones of
// the year in order.
TEST_F(MoneyImportTest, KillAtAnyMomentLeavesWholeDocumentsOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "the process killed midway is made with fork(), which Windows does not have";
#else
    rows::Definition(db.store, rows::Product(db.store, {"karta", "", "", 1, 7}),
                     OleDate::FromParts(2024, 1, 1),
                     {{rows::Cover(db.store, {.name = "krabice", .weight = Q("1")}),
                       Q("1"),
                       Q("10"),
                       true,
                       {},
                       {},
                       1,
                       0,
                       1}});
    constexpr int Documents = 700;
    std::string docs = "CDokladu;CisloDokla;Datum;Typ;A_Stat\n";
    std::string lines = "CDokladu;TypDokladu;CisloPoloz;CKmenKarty;Nazev;Katalog;MJ;PocetMJ\n";
    for (int d = 1; d <= Documents; ++d) {
        docs += Format("%d;D-%04d;15.01.2024;V;\n", d, d);
        for (int line = 1; line <= 3; ++line)
            lines += Format("%d;S;%d;7;karta;;ks;%d\n", d, line, 10 * line);
    }
    WriteFile(params.yearFolder + "SKSEZDOK.csv", docs);
    WriteFile(params.yearFolder + "SKSEZPOL.csv", lines);
    params.choices.products = false;
    db.store.CloseDatabase();

    // 2,100 lines are checked every tenth: the checks fall on every line of
    // a document in turn.
    long stored = 0;
    for (const int killAt : {2, 3, 4, 150, 199}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecordingMessages messages;
            CDataStore store(messages);
            store.SetDatabasePath(db.DatabasePath());
            KillingProgress killing(killAt);
            ImportCounters c;
            if (store.OpenDatabase())
                ImportMoneyS3(store, messages, killing, params, c);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << killAt;

        ASSERT_TRUE(db.store.OpenDatabase());
        EXPECT_EQ(db.Count("Move m WHERE (SELECT COUNT(*) FROM Move_Prod p WHERE p.move_id = "
                           "m.move_id) <> 3 OR (SELECT COUNT(*) FROM Move_Cover c WHERE "
                           "c.move_id = m.move_id) <> 3"),
                  0)
            << killAt;
        const long count = db.Count("Move");
        EXPECT_EQ(db.Text("SELECT MAX(move_num) FROM Move"),
                  count > 0 ? Format("D-%04ld", count) : "")
            << killAt;
        EXPECT_GE(count, stored) << killAt;
        if (killAt == 199) {
            EXPECT_GT(count, 0);
        }
        stored = count;
        db.store.CloseDatabase();
    }
    ASSERT_TRUE(db.store.OpenDatabase());
#endif
}

} // namespace
} // namespace tarvo::test
