// The statement breakdown of a quarter over the five-million-line database of
// the report benchmark: the statement alone, then the breakdown (reading every
// line of the quarter and writing the breakdown workbook), each in a process
// of its own so that each peak memory figure is its own.
//
//   bench_breakdown [--rows N] [--seed S] [--year Y --quarter Q] [--dir DIR] [--keep]
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/ports/progressport.h"
#include "core/report/breakdown.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "dev/datagenerator.h"
#include "reportdataset.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

using namespace tarvo;
using namespace tarvo::bench;

namespace {

// "seconds cpu peak-kB lines path" for the statement (what = 0) or the
// breakdown of an existing statement (what = 1).
int Measure(const std::string& folder, int year, int quarter, int what,
            const std::string& statement) {
    YesMessages messages;
    CDataStore store(messages);
    OpenDatabase(store, folder + "Tarvo.mdb");
    const Stopwatch watch;
    std::string path;
    size_t lines = 0;
    if (what == 0) {
        NullProgress progress;
        ReportParams params;
        params.year = year;
        params.quarter = quarter;
        const auto report = BuildReport(store, progress, DataFolder{folder}, params);
        if (!report)
            return 1;
        path = *report;
    } else {
        const Breakdown breakdown =
            ComputeBreakdown(store, year, quarter, ReadReportVersion(statement));
        std::cerr << "breakdown read in " << watch.Seconds() << " s (CPU " << watch.Cpu()
                  << " s)\n";
        lines = breakdown.contributions.size() + breakdown.leftOut.size();
        path = BreakdownPath(statement);
        WriteBreakdownWorkbook(breakdown, path);
    }
    if (messages.errors > 0)
        return 1;
    std::cout << watch.Seconds() << " " << watch.Cpu() << " " << PeakMemoryKb() << " " << lines
              << " " << path << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    long rows = 5000000;
    uint64_t seed = 1;
    int year = 2020;
    int quarter = 2;
    std::string dir;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--measure" && i + 5 < argc)
            return Measure(argv[i + 1], std::atoi(argv[i + 2]), std::atoi(argv[i + 3]),
                           std::atoi(argv[i + 4]), argv[i + 5]);
        if (arg == "--rows" && hasValue)
            rows = std::atol(argv[++i]);
        else if (arg == "--seed" && hasValue)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--year" && hasValue)
            year = std::atoi(argv[++i]);
        else if (arg == "--quarter" && hasValue)
            quarter = std::atoi(argv[++i]);
        else if (arg == "--dir" && hasValue)
            dir = argv[++i];
        else if (arg == "--keep")
            keep = true;
        else {
            std::cerr << "bench_breakdown [--rows N] [--seed S] [--year Y --quarter Q] [--dir "
                         "DIR] [--keep]\n";
            return 2;
        }
    }
    namespace fs = std::filesystem;
    dir = BenchFolder(dir);
    const std::string folder = (fs::path(dir) / "").string();
    try {
        PrepareReportDataSet(folder, rows, seed, year, quarter);

        double seconds = 0, cpu = 0;
        long peak = 0;
        size_t lines = 0;
        std::string statement;
        std::istringstream(
            RunSelf(Format("--measure '%s' %d %d 0 -", folder.c_str(), year, quarter))) >>
            seconds >> cpu >> peak >> lines >> statement;
        if (statement.empty()) {
            std::cerr << "the statement failed\n";
            return 1;
        }
        std::printf("statement %i/%i: %.2f s (CPU %.2f s), peak memory %.1f MB\n", quarter, year,
                    seconds, cpu, static_cast<double>(peak) / 1024.0);

        std::string breakdown;
        std::istringstream(RunSelf(Format("--measure '%s' %d %d 1 '%s'", folder.c_str(), year,
                                          quarter, statement.c_str()))) >>
            seconds >> cpu >> peak >> lines >> breakdown;
        if (breakdown.empty()) {
            std::cerr << "the breakdown failed\n";
            return 1;
        }
        std::printf("breakdown %i/%i: %zu lines, %.2f s (CPU %.2f s), peak memory %.1f MB, "
                    "workbook %.1f MB\n",
                    quarter, year, lines, seconds, cpu, static_cast<double>(peak) / 1024.0,
                    static_cast<double>(fs::file_size(breakdown)) / 1048576.0);
        std::printf("target: < 10 s and < 400 MB %s\n",
                    seconds < 10.0 && peak < 400 * 1024 ? "met" : "MISSED");
        fs::remove(statement);
        fs::remove(breakdown);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (!keep)
        fs::remove_all(dir);
    return 0;
}
