#pragma once

#include <optional>
#include <string>

namespace tarvo {

// The data folder holds Tarvo.mdb, tarvo.ini, the report templates and the
// folders "Zalohy" and "Vykazy". All paths below end without a separator
// except the two folders, which keep a trailing one as the program's texts
// expect.
struct DataFolder {
    std::string folder; // with a trailing '/'
    // The installed resource folder: templates and help missing from the data
    // folder are looked up here. Empty when the program's place is unknown.
    std::string resources = {};

    std::string DatabasePath() const { return folder + "Tarvo.mdb"; }
    std::string TempDatabasePath() const { return folder + "TarvoTmp.MDB"; }
    std::string SettingsPath() const { return folder + "tarvo.ini"; }
};

// The resource folder of an installation: "<executableFolder>/../share/tarvo/",
// normalised, with a trailing '/'; on Windows the executable's folder itself. Empty when the
// executable's folder is unknown (empty).
std::string InstalledResourceFolder(const std::string& executableFolder);

// Where the data folder is: the explicit folder if given; else TARVO_DATA_DIR;
// else the executable's folder when it holds Tarvo.mdb (a portable
// installation); else the per-user data folder (~/.local/share/Kolmara/Tarvo,
// on Windows %APPDATA%\Kolmara\Tarvo).
// The installed resource folder comes from the executable's folder.
DataFolder ResolveDataFolder(const std::optional<std::string>& explicitFolder,
                             const std::string& executableFolder);

} // namespace tarvo
