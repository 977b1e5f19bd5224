#include "platform/file_lock.h"

#include <windows.h>

#include <system_error>

namespace bv::platform {

FileLock::FileLock(const std::filesystem::path& lockFile)
{
    HANDLE h = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        FError = "cannot open the lock file \"" + lockFile.string()
            + "\": " + std::system_category().message(static_cast<int>(GetLastError()));
        return;
    }
    FHandle = reinterpret_cast<std::intptr_t>(h);
    OVERLAPPED whole {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        FError = "cannot lock \"" + lockFile.string()
            + "\": " + std::system_category().message(static_cast<int>(GetLastError()));
        return;
    }
    FLocked = true;
}

FileLock::~FileLock()
{
    if (FHandle == -1)
        return;
    HANDLE h = reinterpret_cast<HANDLE>(FHandle);
    if (FLocked) {
        OVERLAPPED whole {};
        UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    }
    CloseHandle(h);
}

} // namespace bv::platform
