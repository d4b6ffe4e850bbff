#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/import/moneyxmlfile.h"
#include "core/import/moneyxmlimport.h"
#include "rows.h"
#include "testdatabase.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;

const char* const Done = "Import dokončen úspěšně!";
const char* const Failed = "Během importu došlo k chybě!";
const char* const Interrupted = "Import byl přerušen!";

// A copy of a sample export and a working database to import it into.
class MoneyXmlTest : public ::testing::Test {
protected:
    MoneyXmlTest() { UseFixture("export-utf8.xml"); }

    void UseFixture(const std::string& name) {
        params.file = money.File(name);
        fs::copy_file(TARVO_FIXTURES "/moneyxml/" + name, params.file,
                      fs::copy_options::overwrite_existing);
    }

    ImportResult Import() {
        db.messages.shown.clear();
        return RunImport(
            db.messages, views,
            [this](ImportCounters& c) {
                return ImportMoneyXml(db.store, db.messages, progress, params, c);
            },
            counters);
    }

    std::string Text() const { return ReadFile(params.file); }

    // Replaces the first occurrence of from in the export.
    void Edit(const std::string& from, const std::string& to) {
        std::string text = Text();
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        WriteFile(params.file, text.replace(at, from.size(), to));
    }

    // The line of the export on which text first stands.
    long LineOf(const std::string& text) const {
        const std::string all = Text();
        const size_t at = all.find(text);
        EXPECT_NE(at, std::string::npos) << text;
        return 1 + static_cast<long>(std::count(all.begin(), all.begin() + at, '\n'));
    }

    // Every document: "number|date|type|export|lines", by move_id.
    std::vector<std::string> Documents() {
        std::vector<std::string> rows;
        Statement query(db.store, "SELECT m.move_num, m.move_date, m.move_type, m.move_export, "
                                  "(SELECT COUNT(*) FROM Move_Prod p WHERE p.move_id = m.move_id) "
                                  "FROM Move m ORDER BY m.move_id");
        while (query.Step())
            rows.push_back(
                Format("%s|%s|%lld|%lld|%lld", query.Text(0).c_str(),
                       query.Date(1).ToText().c_str(), static_cast<long long>(query.Int(2)),
                       static_cast<long long>(query.Int(3)), static_cast<long long>(query.Int(4))));
        return rows;
    }

    // Every product: "key|name|katalog|unit", by prod_id; an XML card's key
    // as it is, others as "source:key".
    std::vector<std::string> Products() {
        std::vector<std::string> rows;
        Statement query(db.store, "SELECT prod_source, prod_scrid, prod_name, prod_katalog, "
                                  "prod_unit FROM Product ORDER BY prod_id");
        while (query.Step())
            rows.push_back((query.Int(0) == 3 ? "" : query.Text(0) + ":") + query.Text(1) + "|" +
                           query.Text(2) + "|" + query.Text(3) + "|" + query.Text(4));
        return rows;
    }

    static std::string Summary(const char* result, long products, long documents,
                               long invoicedNotes = -1, long takenOver = 0,
                               long numbersWithKind = 0, long skippedProducts = 0,
                               long skippedDocuments = 0) {
        std::string text = Format("%s\n\nNaimportováno:\n   Produktů ~ %li\n   Dokladů ~ %li",
                                  result, products, documents);
        if (invoicedNotes >= 0)
            text += Format("\n\nVynecháno jako již fakturované:\n   Dodacích listů ~ %li",
                           invoicedNotes);
        if (takenOver > 0)
            text +=
                Format("\n\nPřevzato z importu tabulek Money S3:\n   Produktů ~ %li", takenOver);
        if (numbersWithKind > 0)
            text += Format("\n\nUloženo s druhem za číslem (stejné číslo má doklad jiného "
                           "druhu):\n   Dokladů ~ %li",
                           numbersWithKind);
        if (skippedProducts > 0 || skippedDocuments > 0)
            text +=
                Format("\n\nVynecháno jako již importované:\n   Produktů ~ %li\n   Dokladů ~ %li",
                       skippedProducts, skippedDocuments);
        return text;
    }

    TestDatabase db;
    TempFolder money;
    RecordingProgress progress;
    RecordingNotifier views;
    MoneyXmlImportParams params;
    ImportCounters counters;
};

