// The registers to a workbook and back: 10,000 products with 3 packaging
// definitions of 3 lines each (90,000 packaging rows) and 300 covers are
// exported, then imported into an empty database (target < 10 s, peak memory
// < 300 MB), then imported again over themselves, where every record is
// found and compared. The import runs in a process of its own, so that its
// peak memory is its own.
//
//   bench_registerbook [products] [--dir DIR]
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/data/transaction.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "core/registerbook/registerexport.h"
#include "core/registerbook/registerimport.h"
#include "core/registers/propagationswitches.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

constexpr long Covers = 300;
constexpr long Definitions = 3;
constexpr long Lines = 3;

// Products of Money S3 with their identifier there and a catalogue number.
void WriteRegisters(CDataStore& store, long products) {
    Transaction unit(store);
    Statement cover(store, "INSERT INTO Cover (cover_name, cover_weight, cover_mat, cover_type, "
                           "cover_org, cover_pay, cover_stat, cover_reusable) VALUES (?, ?, ?, "
                           "?, ?, ?, 0, 0)");
    for (long c = 1; c <= Covers; ++c) {
        cover.BindText(1, Format("Obal %ld", c))
            .BindInt(2, 100 * c)
            .BindInt(3, c % 30)
            .BindInt(4, c % 4)
            .BindInt(5, c % 3)
            .BindInt(6, c % 3);
        cover.Run();
    }
    Statement product(store, "INSERT INTO Product (prod_name, prod_katalog, prod_unit, "
                             "prod_source, prod_scrid) VALUES (?, ?, 'ks', 1, ?)");
    Statement definition(store, "INSERT INTO Prod_CoverDT (prod_id, dt_from) VALUES (?, ?)");
    Statement line(store, "INSERT INTO Prod_Cover (dt_id, cover_id, cp_qtycover, cp_qtyprod, "
                          "cp_usealways, cp_usefrom, cp_useto, cover_type, cover_org, "
                          "cover_pay) VALUES (?, ?, ?, 10000, 1, 0, 0, 1, 2, 1)");
    for (long p = 1; p <= products; ++p) {
        product.BindText(1, Format("Výrobek %ld", p))
            .BindText(2, Format("K-%06ld", p))
            .BindInt(3, 10000 + p);
        product.Run();
        const int64_t prodId = store.LastInsertId();
        for (long d = 0; d < Definitions; ++d) {
            definition.BindInt(1, prodId).BindDate(
                2, OleDate::FromParts(static_cast<int>(2022 + d), 1, 1));
            definition.Run();
            const int64_t dtId = store.LastInsertId();
            for (long l = 0; l < Lines; ++l) {
                line.BindInt(1, dtId)
                    .BindInt(2, 1 + (p * 7 + l) % Covers)
                    .BindInt(3, (l + 1) * 10000);
                line.Run();
            }
        }
    }
    unit.Commit();
}

// The child: imports the file into a new database twice and prints the times.
int Import(const fs::path& folder) {
    bench::YesMessages messages;
    CDataStore store(messages);
    bench::CreateDatabase(store, (folder / "target.mdb").string());
    const PropagationSwitches switches;
    NullProgress progress;
    NullNotifier views;
    const std::string file = (folder / "evidence.xlsx").string();
    const bench::Stopwatch first;
    const RegisterImportResult added =
        ImportRegisters(store, file, {ExistingMode::Overwrite, false}, switches, progress, views);
    const double addSeconds = first.Seconds();
    const double addCpu = first.Cpu();
    const bench::Stopwatch second;
    const RegisterImportResult kept =
        ImportRegisters(store, file, {ExistingMode::Overwrite, false}, switches, progress, views);
    std::printf("import into an empty database: %ld products, %ld definitions added in %.2f s "
                "(processor %.2f s; target < 10 s)\n"
                "import over itself: %ld definitions found unchanged in %.2f s (processor %.2f "
                "s)\npeak memory of the imports: %.0f MB (target < 300)\n",
                added.summary.products.added, added.summary.definitions.added, addSeconds, addCpu,
                kept.summary.definitions.kept, second.Seconds(), second.Cpu(),
                static_cast<double>(bench::PeakMemoryKb()) / 1024.0);
    return added.status == RegisterImportStatus::Done && kept.status == RegisterImportStatus::Done
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    long products = 10000;
    std::string dir;
    bool importOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (word == "--import")
            importOnly = true;
        else
            products = std::atol(argv[i]);
    }
    try {
        const fs::path folder = bench::BenchFolder(dir);
        if (importOnly)
            return Import(folder);
        {
            bench::YesMessages messages;
            CDataStore store(messages);
            bench::CreateDatabase(store, (folder / "source.mdb").string());
            WriteRegisters(store, products);
            const bench::Stopwatch watch;
            const RegisterExportCounts counts =
                ExportRegisters(store, (folder / "evidence.xlsx").string());
            std::printf("export: %ld covers, %ld products, %ld definitions, %ld lines in %.2f s "
                        "(processor %.2f s), %.1f MB\n",
                        counts.covers, counts.products, counts.definitions, counts.lines,
                        watch.Seconds(), watch.Cpu(),
                        static_cast<double>(fs::file_size(folder / "evidence.xlsx")) / 1e6);
        }
        std::fputs(bench::RunSelf("--import --dir '" + folder.string() + "'").c_str(), stdout);
        if (dir.empty())
            fs::remove_all(folder);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "bench_registerbook: " << e.what() << "\n";
        return 1;
    }
}
