#include "cli/commands.h"
#include "cli/importcommand.h"
#include "core/data/cdatastore.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/ports/notifyport.h"
#include "core/registerbook/registerexport.h"
#include "core/registerbook/registerimport.h"
#include "core/registers/propagationswitches.h"

#include <ostream>

namespace tarvo::cli {

namespace {

std::string WorkbookArgument(CliArgs& args) {
    const std::optional<std::string> file = args.Positional();
    if (!file)
        throw CliError{"Zadejte soubor sešitu (.xlsx)."};
    return *file;
}

// "1 chyba", "3 chyby", "5 chyb".
std::string FaultCount(size_t count) {
    const char* noun = count == 1 ? "chyba" : count >= 2 && count <= 4 ? "chyby" : "chyb";
    return Format("%zu %s", count, noun);
}

} // namespace

int CmdExportRegisters(CliContext& context) {
    const std::string path = WorkbookArgument(context.args);
    const bool empty = context.args.Flag("empty");
    context.args.ExpectEnd();
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    try {
        context.out << ExportSummaryText(ExportRegisters(store, path, empty)) << std::endl;
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    return 0;
}

// The mode for records found again is the one the window remembers unless
// --existing names another for this run.
int CmdImportRegisters(CliContext& context) {
    const std::string path = WorkbookArgument(context.args);
    Profile profile(context.data.SettingsPath());
    RegisterImportOptions options;
    options.existing = ReadImportChoices(profile, RegisterImportSection).existing;
    options.dryRun = context.args.Flag("dry-run");
    if (const std::optional<std::string> existing = context.args.Option("existing"))
        options.existing = ExistingOption(*existing);
    context.args.ExpectEnd();

    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    if (options.existing == ExistingMode::Ask && !options.dryRun)
        context.messages.SetInteractive(true);
    RegisterImportResult result;
    {
        TerminalProgress progress(context.err);
        NullNotifier views;
        result = ImportRegisters(store, path, options, ReadSwitches(profile), progress, views);
    }
    switch (result.status) {
    case RegisterImportStatus::Done:
        context.out << RegisterImportSummaryText(result.summary, options.dryRun, options.existing)
                    << std::endl;
        return 0;
    case RegisterImportStatus::Faults:
        for (const RegisterFault& fault : result.faults)
            context.err << fault.Message() << "\n";
        context.err << "Soubor nebyl importován: " << FaultCount(result.faults.size()) << "."
                    << std::endl;
        return 1;
    case RegisterImportStatus::Cancelled:
    case RegisterImportStatus::Failed:
        break;
    }
    return 1;
}

} // namespace tarvo::cli