struct SourcesCase {
    const char* fixture;
    MoneyXmlSources sources;
    long products;
    const char* salt;   // the product made for SUL-99, or nullptr
    long invoicedNotes; // -1: the summary has no such line
    std::vector<std::string> documents;
};

class MoneyXmlSourcesTest : public MoneyXmlTest,
                            public ::testing::WithParamInterface<SourcesCase> {};

// The invoice's line names the card's catalogue number and unit; the delivery
// note's names only its abbreviation.
const char* const InvoiceSalt = "SUL-99|Sůl jodidovaná|SO-099|kg";
const char* const NoteSalt = "SUL-99|Sůl jodidovaná||";

const std::vector<std::string> BothSources = {
    // Slovakia by its code; the non-stock line left out; the date of the
    // taxable supply when the stock movement has none.
    "FV-001|01.02.2024|1|1|2",
    // Slovakia by name; the stock movement's date before the document's.
    "VY-001|15.01.2024|3|1|2",
    "VY-002|16.01.2024|3|0|1",
    // CZ decides before the name "Česko", which the list does not know.
    "DL-001|17.01.2024|0|0|1",
    // DL-002 and DL-005 went with FV-001; DL-003 names a cancelled invoice
    // and DL-004 one without stock lines: neither took their goods.
    "DL-003|04.02.2024|0|0|1",
    "DL-004|06.02.2024|0|0|1",
    "PR-001|18.01.2024|2|0|1",
};
const std::vector<std::string> StockOnly = {
    "VY-001|15.01.2024|3|1|2", "VY-002|16.01.2024|3|0|1", "DL-001|17.01.2024|0|0|1",
    "DL-002|31.01.2024|0|0|1", "DL-003|04.02.2024|0|0|1", "DL-004|06.02.2024|0|0|1",
    "DL-005|30.01.2024|0|0|1", "PR-001|18.01.2024|2|0|1",
};

TEST_P(MoneyXmlSourcesTest, ImportsTheChosenDocumentsOnce) {
    const SourcesCase& c = GetParam();
    UseFixture(c.fixture);
    params.sources = c.sources;
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    EXPECT_EQ(Documents(), c.documents);
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{Summary(
                  Done, c.products, static_cast<long>(c.documents.size()), c.invoicedNotes)}));
    // Three cards (one held in two stores), and the salt that the export
    // lists no card for, made from the first line that names it.
    std::vector<std::string> products = {"ROH-01|Rohlík tukový|R-01|ks", "1|Chléb kmínový|C-01|ks",
                                         "MLK-1|Mléko čerstvé|M-1|l"};
    if (c.salt)
        products.push_back(c.salt);
    EXPECT_EQ(Products(), products);
    // The 12.5 rolls left once, on the invoice or on its delivery note.
    EXPECT_EQ(db.Count("Move_Prod WHERE mvprod_qty = 12.5"), 1);
}

INSTANTIATE_TEST_SUITE_P(EncodingsAndSources, MoneyXmlSourcesTest,
                         ::testing::Values(SourcesCase{"export-utf8.xml", MoneyXmlSources::Both, 4,
                                                       InvoiceSalt, 2, BothSources},
                                           SourcesCase{"export-cp1250.xml", MoneyXmlSources::Both,
                                                       4, InvoiceSalt, 2, BothSources},
                                           SourcesCase{"export-cp1250.xml", MoneyXmlSources::Stock,
                                                       4, NoteSalt, -1, StockOnly},
                                           SourcesCase{"export-utf8.xml",
                                                       MoneyXmlSources::Invoices,
                                                       4,
                                                       InvoiceSalt,
                                                       -1,
                                                       {"FV-001|01.02.2024|1|1|2"}}));

struct ShapeCase {
    const char* name;
    const char* from;
    const char* to;
};

class MoneyXmlShapeTest : public MoneyXmlTest, public ::testing::WithParamInterface<ShapeCase> {};

