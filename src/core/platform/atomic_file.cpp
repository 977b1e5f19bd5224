#include "platform/atomic_file.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <system_error>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

// ".<name>." then letters and digits, and ".tmp" where Windows names them so.
bool isTemporaryOf(const std::string& candidate, const std::string& name)
{
    const std::string prefix = "." + name + ".";
    if (candidate.size() <= prefix.size() || candidate.compare(0, prefix.size(), prefix) != 0)
        return false;
    std::string rest = candidate.substr(prefix.size());
    if (rest.size() > 4 && rest.compare(rest.size() - 4, 4, ".tmp") == 0)
        rest.resize(rest.size() - 4);
    if (rest.empty() || rest.size() > 24)
        return false;
    for (const char c : rest)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

} // namespace

void removeStaleTemporaries(const fs::path& target, std::chrono::seconds age)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    // Temporary names keep at most the first 200 bytes of the target's name.
    const std::string name = target.filename().string().substr(0, 200);
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (!isTemporaryOf(candidate, name))
            continue;
        std::error_code statError;
        if (!it->is_regular_file(statError) || it->is_symlink(statError))
            continue;
        const auto written = fs::last_write_time(it->path(), statError);
        if (!statError && now - written > age)
            fs::remove(it->path(), statError);
    }
}

void removeStaleTemporariesOnce(const fs::path& target)
{
    static std::mutex mutex;
    static std::set<fs::path> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(target).second)
            return;
    }
    removeStaleTemporaries(target);
}

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
    throw fs::filesystem_error(
        "cannot follow the link", target, std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

} // namespace bv::platform
