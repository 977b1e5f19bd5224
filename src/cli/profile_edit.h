#pragma once
// bvctl profile set, import, macro-add and macro-remove: a profile file changed in place through
// the same rules as the window's.

#include "commands.h"

#include "settings/pubunit_solmarch.h"
#include "ui/button_functions.h"

#include <functional>
#include <string>

namespace bv::cli {

/// Adds the editing subcommands to the "profile" command.
void addProfileEditCommands(CLI::App& profile, Action& action);

/// Loads `file`, lets `change` edit it (throwing BadInput to refuse, which writes nothing), writes
/// it back atomically under the file's lock when anything changed, and prints the changes.
int changeProfileFile(const std::string& file, const std::function<void(TMOUSEPROFILEINFO&)>& change);

/// What `--button N=FUNCTION` names: a caption of the button menu, key:NAME (or key:VK,EXT),
/// combo:MODIFIERS+KEY[+KEY], macro:NAME or fire:DELAY,COUNT. Throws BadInput for anything else.
ButtonFunction ParseButtonFunction(const std::string& text, const TMOUSEPROFILEINFO& profile);

} // namespace bv::cli
