#pragma once
// UTF-8 <-> UTF-16 at the Win32 edge (Windows builds only).

#include "util/utf16.h"

#include <string>
#include <string_view>

namespace bv::platform::win {

inline std::wstring wide(std::string_view utf8)
{
    const std::u16string u = util::utf8ToUtf16(utf8);
    return std::wstring(u.begin(), u.end());
}

inline std::string narrow(std::wstring_view w)
{
    return util::utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
}

} // namespace bv::platform::win
