#pragma once
// The subcommand groups of bvctl; each group lives in its own cmd_*.cpp.

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "settings/pubunit_solmarch.h"

#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

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

/// The version of every JSON output; a change of any output's fields raises it.
inline constexpr int kJsonSchema = 1;

/// The document printed for `j`: an object with "schema" first, an array as {"schema","items"}.
inline nlohmann::ordered_json withSchema(const nlohmann::ordered_json& j)
{
    nlohmann::ordered_json out = { { "schema", kJsonSchema } };
    if (!j.is_object()) {
        out["items"] = j;
        return out;
    }
    for (const auto& [key, value] : j.items())
        if (key != "schema")
            out[key] = value;
    return out;
}

/// Prints JSON on stdout with its schema; text that is not valid UTF-8 is replaced, never thrown on.
inline void printJson(const nlohmann::ordered_json& j)
{
    std::cout << withSchema(j).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

/// Hands a profile's double-click time, acceleration, pointer speed and wheel lines to the system;
/// returns what each became and adds what the system refused to `failures`.
nlohmann::ordered_json ApplyProfileSystemMouse(const TMOUSECONFIGINFO& c, std::vector<std::string>& failures);

/// The macro in a .macro file; BadInput when it is missing, unreadable or not one macro record long.
TMACROKEYINFO LoadMacroFile(const std::string& file);

void addProfileCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addDeviceCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addKeyAndMacroCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addLanguageCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addSystemMouseCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addAccessCommands(CLI::App& app, Action& action, const GlobalOptions& global);
/// Needs the device commands first: it adds "virtual show" beside "virtual dump".
void addImageCommands(CLI::App& app, Action& action, const GlobalOptions& global);
void addSwitchCommands(CLI::App& app, Action& action, const GlobalOptions& global);

} // namespace bv::cli
