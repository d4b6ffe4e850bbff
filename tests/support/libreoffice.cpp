#include "libreoffice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <zip.h>

namespace fs = std::filesystem;

namespace tarvo::test {

namespace {

// A path as a file URL, every byte other than letters, digits and /._-
// percent-encoded.
std::string FileUrl(const fs::path& path) {
    std::string url = "file://";
    for (const char c : fs::absolute(path).string()) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '/' || c == '.' || c == '_' || c == '-') {
            url += c;
        } else {
            char encoded[4];
            std::snprintf(encoded, sizeof encoded, "%%%02X", u);
            url += encoded;
        }
    }
    return url;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Every entry of an archive by name, its bytes as text.
std::map<std::string, std::string> ZipEntries(const std::string& path) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        throw std::runtime_error("not a zip archive: " + path);
    std::map<std::string, std::string> entries;
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_file_t* file = zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) == 0
                               ? zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0)
                               : nullptr;
        if (!file) {
            zip_discard(zip);
            throw std::runtime_error("damaged zip archive: " + path);
        }
        std::string data(st.size, '\0');
        const zip_int64_t read = zip_fread(file, data.data(), data.size());
        zip_fclose(file);
        if (read != static_cast<zip_int64_t>(data.size())) {
            zip_discard(zip);
            throw std::runtime_error("damaged zip archive: " + path);
        }
        entries.emplace(st.name, std::move(data));
    }
    zip_discard(zip);
    return entries;
}

} // namespace

std::optional<std::vector<std::string>>
ConvertWithLibreOffice(const std::vector<std::string>& files, const std::string& outDir,
                       const std::string& filter, bool recalculate) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        return std::nullopt;
    const fs::path out = fs::absolute(outDir);
    const fs::path profile = out / "lo-profile";
    fs::create_directories(profile / "user");
    if (recalculate) {
        // OOXMLRecalcMode 0: recalculate on load always, without asking.
        std::ofstream(profile / "user" / "registrymodifications.xcu")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
               "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
               "<item oor:path=\"/org.openoffice.Office.Calc/Formula/Load\"><prop "
               "oor:name=\"OOXMLRecalcMode\" oor:op=\"fuse\"><value>0</value></prop></item>\n"
               "</oor:items>\n";
    }
    std::string command =
        "cd " + ShellQuoted(out.string()) + " && HOME=" + ShellQuoted(out.string()) + " soffice " +
        ShellQuoted("-env:UserInstallation=" + FileUrl(profile)) + " --headless --convert-to " +
        ShellQuoted(filter) + " --outdir " + ShellQuoted(out.string());
    std::vector<std::string> converted;
    const std::string extension = filter.substr(0, filter.find(':'));
    for (const std::string& file : files) {
        command += " " + ShellQuoted(fs::absolute(file).string());
        converted.push_back((out / fs::path(file).stem()).string() + "." + extension);
    }
    command += " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("LibreOffice failed: " + command);
    return converted;
}

std::optional<std::string> RecalculateWithLibreOffice(const std::string& xlsx,
                                                      const std::string& outDir) {
    const auto converted = ConvertWithLibreOffice({xlsx}, outDir, "xlsx", true);
    if (!converted)
        return std::nullopt;
    if (!fs::exists(converted->front()))
        throw std::runtime_error("LibreOffice wrote no " + converted->front());
    return converted->front();
}

std::vector<std::string> DifferingZipEntries(const std::string& a, const std::string& b) {
    const std::map<std::string, std::string> first = ZipEntries(a);
    const std::map<std::string, std::string> second = ZipEntries(b);
    std::vector<std::string> names;
    for (const auto& [name, data] : first) {
        const auto other = second.find(name);
        if (other == second.end() || other->second != data)
            names.push_back(name);
    }
    for (const auto& [name, data] : second) {
        if (!first.contains(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tarvo::test
