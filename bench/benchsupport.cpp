#include "benchsupport.h"

#include "core/data/cdatastore.h"
#include "core/ports/progressport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <sys/resource.h>

namespace tarvo::bench {

void YesMessages::ShowMessage(const std::string& text, MsgIcon icon) {
    if (icon == MsgIcon::Error || icon == MsgIcon::Exclamation)
        ++errors;
    std::cerr << text << "\n";
}

bool YesMessages::AskYesNo(const std::string&, MsgIcon) {
    return true;
}

OverwriteAnswer YesMessages::AskOverwrite(const std::string&) {
    return OverwriteAnswer::Yes;
}

void OpenDatabase(CDataStore& store, const std::string& path) {
    store.SetDatabasePath(path);
    if (!store.OpenDatabase())
        throw std::runtime_error("cannot open the database " + path);
}

void CreateDatabase(CDataStore& store, const std::string& path) {
    std::filesystem::remove(path);
    CDataStore::CreateEmptyDatabase(path);
    OpenDatabase(store, path);
}

GeneratedDatabase GenerateDatabase(CDataStore& store, const std::string& path,
                                   const GeneratorOptions& options) {
    CreateDatabase(store, path);
    NullProgress progress;
    const Stopwatch watch;
    GeneratedDatabase made;
    made.counts = GenerateData(store, options, progress);
    made.seconds = watch.Seconds();
    return made;
}

std::string BenchFolder(const std::string& dir) {
    namespace fs = std::filesystem;
    if (!dir.empty()) {
        fs::create_directories(dir);
        return dir;
    }
    std::string pattern = (fs::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
}

long PeakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

namespace {

double UsedSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

double CpuSeconds() {
    return UsedSeconds(RUSAGE_SELF);
}

double ThreadCpuSeconds() {
    return UsedSeconds(RUSAGE_THREAD);
}

std::string RunSelf(const std::string& arguments) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    FILE* pipe = popen(("'" + self + "' " + arguments).c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot start " + self);
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    if (pclose(pipe) != 0)
        throw std::runtime_error("the measurement failed: " + arguments);
    return output;
}

} // namespace tarvo::bench
