#pragma once
// Device access on Linux: recognising the mouse's hidraw node from its report descriptor (what
// the udev probe does for the rule), and the text of the udev rule that gives the user at the
// local seat access to it.

#include "platform/hid_access.h"
#include "util/user_text.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace bv {

/// The property the probe prints for the mouse's node, and the rule matches.
inline constexpr const char* kUdevMouseProperty = "BVCONFIG_MOUSE";
/// The probe's file name.
inline constexpr const char* kUdevProbeName = "bvconfig-udev-probe";

/// True when the descriptor declares the mouse's configuration collection (usage page 0xFFA0,
/// usage 1) as a top-level collection. Any bytes are safe; a malformed descriptor gives false.
[[nodiscard]] bool DeclaresMouseCollection(std::span<const std::uint8_t> descriptor);

/// What the probe prints for a hidraw device, given its sysfs folder (udev's %S%p,
/// /sys/devices/.../hidraw/hidrawN): "BVCONFIG_MOUSE=1\n" when its report descriptor declares the
/// mouse's collection, else nothing. Reads only sysfs, never the device node.
std::string UdevProbeOutput(const std::filesystem::path& sysfsHidraw);

/// Vendor and product of a config.ini hardware ID in the Windows form ("HID\VID_1234&PID_5678...");
/// nullopt for any other form.
[[nodiscard]] std::optional<std::pair<std::uint16_t, std::uint16_t>> HardwareIdVendorProduct(
    const std::string& hardwareId);

/// The rule: hidraw nodes that the probe (at `probePath`) recognises get TAG+="uaccess"; so do the
/// nodes of the mice that `hardwareIds` (config.ini's list) name by vendor and product.
std::string UdevRuleText(const std::string& probePath, const std::vector<std::string>& hardwareIds);

/// What stands between this user and a plugged-in mouse: the first node that carries the mouse's
/// collection and may not be opened. Nothing when the mouse is absent or any of its nodes opens.
[[nodiscard]] std::optional<platform::HidNodeAccess> DeniedMouseNode(const std::vector<platform::HidNodeAccess>& nodes);

/// The window's message for a denied node: what is wrong, and what to do about it, which depends
/// on whether the rule is installed.
util::UserText DeniedMouseText(const platform::HidNodeAccess& node);
util::UserText DeniedMouseAdvice(const std::optional<std::filesystem::path>& installedRule);

} // namespace bv
