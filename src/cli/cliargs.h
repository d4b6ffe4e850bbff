#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

// The words after the command: "--name value" options, "--flag" switches and
// positional arguments. Every word must be taken by the command; leftovers
// are reported as errors.
class CliArgs {
public:
    explicit CliArgs(std::vector<std::string> words) : m_words(std::move(words)) {}

    // The value after --name; removes both words.
    std::optional<std::string> Option(const std::string& name);
    // True when --name is present; removes it.
    bool Flag(const std::string& name);
    // The next positional word; removes it.
    std::optional<std::string> Positional();
    // A yes/no option value: "yes"/"no" (also "ano"/"ne", "1"/"0").
    std::optional<bool> YesNo(const std::string& name);
    // A whole-number option; throws CliError when it is not a number.
    std::optional<long> Number(const std::string& name);

    // Throws CliError naming the first word nobody took.
    void ExpectEnd() const;

private:
    std::vector<std::string> m_words;
};

// A usage error of the command line; the message is printed as it is.
struct CliError {
    std::string message;
};

} // namespace tarvo::cli
