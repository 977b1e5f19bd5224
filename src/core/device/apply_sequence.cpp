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
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();

    // Refuse before the first byte goes out, so the mouse never holds half a configuration. The
    // working copy is stored back first, so the check sees what will be written.
    profiles.StoreBackCurrentProfile();
    for (int mode = 0; mode < kModeCount; ++mode) {
        profiles.ReadModeProfile(mode, *profile);
        std::string error;
        if (!EncodeConfigurationImage(*profile, &error)) {
            result.Error = "Mode " + std::to_string(mode + 1) + ": " + error;
            return result;
        }
    }

    SendUpdateBracket(hid, 0, 0);
    if (hooks.Busy)
        hooks.Busy(true);
    std::int32_t cpiIndex = 0;
    if (ReadCurrentCPIIndex(hid, cpiIndex) != 0)
        result.Notes.push_back("The mouse's current CPI level could not be read; level 1 is set.");
    profiles.CurrentProfile().ConfigInfo.CurrentCPIIndex = cpiIndex;
    profiles.StoreBackCurrentProfile();
    result.CurrentCPIIndex = cpiIndex;

    std::uint8_t rates[kModeCount] = {8, 8};
    for (int mode = 0; mode < kModeCount; ++mode) {
        profiles.ReadModeProfile(mode, *profile);
        pause(100);
        // Checked above; only the CPI level has changed since.
        const auto image = EncodeConfigurationImage(*profile);
        if (!image)
            continue;
        for (const auto& note : image->Notes)
            result.Notes.push_back("Mode " + std::to_string(mode + 1) + ": " + note);
        WriteConfigurationBlocks(hid, *image, mode, hooks.Sequence);
        rates[mode] = image->ReportRate;
        pause(0);
    }
    WriteDeviceByte(hid, static_cast<std::uint8_t>(rates[1] * 16 + rates[0]), kAddrReportRate);
    WriteDeviceByte(hid, static_cast<std::uint8_t>(profiles.ActiveMode()), kAddrSetSelector);
    const auto& current = profiles.CurrentProfile().ConfigInfo;
    WriteWheelLightByte(hid, current.HWVWheelValue, current.WheelLedOnOff, kAddrWheelLight);
    pause(0);
    pause(0);
    SendSettingsNotice(hid, 1, notice);
    if (hooks.Sequence.tellMonitor)
        hooks.Sequence.tellMonitor();
    pause(50);
    SendUpdateBracket(hid, 1, 0);
    if (hooks.Busy)
        hooks.Busy(false);
    result.Written = true;
    return result;
}

} // namespace bv
