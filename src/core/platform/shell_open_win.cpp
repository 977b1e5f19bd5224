#include "platform/shell_open.h"

#include "platform/win_text.h"

#include <windows.h>

#include <shellapi.h>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

bool shellExecute(const std::wstring& file, const std::wstring& folder, std::string* error)
{
    const HINSTANCE result = ShellExecuteW(
        nullptr, L"open", file.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    // Values above 32 mean success.
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return true;
    if (error)
        *error = "ShellExecuteW failed with code " + std::to_string(reinterpret_cast<INT_PTR>(result));
    return false;
}

} // namespace

bool StartProgram(const fs::path& program, const fs::path& workingFolder, std::string* error)
{
    return shellExecute(program.wstring(), workingFolder.wstring(), error);
}

bool ShellOpen(const std::string& target, std::string* error)
{
    return shellExecute(win::wide(target), {}, error);
}

} // namespace bv::platform
