#include "core/setup/datafoldersetup.h"

#include "core/data/cdatastore.h"
#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/report/reportdata.h"
#include "core/report/reporttemplate.h"

#include <filesystem>

namespace tarvo {

bool WriteStarterTemplates(const DataFolder& data) {
    try {
        // From 2021 on the statement is filled into the form EKO-KOM sends;
        // a template serves only the quarters before it, so a new folder gets
        // the last of those years (corrective statements of 2020).
        WriteQuarterTemplates(data.folder, StarterTemplateYear(OleDate::Today().Year()));
        return true;
    } catch (const ComError&) {
        // The folder is usable without them; the report names the template
        // it misses when it is asked for.
        return false;
    }
}

PrepareResult PrepareDataFolder(const DataFolder& data) {
    std::error_code ec;
    if (std::filesystem::is_directory(PathOf(data.folder), ec)) {
        return std::filesystem::is_regular_file(PathOf(data.DatabasePath()), ec)
                   ? PrepareResult::Ready
                   : PrepareResult::MissingDatabase;
    }
    if (!CreatePath(data.folder))
        return PrepareResult::CannotCreate;
    try {
        CDataStore::CreateEmptyDatabase(data.DatabasePath());
    } catch (const ComError&) {
        return PrepareResult::CannotCreate;
    }
    WriteStarterTemplates(data);
    return PrepareResult::Created;
}

} // namespace tarvo
