#include "core/data/datafolder.h"

#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/shared.h"

#include <cstdlib>
#include <filesystem>

namespace tarvo {

namespace {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// The per-user data folder: %APPDATA%\Kolmara\Tarvo on Windows,
// $XDG_DATA_HOME/Kolmara/Tarvo (~/.local/share by default) elsewhere.
std::string UserFolder() {
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    return std::string(appData && *appData ? appData : ".") + "/Kolmara/Tarvo";
#else
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = ".";
    return base + "/Kolmara/Tarvo";
#endif
}

std::string Absolute(const std::string& folder) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(PathOf(folder), ec);
    return ec ? folder : PathText(p.lexically_normal());
}

std::string ResolveFolder(const std::optional<std::string>& explicitFolder,
                          const std::string& executableFolder) {
    if (explicitFolder && !explicitFolder->empty())
        return WithSeparator(Absolute(*explicitFolder));
    if (const char* env = std::getenv("TARVO_DATA_DIR"); env && *env)
        return WithSeparator(Absolute(env));
    std::error_code ec;
    if (!executableFolder.empty() &&
        std::filesystem::is_regular_file(PathOf(WithSeparator(executableFolder) + "Tarvo.mdb"), ec))
        return WithSeparator(Absolute(executableFolder));
    return WithSeparator(Absolute(UserFolder()));
}

} // namespace

std::string InstalledResourceFolder(const std::string& executableFolder) {
    if (executableFolder.empty())
        return {};
#ifdef _WIN32
    // An installation on Windows keeps the templates and the help in the
    // program's own folder.
    return WithSeparator(Absolute(executableFolder));
#else
    // The same layout under any prefix (/usr, /usr/local, /opt/tarvo, a
    // staging folder): bin/ beside share/.
    return WithSeparator(Absolute(PathText(PathOf(executableFolder) / ".." / "share" / "tarvo")));
#endif
}

DataFolder ResolveDataFolder(const std::optional<std::string>& explicitFolder,
                             const std::string& executableFolder) {
    return {ResolveFolder(explicitFolder, executableFolder),
            InstalledResourceFolder(executableFolder)};
}

} // namespace tarvo
