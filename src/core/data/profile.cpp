#include "core/data/profile.h"

#include "core/data/paths.h"
#include "core/data/shared.h"
#include "core/data/textcodec.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unicode/utf8.h>
#include <vector>

namespace tarvo {

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = DecodeLegacyText(buffer.str());
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(text);
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The section name of a "[name]" line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[') {
        const size_t close = t.find(']');
        if (close != std::string::npos)
            return Trim(std::string_view(t).substr(1, close - 1));
    }
    return std::nullopt;
}

// Key and value of a "key=value" line.
std::optional<std::pair<std::string, std::string>> EntryOf(const std::string& line) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || SectionOf(line) || Trim(line).starts_with(';'))
        return std::nullopt;
    return std::make_pair(Trim(std::string_view(line).substr(0, eq)),
                          Trim(std::string_view(line).substr(eq + 1)));
}

// At most n characters of a UTF-8 text.
std::string CutChars(const std::string& text, size_t n) {
    int32_t i = 0;
    const auto length = static_cast<int32_t>(text.size());
    for (size_t chars = 0; chars < n && i < length; ++chars)
        U8_FWD_1(text.data(), i, length);
    return text.substr(0, static_cast<size_t>(i));
}

} // namespace

std::string Profile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, size_t maxChars) const {
    bool inSection = false;
    for (const std::string& line : ReadLines(m_path)) {
        if (const auto name = SectionOf(line)) {
            inSection = EqualsNoCase(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const auto entry = EntryOf(line); entry && EqualsNoCase(entry->first, key)) {
            std::string value = entry->second;
            // A value in double quotes is read without them.
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return CutChars(value, maxChars);
        }
    }
    return CutChars(std::string(defaultValue), maxChars);
}

int Profile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string text = GetString(section, key, "\x01", 64);
    if (text == "\x01")
        return defaultValue;
    const char* s = text.c_str();
    char* end = nullptr;
    const long value = std::strtol(s, &end, 10);
    if (end == s)
        return defaultValue;
    return static_cast<int>(value);
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::vector<std::string> lines = ReadLines(m_path);
    const std::string entry = std::string(key) + "=" + std::string(value);
    bool inSection = false;
    std::optional<size_t> insertAt;
    bool written = false;
    for (size_t i = 0; i < lines.size() && !written; ++i) {
        if (const auto name = SectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = EqualsNoCase(*name, section);
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto e = EntryOf(lines[i]); e && EqualsNoCase(e->first, key)) {
            lines[i] = entry;
            written = true;
        } else if (!Trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (!written) {
        if (insertAt) {
            lines.insert(lines.begin() + static_cast<long>(*insertAt), entry);
        } else {
            if (!lines.empty() && !Trim(lines.back()).empty())
                lines.emplace_back();
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        }
    }

    // Written aside and renamed, so a failed write never leaves half a file.
    const std::string temp = m_path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const std::string& line : lines)
            out << line << "\n";
        out.flush();
        if (!out)
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(PathOf(temp), PathOf(m_path), ec);
    if (ec) {
        std::filesystem::remove(PathOf(temp), ec);
        return false;
    }
    return true;
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, Format("%i", value));
}

} // namespace tarvo
