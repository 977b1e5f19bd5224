// Feeds arbitrary bytes as an X11 property reply (its format byte, then its value) and as the
// target of a /proc/PID/exe link: what the focus watcher reads from other programs.
#include "platform/focus_watcher.h"

#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> value(data + 1, size - 1);
    (void)bv::platform::SingleCardinal(data[0], value);
    (void)bv::platform::ProgramFromExeLink(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
