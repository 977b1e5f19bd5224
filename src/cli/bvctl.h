#pragma once
// The bvctl command line: parsing and dispatch, callable from tests.

namespace bv::cli {

/// Exit codes shared by every subcommand.
enum ExitCode : int { kOk = 0, kUsage = 1, kBadInput = 2 };

/// Runs bvctl with the given arguments; returns the process exit code.
int run(int argc, char** argv);

} // namespace bv::cli
