#pragma once

#include "core/ports/messageport.h"
#include "dev/datagenerator.h"

#include <chrono>
#include <string>

namespace tarvo {
class CDataStore;
}

namespace tarvo::bench {

// Answers every question with Yes and prints what it is told.
class YesMessages final : public IMessagePort {
public:
    void ShowMessage(const std::string& text, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, MsgIcon icon) override;
    OverwriteAnswer AskOverwrite(const std::string& text) override;
    int errors = 0;
};

// The peak resident memory of this process so far, in kilobytes.
long PeakMemoryKb();

// CPU seconds (user and system) this process has used so far.
double CpuSeconds();
// The same for the calling thread alone.
double ThreadCpuSeconds();

// Wall-clock and CPU time since construction. On a machine shared with other
// work the CPU time is the steadier figure.
class Stopwatch {
public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }
    double Cpu() const { return CpuSeconds() - m_cpu; }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    double m_cpu = CpuSeconds();
};

// Opens the working database at path in store; throws std::runtime_error
// when it cannot (the store has told why).
void OpenDatabase(CDataStore& store, const std::string& path);
// A new, empty working database at path (a file of that name is replaced),
// open in store.
void CreateDatabase(CDataStore& store, const std::string& path);

// What GenerateDatabase made, and how long the generator took.
struct GeneratedDatabase {
    GeneratorCounts counts;
    double seconds = 0;
};
// A new working database at path, open in store, filled by the data
// generator with options.
GeneratedDatabase GenerateDatabase(CDataStore& store, const std::string& path,
                                   const GeneratorOptions& options);

// The benchmark's working folder: dir when given (created if missing),
// otherwise a new temporary folder. Throws when it cannot be made.
std::string BenchFolder(const std::string& dir);

// Runs this program again with the arguments and returns what it printed:
// each measurement gets a process of its own, so that its peak memory is
// its own.
std::string RunSelf(const std::string& arguments);

} // namespace tarvo::bench
