#include "device/config_image.h"

#include "device/cpi_steps.h"
#include "device/macro_encoding.h"
#include "keys/uiStdCmd.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace bv {

namespace {

constexpr int kDeviceEntries = 8;
constexpr std::uint32_t kCodeEighthEntry = 13;

std::uint8_t hidByte(int vk, int ext)
{
    const int hid = GetKeyHidCode(vk, ext);
    // Usages that do not fit a byte would name a different key on the mouse.
    return hid > 0 && hid <= 0xFF ? static_cast<std::uint8_t>(hid) : 0;
}

std::uint8_t usageByte(unsigned usage)
{
    return usage <= 0xFF ? static_cast<std::uint8_t>(usage) : 0;
}

std::uint8_t low(unsigned v)
{
    return static_cast<std::uint8_t>(v & 0xFF);
}

std::uint8_t high(unsigned v)
{
    return static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void pauseFor(const DeviceSequenceHooks& hooks, int ms)
{
    if (hooks.pause)
        hooks.pause(ms);
}

} // namespace

bool EncodeButtonBlock(const TMOUSEPROFILEINFO& profile, TButtonBlock& block, std::string* error)
{
    const auto& c = profile.ConfigInfo;
    const auto slots = BuildMacroSlotList(profile, kDeviceEntries);
    if (slots.size() > static_cast<std::size_t>(kMaxDeviceMacros)) {
        if (error)
            *error = "The buttons play " + std::to_string(slots.size()) + " different macros; the mouse holds at most " +
                     std::to_string(kMaxDeviceMacros) + ". Assign fewer macros and apply again.";
        return false;
    }
    TButtonBlock b{};
    const int count = std::clamp<int>(c.ButtonCount, 0, 16);
    b[0] = static_cast<std::uint8_t>(c.ButtonCount);
    for (int i = 0; i < std::min(count, kButtonSlots); ++i) {
        const TBUTTONFUNCINFO& f = c.ButtonFuncInfo[i];
        std::uint8_t p1 = 0, p2 = 0, p3 = 0;
        switch (f.DeviceCode) {
        case 11:
        case 12:
            p1 = static_cast<std::uint8_t>(f.WheelParam);
            break;
        case 14:
            p2 = usageByte(f.MediaKey.nKeyValue1);
            p3 = usageByte(f.MediaKey.nKeyValue2);
            break;
        case 15:
            p1 = GetHidModifier(f.ComboKey.nModifier);
            p2 = hidByte(f.ComboKey.nKeyValue1, f.ComboKey.nKey1Extended);
            p3 = hidByte(f.ComboKey.nKeyValue2, f.ComboKey.nKey2Extended);
            break;
        case 16:
            p2 = hidByte(f.SingleKey.nKeyValue1, f.SingleKey.nKey1Extended);
            break;
        case 17: {
            const auto it = std::find(slots.begin(), slots.end(), f.MacroKeyInfo.nMacroIndex);
            p1 = it == slots.end() ? 0 : static_cast<std::uint8_t>(it - slots.begin());
            // The slot is filled from the profile's list, so its length must come from there too.
            const TMACROKEYINFO* listed = ListedMacro(profile, f.MacroKeyInfo.nMacroIndex);
            const unsigned length = static_cast<unsigned>(MacroDeviceLength(listed ? *listed : f.MacroKeyInfo));
            p2 = low(length);
            p3 = high(length);
            break;
        }
        case 18:
            p1 = static_cast<std::uint8_t>(f.FireKey.nLoopCount);
            p2 = low(f.FireKey.DelyValue);
            p3 = high(f.FireKey.DelyValue);
            break;
        case 19:
            p1 = f.RawCode[0];
            p2 = f.RawCode[1];
            p3 = f.RawCode[2];
            break;
        default:
            break;
        }
        b[1 + 4 * i] = static_cast<std::uint8_t>(f.DeviceCode);
        b[2 + 4 * i] = p1;
        b[3 + 4 * i] = p2;
        b[4 + 4 * i] = p3;
    }
    block = b;
    return true;
}

void EncodeCPIBlock(const TMOUSEPROFILEINFO& profile, TCPIBlock& block)
{
    const auto& c = profile.ConfigInfo;
    block.fill(0);
    block[0] = static_cast<std::uint8_t>(c.CPILevel);
    block[1] = static_cast<std::uint8_t>(c.CurrentCPIIndex);
    for (int k = 0; k < 10; ++k) {
        const CPILevelEntry e = c.CPIState[k];
        std::uint8_t code = 0;
        if (e.State != 0)
            code = (e.X == 0 || e.Y == 0) ? 1 : static_cast<std::uint8_t>(DeviceCPIIndex(std::max(e.X, e.Y)) + 1);
        block[2 + 3 * k] = static_cast<std::uint8_t>(e.State);
        block[3 + 3 * k] = code;
        block[4 + 3 * k] = code;
    }
}

void EncodeLightBlock(const TLEDCONFIG& light, TLightBlock& block)
{
    block = {static_cast<std::uint8_t>(255 - light.G), static_cast<std::uint8_t>(255 - light.B),
             static_cast<std::uint8_t>(255 - light.R), light.BRIGHT_LEVEL, light.BREATH_SPEED, light.BREATH_SECOND};
}

std::uint8_t ReportRateCode(const TMOUSEPROFILEINFO& profile)
{
    switch (profile.ConfigInfo.ReportRate) {
    case 1000:
        return 1;
    case 500:
        return 2;
    case 250:
        return 4;
    default:
        return 8; // 125 Hz, and what the window shows for any rate it does not know
    }
}

void PrepareWorkingCopy(TMOUSEPROFILEINFO& profile)
{
    auto& c = profile.ConfigInfo;
    // The mouse numbers the side buttons the other way round.
    std::swap(c.ButtonFuncInfo[3], c.ButtonFuncInfo[4]);
    c.ButtonCount = kDeviceEntries;
    c.ButtonFuncInfo[7].FuncKind = 0;
    c.ButtonFuncInfo[7].DeviceCode = kCodeEighthEntry;
}

std::optional<TConfigurationImage> EncodeConfigurationImage(const TMOUSEPROFILEINFO& profile, std::string* error)
{
    auto working = std::make_unique<TMOUSEPROFILEINFO>(profile);
    PrepareWorkingCopy(*working);
    TConfigurationImage image;
    if (!EncodeButtonBlock(*working, image.Buttons, error))
        return std::nullopt;
    EncodeLightBlock(working->ConfigInfo.LEDConfig, image.Light);
    EncodeMacroArea(*working, image.Macros, &image.Notes);
    EncodeCPIBlock(*working, image.CPI);
    image.ReportRate = ReportRateCode(*working);
    return image;
}

std::vector<TDeviceWrite> ConfigurationImageWrites(const TConfigurationImage& image, int set)
{
    std::vector<TDeviceWrite> writes;
    auto add = [&](std::uint16_t address, const std::uint8_t* data, std::size_t size) {
        writes.push_back({SetAddress(address, set), std::vector<std::uint8_t>(data, data + size)});
    };
    add(kAddrButtonBlock, image.Buttons.data(), image.Buttons.size());
    for (int s = 0; s < kMacroSlotCount; ++s) {
        const std::uint32_t length =
            s == kMacroSlotCount - 1 ? kMacroSlotSize : std::min<std::uint32_t>(MacroAreaLength(image.Macros, s), kMacroSlotSize);
        if (length == 0)
            continue; // the mouse keeps what the slot held
        add(static_cast<std::uint16_t>(kAddrMacroSlot0 + kMacroSlotSize * s), image.Macros.data() + kMacroSlotSize * s,
            length);
    }
    add(kAddrLightBlock, image.Light.data(), image.Light.size());
    add(kAddrCPIBlock, image.CPI.data(), image.CPI.size());
    return writes;
}

bool WriteConfigurationImage(TuiHIDData& hid, const TMOUSEPROFILEINFO& profile, int set,
                             const DeviceSequenceHooks& hooks, std::string* error)
{
    if (set != 0 && set != 1) {
        if (error)
            *error = "There is no configuration set " + std::to_string(set) + ".";
        return false;
    }
    pauseFor(hooks, 100);
    const auto image = EncodeConfigurationImage(profile, error);
    if (!image)
        return false;
    WriteConfigurationBlocks(hid, *image, set, hooks);
    return true;
}

void WriteConfigurationBlocks(TuiHIDData& hid, const TConfigurationImage& image, int set, const DeviceSequenceHooks& hooks)
{
    if (set != 0 && set != 1)
        return;
    pauseFor(hooks, 0);
    WriteButtonBlock(hid, image.Buttons, SetAddress(kAddrButtonBlock, set));
    WriteMacroBlocks(hid, image.Macros, set);
    WriteLightBlock(hid, image.Light, SetAddress(kAddrLightBlock, set));
    WriteCPIBlock(hid, image.CPI, SetAddress(kAddrCPIBlock, set));
    pauseFor(hooks, 0);
}

} // namespace bv
