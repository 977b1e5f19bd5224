#pragma once
// bvctl profile set, import, macro-add and macro-remove: a profile file changed in place through
// the same rules as the window's.

#include "commands.h"

#include "settings/pubunit_solmarch.h"
#include "ui/button_functions.h"

#include <string>

namespace bv::cli {

/// Adds the editing subcommands to the "profile" command.
void addProfileEditCommands(CLI::App& profile, Action& action);

/// What `--button N=FUNCTION` names: a caption of the button menu, key:NAME (or key:VK,EXT),
/// combo:MODIFIERS+KEY[+KEY], macro:NAME or fire:DELAY,COUNT. Throws BadInput for anything else.
ButtonFunction ParseButtonFunction(const std::string& text, const TMOUSEPROFILEINFO& profile);

} // namespace bv::cli
