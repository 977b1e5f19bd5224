#include "platform/runtime_dir.h"

#include <cerrno>
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

std::optional<fs::path> runtimeFolder(std::string* error)
{
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && dir[0] == '/') {
        std::error_code ec;
        if (fs::is_directory(dir, ec))
            return fs::path(dir);
    }

    // A shared /tmp lets anyone create our folder first, so ownership and mode are checked.
    const uid_t uid = ::getuid();
    const fs::path folder = fs::path("/tmp") / ("bvconfig-" + std::to_string(uid));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        setError(error, "cannot create " + folder.string() + ": " + std::strerror(errno));
        return std::nullopt;
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        setError(error, "cannot inspect " + folder.string() + ": " + std::strerror(errno));
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != uid || (st.st_mode & 077) != 0) {
        setError(error, folder.string() + " is not a private folder of this user");
        return std::nullopt;
    }
    return folder;
}

bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

} // namespace bv::platform::runtime