// The file is read document by document: what only looks like a tag (in a
// comment, character data or a quoted attribute) splits nothing, an empty
// document has no lines, and a document type with declarations of its own is
// read all the same.
TEST_P(MoneyXmlShapeTest, ReadsTheDocumentsAsWritten) {
    Edit(GetParam().from, GetParam().to);
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    EXPECT_EQ(Documents(), BothSources);
    EXPECT_EQ(db.Count("Move_Prod"), 9);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, MoneyXmlShapeTest,
    ::testing::Values(
        ShapeCase{"Comment", "\t<SeznamVydejka>\n",
                  "\t<SeznamVydejka>\n\t\t<!-- <Vydejka><CisloDokla>X-1</CisloDokla> -->\n"},
        ShapeCase{"CharacterData", "<Vydejka>\n",
                  "<Vydejka>\n<Pozn><![CDATA[</Vydejka></SeznamVydejka><Vydejka>]]></Pozn>\n"},
        ShapeCase{"QuotedBracket", "\t<SeznamVydejka>", "\t<SeznamVydejka pozn=\"a > b/\">"},
        ShapeCase{"EmptyDocument", "\t<SeznamVydejka>\n", "\t<SeznamVydejka>\n\t\t<Vydejka/>\n"},
        ShapeCase{"DocumentType", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE MoneyData [\n"
                  "<!ELEMENT MoneyData ANY>\n]>\n"}),
    [](const ::testing::TestParamInfo<ShapeCase>& p) { return p.param.name; });

// The file is read a block (1 MB) at a time: documents and faults megabytes
// into the file, behind a tag cut by the end of a block, read as in a small
// file, with their lines.
TEST_F(MoneyXmlTest, ReadsALargeFileAsASmallOne) {
    // Orders, which the import passes over, fill three megabytes before the
    // documents.
    std::string orders = "\t<SeznamObjVyd>\n";
    for (int i = 0; orders.size() < 3'000'000; ++i)
        orders += Format("\t\t<ObjVyd><Cislo>O-%d</Cislo>\n\t\t\t<Pozn>%s</Pozn></ObjVyd>\n", i,
                         std::string(226, 'x').c_str());
    orders += "\t</SeznamObjVyd>\n";
    Edit("\t<SeznamFaktVyd>", orders + "\t<SeznamFaktVyd>");
    const std::string large = Text();
    // The first block ends inside a tag.
    constexpr size_t Block = 1 << 20;
    ASSERT_GT(large.rfind('<', Block), large.rfind('>', Block));
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    EXPECT_EQ(Documents(), BothSources);

    struct Case {
        const char* from;
        const char* to;
        const char* message; // %s the file, %li the line of the marker
        const char* marker;
    };
    const Case cases[] = {
        {"<Datum>2024-01-17</Datum>", "<Datum>17.1.2024</Datum>",
         "Datum \"17.1.2024\" v elementu Datum na řádku %li souboru \"%s\" není platné.",
         "<Datum>17.1.2024"},
        {"</Vydejka>\n\t\t<Vydejka>", "</Vydejk>\n\t\t<Vydejka>",
         "Soubor \"%s\" není platný soubor XML: koncová značka neodpovídá počáteční, nebo "
         "element není uzavřen v elementu Vydejka na řádku %li.",
         "</Vydejk>"},
    };
    for (const Case& c : cases) {
        WriteFile(params.file, large);
        Edit(c.from, c.to);
        const long line = LineOf(c.marker);
        EXPECT_EQ(Import(), ImportResult::Failed);
        ASSERT_FALSE(db.messages.shown.empty());
        EXPECT_EQ(db.messages.shown[0].text, c.marker[1] == 'D'
                                                 ? Format(c.message, line, params.file.c_str())
                                                 : Format(c.message, params.file.c_str(), line));
    }
}

// A card is its abbreviation as text, under a source of its own: never the
// table import's card of that number, never another abbreviation that reads
// as the same number. A card new to the XML source takes over the table
// import's product that its catalogue number names alone (packaging and all).
TEST_F(MoneyXmlTest, CardsKeepTheirTextKeyAndTakeOverTableProductsOnce) {
    const char* const Roll = "ROH-01|Rohlík tukový|R-01|ks";
    const char* const Bread = "1|Chléb kmínový|C-01|ks";
    const char* const Milk = "MLK-1|Mléko čerstvé|M-1|l";
    const char* const Salt = "SUL-99|Sůl jodidovaná|SO-099|kg";
    struct Case {
        const char* name;
        std::vector<std::string> table; // "katalog|prod_scrid" of table-import products
        const char* zkrat;              // the listed card "1" (its lines keep "1")
        std::vector<std::string> products;
        long written, takenOver;
    };
    const Case cases[] = {
        {"NumberIsNoTableCard", {"X-9|1"}, "1", {"1:1|starý|X-9|", Roll, Bread, Milk, Salt}, 4, 0},
        {"LeadingZero",
         {},
         "01",
         {Roll, "01|Chléb kmínový|C-01|ks", Milk, Salt, "1|Chléb kmínový||"},
         5,
         0},
        // The one table product of its catalogue number, found by the lines'
        // "1" from then on.
        {"TakenOver", {"C-01|1"}, "1", {Bread, Roll, Milk, Salt}, 4, 1},
        // Two of them: neither is guessed at.
        {"Ambiguous",
         {"C-01|1", "C-01|2"},
         "1",
         {"1:1|starý|C-01|", "1:2|starý|C-01|", Roll, Bread, Milk, Salt},
         4,
         0},
    };
    params.money.choices.existing = ExistingMode::Overwrite;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* table : {"Move_Cover", "Move_Prod", "Move", "Product"})
            db.Run(std::string("DELETE FROM ") + table);
        UseFixture("export-utf8.xml");
        Edit("<Zkrat>1</Zkrat>", std::string("<Zkrat>") + c.zkrat + "</Zkrat>");
        for (const std::string& product : c.table) {
            const size_t bar = product.find('|');
            rows::Product(db.store, {"starý", product.substr(0, bar), "", 1,
                                     std::stoll(product.substr(bar + 1))});
        }
        EXPECT_EQ(Import(), ImportResult::Succeeded);
        EXPECT_EQ(Products(), c.products);
        EXPECT_EQ(db.messages.Texts(),
                  std::vector<std::string>{Summary(Done, c.written, 7, 2, c.takenOver)});
    }
}

