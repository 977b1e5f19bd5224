#pragma once
// Conversions between the UTF-16 text of files and records and the UTF-8 text used in core.

#include <string>
#include <string_view>

namespace bv::util {

/// UTF-16 (native order) to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

/// UTF-8 to UTF-16 (native order); each invalid sequence becomes one U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

} // namespace bv::util
