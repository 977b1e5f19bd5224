#pragma once
// The subcommand groups of bvctl; each group lives in its own cmd_*.cpp.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>

namespace bv::cli {

/// What a parsed subcommand will do; returns the exit code.
using Action = std::function<int()>;

/// Options that every subcommand may use.
struct GlobalOptions {
    std::string device; // "", "virtual" or "virtual:STATEFILE"
    std::string trace; // file that receives every feature report, empty for none
};

/// A problem with the user's input or the device: message on stderr, exit 2.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Prints JSON on stdout; text that is not valid UTF-8 is replaced, never thrown on.
inline void printJson(const nlohmann::ordered_json& j)
{
    std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void addProfileCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addDeviceCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addKeyAndMacroCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addLanguageCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addSystemMouseCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addAccessCommands(CLI::App& app, Action& action, const GlobalOptions& global);
/// Needs the device commands first: it adds "virtual show" beside "virtual dump".
void addImageCommands(CLI::App& app, Action& action, const GlobalOptions& global);

} // namespace bv::cli
