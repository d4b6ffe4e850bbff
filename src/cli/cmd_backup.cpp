#include "cli/commands.h"
#include "core/data/backup.h"
#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/ports/notifyport.h"

#include <filesystem>
#include <ostream>

namespace tarvo::cli {

namespace {

// The settings keep the backup's full path, whatever the working directory.
std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), ec);
    return ec ? path : PathText(absolute.lexically_normal());
}

} // namespace

int CmdBackup(CliContext& context) {
    context.messages.SetAssumeYes(context.args.Flag("yes"));
    const std::optional<std::string> file = context.args.Positional();
    context.args.ExpectEnd();
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    const std::string path = file ? AbsolutePath(*file) : DefaultBackupPath(context.data);
    NullNotifier views;
    if (!RunBackupAction(BackupMode::Backup, path, store, context.data, context.messages, views))
        return 1;
    context.out << path << std::endl;
    return 0;
}

int CmdRestore(CliContext& context) {
    context.messages.SetAssumeYes(context.args.Flag("yes"));
    const std::optional<std::string> file = context.args.Positional();
    context.args.ExpectEnd();
    if (!file)
        throw CliError{"Zadejte soubor zálohy, ze kterého se mají data obnovit."};
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    NullNotifier views;
    return RunBackupAction(BackupMode::Restore, AbsolutePath(*file), store, context.data,
                           context.messages, views)
               ? 0
               : 1;
}

int CmdCompact(CliContext& context) {
    context.args.ExpectEnd();
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    if (!CompactWorkingDatabase(store, context.data)) {
        // The program says nothing at its exit; a script must learn why it failed.
        context.err << Format("Databázi '%s' se nepodařilo zkomprimovat, zůstala beze změny.",
                              context.data.DatabasePath().c_str())
                    << std::endl;
        return 1;
    }
    return 0;
}

} // namespace tarvo::cli
