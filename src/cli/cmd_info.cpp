#include "cli/commands.h"
#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/schema.h"
#include "core/data/shared.h"
#include "core/data/statement.h"
#include "core/setup/datafoldersetup.h"

#include <filesystem>
#include <ostream>

namespace tarvo::cli {

bool OpenWorkingDatabase(CliContext& context, CDataStore& store) {
    switch (PrepareDataFolder(context.data)) {
    case PrepareResult::Ready:
    case PrepareResult::Created:
        break;
    case PrepareResult::CannotCreate:
        context.err << Format("Nemohu vytvořit složku dat '%s'", context.data.folder.c_str())
                    << std::endl;
        return false;
    case PrepareResult::MissingDatabase:
        // The same message as for any database that cannot be opened.
        break;
    }
    store.SetDatabasePath(context.data.DatabasePath());
    return store.OpenDatabase();
}

int CmdInit(CliContext& context) {
    context.args.ExpectEnd();
    const std::string path = context.data.DatabasePath();
    std::error_code ec;
    if (std::filesystem::exists(PathOf(path), ec)) {
        context.err << Format("Databáze '%s' již existuje, inicializace ji nepřepíše.",
                              path.c_str())
                    << std::endl;
        return 1;
    }
    if (!CreatePath(context.data.folder)) {
        context.err << Format("Nemohu vytvořit složku dat '%s'", context.data.folder.c_str())
                    << std::endl;
        return 1;
    }
    try {
        CDataStore::CreateEmptyDatabase(path);
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    WriteStarterTemplates(context.data);
    context.out << path << std::endl;
    return 0;
}

int CmdInfo(CliContext& context) {
    context.args.ExpectEnd();
    CDataStore store(context.messages);
    if (!OpenWorkingDatabase(context, store))
        return 1;
    context.out << "Složka dat: " << context.data.folder << "\n";
    context.out << "Databáze:   " << store.DatabasePath() << "\n";
    try {
        for (const TableInfo& table : Tables()) {
            Statement count(store, Format("SELECT COUNT(*) FROM %s", table.name.data()));
            count.Step();
            context.out << Format("%-16s %lld", table.name.data(),
                                  static_cast<long long>(count.Int(0)))
                        << "\n";
        }
    } catch (const ComError& e) {
        ShowComError(context.messages, e);
        return 1;
    }
    return 0;
}

} // namespace tarvo::cli
