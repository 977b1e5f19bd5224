#include "platform/hid_access.h"

#include "platform/hid_hidraw.h"

#include <cerrno>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

std::vector<HidNodeAccess> InspectHidNodes(const HidAccessOptions& options)
{
    return InspectHidrawNodes(options.classRoot, options.devRoot, systemHidrawIo());
}

std::optional<fs::path> FindInstalledUdevRule(const HidAccessOptions& options)
{
    for (const auto& folder : options.ruleFolders) {
        std::error_code ec;
        const fs::path rule = folder / kUdevRuleFileName;
        if (fs::is_regular_file(rule, ec))
            return rule;
    }
    return std::nullopt;
}

bool IsPermissionError(std::uint32_t error)
{
    return error == EACCES || error == EPERM;
}

std::string OpenErrorText(int error)
{
    return std::generic_category().message(error);
}

} // namespace bv::platform
