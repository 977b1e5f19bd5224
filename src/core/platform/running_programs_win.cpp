#include "platform/running_programs.h"

#include "platform/win_text.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>

namespace bv::platform {

std::string ProgramOfProcess(std::uint32_t pid)
{
    if (pid == 0)
        return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {}; // a program of another user or an elevated one
    wchar_t path[32768];
    DWORD size = static_cast<DWORD>(sizeof path / sizeof path[0]);
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return ok ? win::narrow(std::wstring_view(path, size)) : std::string();
}

std::vector<std::string> RunningPrograms()
{
    std::vector<std::string> programs;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return programs;
    PROCESSENTRY32W entry {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (std::string program = ProgramOfProcess(entry.th32ProcessID); !program.empty())
            programs.push_back(std::move(program));
    CloseHandle(snapshot);
    std::sort(programs.begin(), programs.end());
    programs.erase(std::unique(programs.begin(), programs.end()), programs.end());
    return programs;
}

} // namespace bv::platform
