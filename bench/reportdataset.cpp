#include "reportdataset.h"

#include "benchsupport.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "core/ports/progressport.h"
#include "core/report/reportbuild.h"
#include "core/report/reporttemplate.h"
#include "dev/datagenerator.h"
#include "dev/syntheticform.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tarvo::bench {

void PrepareReportDataSet(const std::string& folder, long rows, uint64_t seed, int year,
                          int quarter) {
    namespace fs = std::filesystem;
    const std::string database = folder + "Tarvo.mdb";
    GeneratorOptions options;
    options.seed = seed;
    options.covers = 200;
    options.products = 2000;
    options.linesPerDispatch = 4;
    options.coversPerLine = 5;
    options.dispatches = rows / (options.linesPerDispatch * options.coversPerLine);
    options.firstYear = 2019;
    options.years = 4;
    options.classify = true;
    if (!fs::exists(database)) {
        YesMessages messages;
        CDataStore store(messages);
        const GeneratedDatabase made = GenerateDatabase(store, database, options);
        std::printf("generated %ld dispatches, %ld cover lines in %.1f s\n", made.counts.dispatches,
                    made.counts.coverLines, made.seconds);
    }
    const std::string templatePath = QuarterTemplatePath(folder, year, quarter);
    if (!fs::exists(templatePath))
        MakeReportTemplate(templatePath, year, quarter);
}

std::string PrepareFormFile(const std::string& folder, int year, int quarter) {
    const std::string path = folder + Format("formular_%d_%d.xlsx", year, quarter);
    if (!std::filesystem::exists(path))
        SyntheticForm(year, quarter).Write(path);
    return path;
}

} // namespace tarvo::bench
