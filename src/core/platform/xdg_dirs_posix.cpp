#include "platform/xdg_dirs.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace bv::platform::xdg {

namespace fs = std::filesystem;

fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;

    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry {};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->pw_dir
        && *result->pw_dir)
        return result->pw_dir;
    // No home at all (a stripped-down service account): somewhere writable beats a relative path.
    return fs::temp_directory_path();
}

fs::path configHome()
{
    // Relative values are invalid and must be ignored.
    if (const char* dir = std::getenv("XDG_CONFIG_HOME"); dir && *dir == '/')
        return dir;
    return homeFolder() / ".config";
}

} // namespace bv::platform::xdg