// A výdejka and a prodejka of one number are both kept: the second stored
// carries its kind; later imports find each again by number and kind.
TEST_F(MoneyXmlTest, DocumentsOfTwoKindsWithOneNumberAreBothKept) {
    Edit("<CisloDokla>PR-001</CisloDokla>", "<CisloDokla>VY-001</CisloDokla>");
    struct Case {
        ExistingMode mode;
        long products, documents, numbersWithKind, skippedProducts, skippedDocuments;
    };
    const Case cases[] = {{ExistingMode::Skip, 4, 7, 1, 0, 0},
                          {ExistingMode::Overwrite, 3, 7, 0, 0, 0},
                          {ExistingMode::Skip, 0, 0, 0, 3, 7}};
    for (const Case& c : cases) {
        params.money.choices.existing = c.mode;
        EXPECT_EQ(Import(), ImportResult::Succeeded);
        EXPECT_EQ(db.messages.Texts(), std::vector<std::string>{Summary(
                                           Done, c.products, c.documents, 2, 0, c.numbersWithKind,
                                           c.skippedProducts, c.skippedDocuments)});
        EXPECT_EQ(db.Count("Move"), 7);
        EXPECT_EQ(db.Count("Move WHERE move_num = 'VY-001' AND move_type = 3"), 1);
        EXPECT_EQ(db.Count("Move m WHERE move_num = 'VY-001 (PR)' AND move_type = 2 AND "
                           "(SELECT COUNT(*) FROM Move_Prod p WHERE p.move_id = m.move_id) = 1"),
                  1);
    }
}

// A document that the file holds twice is written once, the second copy
// replacing the first one's header and lines in the same run.
TEST_F(MoneyXmlTest, ADocumentTwiceInTheFileEndsAsItsLastCopy) {
    Edit("<CisloDokla>VY-002</CisloDokla>", "<CisloDokla>VY-001</CisloDokla>");
    params.money.choices.existing = ExistingMode::Overwrite;
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    std::vector<std::string> documents = BothSources;
    documents.erase(documents.begin() + 2);
    documents[1] = "VY-001|16.01.2024|3|0|1";
    EXPECT_EQ(Documents(), documents);
}

