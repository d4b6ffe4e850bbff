#pragma once

#include "cli/cliargs.h"
#include "cli/cliports.h"
#include "core/data/datafolder.h"

#include <iosfwd>

namespace tarvo {
class CDataStore;
}

namespace tarvo::cli {

struct CliContext {
    DataFolder data;
    CliArgs& args;
    CliMessagePort& messages;
    std::ostream& out;
    std::ostream& err;
};

// Makes the data folder ready (a new folder gets an empty database) and opens
// its database. False when that failed; the reason has been printed.
bool OpenWorkingDatabase(CliContext& context, CDataStore& store);

// One function per command; each returns the process exit status.
int CmdInit(CliContext& context);
int CmdInfo(CliContext& context);
int CmdResolveAll(CliContext& context);
int CmdGenerate(CliContext& context);
int CmdBackup(CliContext& context);
int CmdRestore(CliContext& context);
int CmdCompact(CliContext& context);
int CmdImportMoney(CliContext& context);
int CmdImportMoneyXml(CliContext& context);
int CmdImportWak(CliContext& context);
int CmdReport(CliContext& context);
int CmdMakeTemplate(CliContext& context);
int CmdExplain(CliContext& context);
int CmdExportRegisters(CliContext& context);
int CmdImportRegisters(CliContext& context);
int CmdCoversUnclassified(CliContext& context);
int CmdProposeClassification(CliContext& context);

} // namespace tarvo::cli
