#pragma once

#include "cli/commands.h"
#include "core/import/importframework.h"

#include <functional>
#include <string>

namespace tarvo::cli {

// The --existing option of the import commands: overwrite, skip or ask.
ExistingMode ExistingOption(const std::string& text);

// Runs an importer the way both import commands do: in ask mode the
// questions are read from standard input, the summary goes to standard
// output, progress to stderr. Returns the exit status.
using CliImporter = std::function<bool(IMessagePort&, IProgressPort&, ImportCounters&)>;
int RunImportCommand(CliContext& context, ExistingMode mode, const CliImporter& importer);

} // namespace tarvo::cli