// A line with a stock part takes its card from there, even in a delivery
// note whose line names a card of its own.
TEST_F(MoneyXmlTest, AStockPartNamesTheLinesCard) {
    Edit("\t\t\t\t<KmKarta>\n\t\t\t\t\t<Popis>Rohlík tukový</Popis>",
         "\t\t\t\t<SklPolozka><KmKarta><Popis>Chléb kmínový</Popis><Zkrat>1</Zkrat>"
         "<MJ>ks</MJ></KmKarta></SklPolozka>\n\t\t\t\t<KmKarta>\n\t\t\t\t\t<Popis>Rohlík "
         "tukový</Popis>");
    EXPECT_EQ(Import(), ImportResult::Succeeded);
    EXPECT_EQ(db.Text("SELECT group_concat(p.prod_scrid, ' ') FROM Move_Prod mp JOIN Move m ON "
                      "m.move_id = mp.move_id JOIN Product p ON p.prod_id = mp.prod_id WHERE "
                      "m.move_num = 'VY-001'"),
              "1 1");
}

TEST_F(MoneyXmlTest, ReimportFollowsTheExistingRecordsMode) {
    struct Case {
        ExistingMode mode;
        bool setExport;
        const char* summary;
        long exports;
    };
    const Case cases[] = {
        // Every card and document counted again (the salt is no card: found, not
        // written), lines rebuilt, the new export rule.
        {ExistingMode::Overwrite, false, "Produktů ~ 3\n   Dokladů ~ 7", 0},
        // Nothing written; the export flags stay as the first import set them.
        {ExistingMode::Skip, false, "Produktů ~ 0\n   Dokladů ~ 0", 2},
    };
    for (const Case& c : cases) {
        for (const char* table : {"Move_Cover", "Move_Prod", "Move", "Product"})
            db.Run(std::string("DELETE FROM ") + table);
        params.money.setExport = true;
        params.money.choices.existing = ExistingMode::Skip;
        Import();
        const long lines = db.Count("Move_Prod");
        params.money.choices.existing = c.mode;
        params.money.setExport = c.setExport;
        EXPECT_EQ(Import(), ImportResult::Succeeded);
        EXPECT_NE(db.messages.Texts().back().find(c.summary), std::string::npos)
            << db.messages.Texts().back();
        EXPECT_EQ(db.Count("Move"), 7);
        EXPECT_EQ(db.Count("Product"), 4);
        EXPECT_EQ(db.Count("Move_Prod"), lines);
        EXPECT_EQ(db.Count("Move WHERE move_export <> 0"), c.exports);
    }
}

TEST_F(MoneyXmlTest, AskModeAsksWithTheMoneyQuestions) {
    Import();
    params.money.choices.existing = ExistingMode::Ask;
    params.money.choices.products = false;
    db.messages.overwriteAnswers = {OverwriteAnswer::Yes, OverwriteAnswer::NoToAll};
    Import();
    EXPECT_EQ(db.messages.Texts(),
              (std::vector<std::string>{
                  "Doklad \"FV-001\" byl již z Money importován. Přejete si jej aktualizovat?",
                  "Doklad \"VY-001\" byl již z Money importován. Přejete si jej aktualizovat?",
                  Summary(Done, 0, 1, 2, 0, 0, 0, 6)}));
}

TEST_F(MoneyXmlTest, CancelKeepsTheDocumentsFinished) {
    // Checks 1-4 are the cards; then FV-001's two lines, FV-002, FV-003 and
    // VY-001's first line: a cancel on its second drops VY-001 whole.
    progress.cancelOnCheck = {10};
    EXPECT_EQ(Import(), ImportResult::Interrupted);
    EXPECT_EQ(Documents(), std::vector<std::string>{"FV-001|01.02.2024|1|1|2"});
    EXPECT_EQ(db.messages.Texts(), std::vector<std::string>{Summary(Interrupted, 4, 1, 0)});
    EXPECT_EQ(db.Count("Move_Prod"), 2);
}

// A phase ends at its full count and 100 %, also when rows are reported only
// every few (N / 200).
TEST(ImportProgress, EndsAtTheLastRow) {
    for (const long rows : {4L, 450L}) {
        RecordingProgress progress;
        ImportProgress phases(progress);
        phases.BeginPhase("Importuji kmenové karty", rows);
        for (long row = 1; row <= rows; ++row)
            phases.Row(row);
        EXPECT_EQ(progress.positions.back(), 200) << rows;
        EXPECT_EQ(progress.secondaries.back(), Format("%li z %li", rows, rows));
        EXPECT_EQ(progress.checks, rows < 400 ? rows : 225) << rows;
    }
}

