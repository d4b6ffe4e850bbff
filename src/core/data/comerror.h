#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvo {

// A database or workbook error: a numeric code and a Czech or engine
// description. Operations that the callers run inside one user-level command
// throw it; the command catches it and shows it with ShowComError.
class ComError : public std::runtime_error {
public:
    // The generic failure code, as the database drivers report most errors.
    static constexpr uint32_t Fail = 0x80004005;
    // A recordset or pointer used when nothing is open behind it.
    static constexpr uint32_t InvalidPointer = 0x80004003;

    ComError(uint32_t code, std::string description)
        : std::runtime_error(description), m_code(code), m_description(std::move(description)) {}

    uint32_t Code() const { return m_code; }
    const std::string& Description() const { return m_description; }

private:
    uint32_t m_code;
    std::string m_description;
};

// The database error for an SQLite result code, with the engine's message.
ComError SqliteError(int resultCode, const std::string& message);

} // namespace tarvo
