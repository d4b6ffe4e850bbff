#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo {

// The program's paths are UTF-8 texts with '/' between folders, on Windows
// too (its calls take either separator), so that paths put together by the
// program and paths that come out of std::filesystem look alike.
// std::filesystem reads and writes a narrow text in the C runtime's code page
// on Windows (a folder like C:\Users\Jiří would come out garbled), so every
// path goes into and out of it through these two, which say UTF-8 everywhere.
std::filesystem::path PathOf(std::string_view utf8);
std::string PathText(const std::filesystem::path& path);

// What may stand between two folders of a path someone typed.
#ifdef _WIN32
constexpr const char* PathSeparators = "/\\";
#else
constexpr const char* PathSeparators = "/";
#endif

} // namespace tarvo
