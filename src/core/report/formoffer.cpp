#include "core/report/formoffer.h"

#include "core/data/paths.h"
#include "core/data/profile.h"
#include "core/data/shared.h"
#include "core/report/formlayout.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tarvo {

namespace fs = std::filesystem;

namespace {

constexpr const char* Section = "Vykaz";
constexpr const char* FolderKey = "SlozkaFormulare";

struct FormCandidate {
    std::string path;
    fs::file_time_type modified;
};

// The workbooks of the folder, newest first; among files of one time the
// name decides, so the offer does not depend on the order of the listing.
std::vector<FormCandidate> Workbooks(const std::string& folder) {
    std::vector<FormCandidate> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(PathOf(folder), ec)) {
        const std::string name = PathText(entry.path().filename());
        std::error_code fileError;
        if (name.size() <= 5 || !EqualsNoCase(name.substr(name.size() - 5), ".xlsx") ||
            name.starts_with("~$") || !entry.is_regular_file(fileError))
            continue;
        found.push_back({PathText(entry.path()), entry.last_write_time(fileError)});
    }
    std::sort(found.begin(), found.end(), [](const FormCandidate& a, const FormCandidate& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path < b.path;
    });
    return found;
}

} // namespace

std::string FormsFolder(const DataFolder& data) {
    return data.folder + "Formulare/";
}

std::optional<std::string> OfferedFormFile(const DataFolder& data, int year, int quarter) {
    const std::vector<FormCandidate> forms = Workbooks(FormsFolder(data));
    if (forms.empty())
        return std::nullopt;
    // One file is offered as it is; its check waits for OK.
    if (forms.size() > 1) {
        for (const FormCandidate& form : forms) {
            if (!CheckFormFile(form.path, year, quarter))
                return form.path;
        }
    }
    return forms.front().path;
}

std::string LoadFormFolder(const Profile& profile) {
    return profile.GetString(Section, FolderKey, "", 1000);
}

bool StoreFormFolder(Profile& profile, const std::string& folder) {
    return profile.WriteString(Section, FolderKey, folder);
}

} // namespace tarvo
