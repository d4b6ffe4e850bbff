#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/shared.h"
#include "dev/datagenerator.h"

#include <ostream>

namespace tarvo::cli {

namespace {

long Count(CliArgs& args, const std::string& name, long fallback) {
    const std::optional<long> value = args.Number(name);
    if (value && *value < 0)
        throw CliError{Format("Volba --%s musí být nezáporné číslo.", name.c_str())};
    return value.value_or(fallback);
}

} // namespace

int CmdGenerate(CliContext& context) {
    CliArgs& args = context.args;
    GeneratorOptions options;
    options.seed = static_cast<uint64_t>(Count(args, "seed", 1));
    options.products = Count(args, "products", options.products);
    options.dispatches = Count(args, "dispatches", options.dispatches);
    options.linesPerDispatch = Count(args, "lines-per-dispatch", options.linesPerDispatch);
    options.covers = Count(args, "covers", options.covers);
    options.coversPerLine = Count(args, "covers-per-line", options.coversPerLine);
    options.composites = Count(args, "composites", options.composites);
    options.discards = Count(args, "discards", -1);
    options.firstYear = static_cast<int>(Count(args, "first-year", options.firstYear));
    options.years = static_cast<int>(Count(args, "years", options.years));
    options.deriveCovers = !args.Flag("no-derive");
    options.classify = args.Flag("classify");
    args.ExpectEnd();
    if (options.products < 1 || options.years < 1 || options.firstYear < 1901 ||
        options.firstYear + options.years > 9999)
        throw CliError{"Generátor potřebuje aspoň jeden výrobek a roky mezi 1901 a 9999."};

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    GeneratorCounts counts;
    try {
        TerminalProgress progress(context.err);
        counts = GenerateData(store, options, progress);
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    context.out << Format("Obaly: %li\nSložené obaly: %li\nVýrobky: %li\nDefinice balení: %li\n"
                          "Řádky balení: %li\nVýdeje: %li\nŘádky výdejů: %li\n"
                          "Obaly ve výdejích: %li\nVyřazení: %li",
                          counts.covers, counts.composites, counts.products, counts.definitions,
                          counts.packagingLines, counts.dispatches, counts.lines, counts.coverLines,
                          counts.discards)
                << std::endl;
    return 0;
}

} // namespace tarvo::cli
