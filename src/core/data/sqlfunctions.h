#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace tarvo {

// Registers the functions and the collation that the translated Jet SQL uses:
// DATEDIFF(interval, a, b), CURMUL(a, b), like(pattern, text[, escape])
// (Unicode case-insensitive, % and _), and the collation CZECH.
void RegisterSqlFunctions(sqlite3* db);

// LIKE as the program uses it: % any run, _ one character, letters compared
// without regard to case (Czech letters included).
bool JetLike(std::string_view pattern, std::string_view text, char32_t escape = 0);

// The text with every letter in its case-folded form (Czech letters
// included): two texts that differ only in letter case fold to the same text.
std::string FoldCase(std::string_view text);

// Czech collation order of two UTF-8 texts (<0, 0, >0).
int CzechCompare(std::string_view a, std::string_view b);

} // namespace tarvo
