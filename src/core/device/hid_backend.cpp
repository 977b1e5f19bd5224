#include "device/hid_backend.h"

#include "platform/hid_devices.h"

namespace bv {

std::string HidBackend::describeError(std::uint32_t code) const
{
    if (code == 0)
        return "success";
    return platform::hidErrorText(code);
}

} // namespace bv