struct FailureCase {
    const char* name;
    const char* from;
    const char* to;
    // The message; %li is the line of the text marker after the edit, %s the file.
    const char* message;
    const char* marker;
    long products;
    std::vector<std::string> documents;
    MoneyXmlSources sources = MoneyXmlSources::Both;
};

class MoneyXmlFailureTest : public MoneyXmlTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MoneyXmlFailureTest, StopsWithTheElementAndItsLine) {
    const FailureCase& c = GetParam();
    std::string text = Text();
    for (size_t at = text.find(c.from); at != std::string::npos;
         at = text.find(c.from, at + std::strlen(c.to)))
        text.replace(at, std::strlen(c.from), c.to);
    WriteFile(params.file, text);
    params.sources = c.sources;
    const long line = LineOf(c.marker);
    EXPECT_EQ(Import(), ImportResult::Failed);
    ASSERT_EQ(db.messages.shown.size(), 2u);
    const bool pathFirst = std::string(c.message).find("%s") < std::string(c.message).find("%li");
    const std::string expected = pathFirst ? Format(c.message, params.file.c_str(), line)
                                           : Format(c.message, line, params.file.c_str());
    EXPECT_EQ(db.messages.shown[0].text, expected);
    EXPECT_EQ(db.messages.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(Documents(), c.documents);
    EXPECT_EQ(counters.products, c.products);
    EXPECT_EQ(db.messages.Texts()[1].rfind(Failed, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MoneyXmlFailureTest,
    ::testing::Values(
        // Nothing is written from a file that does not parse.
        FailureCase{"Malformed",
                    "</Vydejka>\n\t\t<Vydejka>",
                    "</Vydejk>\n\t\t<Vydejka>",
                    "Soubor \"%s\" není platný soubor XML: koncová značka neodpovídá "
                    "počáteční, nebo element není uzavřen v elementu Vydejka na řádku %li.",
                    "</Vydejk>",
                    0,
                    {}},
        // Also in a list the import passes over.
        FailureCase{"MalformedOutsideTheSources",
                    "</Vydejka>\n\t\t<Vydejka>",
                    "</Vydejk>\n\t\t<Vydejka>",
                    "Soubor \"%s\" není platný soubor XML: koncová značka neodpovídá "
                    "počáteční, nebo element není uzavřen v elementu Vydejka na řádku %li.",
                    "</Vydejk>",
                    0,
                    {},
                    MoneyXmlSources::Invoices},
        FailureCase{"Truncated",
                    "\t<SeznamProdejka>",
                    "\t<SeznamProdejka",
                    "Soubor \"%s\" není platný soubor XML: chybná počáteční značka elementu "
                    "v elementu SeznamProdejka na řádku %li.",
                    "\t\t<Prodejka>",
                    0,
                    {}},
        FailureCase{"NotMoneyData",
                    "MoneyData",
                    "MoneyDatx",
                    "Soubor \"%s\" není export Money S3: jeho kořenový element na řádku %li "
                    "není MoneyData.",
                    "<MoneyDatx",
                    0,
                    {}},
        // The documents finished before the bad line stay.
        FailureCase{"MissingCard",
                    "<Zkrat>MLK-1</Zkrat>\n\t\t\t\t</KmKarta>\n\t\t\t</Polozka>",
                    "<Popis>Mléko</Popis>\n\t\t\t\t</KmKarta>\n\t\t\t</Polozka>",
                    "Položka dokladu na řádku %li souboru \"%s\" nemá kmenovou kartu (element "
                    "KmKarta/Zkrat).",
                    "<Polozka>\n\t\t\t\t<Nazev>Mléko čerstvé</Nazev>\n\t\t\t\t<PocetMJ>2.5",
                    4,
                    {"FV-001|01.02.2024|1|1|2", "VY-001|15.01.2024|3|1|2"}},
        FailureCase{
            "QuantityNotANumber",
            "<PocetMJ>4</PocetMJ>",
            "<PocetMJ>čtyři</PocetMJ>",
            "Množství \"čtyři\" v elementu PocetMJ na řádku %li souboru \"%s\" není "
            "číslo.",
            "<PocetMJ>čtyři",
            4,
            {"FV-001|01.02.2024|1|1|2", "VY-001|15.01.2024|3|1|2", "VY-002|16.01.2024|3|0|1"}},
        FailureCase{
            "BadDate",
            "<Datum>2024-01-17</Datum>",
            "<Datum>17.1.2024</Datum>",
            "Datum \"17.1.2024\" v elementu Datum na řádku %li souboru \"%s\" není "
            "platné.",
            "<Datum>17.1.2024",
            4,
            {"FV-001|01.02.2024|1|1|2", "VY-001|15.01.2024|3|1|2", "VY-002|16.01.2024|3|0|1"}},
        FailureCase{"CardWithoutKey",
                    "<Zkrat>ROH-01</Zkrat>",
                    "<Zkrat> </Zkrat>",
                    "Kmenová karta na řádku %li souboru \"%s\" nemá zkratku (element Zkrat).",
                    "<KmKarta>",
                    0,
                    {}}),
    [](const ::testing::TestParamInfo<FailureCase>& p) { return p.param.name; });

TEST_F(MoneyXmlTest, UnreadableFileOrUnknownEncodingIsReported) {
    params.file = money.File("chybí.xml");
    EXPECT_EQ(Import(), ImportResult::NotRun);
    ASSERT_EQ(db.messages.shown.size(), 1u);
    EXPECT_EQ(
        db.messages.shown[0].text.rfind("Nemohu otevřít soubor XML \"" + params.file + "\"\n", 0),
        0u);

    UseFixture("export-utf8.xml");
    Edit("encoding=\"UTF-8\"", "encoding=\"x-bajkal\"");
    EXPECT_EQ(Import(), ImportResult::Failed);
    EXPECT_EQ(db.messages.Texts()[0],
              "Soubor \"" + params.file + "\" je v kódování \"x-bajkal\", které Tarvo nezná.");
}

// The fixtures carry what Money writes around the data the import reads: a
// store with its name and price-list flag, a card with its name also on a
// line, a stock document with its totals.
TEST(MoneyXmlFixtures, HaveTheShapeMoneyWrites) {
    for (const char* name : {"export-utf8.xml", "export-cp1250.xml"}) {
        MoneyXmlFile file;
        long stores = 0;
        const auto all = [](const MoneyXmlFile::List&) { return true; };
        const auto visit = [&](const MoneyXmlFile::List& list, pugi::xml_node item) {
            for (const pugi::xpath_node& store : item.select_nodes("descendant-or-self::Sklad")) {
                std::string children;
                for (pugi::xml_node child : store.node().children())
                    children += std::string(child.name()) + " ";
                EXPECT_EQ(children, "Nazev KodSkladu CenikSklad ") << name;
                ++stores;
            }
            for (const pugi::xpath_node& card : item.select_nodes("descendant-or-self::KmKarta"))
                EXPECT_TRUE(card.node().child("Popis"))
                    << name << " " << XmlText(card.node(), "Zkrat");
            if (list.name == "SeznamVydejka" || list.name == "SeznamDLVyd" ||
                list.name == "SeznamProdejka") {
                EXPECT_TRUE(item.child("SouhrnDPH").next_sibling("Celkem"))
                    << name << " " << XmlText(item, "CisloDokla");
            }
        };
        ASSERT_FALSE(file.Read(TARVO_FIXTURES "/moneyxml/" + std::string(name), all, visit));
        EXPECT_EQ(stores, 15) << name;
    }
}

// The fixtures are shaped like Money's exports: with the published schemas at
// hand (TARVO_MONEYS3_XSD, the folder holding _Document.xsd), xmllint checks
// them against them.
TEST(MoneyXmlFixtures, ValidateAgainstThePublishedSchemas) {
    const char* folder = std::getenv("TARVO_MONEYS3_XSD");
    if (!folder || !fs::exists(fs::path(folder) / "_Document.xsd"))
        GTEST_SKIP() << "TARVO_MONEYS3_XSD does not name a folder with _Document.xsd";
    for (const char* name : {"export-utf8.xml", "export-cp1250.xml"}) {
        const std::string command = "xmllint --noout --schema '" +
                                    (fs::path(folder) / "_Document.xsd").string() + "' '" +
                                    TARVO_FIXTURES "/moneyxml/" + name + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << name;
    }
}

} // namespace
} // namespace tarvo::test
