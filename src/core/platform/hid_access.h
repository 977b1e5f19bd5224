#pragma once
// Whether this user can reach the mouse: the HID nodes the system has, which of them carry the
// mouse's configuration collection, whether they may be opened, and whether the udev rule that
// grants access is installed. Linux has nodes and rules; on Windows the lists are empty.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace bv::platform {

/// The rule's file name; it must sort before systemd's 73-seat-late.rules, which applies uaccess.
inline constexpr const char* kUdevRuleFileName = "70-bvconfig.rules";

struct HidNodeAccess {
    std::string node; // "/dev/hidraw3"
    bool mouseCollection = false; // its report descriptor (read from sysfs) declares 0xFFA0/1
    int openError = 0; // errno of opening it for reading and writing; 0 when it opens
    std::string problem; // why its descriptor could not be read, when it could not
};

struct HidAccessOptions {
    std::filesystem::path classRoot = "/sys/class/hidraw";
    std::filesystem::path devRoot = "/dev";
    std::vector<std::filesystem::path> ruleFolders = { "/etc/udev/rules.d", "/run/udev/rules.d",
        "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d", "/lib/udev/rules.d" };
};

/// Every hidraw node, each opened once and closed again (nothing is sent).
std::vector<HidNodeAccess> InspectHidNodes(const HidAccessOptions& options = {});

/// Where the rule is installed (the first of the folders udev reads that holds it), if anywhere.
[[nodiscard]] std::optional<std::filesystem::path> FindInstalledUdevRule(const HidAccessOptions& options = {});

/// A short sentence for an error of opening a node ("Permission denied").
std::string OpenErrorText(int error);
/// True for the system's errors that mean "this user may not open it".
[[nodiscard]] bool IsPermissionError(std::uint32_t error);
/// One word for an open attempt in reports: "granted", "denied" (this user may not) or "failed".
inline const char* AccessWord(bool opened, std::uint32_t error)
{
    return opened ? "granted" : IsPermissionError(error) ? "denied" : "failed";
}

} // namespace bv::platform
