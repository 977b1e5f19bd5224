#include "device/udev_rule.h"

#include "platform/hid_report_descriptor.h"
#include "platform/usage_and_page.h"
#include "util/ascii.h"
#include "util/utf8_path.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <set>

namespace bv {

namespace fs = std::filesystem;

namespace {

// The kernel keeps at most 4096 descriptor bytes; anything longer in sysfs is not a descriptor.
constexpr std::size_t kMaxDescriptor = 4096;

std::optional<std::uint16_t> hexAfter(const std::string& upper, const std::string& key)
{
    const std::size_t at = upper.find(key);
    if (at == std::string::npos || at + key.size() + 4 > upper.size())
        return std::nullopt;
    const char* first = upper.data() + at + key.size();
    std::uint16_t v = 0;
    const auto [end, ec] = std::from_chars(first, first + 4, v, 16);
    if (ec != std::errc() || end != first + 4)
        return std::nullopt;
    return v;
}

std::string hex4(std::uint16_t v)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04x", v);
    return text;
}

} // namespace

bool DeclaresMouseCollection(std::span<const std::uint8_t> descriptor)
{
    const HidDescriptorParse parsed = ParseHidReportDescriptor(descriptor);
    if (!parsed.ok)
        return false;
    return std::any_of(parsed.descriptor.collections.begin(), parsed.descriptor.collections.end(),
        [](const auto& c) { return IsMouseVendorCollection(c.caps.UsagePage, c.caps.Usage); });
}

std::string UdevProbeOutput(const fs::path& sysfsHidraw)
{
    std::ifstream in(sysfsHidraw / "device" / "report_descriptor", std::ios::binary);
    if (!in)
        return {};
    std::vector<std::uint8_t> bytes(kMaxDescriptor + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto n = static_cast<std::size_t>(in.gcount());
    if (n == 0 || n > kMaxDescriptor)
        return {};
    bytes.resize(n);
    return DeclaresMouseCollection(bytes) ? std::string(kUdevMouseProperty) + "=1\n" : std::string();
}

std::optional<std::pair<std::uint16_t, std::uint16_t>> HardwareIdVendorProduct(const std::string& hardwareId)
{
    std::string upper = hardwareId;
    std::transform(upper.begin(), upper.end(), upper.begin(), util::AsciiUpper);
    if (upper.rfind("HID\\VID_", 0) != 0)
        return std::nullopt;
    const auto vendor = hexAfter(upper, "VID_");
    const auto product = hexAfter(upper, "&PID_");
    if (!vendor || !product)
        return std::nullopt;
    return std::make_pair(*vendor, *product);
}

std::string UdevRuleText(const std::string& probePath, const std::vector<std::string>& hardwareIds)
{
    std::string rule = "# bvconfig: the user at the local seat may configure the mouse through its hidraw node.\n"
                       "# The mouse is recognised by its configuration collection (usage page 0xFFA0, usage 1),\n"
                       "# read from the report descriptor in sysfs; the device itself is never opened.\n"
                       "# The file must sort before 73-seat-late.rules, which turns the uaccess tag into access.\n"
                       "ACTION!=\"add|change\", GOTO=\"bvconfig_end\"\n"
                       "SUBSYSTEM!=\"hidraw\", GOTO=\"bvconfig_end\"\n"
                       "IMPORT{program}=\""
        + probePath
        + " %S%p\"\n"
          "ENV{"
        + kUdevMouseProperty + "}==\"1\", TAG+=\"uaccess\"\n";
    std::set<std::pair<std::uint16_t, std::uint16_t>> seen;
    for (const auto& id : hardwareIds) {
        const auto vp = HardwareIdVendorProduct(id);
        if (!vp || !seen.insert(*vp).second)
            continue;
        if (seen.size() == 1)
            rule += "# The mice that config.ini lists.\n";
        rule += "KERNEL==\"hidraw*\", ATTRS{idVendor}==\"" + hex4(vp->first) + "\", ATTRS{idProduct}==\""
            + hex4(vp->second) + "\", TAG+=\"uaccess\"\n";
    }
    rule += "LABEL=\"bvconfig_end\"\n";
    return rule;
}

std::optional<platform::HidNodeAccess> DeniedMouseNode(const std::vector<platform::HidNodeAccess>& nodes)
{
    std::optional<platform::HidNodeAccess> denied;
    for (const auto& n : nodes) {
        if (!n.mouseCollection)
            continue;
        if (n.openError == 0)
            return std::nullopt;
        if (!denied && platform::IsPermissionError(static_cast<std::uint32_t>(n.openError)))
            denied = n;
    }
    return denied;
}

util::UserText DeniedMouseText(const platform::HidNodeAccess& node)
{
    return { "This user may not open the mouse's device %1.", { node.node } };
}

util::UserText DeniedMouseAdvice(const std::optional<fs::path>& installedRule)
{
    if (installedRule)
        return { "The udev rule is installed (%1). Unplug the mouse and plug it in again.",
            { util::Utf8FromPath(*installedRule) } };
    return { "The udev rule is not installed. Install the bvconfig package, or run \"bvctl udev-rule | sudo tee "
             "/etc/udev/rules.d/70-bvconfig.rules\", then unplug the mouse and plug it in again.",
        {} };
}

} // namespace bv
