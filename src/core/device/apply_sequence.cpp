#include "device/apply_sequence.h"

#include "device/config_image.h"
#include "settings/DMUnit.h"

#include <algorithm>
#include <map>
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
        for (TDeviceWrite& w : ConfigurationImageWrites(*image, mode)) {
            w.What = modeName + " " + w.What;
            step(w.What, [&] {
                return WriteDeviceMemory(hid, w.Data.data(), static_cast<std::uint16_t>(w.Data.size()), w.Address);
            });
            result.Writes.push_back(std::move(w));
        }
        pause(0);
        rates[mode] = image->ReportRate;
        pause(0);
    }
    const auto& current = profiles.CurrentProfile().ConfigInfo;
    const TDeviceWrite bytes[] = {
        { kAddrReportRate, { static_cast<std::uint8_t>(rates[1] * 16 + rates[0]) }, "report rates" },
        { kAddrSetSelector, { static_cast<std::uint8_t>(profiles.ActiveMode()) }, "set selector" },
        { kAddrWheelLight, { WheelLightByte(current.HWVWheelValue, current.WheelLedOnOff) }, "wheel light" },
    };
    for (const TDeviceWrite& w : bytes) {
        step(w.What, [&] { return WriteDeviceByte(hid, w.Data[0], w.Address); });
        result.Writes.push_back(w);
    }
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

VerifyResult VerifyDeviceWrites(TuiHIDData& hid, const std::vector<TDeviceWrite>& writes)
{
    VerifyResult result;
    // What each address should hold now, and which write put it there.
    std::map<std::uint16_t, std::pair<std::uint8_t, std::size_t>> expected;
    for (std::size_t i = 0; i < writes.size(); ++i)
        for (std::size_t k = 0; k < writes[i].Data.size(); ++k)
            expected[static_cast<std::uint16_t>(writes[i].Address + k)] = { writes[i].Data[k], i };

    for (std::size_t i = 0; i < writes.size(); ++i) {
        const TDeviceWrite& w = writes[i];
        std::vector<std::uint8_t> read(w.Data.size());
        std::uint32_t error = 0;
        for (std::size_t done = 0; done < read.size() && error == 0;) {
            const auto length = static_cast<std::uint16_t>(std::min<std::size_t>(read.size() - done, kMaxReadLength));
            error = ReadDeviceMemory(hid, read.data() + done, length, static_cast<std::uint16_t>(w.Address + done));
            done += length;
        }
        if (error != 0) {
            if (result.Unread.empty())
                result.FirstError = error;
            result.Unread.push_back(w.What);
            continue;
        }
        for (std::size_t k = 0; k < read.size(); ++k) {
            const auto address = static_cast<std::uint16_t>(w.Address + k);
            const auto& [value, owner] = expected[address];
            if (owner != i || read[k] == value)
                continue;
            if (!result.Differing.empty() && result.Differing.back().What == w.What
                && result.Differing.back().Last + 1 == address)
                result.Differing.back().Last = address;
            else
                result.Differing.push_back({ address, address, w.What });
        }
    }
    return result;
}

std::uint32_t ProfileSwitchSequence(
    TuiHIDData& hid, int profileIndex, std::uint8_t currentGame, const TMOUSECONFIGINFO& profile)
{
    TLightBlock light {};
    EncodeLightBlock(profile.LEDConfig, light);
    return ProfileButtonSequence(hid, profileIndex, currentGame, light, profile.HWVWheelValue, profile.WheelLedOnOff);
}

} // namespace bv
