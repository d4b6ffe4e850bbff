// A whole quarterly report over a working database of five million dispatch
// cover lines made by the data generator: template lookup, copy, the ten
// sheet fills and the save, as the report command runs them; then the
// statement since 2021 of a later quarter filled into its form (the check of
// the form, the placement of every line, the layout, the copy and the save).
//
//   bench_report [--rows N] [--seed S] [--year Y --quarter Q]
//                [--form-year Y --form-quarter Q] [--dir DIR] [--keep]
#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/ports/progressport.h"
#include "core/report/formbuild.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "dev/datagenerator.h"
#include "reportdataset.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>

using namespace tarvo;
using namespace tarvo::bench;

namespace {

// One statement in a process of its own, timed from the build's start:
// prints "seconds cpu peak-kB path".
int MeasureStatement(
    const std::string& folder,
    const std::function<std::optional<std::string>(CDataStore&, IProgressPort&)>& build) {
    YesMessages messages;
    CDataStore store(messages);
    OpenDatabase(store, folder + "Tarvo.mdb");
    NullProgress progress;
    const Stopwatch watch;
    const std::optional<std::string> report = build(store, progress);
    const double seconds = watch.Seconds();
    const double cpu = watch.Cpu();
    if (!report || messages.errors > 0)
        return 1;
    std::cout << seconds << " " << cpu << " " << PeakMemoryKb() << " " << *report << "\n";
    return 0;
}

int MeasureReport(const std::string& folder, int year, int quarter) {
    ReportParams params;
    params.year = year;
    params.quarter = quarter;
    params.company.name = "Kolmara s.r.o.";
    return MeasureStatement(folder, [&](CDataStore& store, IProgressPort& progress) {
        return BuildReport(store, progress, DataFolder{folder}, params);
    });
}

// The statement since 2021, into a synthetic form of the quarter.
int MeasureFormReport(const std::string& folder, int year, int quarter) {
    FormReportParams params;
    params.year = year;
    params.quarter = quarter;
    params.formPath = PrepareFormFile(folder, year, quarter);
    params.company.name = "Kolmara s.r.o.";
    params.writeDespiteFailures = [](const std::vector<std::string>&) { return true; };
    return MeasureStatement(folder, [&](CDataStore& store, IProgressPort& progress) {
        return BuildFormReport(store, progress, DataFolder{folder}, params);
    });
}

// Runs a measuring child: seconds, CPU seconds, peak kB and the workbook.
struct Measured {
    double seconds = 0, cpu = 0;
    long peak = 0;
    std::string report;
};
Measured Measure(const std::string& mode, const std::string& folder, int year, int quarter) {
    Measured m;
    std::istringstream(
        RunSelf(Format("%s '%s' %d %d", mode.c_str(), folder.c_str(), year, quarter))) >>
        m.seconds >> m.cpu >> m.peak >> m.report;
    return m;
}

long CountOf(CDataStore& store, const std::string& sql) {
    Statement count(store, sql);
    count.Step();
    return static_cast<long>(count.Int(0));
}

} // namespace

int main(int argc, char** argv) {
    long rows = 5000000;
    uint64_t seed = 1;
    int year = 2020;
    int quarter = 2;
    int formYear = 2022;
    int formQuarter = 2;
    std::string dir;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--measure" && i + 3 < argc)
            return MeasureReport(argv[i + 1], std::atoi(argv[i + 2]), std::atoi(argv[i + 3]));
        if (arg == "--measure-form" && i + 3 < argc)
            return MeasureFormReport(argv[i + 1], std::atoi(argv[i + 2]), std::atoi(argv[i + 3]));
        if (arg == "--rows" && hasValue)
            rows = std::atol(argv[++i]);
        else if (arg == "--seed" && hasValue)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--year" && hasValue)
            year = std::atoi(argv[++i]);
        else if (arg == "--quarter" && hasValue)
            quarter = std::atoi(argv[++i]);
        else if (arg == "--form-year" && hasValue)
            formYear = std::atoi(argv[++i]);
        else if (arg == "--form-quarter" && hasValue)
            formQuarter = std::atoi(argv[++i]);
        else if (arg == "--dir" && hasValue)
            dir = argv[++i];
        else if (arg == "--keep")
            keep = true;
        else {
            std::cerr << "bench_report [--rows N] [--seed S] [--year Y --quarter Q] "
                         "[--form-year Y --form-quarter Q] [--dir DIR] [--keep]\n";
            return 2;
        }
    }
    namespace fs = std::filesystem;
    dir = BenchFolder(dir);
    const std::string folder = (fs::path(dir) / "").string();
    const std::string database = folder + "Tarvo.mdb";

    try {
        PrepareReportDataSet(folder, rows, seed, year, quarter);
        {
            YesMessages messages;
            CDataStore store(messages);
            OpenDatabase(store, database);
            const tarvo::QuarterDays period = QuarterPeriod(year, quarter);
            std::printf("Move_Cover rows: %ld, of them in %i/%i: %ld\n",
                        CountOf(store, "SELECT COUNT(*) FROM Move_Cover"), quarter, year,
                        CountOf(store, Format("SELECT COUNT(*) FROM Move INNER JOIN Move_Cover "
                                              "ON Move.move_id = Move_Cover.move_id WHERE "
                                              "move_date >= %.1f AND move_date < %.1f",
                                              period.first.Value(), period.last.Value() + 1)));
        }

        const Measured old = Measure("--measure", folder, year, quarter);
        if (old.report.empty()) {
            std::cerr << "the report failed\n";
            return 1;
        }
        std::printf("quarterly report %i/%i: %.2f s (CPU %.2f s), peak memory %.1f MB\n", quarter,
                    year, old.seconds, old.cpu, static_cast<double>(old.peak) / 1024.0);
        std::printf("workbook: %s\n", old.report.c_str());
        std::printf("target: < 0.5 s and < 50 MB %s\n",
                    old.seconds < 0.5 && old.peak < 50 * 1024 ? "met" : "MISSED");
        fs::remove(old.report);

        PrepareFormFile(folder, formYear, formQuarter);
        const Measured form = Measure("--measure-form", folder, formYear, formQuarter);
        if (form.report.empty()) {
            std::cerr << "the statement since 2021 failed\n";
            return 1;
        }
        const double megabytes = static_cast<double>(form.peak) / 1024.0;
        std::printf("statement since 2021 %i/%i: %.2f s (CPU %.2f s), peak memory %.1f MB\n",
                    formQuarter, formYear, form.seconds, form.cpu, megabytes);
        std::printf("workbook: %s\n", form.report.c_str());
        std::printf("target: < 3 s and < 100 MB %s\n",
                    form.seconds < 3.0 && megabytes < 100.0 ? "met" : "MISSED");
        fs::remove(form.report);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    if (!keep)
        fs::remove_all(dir);
    return 0;
}
