#include "platform/registry.h"

#include "platform/xdg_dirs.h"

namespace bv::platform {

std::unique_ptr<Registry> openUserRegistry()
{
    return openFileRegistry(xdg::configHome() / "bvconfig" / "registry");
}

} // namespace bv::platform
