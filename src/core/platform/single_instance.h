#pragma once
// The program's single-instance lock: a named mutex on Windows, a locked file on POSIX.

#include <cstdint>
#include <string>

namespace bv::platform {

class SingleInstanceLock {
public:
    enum class Status {
        Acquired, // this process is the only instance until the lock is destroyed
        HeldByOther, // another process holds the lock
        Unavailable, // the lock could not be made at all; error() says why
    };

    /// Tries to take the lock called `name` (a plain name, no path).
    /// Windows: opens, then creates, the mutex `name`. POSIX: flock on "<name>.lock" in the
    /// runtime folder; the system drops the lock when the process ends, however it ends.
    static SingleInstanceLock Acquire(const std::string& name);
    /// True while some process holds the lock `name`; takes nothing from it (POSIX: a shared
    /// lock for an instant, which Acquire waits out).
    [[nodiscard]] static bool IsHeld(const std::string& name);

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    /// Releases the lock when it is held.
    ~SingleInstanceLock();

    Status status() const { return status_; }
    const std::string& error() const { return error_; }

private:
    SingleInstanceLock(Status status, std::intptr_t handle, std::string error);
    void release();

    Status status_;
    std::intptr_t handle_; // file descriptor or mutex handle; -1 / 0 when none
    std::string error_;
};

} // namespace bv::platform
