#pragma once
// Starting a program at login: an XDG autostart entry on Linux, a value of the current user's
// Run key on Windows.

#include <filesystem>
#include <string>

namespace bv::platform {

/// False where start at login cannot be reached: in a test run on Windows, whose Run key is the
/// user's own and never open to tests. Callers then leave the setting out.
[[nodiscard]] bool AutostartReachable();
/// True when the entry named `name` exists and is switched on.
[[nodiscard]] bool IsAutostartOn(const std::string& name);
/// Makes the system start `program` at login (on) or not (off). Throws std::system_error or
/// std::filesystem::filesystem_error when the entry cannot be written or removed.
void SetAutostart(const std::string& name, bool on, const std::filesystem::path& program);
/// Where the entry lives, for messages and the README.
std::string AutostartLocation(const std::string& name);

/// The XDG autostart entry for `program` (POSIX; exposed for the tests).
std::string AutostartDesktopEntry(const std::filesystem::path& program);

} // namespace bv::platform
