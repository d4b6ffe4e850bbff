// The bulk re-derivation of dispatch covers on a million product lines made
// by the data generator, against the same derivation done as one set-based
// SQL statement: the speed SQLite itself allows on this machine.
//
//   bench_resolve [--lines N] [--seed S] [--dir DIR] [--keep] [--rebuild-from N]
//
// --rebuild-from sets where the run turns from line by line to a rebuild of
// the table (a huge number measures the line-by-line run).
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/engine/bulkresolution.h"
#include "core/ports/notifyport.h"
#include "core/ports/progressport.h"
#include "dev/datagenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sqlite3.h>
#include <sstream>

using namespace tarvo;
using namespace tarvo::bench;

namespace {

// The derivation in one statement: the definition valid at the dispatch (the
// last by dt_from, dt_id not later than move_date), its lines that apply to
// the quantity, whole packs times cp_qtycover, integer division truncating
// toward zero as the engine does.
constexpr const char* FloorSql = R"(
BEGIN;
DELETE FROM Move_Cover WHERE mvprod_id IN (SELECT mvprod_id FROM Move_Prod);
INSERT INTO Move_Cover (mvprod_id, move_id, cover_id, mvcover_qty, cover_type, cover_org, cover_pay)
SELECT mp.mvprod_id, mp.move_id, pc.cover_id,
       (CASE WHEN pc.cp_qtyprod < 0 THEN 10000
             WHEN pc.cp_qtyprod = 0 THEN 0
             ELSE (mp.mvprod_qty * 10000 / pc.cp_qtyprod) / 10000 * 10000 END)
           * pc.cp_qtycover / 10000,
       pc.cover_type, pc.cover_org, pc.cover_pay
FROM Move_Prod mp
JOIN Move m ON m.move_id = mp.move_id
JOIN Prod_Cover pc ON pc.dt_id =
     (SELECT d.dt_id FROM Prod_CoverDT d
      WHERE d.prod_id = mp.prod_id AND d.dt_from IS NOT NULL AND d.dt_from <= m.move_date
      ORDER BY d.dt_from DESC, d.dt_id DESC LIMIT 1)
WHERE pc.cp_usealways <> 0 OR (pc.cp_usefrom <= mp.mvprod_qty AND pc.cp_useto >= mp.mvprod_qty);
COMMIT;
)";

// Sums that differ when any derived row differs.
constexpr const char* ChecksumSql =
    "SELECT COUNT(*) || ' ' || TOTAL(mvcover_qty) || ' ' || TOTAL(mvprod_id * 7 + cover_id * 13 "
    "+ (mvcover_qty % 1000003) * 17 + cover_type * 19 + cover_org * 23 + cover_pay * 29 + "
    "move_id * 31) FROM Move_Cover";

int MeasureBulk(const std::string& path, long rebuildFrom) {
    YesMessages messages;
    CDataStore store(messages);
    OpenDatabase(store, path);
    NullProgress progress;
    NullNotifier views;
    const Stopwatch watch;
    const BulkResult result = ResolveAllMoveCovers(store, progress, views, rebuildFrom);
    const double seconds = watch.Seconds();
    const double cpu = watch.Cpu();
    if (result.outcome != BulkOutcome::Completed || messages.errors > 0)
        return 1;
    std::cout << seconds << " " << cpu << " " << result.processed << " " << PeakMemoryKb() << "\n";
    return 0;
}

