#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// A settings file with the semantics of the Windows private profile API:
// sections and keys compare without regard to case, a read returns the
// default when the key is missing and is cut at the given length, a write
// creates the file and the section. Files are written in UTF-8; a file from
// the Windows program, in Windows-1250, is read correctly.
class Profile {
public:
    explicit Profile(std::string path) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }

    // At most maxChars characters of the value.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}, size_t maxChars = 1000) const;
    // The leading whole number of the value, or the default when the key is
    // missing or starts with no number.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // False when the file cannot be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

private:
    std::string m_path;
};

} // namespace tarvo
