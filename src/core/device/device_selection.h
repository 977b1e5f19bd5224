#pragma once
// Which HID devices a program talks to: the real ones, or the virtual mouse (BV_VIRTUAL_MOUSE,
// bvctl --device).

#include "device/hid_backend.h"
#include "device/virtual_mouse.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace bv {

struct DeviceSelection {
    bool isVirtual = false;
    std::optional<std::filesystem::path> stateFile; // virtual mouse kept in this file; none: in memory
};

/// "" → the system's devices, "virtual" → a mouse in memory, "virtual:FILE" → a mouse kept in FILE
/// (UTF-8). Throws std::invalid_argument for anything else.
DeviceSelection ParseDeviceSelection(std::string_view text);

/// BV_VIRTUAL_MOUSE: unset or empty → the system's devices, "1" → in memory, any other value → the
/// state file's path.
DeviceSelection DeviceSelectionFromEnvironment();

struct DeviceLink {
    std::shared_ptr<HidBackend> backend;
    std::shared_ptr<VirtualMouse> virtualMouse; // set for a virtual selection
};

/// Throws VirtualMouseStateError when the virtual mouse's state file cannot be used.
DeviceLink OpenDeviceLink(const DeviceSelection& selection);

} // namespace bv
