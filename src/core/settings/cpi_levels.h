#pragma once
// Editing the four sensitivity levels of a profile: what the user sets per axis and per level,
// and the device steps that follow from it.

#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

namespace bv {

enum class CPIAxis { X, Y };

/// The realised form of a level: the larger axis rounded to a device step, on both axes.
CPILevelEntry DeviceCPILevel(const CPILevelEntry& level);

/// Stores `value` (clamped to 100..3500) for one axis of `level`, or for both axes when the
/// profile links X and Y (ApplyDiffirentXY 0), and updates the level's device step.
/// Levels outside 0..3 are ignored.
void SetCPILevelValue(TMOUSECONFIGINFO& c, int level, CPIAxis axis, int value);

/// Enables or disables `level`; false when refused. Disabling is refused while no other level
/// is enabled, so the mouse always has a level to use: a profile that comes with none enabled
/// gets `level` enabled instead. A level outside 0..3 is refused without a change.
[[nodiscard]] bool SetCPILevelEnabled(TMOUSECONFIGINFO& c, int level, bool enabled);

/// Makes each State of levels 0..3 exactly 0 or 1 and gives the device step the same State.
void NormaliseCPILevelStates(TMOUSECONFIGINFO& c);

/// The first of levels 0..3 whose State is 1, or -1 when there is none.
int FirstEnabledCPILevel(const TMOUSECONFIGINFO& c);

/// What a level box takes: 100 to 3500 CPI.
inline constexpr int kMinimumCPI = 100;
inline constexpr int kMaximumCPI = 3500;

/// A level button's click: the level joins or leaves the mouse's cycle (leaving is refused for
/// the last enabled level, false), every State becomes 0 or 1, the first enabled level becomes
/// the current one, and the profile has four levels.
[[nodiscard]] bool ChangeCPILevelState(TMOUSECONFIGINFO& c, int level, bool enabled, util::UserText* why = nullptr);

/// A level box's edit: SetCPILevelValue, with the States made 0 or 1.
void ChangeCPILevelValue(TMOUSECONFIGINFO& c, int level, CPIAxis axis, int value);

/// The "Diffirent X/Y setting" check box: whether the next edits set X and Y apart. The values
/// already stored stay as they are.
void SetCPIAxesSeparate(TMOUSECONFIGINFO& c, bool separate);

} // namespace bv
