#pragma once
// Turning a function menu choice into the stored function of a button or wheel slot, the limit of
// macros on buttons, and keeping buttons on their macros after the macro list changed.

#include "settings/pubunit_solmarch.h"

#include <cstdint>

namespace bv {

/// Distinct macros the buttons may use at once.
inline constexpr int kMaxAssignedMacros = 5;
/// Button entries taken into account by the macro limit.
inline constexpr int kMacroCountedButtons = 10;

/// Gives `entry` the function of a menu item that needs no further data: the clicks (1..5), the
/// CPI functions (12..14), "Disable" (16), and the shortcuts and media keys (801.., 901.., 1001..).
/// False, with `entry` unchanged, for any other ID.
[[nodiscard]] bool AssignMenuFunction(TBUTTONFUNCINFO& entry, std::uint32_t id);

/// The "Media" menu item (1001..1007) whose function a captured key is: the seven media and
/// volume keys that menu offers; 0 for any other key.
[[nodiscard]] std::uint32_t MediaMenuIDOfKey(int vk, int ext);

/// Gives `entry` a captured single key. A key of the "Media" menu becomes that menu's function,
/// exactly as if it had been chosen there; any other consumer key is refused (false, `entry`
/// unchanged), since the mouse can send it in no keyboard byte. `menuID` receives the item the
/// entry now shows (6 "Single Key", or the media item).
[[nodiscard]] bool AssignCapturedKey(
    TBUTTONFUNCINFO& entry, const TSINGLEKEYINFO& key, std::uint32_t* menuID = nullptr);

void AssignSingleKey(TBUTTONFUNCINFO& entry, const TSINGLEKEYINFO& key);
void AssignComboKey(TBUTTONFUNCINFO& entry, const TCOMBOKEYINFO& combo);
void AssignFireKey(TBUTTONFUNCINFO& entry, const TFIREKEYINFO& fire);
/// What the fire-key dialog starts from: the entry's own settings, or the profile's proposal when
/// the entry has none yet.
TFIREKEYINFO FireKeyProposal(const TBUTTONFUNCINFO& entry, const TMOUSECONFIGINFO& config);

/// Makes the slot do nothing (the state a button takes when its macro is gone).
void DisableButtonFunction(TBUTTONFUNCINFO& entry);

/// Gives primary slot 0 or 1 "Click" (1) or "Right Click" (2). A right click on one makes the other
/// a left click, so the mouse always keeps one. Returns the other slot when it was changed, -1
/// otherwise; nothing changes (-1) for another slot or ID.
int AssignPrimaryButton(TMOUSECONFIGINFO& config, int slot, std::uint32_t id);

/// The number of distinct macros on button entries 0..9.
int CountAssignedMacros(const TMOUSECONFIGINFO& config);

enum class MacroAssignment {
    Assigned,
    TooManyMacros, // the slot keeps its function
    NoSuchMacro, // nothing changed
};

/// Puts macro `macroIndex` of the profile's list on button slot `slot`, unless that would make
/// more than five distinct macros on the buttons.
[[nodiscard]] MacroAssignment AssignMacro(TMOUSEPROFILEINFO& profile, int slot, int macroIndex);

/// Index in the profile's list of the macro named as `macro`, -1 when none is.
int MacroIndexOfName(const TMACROKEYINFOLIST& list, const TMACROKEYINFO& macro);

/// After the macro list changed: each button on a macro follows it by name to its new place, and
/// a button whose macro is gone is disabled.
void FollowMacroList(TMOUSEPROFILEINFO& profile);

/// Gives a wheel slot one of the wheel menu's functions (1..6); the slot keeps its device code.
/// False, with `entry` unchanged, for another ID.
[[nodiscard]] bool AssignWheelFunction(TBUTTONFUNCINFO& entry, std::uint32_t id);

} // namespace bv
