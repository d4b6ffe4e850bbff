// Import of a Money S3 XML export of 20,000 documents with 100,000 stock lines
// (issue slips, delivery notes, sales slips and issued invoices in turn, in
// Windows-1250 as Money writes it; 1,000 stock cards, each with a packaging
// definition of two lines), the covers of every line derived. Prints lines
// per second (target 150,000) and the peak memory (target below 100 MB).
//
//   bench_money_xml [lines] [--dir DIR]
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/import/moneyxmlimport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

constexpr long Cards = 1000;
constexpr long LinesPerDocument = 5;

// "Výrobek" in Windows-1250.
const char* const Product = "V\xFDrobek";

std::string Card(long c) {
    return Format("<KmKarta><Popis>%s %ld</Popis><Zkrat>V-%04ld</Zkrat><MJ>ks</MJ>"
                  "<Katalog>KAT-%ld</Katalog></KmKarta>",
                  Product, c, c, c);
}

void WriteExport(const fs::path& file, long lines) {
    std::ofstream out(file, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n"
           "<MoneyData ICAgendy=\"12345678\" KodAgendy=\"BEN\" HospRokOd=\"2024-01-01\" "
           "HospRokDo=\"2024-12-31\" description=\"Benchmark\" ExpZkratka=\"TARVO\" "
           "ExpDate=\"2024-04-02\" ExpTime=\"08:00:00\" VyberZaznamu=\"0\">\n";
    out << "<SeznamKmKarta>\n";
    for (long c = 1; c <= Cards; ++c)
        out << Card(c) << "\n";
    out << "</SeznamKmKarta>\n";

    const long documents = (lines + LinesPerDocument - 1) / LinesPerDocument;
    const char* const lists[][2] = {{"SeznamVydejka", "Vydejka"},
                                    {"SeznamDLVyd", "DLVyd"},
                                    {"SeznamProdejka", "Prodejka"},
                                    {"SeznamFaktVyd", "FaktVyd"}};
    long line = 0;
    for (int kind = 0; kind < 4; ++kind) {
        out << "<" << lists[kind][0] << ">\n";
        for (long d = kind + 1; d <= documents; d += 4) {
            const bool invoice = kind == 3;
            const std::string date = Format("2024-%02ld-%02ld", 1 + d % 12, 1 + d % 28);
            out << "<" << lists[kind][1] << ">\n";
            if (invoice)
                out << "<Doklad>FV-" << d << "</Doklad><Storno>0</Storno><Del>0</Del>"
                    << "<Vystaveno>" << date << "</Vystaveno><PlnenoDPH>" << date
                    << "</PlnenoDPH><DatSkPoh>" << date << "</DatSkPoh>"
                    << "<SouhrnDPH><Zaklad22>1000</Zaklad22><DPH22>210</DPH22></SouhrnDPH>"
                    << "<Celkem>1210</Celkem>\n";
            else
                out << "<CisloDokla>D-" << d << "</CisloDokla><Datum>" << date
                    << "</Datum><DatSkPoh>" << date << "</DatSkPoh>\n";
            out << "<DodOdb><ObchNazev>Odb\xECratel " << d % 500
                << "</ObchNazev><ObchAdresa><Ulice>N\xE1m\xECst\xED " << d % 90
                << "</Ulice><Misto>Brno</Misto><PSC>60200</PSC><Stat>"
                << (d % 3 == 0 ? "Slovensko"
                               : "\xC8"
                                 "esk\xE1 republika")
                << "</Stat><KodStatu>" << (d % 3 == 0 ? "SK" : "CZ")
                << "</KodStatu></ObchAdresa></DodOdb>\n";
            if (invoice)
                out << "<SeznamPolozek>\n";
            for (long i = 0; i < LinesPerDocument && line < lines; ++i, ++line) {
                const long card = 1 + (line * 7) % Cards;
                const std::string quantity = Format("%ld.5", 10 + line % 990);
                const std::string stock = Format("<Nazev>%s %ld</Nazev><PocetMJ>%s</PocetMJ>"
                                                 "<Cena>12.5</Cena><DPH>21</DPH><Sklad>"
                                                 "<KodSkladu>HL</KodSkladu></Sklad>",
                                                 Product, card, quantity.c_str()) +
                                          Card(card);
                if (invoice)
                    out << "<Polozka><Popis>" << Product << " " << card << "</Popis><PocetMJ>"
                        << quantity << "</PocetMJ><Cena>12.5</Cena><SklPolozka>" << stock
                        << "</SklPolozka></Polozka>\n";
                else
                    out << "<Polozka>" << stock << "</Polozka>\n";
            }
            if (invoice)
                out << "</SeznamPolozek>\n";
            out << "</" << lists[kind][1] << ">\n";
        }
        out << "</" << lists[kind][0] << ">\n";
    }
    out << "</MoneyData>\n";
}

// Every card a product from the table import's time (keyed by Money's card
// number, taken over by its catalogue number) with a definition from
// 1 January 2024: a box per 100 pieces and, above 500 pieces, a pallet.
void WritePackaging(CDataStore& store) {
    Transaction unit(store);
    store.ExecuteOrThrow("INSERT INTO Cover (cover_name, cover_weight) VALUES ('krabice', 5000)");
    store.ExecuteOrThrow("INSERT INTO Cover (cover_name, cover_weight) VALUES ('paleta', 250000)");
    for (long c = 1; c <= Cards; ++c) {
        store.ExecuteOrThrow(Format("INSERT INTO Product (prod_name, prod_katalog, prod_source, "
                                    "prod_scrid) VALUES ('Výrobek %ld', 'KAT-%ld', 1, %ld)",
                                    c, c, c));
        const int64_t prodId = store.LastInsertId();
        store.ExecuteOrThrow(Format("INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (%lld, "
                                    "#1/1/2024#)",
                                    static_cast<long long>(prodId)));
        const int64_t dtId = store.LastInsertId();
        store.ExecuteOrThrow(Format(
            "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, cp_usealways, "
            "cp_usefrom, cp_useto, cover_type, cover_org, cover_pay) VALUES (%lld, 1, 10000, "
            "1000000, 1, 0, 0, 1, 0, 1), (%lld, 2, 10000, 10000000, 0, 5000000, 100000000, 2, 0, "
            "1)",
            static_cast<long long>(dtId), static_cast<long long>(dtId)));
    }
    unit.Commit();
}

} // namespace

