#pragma once
// What the profile and mode buttons and Apply do to the profile manager's records. The device half
// of each is in device/; the window and bvctl call both.

namespace bv {

class TDM;

/// A profile button (0..4): the profile becomes current and the current mode's profile, and the
/// all-games and group records are stored. Every store is tried; throws StoreError with all that
/// failed, after the switch itself is done. False, changing nothing, for another index.
[[nodiscard]] bool SwitchToProfileAndStore(TDM& dm, int profileIndex);

/// A mode button (0 or 1): the mode and its profile become current and the group record is
/// stored (StoreError when it could not be). False, changing nothing, for another index.
[[nodiscard]] bool SwitchToModeAndStore(TDM& dm, int modeIndex);

/// Apply's stores, in order: the current profile to the registry and its file, the five profiles
/// to their files and the registry, the group record. Every store is tried; throws StoreError with
/// all that failed.
void StoreProfilesForApply(TDM& dm);

} // namespace bv
