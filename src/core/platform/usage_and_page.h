#pragma once
// The HID collection that every device request addresses.

#include <cstdint>

namespace bv {

#pragma pack(push, 1)
struct USAGE_AND_PAGE {
    std::uint16_t Usage;
    std::uint16_t UsagePage;
};
#pragma pack(pop)
static_assert(sizeof(USAGE_AND_PAGE) == 4);

/// The mouse's vendor-defined collection.
inline constexpr USAGE_AND_PAGE kMouseVendorCollection { 0x0001, 0xFFA0 };

[[nodiscard]] inline constexpr bool IsMouseVendorCollection(std::uint16_t usagePage, std::uint16_t usage)
{
    return usagePage == kMouseVendorCollection.UsagePage && usage == kMouseVendorCollection.Usage;
}

/// The collection the program talks to; the profile manager sets it again at start-up.
inline USAGE_AND_PAGE MouseUsageAndPage = kMouseVendorCollection;

} // namespace bv
