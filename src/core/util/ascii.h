#pragma once
// Letter case of ASCII only: names in files, the registry and config.ini compare this way on every
// system, whatever the locale.

#include <algorithm>
#include <string>
#include <string_view>

namespace bv::util {

constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// True when the two are equal without regard to ASCII letter case.
[[nodiscard]] constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

/// The ASCII-lower-case form, usable as a key where names compare with SameIgnoringAsciiCase.
inline std::string AsciiLowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower);
    return lowered;
}

} // namespace bv::util
