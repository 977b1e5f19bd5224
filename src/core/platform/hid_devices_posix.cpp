#include "platform/hid_devices.h"

#include "platform/hid_hidraw.h"

#include <cstdio>
#include <string>
#include <system_error>

namespace bv::platform {

std::unique_ptr<HidBackend> openSystemHidBackend()
{
    return openHidrawBackend();
}

std::string hidErrorText(std::uint32_t code)
{
    if (code == 0)
        return "success";
    return std::generic_category().message(static_cast<int>(code));
}

void hidDebugString(std::string_view text)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace bv::platform
