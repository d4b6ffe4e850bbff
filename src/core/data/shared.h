#pragma once

#include "core/data/comerror.h"
#include "core/data/oledate.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarvo {

class IMessagePort;

// printf-style formatting into a std::string; the program's texts are printf
// formats and are used exactly as they stand. On Windows the build uses
// MinGW's own C99 printf (__USE_MINGW_ANSI_STDIO), so the formats are checked
// against that dialect instead of the Microsoft runtime's.
#ifdef _WIN32
#define TARVO_PRINTF gnu_printf
#else
#define TARVO_PRINTF printf
#endif
std::string Format(const char* format, ...) __attribute__((format(TARVO_PRINTF, 1, 2)));

// A text value for SQL: the apostrophes doubled, so that nothing typed can end
// the literal. Put it between single quotes.
std::string SqlEscape(std::string_view text);
// 'text' with the apostrophes doubled.
std::string SqlQuote(std::string_view text);

// Error boxes (error icon). Without a prefix: "Došlo k chybě č.%i\n\n%s";
// with one: "%s\n\nChyba č.%i. %s".
void ShowSysError(IMessagePort& messages, std::error_code error, const char* prefix = nullptr);
// The same with the error code as "0x%08lX".
void ShowErrorCode(IMessagePort& messages, uint32_t code, const char* prefix = nullptr);
// "Došlo k chybě COM č.0x%08lX\n\n%s" or "%s\n\nCOM chyba č.0x%08lX. %s".
void ShowComError(IMessagePort& messages, const ComError& error, const char* prefix = nullptr);
// The system's text for an error code in Czech; "Neznámá chyba" when unknown.
std::string SystemErrorText(std::error_code error);

// Creates the folder with every missing parent; true when it exists afterwards.
// Trailing blanks and separators of the argument are ignored.
bool CreatePath(const std::string& path);
bool DirectoryExists(const std::string& path);

// Appends every piece of text ending at a separator (empty ones too) trimmed,
// then the rest after the last separator, when there is any, trimmed and in
// upper case.
void SplitText(const std::string& text, char separator, std::vector<std::string>& pieces);

// Sets from to 00:00:00 and to to 23:59:59 of their own days.
void WholeDayRange(OleDate& from, OleDate& to);

// Reversible scrambling of a password (at most 20 characters) for the settings
// file: 40 upper-case hexadecimal digits, or empty for an empty text.
std::string ScrambleText(const std::string& text);
// Empty unless the text is exactly 40 characters long.
std::string UnscrambleText(const std::string& text);

// Trims blanks (spaces and tabs) on both sides.
std::string Trim(std::string_view text);
// Equal texts when ASCII letters are compared without regard to case (names
// of columns, keys and SQL words).
bool EqualsNoCase(std::string_view a, std::string_view b);
// Upper case of a UTF-8 text, Czech letters included.
std::string ToUpperText(std::string_view text);

} // namespace tarvo
