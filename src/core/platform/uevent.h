#pragma once
// The kernel's uevent datagrams: "ACTION@DEVPATH\0" followed by "KEY=VALUE\0" entries.
// Portable, so the parser is fuzzed and tested on every build.

#include "platform/device_notification.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace bv::platform {

struct Uevent {
    std::string Action; // "add", "remove", "change", ...
    std::string DevPath; // below /sys
    std::string Subsystem; // empty when the message names none
    std::string DevName; // below /dev, when the device has a node

    bool operator==(const Uevent&) const = default;
};

/// nullopt unless the bytes are one kernel uevent: a non-empty action and device path in the
/// header, and ACTION / DEVPATH entries, where present, that agree with it.
[[nodiscard]] std::optional<Uevent> ParseUevent(std::span<const std::uint8_t> bytes);

/// What a uevent means as a HID device-interface notice: hidraw "add" an arrival, "remove" a
/// removal, any other hidraw action a change of the device tree; other subsystems nothing.
[[nodiscard]] std::optional<DeviceChangeMessage> HidDeviceChangeFromUevent(const Uevent& event);

} // namespace bv::platform
