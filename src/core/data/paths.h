#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo {

// The program's paths are UTF-8 texts. std::filesystem reads and writes a
// narrow text in the C runtime's code page on Windows (a folder like
// C:\Users\Jiří would come out garbled), so every path goes into and out of
// it through these two, which say UTF-8 on every system.
std::filesystem::path PathOf(std::string_view utf8);
std::string PathText(const std::filesystem::path& path);

} // namespace tarvo
