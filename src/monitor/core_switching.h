#pragma once
// The monitor's switching on the stored records and the mouse, through the core operations that
// the configurator's mode and profile buttons and Apply use.

#include "monitor/monitor_records.h"
#include "platform/hid_backend.h"
#include "settings/DMUnit.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bv {
class TuiHIDData;
}

namespace bv::monitor_app {

/// Where the switching finds the records and the mouse.
struct SwitchingLinks {
    DMEnvironment Records; // what each switch loads the profile manager from
    std::shared_ptr<HidBackend> Backend;
    std::vector<std::string> HidDeviceList; // config.ini's accepted interfaces
    std::function<void(int ms)> Pause; // the device sequences' waits
};

class CoreSwitching final : public monitor::MonitorSwitching {
public:
    explicit CoreSwitching(SwitchingLinks links);
    ~CoreSwitching() override;

    /// The records as stored now; throws when they cannot be read.
    monitor::MonitorRecords LoadRecords() const;

    int CurrentMode() const override;
    int CurrentProfile() const override;
    bool ConfiguratorRunning() const override;
    /// Made the current mode's profile as the profile button does, then written into the mouse
    /// as Apply writes it: only Apply puts a profile's functions into the mouse.
    bool SwitchProfile(int profile) override;
    bool SwitchMode(int mode) override;
    bool EditProfile(int profile, const monitor::ProfileEdit& edit) override;
    util::UserText LastError() const override { return FLastError; }

    /// The mouse's current CPI level; nullopt when it cannot be read, or while bvctl talks to it.
    std::optional<int> ReadCPILevel();

private:
    std::unique_ptr<TDM> OpenRecords();
    /// Runs `change` on records loaded afresh while the configurator and bvctl are kept out.
    bool Write(const std::function<bool(TDM&)>& change);
    bool Fail(util::UserText why);
    bool Finish(const std::vector<std::string>& storeProblems, std::uint32_t deviceError, bool noMouse);

    SwitchingLinks FLinks;
    std::unique_ptr<TuiHIDData> FHid;
    util::UserText FLastError;
    mutable monitor::MonitorRecords FLast;
};

} // namespace bv::monitor_app
