#pragma once

#include <optional>
#include <string>

namespace tarvo {

// The data folder holds Tarvo.mdb, tarvo.ini, the report templates and the
// folders "Zalohy" and "Vykazy". All paths below end without a separator
// except DataFolder, which keeps a trailing one as the program's texts expect.
struct DataFolder {
    std::string folder; // with a trailing '/'

    std::string DatabasePath() const { return folder + "Tarvo.mdb"; }
    std::string TempDatabasePath() const { return folder + "TarvoTmp.MDB"; }
    std::string SettingsPath() const { return folder + "tarvo.ini"; }
};

// Where the data folder is: the explicit folder if given; else TARVO_DATA_DIR;
// else the executable's folder when it holds Tarvo.mdb (a portable
// installation); else the per-user data folder (~/.local/share/Kolmara/Tarvo).
DataFolder ResolveDataFolder(const std::optional<std::string>& explicitFolder,
                             const std::string& executableFolder);

} // namespace tarvo
