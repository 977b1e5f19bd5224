#pragma once
// Paths to and from UTF-8, the form core keeps them in. path::string() and the narrow constructor
// use the ANSI code page on Windows, which loses every character outside it.

#include <filesystem>
#include <string>
#include <string_view>

namespace bv::util {

inline std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace bv::util
