#include "platform/runtime_dir.h"

#include "platform/xdg_dirs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace bv::platform::runtime {

namespace fs = std::filesystem;

namespace {

void setError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

} // namespace

namespace {

// A folder of ours that no one else can enter: made when missing, refused when it is a link,
// belongs to someone else or is open to others.
std::optional<std::string> privateFolder(const fs::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "cannot create " + folder.string() + ": " + std::strerror(errno);
    struct stat st { };
    if (::lstat(folder.c_str(), &st) != 0)
        return "cannot inspect " + folder.string() + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
        return folder.string() + " is not a private folder of this user";
    return std::nullopt;
}

} // namespace

std::optional<fs::path> runtimeFolderIn(
    const fs::path& tmp, const fs::path& fallback, std::string* error, std::string* warning)
{
    // A shared /tmp lets anyone create our folder first, so ownership and mode are checked.
    const fs::path folder = tmp / ("bvconfig-" + std::to_string(::getuid()));
    const auto taken = privateFolder(folder);
    if (!taken)
        return folder;
    // Someone else's folder must not decide which windows see each other: the user's own tree
    // cannot be taken by others.
    std::error_code ec;
    fs::create_directories(fallback.parent_path(), ec);
    if (const auto problem = privateFolder(fallback)) {
        setError(error, *taken + "; and " + *problem);
        return std::nullopt;
    }
    if (warning)
        *warning = *taken + "; using " + fallback.string() + " instead.";
    return fallback;
}

std::optional<fs::path> runtimeFolder(std::string* error)
{
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && dir[0] == '/') {
        std::error_code ec;
        if (fs::is_directory(dir, ec))
            return fs::path(dir);
    }
    std::string warning;
    auto folder = runtimeFolderIn("/tmp", xdg::configHome() / "bvconfig" / "runtime", error, &warning);
    static bool told = false;
    if (!warning.empty() && !told) {
        told = true;
        std::fprintf(stderr, "bvconfig: %s\n", warning.c_str());
    }
    return folder;
}

bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

} // namespace bv::platform::runtime
