#include "platform/running_programs.h"

#include "platform/focus_watcher.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <unistd.h>

namespace bv::platform {

std::string ProgramOfProcess(std::uint32_t pid)
{
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof buffer))
        return {}; // ended, or another user's program
    return ProgramFromExeLink(std::string(buffer, static_cast<std::size_t>(n)));
}

std::vector<std::string> RunningPrograms()
{
    std::vector<std::string> programs;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); }))
            continue;
        if (std::string program = ProgramOfProcess(static_cast<std::uint32_t>(std::stoul(name))); !program.empty())
            programs.push_back(std::move(program));
    }
    std::sort(programs.begin(), programs.end());
    programs.erase(std::unique(programs.begin(), programs.end()), programs.end());
    return programs;
}

} // namespace bv::platform