int main(int argc, char** argv) {
    long lines = 100000;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else
            lines = std::atol(argv[i]);
    }
    try {
        const fs::path folder = bench::BenchFolder(dir);
        const fs::path file = folder / "export.xml";
        WriteExport(file, lines);
        bench::YesMessages messages;
        CDataStore store(messages);
        bench::CreateDatabase(store, (folder / "Tarvo.mdb").string());
        WritePackaging(store);

        MoneyXmlImportParams params;
        params.file = file.string();
        params.money.choices.existing = ExistingMode::Overwrite;
        NullProgress progress;
        NullNotifier views;
        ImportCounters counters;
        const bench::Stopwatch watch;
        const ImportResult result = RunImport(
            messages, views,
            [&](ImportCounters& c) { return ImportMoneyXml(store, messages, progress, params, c); },
            counters);
        const double seconds = watch.Seconds();
        const double cpu = watch.Cpu();

        Statement covers(store, "SELECT COUNT(*) FROM Move_Cover");
        covers.Step();
        std::printf("Money S3 XML import: %.1f MB file, %ld lines, %ld documents, %lld cover "
                    "lines in %.2f s = %.0f lines/s (target 150000); processor time %.2f s = "
                    "%.0f lines/s; peak memory %.0f MB (target < 100)\n",
                    static_cast<double>(fs::file_size(file)) / 1e6, lines, counters.documents,
                    static_cast<long long>(covers.Int(0)), seconds,
                    static_cast<double>(lines) / seconds, cpu, static_cast<double>(lines) / cpu,
                    static_cast<double>(bench::PeakMemoryKb()) / 1024.0);
        if (dir.empty())
            fs::remove_all(folder);
        return result == ImportResult::Succeeded ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "bench_money_xml: " << e.what() << "\n";
        return 1;
    }
}
