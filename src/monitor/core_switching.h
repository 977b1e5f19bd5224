#pragma once
// The monitor's switching on the stored records and the mouse, through the core operations that
// the configurator's mode and profile buttons and Apply use.

#include "monitor/monitor_records.h"

#include <functional>
#include <string>

namespace bv::monitor_app {

class CoreSwitching final : public monitor::MonitorSwitching {
public:
    /// `records` reads the stored records afresh (the configurator may have changed them).
    explicit CoreSwitching(std::function<monitor::MonitorRecords()> records);

    int CurrentMode() const override;
    int CurrentProfile() const override;
    bool ConfiguratorRunning() const override;
    bool SwitchProfile(int profile) override;
    bool SwitchMode(int mode) override;
    std::string LastError() const override { return FLastError; }

private:
    std::function<monitor::MonitorRecords()> FRecords;
    std::string FLastError;
    mutable monitor::MonitorRecords FLast;
};

} // namespace bv::monitor_app
