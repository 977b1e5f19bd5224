// Feeds arbitrary bytes to the uevent parser, as a datagram from the kernel's socket would.
#include "platform/uevent.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bv::platform;
    const auto event = ParseUevent(std::span<const std::uint8_t>(data, size));
    if (!event)
        return 0;
    if (event->Action.empty() || event->DevPath.empty() || event->Action.find('@') != std::string::npos)
        std::abort();

    // What was read, written out again in the kernel's form, must read back the same.
    std::string again = event->Action + '@' + event->DevPath + '\0';
    again += "ACTION=" + event->Action + '\0' + "DEVPATH=" + event->DevPath + '\0';
    again += "SUBSYSTEM=" + event->Subsystem + '\0' + "DEVNAME=" + event->DevName + '\0';
    const auto reread = ParseUevent(std::span(reinterpret_cast<const std::uint8_t*>(again.data()), again.size()));
    if (!reread || *reread != *event)
        std::abort();

    const auto notice = HidDeviceChangeFromUevent(*event);
    if (notice.has_value() != (event->Subsystem == "hidraw"))
        std::abort();
    return 0;
}
