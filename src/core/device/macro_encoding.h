#pragma once
// Macros as the mouse stores them: five slots of 3-byte action records per configuration set.

#include "device/Function_Solmarchs.h"
#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bv {

/// The slots a set holds; a profile with more distinct macros on its buttons cannot be written.
inline constexpr int kMaxDeviceMacros = kMacroSlotCount;

/// Macro numbers in the order the first `entries` button entries (from entry 0) first use them.
std::vector<std::uint16_t> BuildMacroSlotList(const TMOUSEPROFILEINFO& profile, int entries);

/// The list entry that fills the slot of macro `number` (the last one with that number), or nullptr.
const TMACROKEYINFO* ListedMacro(const TMOUSEPROFILEINFO& profile, std::uint16_t number);

/// The number of actions that travel: MacroListCount clamped to 0..128.
int MacroDeviceActionCount(const TMACROKEYINFO& macro);
/// Whether the loop marker travels: a loop count is set and the slot has room for one more record.
[[nodiscard]] bool MacroDeviceHasLoopMarker(const TMACROKEYINFO& macro);
/// The device length in bytes: 3 per action, plus 3 for the loop marker; never more than a slot.
int MacroDeviceLength(const TMACROKEYINFO& macro);

/// One action as a 3-byte record; three zero bytes for a state other than press or release.
std::array<std::uint8_t, 3> EncodeMacroAction(const TMACROKEY& action);

/// Fills the macro area from the profile's macro list for the macros its buttons use (entries 0..9).
/// Notes about what could not travel as stored (a dropped loop marker) are appended to `notes`.
void EncodeMacroArea(const TMOUSEPROFILEINFO& profile, TMacroArea& area, std::vector<util::UserText>* notes = nullptr);

/// Device length of slot `slot` as recorded in the area (32-bit little-endian); 0 for no such slot.
[[nodiscard]] std::uint32_t MacroAreaLength(const TMacroArea& area, int slot);
void SetMacroAreaLength(TMacroArea& area, int slot, std::uint32_t length);

} // namespace bv
