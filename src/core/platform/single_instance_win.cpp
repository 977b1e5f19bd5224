#include "platform/single_instance.h"

#include "platform/win_text.h"

#include <windows.h>

#include <string>
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
    , handle_(std::exchange(other.handle_, 0))
    , error_(std::move(other.error_))
{
}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept
{
    if (this != &other) {
        release();
        status_ = other.status_;
        handle_ = std::exchange(other.handle_, 0);
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
    if (handle_ != 0) {
        const HANDLE h = reinterpret_cast<HANDLE>(handle_);
        ReleaseMutex(h);
        CloseHandle(h);
    }
    handle_ = 0;
}

SingleInstanceLock SingleInstanceLock::Acquire(const std::string& name)
{
    if (name.empty() || name.find('\\') != std::string::npos)
        return { Status::Unavailable, 0, "invalid mutex name \"" + name + "\"" };
    const std::wstring wname = win::wide(name);

    if (HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, wname.c_str())) {
        CloseHandle(existing);
        return { Status::HeldByOther, 0, {} };
    }
    // A mutex of another user's session exists but cannot be opened with full access.
    if (GetLastError() == ERROR_ACCESS_DENIED)
        return { Status::HeldByOther, 0, {} };

    HANDLE created = CreateMutexW(nullptr, TRUE, wname.c_str());
    if (!created)
        return { Status::Unavailable, 0, "CreateMutexW failed with error " + std::to_string(GetLastError()) };
    // Another instance created it between the two calls.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return { Status::HeldByOther, 0, {} };
    }
    return { Status::Acquired, reinterpret_cast<std::intptr_t>(created), {} };
}

bool SingleInstanceLock::IsHeld(const std::string& name)
{
    if (name.empty() || name.find('\\') != std::string::npos)
        return false;
    HANDLE existing = OpenMutexW(SYNCHRONIZE, FALSE, win::wide(name).c_str());
    if (existing) {
        CloseHandle(existing);
        return true;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

} // namespace bv::platform
