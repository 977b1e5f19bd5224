#pragma once
// The system's HID devices: hidraw on Linux, SetupAPI and HID.dll on Windows.

#include "platform/hid_backend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace bv::platform {

/// The backend that reaches the real devices of this system.
std::unique_ptr<HidBackend> openSystemHidBackend();

/// The system's text for an error code of a HID transfer (errno on POSIX, Win32 error on Windows).
std::string hidErrorText(std::uint32_t code);

/// The reader threads' one diagnostic line (OutputDebugString on Windows, stderr elsewhere).
void hidDebugString(std::string_view text);

} // namespace bv::platform
