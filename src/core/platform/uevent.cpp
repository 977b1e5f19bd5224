#include "platform/uevent.h"

#include <string_view>

namespace bv::platform {

std::optional<Uevent> ParseUevent(std::span<const std::uint8_t> bytes)
{
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // Every string ends in a NUL; a tail without one is not trusted.
    std::size_t end = all.find('\0');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view header = all.substr(0, end);
    const std::size_t at = header.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == header.size())
        return std::nullopt;

    Uevent event;
    event.Action = header.substr(0, at);
    event.DevPath = header.substr(at + 1);
    bool sawAction = false;
    bool sawDevPath = false;
    for (std::size_t start = end + 1; start < all.size(); start = end + 1) {
        end = all.find('\0', start);
        if (end == std::string_view::npos)
            break;
        const std::string_view entry = all.substr(start, end - start);
        const std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = entry.substr(0, eq);
        const std::string_view value = entry.substr(eq + 1);
        if (key == "ACTION") {
            if (value != event.Action || sawAction)
                return std::nullopt;
            sawAction = true;
        } else if (key == "DEVPATH") {
            if (value != event.DevPath || sawDevPath)
                return std::nullopt;
            sawDevPath = true;
        } else if (key == "SUBSYSTEM") {
            event.Subsystem = value;
        } else if (key == "DEVNAME") {
            event.DevName = value;
        }
    }
    return event;
}

std::optional<DeviceChangeMessage> HidDeviceChangeFromUevent(const Uevent& event)
{
    if (event.Subsystem != "hidraw")
        return std::nullopt;
    if (event.Action == "add")
        return DeviceChangeMessage { kDbtDeviceArrival, kDbtDevtypDeviceInterface };
    if (event.Action == "remove")
        return DeviceChangeMessage { kDbtDeviceRemoveComplete, kDbtDevtypDeviceInterface };
    return DeviceChangeMessage { kDbtDevNodesChanged, std::nullopt };
}

} // namespace bv::platform
