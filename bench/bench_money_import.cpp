// Money S3 import of 100,000 document lines (20,000 stock documents of five
// lines, 1,000 stock cards, each with a packaging definition of two lines), the
// covers of every line derived. Prints lines per second; the target is 150,000.
//
//   bench_money_import [lines]
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/import/moneys3import.h"
#include "core/ports/messageport.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

class PrintingMessages final : public IMessagePort {
public:
    void ShowMessage(const std::string& text, MsgIcon) override { std::cerr << text << "\n"; }
    bool AskYesNo(const std::string&, MsgIcon) override { return false; }
    OverwriteAnswer AskOverwrite(const std::string&) override { return OverwriteAnswer::No; }
};

constexpr long Cards = 1000;
constexpr long LinesPerDocument = 5;

void WriteMoneyData(const fs::path& agenda, long lines) {
    const fs::path year = agenda / "Rok.2024";
    fs::create_directories(year);
    std::ofstream(agenda / "Agenda.ini") << "[Údaje o firmě]\nNázev=Benchmark s.r.o.\n";
    std::ofstream(year / "Rok.ini") << "[Global]\nÚčetní rok=2024\n";
    std::ofstream cards(agenda / "SKKMKART.csv");
    cards << "Cislo;Popis;Katalog;MJ\n";
    for (long c = 1; c <= Cards; ++c)
        cards << c << ";Výrobek " << c << ";KAT-" << c << ";ks\n";
    const long documents = (lines + LinesPerDocument - 1) / LinesPerDocument;
    std::ofstream docs(year / "SKSEZDOK.csv");
    docs << "CDokladu;CisloDokla;Datum;Typ;A_Stat\n";
    for (long d = 1; d <= documents; ++d)
        docs << d << ";VY-" << d << ";" << Format("%02ld.%02ld.2024", 1 + d % 28, 1 + d % 12)
             << ";V;" << (d % 3 == 0 ? "Slovensko" : "") << "\n";
    std::ofstream items(year / "SKSEZPOL.csv");
    items << "CDokladu;TypDokladu;CisloPoloz;CKmenKarty;Nazev;Katalog;MJ;PocetMJ\n";
    for (long i = 0; i < lines; ++i) {
        const long card = 1 + (i * 7) % Cards;
        items << 1 + i / LinesPerDocument << ";S;" << 1 + i % LinesPerDocument << ";" << card
              << ";Výrobek " << card << ";KAT-" << card << ";ks;" << 10 + i % 990 << ",5\n";
    }
    std::ofstream(year / "VFAKTURY.csv") << "Cislo;Doklad;DatSkPoh;Storno;FlagDel;O_Stat\n";
}

// Every product a definition from 1 January 2024: a box per 100 pieces and,
// above 500 pieces, a pallet.
void WritePackaging(CDataStore& store) {
    Transaction unit(store);
    store.ExecuteOrThrow("INSERT INTO Cover (cover_name, cover_weight) VALUES ('krabice', 5000)");
    store.ExecuteOrThrow("INSERT INTO Cover (cover_name, cover_weight) VALUES ('paleta', 250000)");
    for (long c = 1; c <= Cards; ++c) {
        store.ExecuteOrThrow(Format("INSERT INTO Product (prod_name, prod_source, prod_scrid) "
                                    "VALUES ('Výrobek %ld', 1, %ld)",
                                    c, c));
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
    const long lines = argc > 1 ? std::atol(argv[1]) : 100000;
    const fs::path folder =
        fs::temp_directory_path() / ("tarvo-bench-import-" + std::to_string(getpid()));
    fs::create_directories(folder);
    int status = 0;
    try {
        WriteMoneyData(folder / "Agenda.001", lines);
        PrintingMessages messages;
        CDataStore store(messages);
        bench::CreateDatabase(store, (folder / "Tarvo.mdb").string());
        WritePackaging(store);

        MoneyImportParams params;
        params.agendaFolder = (folder / "Agenda.001").string() + "/";
        params.yearFolder = params.agendaFolder + "Rok.2024/";
        params.choices.existing = ExistingMode::Overwrite;
        NullProgress progress;
        NullNotifier views;
        ImportCounters counters;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const ImportResult result = RunImport(
            messages, views,
            [&](ImportCounters& c) { return ImportMoneyS3(store, messages, progress, params, c); },
            counters);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // The machine may be shared: the processor time shows the import's
        // own cost.
        const double cpuSeconds =
            static_cast<double>(std::clock() - cpuStart) / static_cast<double>(CLOCKS_PER_SEC);

        Statement covers(store, "SELECT COUNT(*) FROM Move_Cover");
        covers.Step();
        std::printf("Money S3 import: %ld lines, %ld documents, %lld cover lines in %.2f s = "
                    "%.0f lines/s (target 150000); processor time %.2f s = %.0f lines/s\n",
                    lines, counters.documents, static_cast<long long>(covers.Int(0)), seconds,
                    static_cast<double>(lines) / seconds, cpuSeconds,
                    static_cast<double>(lines) / cpuSeconds);
        status = result == ImportResult::Succeeded ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "bench_money_import: " << e.what() << "\n";
        status = 1;
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return status;
}
