#pragma once
// What the monitor shows and follows, read from the stored records, and the switching it offers.

#include "monitor/application_rules.h"
#include "monitor/focus_follower.h"

#include <array>
#include <string>

namespace bv {
class TDM;
}

namespace bv::monitor {

struct MonitorRecords {
    int Mode = 0; // 0 = mode 1, 1 = mode 2
    std::array<int, 2> ModeProfiles {}; // the profile of each mode, 0..4
    int Language = 0; // CurrentLanguage of the all-games record
    std::array<ProfileApplications, kRuleProfileCount> Applications {};

    int CurrentProfile() const { return ModeProfiles[Mode == 1 ? 1 : 0]; }
    ApplicationRules Rules() const { return ApplicationRules(Applications); }
};

/// The records as the profile manager loaded them; indexes out of range read as 0.
MonitorRecords ReadMonitorRecords(const TDM& dm);

/// The menu's switching; the focus follower uses its profile half.
class MonitorSwitching : public ProfileSwitching {
public:
    /// Does what the configurator's mode button does. False when it did not happen.
    [[nodiscard]] virtual bool SwitchMode(int mode) = 0;
    /// Why the last switch failed, in English for Translate; empty after a success.
    virtual std::string LastError() const = 0;
};

} // namespace bv::monitor
