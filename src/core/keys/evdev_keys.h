#pragma once
// The evdev-to-virtual-key map: Linux input key codes to the virtual-key code and extended flag
// that Windows reports for the same physical key (US positions), so that recordings and key
// names are the same on both systems.

#include <cstdint>
#include <optional>

namespace bv {

struct VirtualKey {
    std::uint8_t vk = 0;
    bool extended = false;

    bool operator==(const VirtualKey&) const = default;
};

/// The virtual key of an evdev key code; nullopt for keys without one. Keypad digits and the
/// keypad point depend on Num Lock, as on Windows: on they are the keypad keys, off the
/// navigation keys without the extended flag.
[[nodiscard]] std::optional<VirtualKey> EvdevToVirtualKey(std::uint32_t evdevCode, bool numLock = true);

/// X11 and Wayland key codes are the evdev code plus this offset.
inline constexpr std::uint32_t kXkbKeycodeOffset = 8;

} // namespace bv
