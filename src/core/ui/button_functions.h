#pragma once
// Turning a function menu choice into the stored function of a button or wheel slot, the limit of
// macros on buttons, and keeping buttons on their macros after the macro list changed.

#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <cstdint>
#include <optional>

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

/// What the fire-key dialog takes for the number of clicks and the delay between them (ms).
inline constexpr int kFireValueMin = 1;
inline constexpr int kFireValueMax = 255;

/// Why the mouse cannot send a captured single key (a consumer key that is not one of the Media
/// menu's), nullopt when it can.
[[nodiscard]] std::optional<util::UserText> SingleKeyProblem(const TSINGLEKEYINFO& key);
/// Why a captured combination cannot be a button's function: a consumer key or a modifier as one
/// of its keys, or an unknown modifier bit.
[[nodiscard]] std::optional<util::UserText> ComboKeyProblem(const TCOMBOKEYINFO& combo);
/// Why fire-key settings cannot be taken: a count or delay outside 1..255.
[[nodiscard]] std::optional<util::UserText> FireKeyProblem(const TFIREKEYINFO& fire);

/// The message of a macro refused because the buttons would use more than five.
util::UserText TooManyMacrosText();

/// A function chosen for a button slot: the menu item's ID (a macro is 1102 + its index in the
/// profile's list) and, for "Single Key", "Combo Key" and "Fire Key...", what the dialog took.
struct ButtonFunction {
    std::uint32_t MenuID = 0;
    TSINGLEKEYINFO SingleKey {};
    TCOMBOKEYINFO ComboKey {};
    TFIREKEYINFO FireKey {};
};

struct ButtonAssignment {
    /// Why nothing changed; empty when the function was assigned.
    util::UserText Refusal;
    /// The item the slot now shows (a media key captured as a single key shows its Media item).
    std::uint32_t MenuID = 0;
    /// The other primary button when a right click made it the left click, -1 otherwise.
    int OtherPrimary = -1;

    [[nodiscard]] bool Assigned() const { return Refusal.Source.empty(); }
};

/// Every rule of a choice in a button slot's menu (0..6): the primary buttons offer only "Click"
/// and "Right Click" and keep one left click between them; a captured key of the Media menu
/// becomes that item and other consumer keys are refused; at most five distinct macros on the
/// buttons. A refusal changes nothing.
[[nodiscard]] ButtonAssignment AssignButtonFunction(TMOUSEPROFILEINFO& profile, int slot, const ButtonFunction& f);

} // namespace bv
