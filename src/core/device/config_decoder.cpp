#include "device/config_decoder.h"

#include "keys/uiStdCmd.h"
#include "settings/cpi_steps.h"
#include "settings/pubunit_solmarch.h"

#include <algorithm>
#include <set>

namespace bv {

namespace {

constexpr std::size_t kMemoryNeeded = kAddrLightBlock + kSetStride + 6;

std::uint16_t programModifier(std::uint8_t hid)
{
    std::uint16_t m = 0;
    if (hid & 0x01)
        m |= kModifierCtrl;
    if (hid & 0x02)
        m |= kModifierShift;
    if (hid & 0x04)
        m |= kModifierAlt;
    if (hid & 0x08)
        m |= kModifierWin;
    return m;
}

} // namespace

DecodedKey DecodeKey(std::uint8_t hidCode, int extendedHint)
{
    DecodedKey key;
    key.HidCode = hidCode;
    if (hidCode == 0)
        return key;
    // The flag the record carries first, so extended keys come back as themselves.
    const int first = extendedHint ? 1 : 0;
    for (int ext : { first, 1 - first }) {
        for (int vk = 0; vk < kKeyTableRows; ++vk) {
            if (GetKeyHidCode(vk, ext) == hidCode) {
                key.VirtualKey = vk;
                key.Extended = ext;
                return key;
            }
        }
    }
    return key;
}

DecodedAction DecodeMacroAction(std::span<const std::uint8_t, 3> r)
{
    DecodedAction a;
    a.Kind = r[0] & 0x7F;
    a.State = r[0] >> 7;
    a.Value = { r[1], r[2] };
    const unsigned value = r[1] + 256u * r[2];
    switch (a.Kind) {
    case kActionKey:
        a.Key = DecodeKey(r[1], r[2]);
        break;
    case kActionDelay:
        a.DelayMs = value * 10;
        break;
    case kActionLoop:
        a.Loops = static_cast<std::uint16_t>(value);
        break;
    default:
        break;
    }
    return a;
}

DecodedLight DecodeLightBlock(std::span<const std::uint8_t> b)
{
    DecodedLight l;
    if (b.size() < 6)
        return l;
    l.G = static_cast<std::uint8_t>(255 - b[0]);
    l.B = static_cast<std::uint8_t>(255 - b[1]);
    l.R = static_cast<std::uint8_t>(255 - b[2]);
    l.BRIGHT_LEVEL = b[3];
    l.BREATH_SPEED = b[4];
    l.BREATH_SECOND = b[5];
    return l;
}

int ReportRateHz(std::uint8_t code)
{
    switch (code) {
    case 1:
        return 1000;
    case 2:
        return 500;
    case 4:
        return 250;
    case 8:
        return 125;
    default:
        return 0;
    }
}

std::optional<DecodedSet> DecodeConfigurationSet(std::span<const std::uint8_t> memory, int set)
{
    if ((set != 0 && set != 1) || memory.size() < kMemoryNeeded)
        return std::nullopt;
    DecodedSet d;
    const auto at = [&](std::uint16_t set0Address) { return memory.subspan(SetAddress(set0Address, set)); };

    const auto buttons = at(kAddrButtonBlock).first(std::tuple_size_v<TButtonBlock>);
    d.EntryCount = buttons[0];
    const int entries = std::min<int>(d.EntryCount, kButtonEntryCount);
    std::set<int> macroSlotsSeen;
    for (int i = 0; i < entries; ++i) {
        DecodedButton b;
        const TButtonEntry entry = GetButtonEntry(buttons, i);
        b.DeviceCode = entry.Code;
        b.Params = entry.Params;
        const auto& p = b.Params;
        switch (b.DeviceCode) {
        case kCodeConsumer:
            b.MediaUsage = p[1];
            break;
        case kCodeCombo:
            b.Modifier = programModifier(p[0]);
            b.Key1 = DecodeKey(p[1], 0);
            b.Key2 = DecodeKey(p[2], 0);
            break;
        case kCodeSingleKey:
            b.Key1 = DecodeKey(p[1], 0);
            break;
        case kCodeMacro:
            b.MacroSlot = p[0];
            b.MacroLength = entry.Word();
            break;
        case kCodeFire:
            b.FireCount = p[0];
            b.FireDelay = entry.Word();
            break;
        default:
            break;
        }
        if (b.DeviceCode == kCodeMacro && b.MacroSlot < kMacroSlotCount && macroSlotsSeen.insert(b.MacroSlot).second) {
            DecodedMacroSlot slot;
            slot.Slot = b.MacroSlot;
            slot.Length = std::min<std::uint16_t>(b.MacroLength, kMacroSlotSize);
            const auto bytes = at(static_cast<std::uint16_t>(kAddrMacroSlot0 + kMacroSlotSize * b.MacroSlot));
            for (int k = 0; k + 3 <= slot.Length; k += 3)
                slot.Actions.push_back(DecodeMacroAction(bytes.subspan(static_cast<std::size_t>(k)).first<3>()));
            d.Macros.push_back(std::move(slot));
        }
        d.Buttons.push_back(b);
    }
    std::sort(d.Macros.begin(), d.Macros.end(), [](const auto& a, const auto& b) { return a.Slot < b.Slot; });

    const auto cpi = at(kAddrCPIBlock).first(32);
    d.CPILevel = cpi[0];
    d.CurrentCPIIndex = cpi[1];
    for (int k = 0; k < 10; ++k) {
        auto& l = d.Levels[static_cast<std::size_t>(k)];
        l.State = cpi[2 + 3 * k];
        l.CodeX = cpi[3 + 3 * k];
        l.CodeY = cpi[4 + 3 * k];
        if (l.CodeX >= 1 && l.CodeX <= kDeviceCPITable.size())
            l.CPI = kDeviceCPITable[l.CodeX - 1u];
    }
    d.Light = DecodeLightBlock(at(kAddrLightBlock).first(6));
    const std::uint8_t rates = memory[kAddrReportRate];
    d.ReportRateCode = set == 0 ? (rates & 0x0F) : (rates >> 4);
    d.ReportRateHz = ReportRateHz(d.ReportRateCode);
    return d;
}

std::optional<DecodedShared> DecodeSharedBytes(std::span<const std::uint8_t> memory)
{
    if (memory.size() < kMemoryNeeded)
        return std::nullopt;
    DecodedShared s;
    s.WheelLightOn = (memory[kAddrWheelLight] & 0x80) != 0;
    s.WheelValue = memory[kAddrWheelLight] & 0x7F;
    s.SetSelector = memory[kAddrSetSelector];
    return s;
}

} // namespace bv
