#include "device/apply_sequence.h"

#include "device/config_image.h"
#include "settings/DMUnit.h"

#include <memory>

namespace bv {

TMOUSEPROFILEINFO& DMApplyProfiles::CurrentProfile()
{
    return FDM.CurrentProfileInfo();
}

void DMApplyProfiles::StoreBackCurrentProfile()
{
    FDM.SaveBackToCurrentProfileInfo();
}

void DMApplyProfiles::ReadModeProfile(int mode, TMOUSEPROFILEINFO& out)
{
    FDM.ReadProfileInfo(out, FDM.ProfileSettingGroup().ProfileIndexOfProfileGroup[mode]);
}

int DMApplyProfiles::ActiveMode() const
{
    return FDM.ProfileGroupIndex();
}

ApplyResult ApplyDeviceSequence(TuiHIDData& hid, ApplyProfiles& profiles, std::uint8_t notice, const ApplyHooks& hooks)
{
    ApplyResult result;
    auto pause = [&](int ms) {
        if (hooks.Sequence.pause)
            hooks.Sequence.pause(ms);
    };
    auto step = [&](const std::string& name, const auto& send) {
        if (const std::uint32_t r = send(); r != 0) {
            if (result.FailedSteps.empty())
                result.FirstError = r;
            result.FailedSteps.push_back(name);
        }
    };
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();

    // Refuse before the first byte goes out, so the mouse never holds half a configuration. The
    // working copy is stored back first, so the check sees what will be written.
    profiles.StoreBackCurrentProfile();
    for (int mode = 0; mode < kModeCount; ++mode) {
        profiles.ReadModeProfile(mode, *profile);
        util::UserText error;
        if (!EncodeConfigurationImage(*profile, &error)) {
            result.Error = error.Prefixed("Mode %1: ", { std::to_string(mode + 1) });
            return result;
        }
    }

    step("opening update bracket", [&] { return SendUpdateBracket(hid, 0, 0); });
    if (hooks.Busy)
        hooks.Busy(true);
    std::int32_t cpiIndex = 0;
    // A failed read is no failed write: level 1 is a safe choice, and the note says so.
    if (ReadCurrentCPIIndex(hid, cpiIndex) != 0)
        result.Notes.push_back({ "The mouse's current CPI level could not be read; level 1 is set.", {} });
    profiles.CurrentProfile().ConfigInfo.CurrentCPIIndex = cpiIndex;
    profiles.StoreBackCurrentProfile();
    result.CurrentCPIIndex = cpiIndex;

    std::uint8_t rates[kModeCount] = { 8, 8 };
    for (int mode = 0; mode < kModeCount; ++mode) {
        profiles.ReadModeProfile(mode, *profile);
        pause(100);
        // Checked above; only the CPI level has changed since.
        const auto image = EncodeConfigurationImage(*profile);
        if (!image)
            continue;
        const std::string modeName = "Mode " + std::to_string(mode + 1);
        for (const auto& note : image->Notes)
            result.Notes.push_back(note.Prefixed("Mode %1: ", { std::to_string(mode + 1) }));
        pause(0);
        for (const TDeviceWrite& w : ConfigurationImageWrites(*image, mode))
            step(modeName + " " + w.What, [&] {
                return WriteDeviceMemory(hid, w.Data.data(), static_cast<std::uint16_t>(w.Data.size()), w.Address);
            });
        pause(0);
        rates[mode] = image->ReportRate;
        pause(0);
    }
    step("report rates",
        [&] { return WriteDeviceByte(hid, static_cast<std::uint8_t>(rates[1] * 16 + rates[0]), kAddrReportRate); });
    step("set selector",
        [&] { return WriteDeviceByte(hid, static_cast<std::uint8_t>(profiles.ActiveMode()), kAddrSetSelector); });
    const auto& current = profiles.CurrentProfile().ConfigInfo;
    step("wheel light",
        [&] { return WriteWheelLightByte(hid, current.HWVWheelValue, current.WheelLedOnOff, kAddrWheelLight); });
    pause(0);
    pause(0);
    step("settings notice", [&] { return SendSettingsNotice(hid, 1, notice); });
    if (hooks.Sequence.tellMonitor)
        hooks.Sequence.tellMonitor();
    pause(50);
    step("closing update bracket", [&] { return SendUpdateBracket(hid, 1, 0); });
    if (hooks.Busy)
        hooks.Busy(false);
    result.Written = result.FailedSteps.empty();
    return result;
}

} // namespace bv
