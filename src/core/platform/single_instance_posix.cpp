#include "platform/single_instance.h"

#include "platform/runtime_dir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace bv::platform {

SingleInstanceLock::SingleInstanceLock(Status status, std::intptr_t handle, std::string error)
    : status_(status)
    , handle_(handle)
    , error_(std::move(error))
{
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : status_(other.status_)
    , handle_(std::exchange(other.handle_, -1))
    , error_(std::move(other.error_))
{
}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept
{
    if (this != &other) {
        release();
        status_ = other.status_;
        handle_ = std::exchange(other.handle_, -1);
        error_ = std::move(other.error_);
    }
    return *this;
}

SingleInstanceLock::~SingleInstanceLock()
{
    release();
}

void SingleInstanceLock::release()
{
    // Closing the descriptor drops the lock; the file stays for the next start.
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    handle_ = -1;
}

SingleInstanceLock SingleInstanceLock::Acquire(const std::string& name)
{
    if (!runtime::isPlainFileName(name))
        return { Status::Unavailable, -1, "invalid lock name \"" + name + "\"" };
    std::string why;
    const auto folder = runtime::runtimeFolder(&why);
    if (!folder)
        return { Status::Unavailable, -1, why };

    const auto path = *folder / (name + ".lock");
    // Close-on-exec: a program started by this one (the monitor) must not inherit the lock.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return { Status::Unavailable, -1, "cannot open " + path.string() + ": " + std::strerror(errno) };
    int rc;
    // Another program may be looking whether the lock is held (IsHeld): that takes a few
    // microseconds, so a refusal is tried again before it counts.
    for (int attempt = 0;; ++attempt) {
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc == 0 || errno != EWOULDBLOCK || attempt == 2)
            break;
        ::usleep(5000);
    }
    if (rc == 0)
        return { Status::Acquired, fd, {} };
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK)
        return { Status::HeldByOther, -1, {} };
    return { Status::Unavailable, -1, "cannot lock " + path.string() + ": " + std::strerror(err) };
}

bool SingleInstanceLock::IsHeld(const std::string& name)
{
    if (!runtime::isPlainFileName(name))
        return false;
    const auto folder = runtime::runtimeFolder(nullptr);
    if (!folder)
        return false;
    const auto path = *folder / (name + ".lock");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false; // never made: no one ever held it
    int rc;
    do {
        rc = ::flock(fd, LOCK_SH | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    const bool held = rc != 0 && errno == EWOULDBLOCK;
    ::close(fd); // drops the shared lock at once
    return held;
}

} // namespace bv::platform
