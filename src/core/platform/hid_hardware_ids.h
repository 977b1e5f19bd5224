#pragma once
// Hardware identifiers in the form Windows gives HID interfaces, so that one config.ini list
// ("IncludeHIDDeviceList") selects the same mouse on every system.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bv {

struct HidHardwareIdSource {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::optional<std::uint16_t> revision; // bcdDevice, when known
    std::optional<std::uint8_t> interfaceNumber; // only for composite USB devices (Windows adds &MI_xx)
    std::optional<std::uint8_t> collectionNumber; // 1-based, only when the device has several top-level collections
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

/// Most specific first: HID\VID_v&PID_p&REV_r[&MI_i][&Colc], HID\VID_v&PID_p[&MI_i][&Colc],
/// HID\VID_v&UP:page_U:usage, HID_DEVICE_UP:page_U:usage, HID_DEVICE.
std::vector<std::string> WindowsHidHardwareIds(const HidHardwareIdSource& source);

} // namespace bv