int MeasureFloor(const std::string& path) {
    YesMessages messages;
    CDataStore store(messages);
    OpenDatabase(store, path);
    // The same page cache as the bulk run gives itself.
    store.ExecuteOrThrow("PRAGMA cache_size = -65536");
    const Stopwatch watch;
    char* error = nullptr;
    if (sqlite3_exec(store.Handle(), FloorSql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::cerr << error << "\n";
        return 1;
    }
    std::cout << watch.Seconds() << " " << watch.Cpu() << " " << PeakMemoryKb() << "\n";
    return 0;
}

int Checksum(const std::string& path) {
    YesMessages messages;
    CDataStore store(messages);
    OpenDatabase(store, path);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(store.Handle(), ChecksumSql, -1, &stmt, nullptr);
    if (sqlite3_step(stmt) == SQLITE_ROW)
        std::cout << reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)) << "\n";
    sqlite3_finalize(stmt);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    long lines = 1000000;
    uint64_t seed = 1;
    std::string dir;
    bool keep = false;
    long rebuildFrom = RebuildFromLines;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--measure-bulk" && i + 2 < argc)
            return MeasureBulk(argv[i + 1], std::atol(argv[i + 2]));
        if (arg == "--measure-floor" && hasValue)
            return MeasureFloor(argv[i + 1]);
        if (arg == "--checksum" && hasValue)
            return Checksum(argv[i + 1]);
        if (arg == "--lines" && hasValue)
            lines = std::atol(argv[++i]);
        else if (arg == "--seed" && hasValue)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--dir" && hasValue)
            dir = argv[++i];
        else if (arg == "--keep")
            keep = true;
        else if (arg == "--rebuild-from" && hasValue)
            rebuildFrom = std::atol(argv[++i]);
        else {
            std::cerr << "bench_resolve [--lines N] [--seed S] [--dir DIR] [--keep] "
                         "[--rebuild-from N]\n";
            return 2;
        }
    }
    namespace fs = std::filesystem;
    dir = BenchFolder(dir);
    const std::string source = (fs::path(dir) / "source.mdb").string();
    const std::string bulk = (fs::path(dir) / "bulk.mdb").string();
    const std::string floor = (fs::path(dir) / "floor.mdb").string();

    try {
        if (!fs::exists(source)) {
            YesMessages messages;
            CDataStore store(messages);
            GeneratorOptions options;
            options.seed = seed;
            options.covers = 200;
            options.products = 2000;
            options.linesPerDispatch = 4;
            options.dispatches = lines / options.linesPerDispatch;
            const GeneratedDatabase made = GenerateDatabase(store, source, options);
            std::printf("generated %ld product lines, %ld cover lines in %.1f s\n",
                        made.counts.lines, made.counts.coverLines, made.seconds);
        }
        for (const std::string& copy : {bulk, floor})
            fs::copy_file(source, copy, fs::copy_options::overwrite_existing);

        double bulkSeconds = 0, floorSeconds = 0, bulkCpu = 0, floorCpu = 0;
        long processed = 0, bulkPeak = 0, floorPeak = 0;
        std::istringstream(
            RunSelf("--measure-bulk '" + bulk + "' " + std::to_string(rebuildFrom))) >>
            bulkSeconds >> bulkCpu >> processed >> bulkPeak;
        std::istringstream(RunSelf("--measure-floor '" + floor + "'")) >> floorSeconds >>
            floorCpu >> floorPeak;
        const bool same =
            RunSelf("--checksum '" + bulk + "'") == RunSelf("--checksum '" + floor + "'");

        const double lineCount = static_cast<double>(processed);
        const double rate = lineCount / bulkSeconds;
        const double ratio = bulkSeconds / floorSeconds;
        std::printf("bulk re-derivation: %ld lines in %.2f s (CPU %.2f s) = %.0f lines/s "
                    "(%.0f per CPU second), peak memory %.1f MB\n",
                    processed, bulkSeconds, bulkCpu, rate, lineCount / bulkCpu,
                    static_cast<double>(bulkPeak) / 1024.0);
        std::printf("set-based SQL floor: %.2f s (CPU %.2f s) = %.0f lines/s (%.0f per CPU "
                    "second), peak memory %.1f MB\n",
                    floorSeconds, floorCpu, lineCount / floorSeconds, lineCount / floorCpu,
                    static_cast<double>(floorPeak) / 1024.0);
        std::printf("ratio to the floor: %.2f (CPU %.2f)\n", ratio, bulkCpu / floorCpu);
        std::printf("same cover lines as the floor: %s\n", same ? "yes" : "NO");
        std::printf("targets: >= 150000 lines/s %s, ratio <= 2 %s, < 200 MB %s\n",
                    rate >= 150000 ? "met" : "MISSED", ratio <= 2 ? "met" : "MISSED",
                    bulkPeak < 200 * 1024 ? "met" : "MISSED");
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (!keep)
        fs::remove_all(dir);
    return 0;
}
