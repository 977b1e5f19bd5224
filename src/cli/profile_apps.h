#pragma once
// bvctl profile apps: a profile file's programs and its switch for the monitor's focus following,
// shown and edited with the monitor dialog's rules.

#include "commands.h"

namespace bv::cli {

/// Adds the "apps" subcommand to the "profile" command.
void addProfileAppsCommand(CLI::App& profile, Action& action);

} // namespace bv::cli
