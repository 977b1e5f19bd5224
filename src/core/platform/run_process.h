#pragma once
// Running a helper program to its end and collecting what it printed (POSIX builds only).

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace bv::platform {

struct ProcessResult {
    bool Started = false; // false: Error says why nothing ran
    bool TimedOut = false; // killed at the deadline
    int ExitCode = -1; // -1 when it did not exit by itself
    std::string Out; // standard output, cut at 64 KiB
    std::string Err; // standard error, cut at 64 KiB
    std::string Error;
};

/// Runs args[0] (a path) with args, never through a shell; standard input is /dev/null.
/// Waits at most `timeout`, then kills it.
ProcessResult RunProcess(const std::vector<std::string>& args, std::chrono::milliseconds timeout);

/// The first executable `name` along $PATH; empty when there is none.
std::filesystem::path FindProgram(const std::string& name);

} // namespace bv::platform
