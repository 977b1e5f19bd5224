#include "bvctl.h"

#include "commands.h"

#include <cstdlib>
#include <iostream>

namespace bv::cli {

int run(int argc, char** argv)
{
    CLI::App app { "bvctl: inspect and apply bvconfig profiles from the command line", "bvctl" };
    app.require_subcommand(1);
    Action action;
    GlobalOptions global;
    if (const char* env = std::getenv("BV_VIRTUAL_MOUSE"); env && *env)
        global.device = std::string(env) == "1" ? "virtual" : "virtual:" + std::string(env);
    app.add_option(
        "--device", global.device, "virtual or virtual:STATEFILE (default: BV_VIRTUAL_MOUSE, else the real mouse)");
    app.add_option("--trace", global.trace, "Append every feature report sent or received to this file");

    addProfileCommands(app, action, global);
    addDeviceCommands(app, action, global);
    addImageCommands(app, action, global);
    addSwitchCommands(app, action, global);
    addKeyAndMacroCommands(app, action, global);
    addLanguageCommands(app, action, global);
    addSystemMouseCommands(app, action, global);
    addAccessCommands(app, action, global);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kOk : kUsage;
    }
    try {
        return action ? action() : kUsage;
    } catch (const std::exception& e) {
        std::cerr << "bvctl: " << e.what() << '\n';
        return kBadInput;
    }
}

} // namespace bv::cli
