#include "platform/folders.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstdlib>
#include <vector>

namespace bv::platform {

std::filesystem::path userDocumentsFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return std::filesystem::path(buffer);
    if (const wchar_t* profile = _wgetenv(L"USERPROFILE"); profile && *profile)
        return std::filesystem::path(profile) / L"Documents";
    return std::filesystem::current_path();
}

std::filesystem::path programFolder()
{
    if (const wchar_t* over = _wgetenv(L"BV_PROGRAM_DIR"); over && *over)
        return std::filesystem::path(over);
    return executableFolder();
}

std::filesystem::path executableFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::filesystem::current_path();
        if (n < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace bv::platform
