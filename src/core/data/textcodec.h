#pragma once

#include <string>
#include <string_view>

namespace tarvo {

bool IsValidUtf8(std::string_view bytes);
// Windows-1250 bytes to UTF-8.
std::string Cp1250ToUtf8(std::string_view bytes);
// UTF-8 as it is when valid, otherwise read as Windows-1250: how the program
// reads files that may come from its Windows past.
std::string DecodeLegacyText(std::string_view bytes);

} // namespace tarvo
