#include "device/config_image.h"

#include "device/macro_encoding.h"
#include "keys/uiStdCmd.h"
#include "settings/cpi_steps.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace bv {

namespace {

constexpr int kDeviceEntries = 8;

std::uint8_t hidByte(int vk, int ext)
{
    // A consumer usage, or one that does not fit a byte, would name a different keyboard key.
    return GetKeyboardHidByte(vk, ext);
}

std::uint8_t usageByte(unsigned usage)
{
    return usage <= 0xFF ? static_cast<std::uint8_t>(usage) : 0;
}

void pauseFor(const DeviceSequenceHooks& hooks, int ms)
{
    if (hooks.pause)
        hooks.pause(ms);
}

} // namespace

bool EncodeButtonBlock(const TMOUSEPROFILEINFO& profile, TButtonBlock& block, util::UserText* error)
{
    const auto& c = profile.ConfigInfo;
    const auto slots = BuildMacroSlotList(profile, kDeviceEntries);
    if (slots.size() > static_cast<std::size_t>(kMaxDeviceMacros)) {
        if (error)
            *error = { "The buttons play %1 different macros; the mouse holds at most %2. Assign fewer macros and "
                       "apply again.",
                { std::to_string(slots.size()), std::to_string(kMaxDeviceMacros) } };
        return false;
    }
    TButtonBlock b {};
    const int count = std::clamp<int>(c.ButtonCount, 0, kButtonEntryCount);
    b[0] = static_cast<std::uint8_t>(c.ButtonCount);
    for (int i = 0; i < std::min(count, kButtonSlots); ++i) {
        const TBUTTONFUNCINFO& f = c.ButtonFuncInfo[i];
        TButtonEntry e;
        e.Code = static_cast<std::uint8_t>(f.DeviceCode);
        auto& [p1, p2, p3] = e.Params;
        switch (f.DeviceCode) {
        case kCodeWheelUpSlot:
        case kCodeWheelDownSlot:
            p1 = static_cast<std::uint8_t>(f.WheelParam);
            break;
        case kCodeConsumer:
            p2 = usageByte(f.MediaKey.nKeyValue1);
            p3 = usageByte(f.MediaKey.nKeyValue2);
            break;
        case kCodeCombo:
            p1 = GetHidModifier(f.ComboKey.nModifier);
            p2 = hidByte(f.ComboKey.nKeyValue1, f.ComboKey.nKey1Extended);
            p3 = hidByte(f.ComboKey.nKeyValue2, f.ComboKey.nKey2Extended);
            break;
        case kCodeSingleKey:
            p2 = hidByte(f.SingleKey.nKeyValue1, f.SingleKey.nKey1Extended);
            break;
        case kCodeMacro: {
            const auto it = std::find(slots.begin(), slots.end(), f.MacroKeyInfo.nMacroIndex);
            p1 = it == slots.end() ? 0 : static_cast<std::uint8_t>(it - slots.begin());
            // The slot is filled from the profile's list, so its length must come from there too.
            const TMACROKEYINFO* listed = ListedMacro(profile, f.MacroKeyInfo.nMacroIndex);
            const unsigned length = static_cast<unsigned>(MacroDeviceLength(listed ? *listed : f.MacroKeyInfo));
            e.SetWord(static_cast<std::uint16_t>(length));
            break;
        }
        case kCodeFire:
            p1 = static_cast<std::uint8_t>(f.FireKey.nLoopCount);
            e.SetWord(static_cast<std::uint16_t>(f.FireKey.DelyValue));
            break;
        case kCodeRaw:
            p1 = f.RawCode[0];
            p2 = f.RawCode[1];
            p3 = f.RawCode[2];
            break;
        default:
            break;
        }
        PutButtonEntry(b, i, e);
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
    block = { static_cast<std::uint8_t>(255 - light.G), static_cast<std::uint8_t>(255 - light.B),
        static_cast<std::uint8_t>(255 - light.R), light.BRIGHT_LEVEL, light.BREATH_SPEED, light.BREATH_SECOND };
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

namespace {

bool knownDeviceCode(std::uint32_t code)
{
    return (code >= kCodeLeftClick && code <= kCodeForward) || (code >= kCodeDPISwitch && code <= kCodeRaw);
}

constexpr std::uint32_t kCodeDisable = 14; // a media key with no usage: the button does nothing

// Keeps `value` within lo..hi, noting the change under `field` (of button `button`, counted from
// 1, when it is a button's).
template <typename T>
void clampField(
    T& value, long long lo, long long hi, const std::string& field, std::vector<util::UserText>& notes, int button = 0)
{
    const auto v = static_cast<long long>(value);
    if (v >= lo && v <= hi)
        return;
    const long long sent = v < lo ? lo : hi;
    util::UserText note { "%1 is %2, which the mouse cannot take; %3 is sent.",
        { field, std::to_string(v), std::to_string(sent) } };
    notes.push_back(button > 0 ? note.Prefixed("Button %1: ", { std::to_string(button) }) : note);
    value = static_cast<T>(sent);
}

} // namespace

void ClampDeviceFields(TMOUSEPROFILEINFO& profile, std::vector<util::UserText>& notes)
{
    auto& c = profile.ConfigInfo;
    for (int i = 0; i < kGameButtonCount; ++i) {
        TBUTTONFUNCINFO& f = c.ButtonFuncInfo[i];
        const int button = i + 1;
        if (!knownDeviceCode(f.DeviceCode)) {
            notes.push_back({ "Button %1 has the unknown function code %2; it is sent as Disable.",
                { std::to_string(button), std::to_string(f.DeviceCode) } });
            f.DeviceCode = kCodeDisable;
            f.MediaKey.nKeyValue1 = 0;
            f.MediaKey.nKeyValue2 = 0;
            continue;
        }
        // A key the mouse cannot send as a keyboard key goes out as 0; say which.
        auto checkKey = [&](int vk, int ext) {
            if (vk != 0 && HasNoKeyboardByte(vk, ext))
                notes.push_back({ "Button %1: the key %2 cannot be sent as a keyboard key; nothing is sent for it.",
                    { std::to_string(button), GetKeyName(vk, ext) } });
        };
        switch (f.DeviceCode) {
        case kCodeWheelUpSlot:
        case kCodeWheelDownSlot:
            clampField(f.WheelParam, 0, 255, "WheelParam", notes, button);
            break;
        case kCodeCombo:
            checkKey(f.ComboKey.nKeyValue1, f.ComboKey.nKey1Extended);
            checkKey(f.ComboKey.nKeyValue2, f.ComboKey.nKey2Extended);
            break;
        case kCodeSingleKey:
            checkKey(f.SingleKey.nKeyValue1, f.SingleKey.nKey1Extended);
            break;
        case kCodeFire:
            clampField(f.FireKey.nLoopCount, 1, 255, "FireKey.nLoopCount", notes, button);
            // The mouse reads the delay as 16 bits; only "not yet set" cannot be sent.
            clampField(f.FireKey.DelyValue, 1, 0xFFFF, "FireKey.DelyValue", notes, button);
            break;
        default:
            break;
        }
    }
    clampField(c.CPILevel, 1, kCPILevelsUsed, "CPILevel", notes);
    for (int k = 0; k < 10; ++k)
        clampField(c.CPIState[k].State, 0, 1, "CPIState[" + std::to_string(k) + "].State", notes);
    clampField(c.CurrentCPIIndex, 0, c.CPILevel - 1, "CurrentCPIIndex", notes);
    clampField(c.LEDConfig.BRIGHT_LEVEL, 0, 3, "BRIGHT_LEVEL", notes);
    clampField(c.LEDConfig.BREATH_SPEED, 0, 3, "BREATH_SPEED", notes);
    if (c.ReportRate != 125 && c.ReportRate != 250 && c.ReportRate != 500 && c.ReportRate != 1000) {
        notes.push_back({ "%1 is %2, which the mouse cannot take; %3 is sent.",
            { "ReportRate", std::to_string(c.ReportRate), "125" } });
        c.ReportRate = 125;
    }
}

std::optional<TConfigurationImage> EncodeConfigurationImage(const TMOUSEPROFILEINFO& profile, util::UserText* error)
{
    auto working = std::make_unique<TMOUSEPROFILEINFO>(profile);
    TConfigurationImage image;
    ClampDeviceFields(*working, image.Notes);
    PrepareWorkingCopy(*working);
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
    auto add = [&](std::uint16_t address, const std::uint8_t* data, std::size_t size, std::string what) {
        writes.push_back({ SetAddress(address, set), std::vector<std::uint8_t>(data, data + size), std::move(what) });
    };
    add(kAddrButtonBlock, image.Buttons.data(), image.Buttons.size(), "button block");
    // Slots 0 to 3 go with their recorded length (at most a slot), the last one whole.
    for (int s = 0; s < kMacroSlotCount; ++s) {
        const std::uint32_t length = s == kMacroSlotCount - 1
            ? kMacroSlotSize
            : std::min<std::uint32_t>(MacroAreaLength(image.Macros, s), kMacroSlotSize);
        if (length == 0)
            continue; // the mouse keeps what the slot held
        add(static_cast<std::uint16_t>(kAddrMacroSlot0 + kMacroSlotSize * s), image.Macros.data() + kMacroSlotSize * s,
            length, "macro slot " + std::to_string(s + 1));
    }
    add(kAddrLightBlock, image.Light.data(), image.Light.size(), "light block");
    add(kAddrCPIBlock, image.CPI.data(), image.CPI.size(), "CPI block");
    return writes;
}

std::uint32_t WriteConfigurationBlocks(
    TuiHIDData& hid, const TConfigurationImage& image, int set, const DeviceSequenceHooks& hooks)
{
    if (set != 0 && set != 1)
        return kHidErrorInvalidRequest;
    pauseFor(hooks, 0);
    std::uint32_t first = 0;
    for (const TDeviceWrite& w : ConfigurationImageWrites(image, set)) {
        const std::uint32_t r
            = WriteDeviceMemory(hid, w.Data.data(), static_cast<std::uint16_t>(w.Data.size()), w.Address);
        if (first == 0)
            first = r;
    }
    pauseFor(hooks, 0);
    return first;
}

} // namespace bv
