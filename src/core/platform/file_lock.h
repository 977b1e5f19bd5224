#pragma once
// An exclusive lock that processes take on a lock file for a read-change-write of a file they
// share (flock on POSIX, LockFileEx on Windows). The system drops it when the process ends.

#include <cstdint>
#include <filesystem>
#include <string>

namespace bv::platform {

class FileLock {
public:
    /// Waits for the exclusive lock on `lockFile`, creating the file when it is missing. On
    /// failure locked() is false and error() says why.
    explicit FileLock(const std::filesystem::path& lockFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    [[nodiscard]] bool locked() const { return FLocked; }
    const std::string& error() const { return FError; }

private:
    std::intptr_t FHandle = -1;
    bool FLocked = false;
    std::string FError;
};

} // namespace bv::platform
