#include "platform/autostart.h"

#include "platform/test_sandbox.h"
#include "platform/win_text.h"

#include <windows.h>

#include <system_error>

namespace bv::platform {

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace

std::string AutostartDesktopEntry(const std::filesystem::path&)
{
    return {};
}

bool AutostartReachable()
{
    return !testSandbox();
}

bool IsAutostartOn(const std::string& name)
{
    refuseInTestSandbox("the Run key of the current user");
    DWORD type = 0;
    DWORD size = 0;
    const LSTATUS rc
        = RegGetValueW(HKEY_CURRENT_USER, kRunKey, win::wide(name).c_str(), RRF_RT_REG_SZ, &type, nullptr, &size);
    return rc == ERROR_SUCCESS;
}

void SetAutostart(const std::string& name, bool on, const std::filesystem::path& program)
{
    refuseInTestSandbox("the Run key of the current user");
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        throw std::system_error(
            static_cast<int>(rc), std::system_category(), "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    const std::wstring value = win::wide(name);
    if (on) {
        const std::wstring command = L"\"" + program.wstring() + L"\"";
        rc = RegSetValueExW(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    } else {
        rc = RegDeleteValueW(key, value.c_str());
        if (rc == ERROR_FILE_NOT_FOUND)
            rc = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        throw std::system_error(static_cast<int>(rc), std::system_category(), "the Run value " + name);
}

std::string AutostartLocation(const std::string& name)
{
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run, value " + name;
}

} // namespace bv::platform
