#pragma once
// What the monitor shows and follows, read from the stored records, and the switching it offers.

#include "monitor/application_rules.h"
#include "monitor/focus_follower.h"
#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <array>
#include <functional>
#include <string>

namespace bv {
class TDM;
}

namespace bv::monitor {

/// The CPI levels of a profile as the mouse uses them, X and Y of levels 0..3.
using ProfileLevels = std::array<CPILevelEntry, kCPILevelsUsed>;

struct MonitorRecords {
    int Mode = 0; // 0 = mode 1, 1 = mode 2
    std::array<int, 2> ModeProfiles {}; // the profile of each mode, 0..4
    int Language = 0; // CurrentLanguage of the all-games record
    std::array<ProfileApplications, kRuleProfileCount> Applications {};
    std::array<bool, kRuleProfileCount> CPIOnScreen {}; // UseCPIOnScreenFlyShow of each profile
    std::array<ProfileLevels, kRuleProfileCount> Levels {};

    int CurrentProfile() const { return ModeProfiles[Mode == 1 ? 1 : 0]; }
    ApplicationRules Rules() const { return ApplicationRules(Applications); }
};

/// The records as the profile manager loaded them; indexes out of range read as 0.
MonitorRecords ReadMonitorRecords(const TDM& dm);

/// A change of one profile's record, made on a fresh copy of it.
using ProfileEdit = std::function<void(TMOUSECONFIGINFO&)>;

/// Applies `edit` to profile `profile` (0..4) as stored and stores that profile to the registry
/// and its file; the other records stay as they are. False, storing nothing, for another index;
/// throws StoreError with what could not be stored.
[[nodiscard]] bool StoreProfileEdit(TDM& dm, int profile, const ProfileEdit& edit);

/// The menu's switching; the focus follower uses its profile half.
class MonitorSwitching : public ProfileSwitching {
public:
    /// Does what the configurator's mode button does. False when it did not happen.
    [[nodiscard]] virtual bool SwitchMode(int mode) = 0;
    /// Changes the monitor's own fields of a profile in the stored records (its programs, its
    /// switch, the CPI level on screen). False when it did not happen.
    [[nodiscard]] virtual bool EditProfile(int profile, const ProfileEdit& edit) = 0;
    /// Why the last switch or edit failed, for Translate; empty after a success.
    virtual util::UserText LastError() const = 0;
};

} // namespace bv::monitor
