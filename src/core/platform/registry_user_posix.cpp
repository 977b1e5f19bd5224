#include "platform/registry.h"

#include "platform/test_sandbox.h"
#include "platform/xdg_dirs.h"

namespace bv::platform {

std::filesystem::path userRegistryFolder()
{
    return xdg::configHome() / "bvconfig" / "registry";
}

std::unique_ptr<Registry> openUserRegistry()
{
    requireInsideTestSandbox("the user's registry", userRegistryFolder());
    return openFileRegistry(userRegistryFolder());
}

} // namespace bv::platform
