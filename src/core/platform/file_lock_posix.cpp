#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace bv::platform {

FileLock::FileLock(const std::filesystem::path& lockFile)
{
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        FError = "cannot open the lock file \"" + lockFile.string() + "\": " + std::generic_category().message(errno);
        return;
    }
    FHandle = fd;
    int rc;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) { }
    if (rc != 0) {
        FError = "cannot lock \"" + lockFile.string() + "\": " + std::generic_category().message(errno);
        return;
    }
    FLocked = true;
}

FileLock::~FileLock()
{
    // Closing the descriptor drops the lock.
    if (FHandle >= 0)
        ::close(static_cast<int>(FHandle));
}

} // namespace bv::platform
