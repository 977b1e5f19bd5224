#pragma once
// Which HID devices a program talks to: the real ones, or the virtual mouse (BV_VIRTUAL_MOUSE,
// bvctl --device).

#include "device/virtual_mouse.h"
#include "platform/hid_backend.h"

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

/// "unplug-after=N,fail-transfer=N" (either, both, or empty): the faults of BV_VIRTUAL_MOUSE_FAULTS.
/// N counts feature transfers from 1. Throws std::invalid_argument for anything else.
VirtualMouseFaults ParseVirtualMouseFaults(std::string_view text);

struct DeviceLink {
    std::shared_ptr<HidBackend> backend;
    std::shared_ptr<VirtualMouse> virtualMouse; // set for a virtual selection
};

/// A virtual mouse takes its faults from BV_VIRTUAL_MOUSE_FAULTS, so whole programs can be tried
/// against a mouse that fails. Throws VirtualMouseStateError when the virtual mouse's state file
/// cannot be used, std::invalid_argument for faults it cannot read.
DeviceLink OpenDeviceLink(const DeviceSelection& selection);

} // namespace bv
