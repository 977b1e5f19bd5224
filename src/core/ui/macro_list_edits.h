#pragma once
// A profile's macro list gaining or losing a whole macro, with the macro editor's limits, and the
// buttons following the list as they do after the editor.

#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <optional>
#include <string>

namespace bv {

/// The message of a macro refused because the list already holds twenty.
util::UserText TooManyMacrosInListText();

/// Why `name` cannot be a new macro of `list`: a name that cannot name a macro file, or one the
/// list already has; nullopt when it can.
[[nodiscard]] std::optional<util::UserText> NewMacroNameProblem(const TMACROKEYINFOLIST& list, const std::string& name);

/// Appends `macro` to the profile's list under its own name. Refused (false, `why` set, nothing
/// changed) when the list holds twenty macros or damaged counts, or NewMacroNameProblem refuses
/// the name.
[[nodiscard]] bool AddMacroToProfile(
    TMOUSEPROFILEINFO& profile, const TMACROKEYINFO& macro, util::UserText* why = nullptr);

/// Removes the first macro named `name`; the buttons follow the list, and those that used the
/// macro are disabled. False, with `why` set, when the list has no such macro.
[[nodiscard]] bool RemoveMacroFromProfile(
    TMOUSEPROFILEINFO& profile, const std::string& name, util::UserText* why = nullptr);

} // namespace bv
