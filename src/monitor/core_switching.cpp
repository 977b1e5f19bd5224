#include "core_switching.h"

#include "platform/monitor_link.h"
#include "platform/single_instance.h"

#include <exception>

namespace bv::monitor_app {

namespace {

// Until the configurator's switching is a core operation, the monitor offers none of its own:
// a second copy of those sequences would drift from the configurator's.
constexpr const char* kNotYet = "Switching from the monitor is not available in this version; use the configurator.";

} // namespace

CoreSwitching::CoreSwitching(std::function<monitor::MonitorRecords()> records)
    : FRecords(std::move(records))
{
}

// A store that cannot be read now shows what was read last; the monitor says so when it reloads.
int CoreSwitching::CurrentMode() const
{
    try {
        FLast = FRecords();
    } catch (const std::exception&) {
    }
    return FLast.Mode;
}

int CoreSwitching::CurrentProfile() const
{
    try {
        FLast = FRecords();
    } catch (const std::exception&) {
    }
    return FLast.CurrentProfile();
}

bool CoreSwitching::ConfiguratorRunning() const
{
    return platform::SingleInstanceLock::IsHeld(platform::kConfigWindowClass);
}

bool CoreSwitching::SwitchProfile(int)
{
    FLastError = kNotYet;
    return false;
}

bool CoreSwitching::SwitchMode(int)
{
    FLastError = kNotYet;
    return false;
}

} // namespace bv::monitor_app
