#include "core_switching.h"

#include "device/Function_Solmarchs.h"
#include "device/apply_sequence.h"
#include "device/uiHIDData.h"
#include "platform/monitor_link.h"
#include "platform/single_instance.h"
#include "platform/usage_and_page.h"
#include "settings/app_settings.h"
#include "settings/profile_actions.h"
#include "settings/store_error.h"

#include <exception>

namespace bv::monitor_app {

namespace {

// bvctl takes this lock while it changes the settings; the monitor takes it too, so the two
// never store over each other.
constexpr const char* kSettingsWriterLock = "bvctl-settings";

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return text;
}

/// Held while the monitor changes the records or the mouse: the configurator cannot start in the
/// middle and load half of it, and a bvctl that changes the settings waits for it.
class WriterLocks {
public:
    WriterLocks()
        : FWriter(platform::SingleInstanceLock::Acquire(kSettingsWriterLock))
        , FWindow(platform::SingleInstanceLock::Acquire(platform::kConfigWindowClass))
    {
    }
    /// Why the monitor must not write now; empty when it may. A lock that cannot be made at all
    /// does not stop it: the configurator and bvctl could not run either.
    util::UserText Refusal() const
    {
        using Status = platform::SingleInstanceLock::Status;
        if (FWindow.status() == Status::HeldByOther)
            return { "Close the configurator to switch here: it holds the settings while it runs.", {} };
        if (FWriter.status() == Status::HeldByOther)
            return { "bvctl is changing the settings: try again when it is done.", {} };
        return {};
    }

private:
    platform::SingleInstanceLock FWriter;
    platform::SingleInstanceLock FWindow;
};

} // namespace

CoreSwitching::CoreSwitching(SwitchingLinks links)
    : FLinks(std::move(links))
{
    // The profile manager sets it at start-up in the configurator; the monitor reads the mouse
    // before it has loaded one.
    MouseUsageAndPage = kMouseVendorCollection;
    FHid = std::make_unique<TuiHIDData>(FLinks.Backend, FLinks.HidDeviceList);
}

CoreSwitching::~CoreSwitching() = default;

std::unique_ptr<TDM> CoreSwitching::OpenRecords()
{
    auto dm = std::make_unique<TDM>(FLinks.Records);
    dm->DataModuleCreate();
    return dm;
}

monitor::MonitorRecords CoreSwitching::LoadRecords() const
{
    TDM dm(FLinks.Records);
    dm.DataModuleCreate();
    return monitor::ReadMonitorRecords(dm);
}

// A store that cannot be read now shows what was read last; the monitor says so when it reloads.
int CoreSwitching::CurrentMode() const
{
    try {
        FLast = LoadRecords();
    } catch (const std::exception&) {
    }
    return FLast.Mode;
}

int CoreSwitching::CurrentProfile() const
{
    try {
        FLast = LoadRecords();
    } catch (const std::exception&) {
    }
    return FLast.CurrentProfile();
}

bool CoreSwitching::ConfiguratorRunning() const
{
    return platform::SingleInstanceLock::IsHeld(platform::kConfigWindowClass);
}

bool CoreSwitching::Fail(util::UserText why)
{
    FLastError = std::move(why);
    return false;
}

bool CoreSwitching::Finish(const std::vector<std::string>& storeProblems, std::uint32_t deviceError, bool noMouse)
{
    std::string device;
    if (noMouse)
        device = "no mouse was found";
    else if (deviceError != 0)
        device = FLinks.Backend->describeError(deviceError);
    if (!storeProblems.empty() && !device.empty())
        return Fail({ "The settings could not be stored (%1), and the mouse did not take the switch (%2). Connect "
                      "the mouse and choose again.",
            { Joined(storeProblems), device } });
    if (!storeProblems.empty())
        return Fail({ "The mouse switched, but the settings could not be stored: %1", { Joined(storeProblems) } });
    if (!device.empty())
        return Fail({ "The switch is stored, but the mouse did not take it (%1). Connect the mouse and choose again.",
            { device } });
    FLastError = {};
    return true;
}

bool CoreSwitching::Write(const std::function<bool(TDM&)>& change)
{
    const WriterLocks locks;
    if (auto why = locks.Refusal(); !why.Source.empty())
        return Fail(why);
    std::unique_ptr<TDM> dm;
    try {
        dm = OpenRecords();
    } catch (const std::exception& e) {
        return Fail({ "The settings could not be loaded: %1", { e.what() } });
    }
    return change(*dm);
}

bool CoreSwitching::SwitchProfile(int profile)
{
    return Write([&](TDM& dm) {
        std::vector<std::string> problems;
        try {
            if (!SwitchToProfileAndStore(dm, profile))
                return Fail({ "There is no profile %1.", { std::to_string(profile + 1) } });
        } catch (const StoreError& e) {
            problems = e.Failures();
        }
        try {
            (void)SaveProfileIDToRegistry(dm.Registry(), profile);
        } catch (const std::exception& e) {
            problems.push_back(e.what());
        }

        auto request = std::make_unique<THIDDataParam>();
        request->UsageAndPage = MouseUsageAndPage;
        if (!FHid->IsDeviceExist(*request))
            return Finish(problems, 0, true);
        DMApplyProfiles profiles(dm);
        ApplyHooks hooks;
        hooks.Sequence.pause = FLinks.Pause;
        // The settings notice names the profile chosen last, which is this one.
        const auto notice = static_cast<std::uint8_t>(dm.AllProfileSettingInfo().CurrentGame);
        const ApplyResult result = ApplyDeviceSequence(*FHid, profiles, notice, hooks);
        if (result.Refused())
            return Fail(result.Error);
        return Finish(problems, result.Written ? 0 : result.FirstError, false);
    });
}

bool CoreSwitching::SwitchMode(int mode)
{
    return Write([&](TDM& dm) {
        std::vector<std::string> problems;
        try {
            if (!SwitchToModeAndStore(dm, mode))
                return Fail({ "There is no mode %1.", { std::to_string(mode + 1) } });
        } catch (const StoreError& e) {
            problems = e.Failures();
        }
        DeviceSequenceHooks hooks;
        hooks.pause = FLinks.Pause;
        return Finish(problems, ModeButtonSequence(*FHid, mode, hooks), false);
    });
}

bool CoreSwitching::EditProfile(int profile, const monitor::ProfileEdit& edit)
{
    return Write([&](TDM& dm) {
        try {
            if (!monitor::StoreProfileEdit(dm, profile, edit))
                return Fail({ "There is no profile %1.", { std::to_string(profile + 1) } });
        } catch (const StoreError& e) {
            return Fail({ "The profile could not be stored: %1", { Joined(e.Failures()) } });
        }
        FLastError = {};
        return true;
    });
}

std::optional<int> CoreSwitching::ReadCPILevel()
{
    // A read exchange of ours between bvctl's request and fetch would hand it our answer.
    if (platform::SingleInstanceLock::IsHeld(kSettingsWriterLock))
        return std::nullopt;
    std::int32_t level = 0;
    if (ReadCurrentCPIIndex(*FHid, level) != 0)
        return std::nullopt;
    return level;
}

} // namespace bv::monitor_app
