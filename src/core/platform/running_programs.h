#pragma once
// The programs that this user's processes run, as full paths. POSIX: /proc/PID/exe. Windows: the
// process snapshot and each process's image name.

#include <cstdint>
#include <string>
#include <vector>

namespace bv::platform {

/// The full path of the program that process `pid` runs; empty when it has ended or belongs to
/// another user (or, on Windows, runs elevated).
std::string ProgramOfProcess(std::uint32_t pid);

/// The programs that run now, each once, sorted; those whose path cannot be read are left out.
std::vector<std::string> RunningPrograms();

} // namespace bv::platform
