#include "device/device_selection.h"

#include "device/virtual_hid_backend.h"
#include "platform/hid_devices.h"
#include "util/utf8_path.h"

#include <charconv>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bv {

DeviceSelection ParseDeviceSelection(std::string_view text)
{
    constexpr std::string_view kVirtual = "virtual";
    if (text.empty())
        return {};
    if (text == kVirtual)
        return { true, std::nullopt };
    if (text.size() > kVirtual.size() + 1 && text.substr(0, kVirtual.size() + 1) == "virtual:")
        return { true, util::PathFromUtf8(text.substr(kVirtual.size() + 1)) };
    throw std::invalid_argument("unknown device \"" + std::string(text)
        + "\": use \"virtual\" or \"virtual:STATEFILE\", or leave it out for the real mouse");
}

DeviceSelection DeviceSelectionFromEnvironment()
{
    const char* value = std::getenv("BV_VIRTUAL_MOUSE");
    if (!value || !*value)
        return {};
    if (std::string_view(value) == "1")
        return { true, std::nullopt };
    return { true, util::PathFromUtf8(value) };
}

VirtualMouseFaults ParseVirtualMouseFaults(std::string_view text)
{
    VirtualMouseFaults faults;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t eq = item.find('=');
        const std::string_view name = item.substr(0, eq);
        const std::string_view number = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
        std::uint64_t n = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
        if (number.empty() || ec != std::errc() || end != number.data() + number.size() || n == 0)
            throw std::invalid_argument("BV_VIRTUAL_MOUSE_FAULTS: \"" + std::string(item)
                + "\" is not unplug-after=N or fail-transfer=N with N from 1");
        if (name == "unplug-after")
            faults.unplugAfter = n;
        else if (name == "fail-transfer")
            faults.failTransfer = n;
        else
            throw std::invalid_argument("BV_VIRTUAL_MOUSE_FAULTS: unknown fault \"" + std::string(name)
                + "\"; use unplug-after=N or fail-transfer=N");
    }
    return faults;
}

DeviceLink OpenDeviceLink(const DeviceSelection& selection)
{
    DeviceLink link;
    if (!selection.isVirtual) {
        link.backend = platform::openSystemHidBackend();
        return link;
    }
    link.virtualMouse
        = selection.stateFile ? std::make_shared<VirtualMouse>(*selection.stateFile) : std::make_shared<VirtualMouse>();
    if (const char* faults = std::getenv("BV_VIRTUAL_MOUSE_FAULTS"); faults && *faults)
        link.virtualMouse->setFaults(ParseVirtualMouseFaults(faults));
    link.backend
        = std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { link.virtualMouse });
    return link;
}

} // namespace bv
