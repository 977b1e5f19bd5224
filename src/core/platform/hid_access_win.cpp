#include "platform/hid_access.h"

#include <system_error>

namespace bv::platform {

// Windows opens HID interfaces through its own device stack: no nodes and no rules to check.
std::vector<HidNodeAccess> InspectHidNodes(const HidAccessOptions&)
{
    return {};
}

std::optional<std::filesystem::path> FindInstalledUdevRule(const HidAccessOptions&)
{
    return std::nullopt;
}

bool IsPermissionError(std::uint32_t error)
{
    return error == 5; // ERROR_ACCESS_DENIED
}

std::string OpenErrorText(int error)
{
    return std::system_category().message(error);
}

} // namespace bv::platform
