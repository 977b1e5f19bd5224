#include "device/device_selection.h"

#include "device/virtual_hid_backend.h"
#include "platform/hid_devices.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace bv {

namespace {

std::filesystem::path utf8Path(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace

DeviceSelection ParseDeviceSelection(std::string_view text)
{
    constexpr std::string_view kVirtual = "virtual";
    if (text.empty())
        return {};
    if (text == kVirtual)
        return { true, std::nullopt };
    if (text.size() > kVirtual.size() + 1 && text.substr(0, kVirtual.size() + 1) == "virtual:")
        return { true, utf8Path(text.substr(kVirtual.size() + 1)) };
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
    return { true, utf8Path(value) };
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
    link.backend
        = std::make_shared<VirtualHidBackend>(std::vector<std::shared_ptr<VirtualHidDevice>> { link.virtualMouse });
    return link;
}

} // namespace bv
