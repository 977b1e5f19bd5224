#pragma once
// UTF-16 text fields of the stored records, read and written as UTF-8.

#include "util/utf16.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace bv {

/// The text of a fixed UTF-16 field up to its first zero unit (or the whole field when full).
template <std::size_t N> std::string RecordText(const char16_t (&field)[N])
{
    std::size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    return util::utf16ToUtf8(std::u16string_view(field, n));
}

/// Number of UTF-16 units the text needs.
inline std::size_t RecordTextUnits(std::string_view utf8)
{
    return util::utf8ToUtf16(utf8).size();
}

/// Copies the text and a terminator into the field, leaving the units after the terminator as they
/// are. Returns false, leaving the field unchanged, when text and terminator do not fit.
template <std::size_t N> bool SetRecordText(char16_t (&field)[N], std::string_view utf8)
{
    const std::u16string units = util::utf8ToUtf16(utf8);
    if (units.size() + 1 > N)
        return false;
    units.copy(field, units.size());
    field[units.size()] = 0;
    return true;
}

} // namespace bv
