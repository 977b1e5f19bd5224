#include "platform/atomic_file.h"

#include <cerrno>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

fs::path resolveWriteTarget(const fs::path& target)
{
    // The same limit as the kernel's for one path lookup.
    constexpr int kMaxLinks = 40;
    fs::path p = target;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec)
            throw fs::filesystem_error("cannot follow the link", p, ec);
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    throw fs::filesystem_error("cannot follow the link", target, std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

} // namespace bv::platform
