#pragma once
// Starting other programs and opening documents the way the desktop does ("open").

#include <filesystem>
#include <string>

namespace bv::platform {

/// Starts `program` without arguments in `workingFolder`, detached: nothing waits for it and it
/// outlives this process. False, with `error` set, when it could not be started.
/// Windows: ShellExecuteW "open", shown normally. POSIX: executed directly.
[[nodiscard]] bool StartProgram(
    const std::filesystem::path& program, const std::filesystem::path& workingFolder, std::string* error = nullptr);

/// Opens a file or a web address (UTF-8) with the user's preferred application.
/// Windows: ShellExecuteW "open". POSIX: xdg-open, given the target as its one argument (no shell).
[[nodiscard]] bool ShellOpen(const std::string& target, std::string* error = nullptr);

} // namespace bv::platform
