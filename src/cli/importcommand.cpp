#include "cli/importcommand.h"

#include "core/data/shared.h"
#include "core/ports/notifyport.h"

namespace tarvo::cli {

ExistingMode ExistingOption(const std::string& text) {
    if (text == "overwrite")
        return ExistingMode::Overwrite;
    if (text == "skip")
        return ExistingMode::Skip;
    if (text == "ask")
        return ExistingMode::Ask;
    throw CliError{"Volba --existing přijímá overwrite, skip nebo ask, ne '" + text + "'."};
}

int RunImportCommand(CliContext& context, ExistingMode mode, const CliImporter& importer) {
    if (mode == ExistingMode::Ask)
        context.messages.SetInteractive(true);
    InformationToOutput messages(context.messages, context.out);
    TerminalProgress progress(context.err);
    NullNotifier views;
    ImportCounters counters;
    const ImportResult result = RunImport(
        messages, views, [&](ImportCounters& c) { return importer(messages, progress, c); },
        counters);
    return result == ImportResult::Succeeded ? 0 : 1;
}

} // namespace tarvo::cli
