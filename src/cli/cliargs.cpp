#include "cli/cliargs.h"

#include <algorithm>
#include <cstdlib>

namespace tarvo::cli {

std::optional<std::string> CliArgs::Option(const std::string& name) {
    const std::string flag = "--" + name;
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (m_words[i] == flag) {
            if (i + 1 >= m_words.size())
                throw CliError{"Volba " + flag + " vyžaduje hodnotu."};
            std::string value = m_words[i + 1];
            m_words.erase(m_words.begin() + static_cast<long>(i),
                          m_words.begin() + static_cast<long>(i) + 2);
            return value;
        }
        if (m_words[i].rfind(flag + "=", 0) == 0) {
            std::string value = m_words[i].substr(flag.size() + 1);
            m_words.erase(m_words.begin() + static_cast<long>(i));
            return value;
        }
    }
    return std::nullopt;
}

bool CliArgs::Flag(const std::string& name) {
    const auto it = std::find(m_words.begin(), m_words.end(), "--" + name);
    if (it == m_words.end())
        return false;
    m_words.erase(it);
    return true;
}

std::optional<std::string> CliArgs::Positional() {
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (m_words[i].rfind("--", 0) != 0) {
            std::string word = m_words[i];
            m_words.erase(m_words.begin() + static_cast<long>(i));
            return word;
        }
    }
    return std::nullopt;
}

std::optional<bool> CliArgs::YesNo(const std::string& name) {
    const auto value = Option(name);
    if (!value)
        return std::nullopt;
    if (*value == "yes" || *value == "ano" || *value == "1")
        return true;
    if (*value == "no" || *value == "ne" || *value == "0")
        return false;
    throw CliError{"Volba --" + name + " přijímá yes nebo no, ne '" + *value + "'."};
}

std::optional<long> CliArgs::Number(const std::string& name) {
    const auto value = Option(name);
    if (!value)
        return std::nullopt;
    char* end = nullptr;
    const long n = std::strtol(value->c_str(), &end, 10);
    if (value->empty() || *end != '\0')
        throw CliError{"Volba --" + name + " vyžaduje celé číslo, ne '" + *value + "'."};
    return n;
}

void CliArgs::ExpectEnd() const {
    if (!m_words.empty())
        throw CliError{"Neznámý argument: " + m_words.front()};
}

} // namespace tarvo::cli
