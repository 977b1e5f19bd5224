#include "device/macro_encoding.h"

#include "keys/uiStdCmd.h"
#include "settings/record_text.h"

#include <algorithm>
#include <cstring>

namespace bv {

std::vector<std::uint16_t> BuildMacroSlotList(const TMOUSEPROFILEINFO& profile, int entries)
{
    std::vector<std::uint16_t> slots;
    entries = std::clamp(entries, 0, kButtonSlots);
    for (int i = 0; i < entries; ++i) {
        const TBUTTONFUNCINFO& b = profile.ConfigInfo.ButtonFuncInfo[i];
        if (b.FuncKind != kFuncKindMacro)
            continue;
        const std::uint16_t number = b.MacroKeyInfo.nMacroIndex;
        if (std::find(slots.begin(), slots.end(), number) == slots.end())
            slots.push_back(number);
    }
    return slots;
}

const TMACROKEYINFO* ListedMacro(const TMOUSEPROFILEINFO& profile, std::uint16_t number)
{
    const auto& list = profile.MacroKeyInfoList;
    const TMACROKEYINFO* found = nullptr;
    for (int m = 0; m < std::min<int>(list.nMacroInfoCount, kMacroListSlots); ++m)
        if (list.MacroInfos[m].nMacroIndex == number)
            found = &list.MacroInfos[m];
    return found;
}

int MacroDeviceActionCount(const TMACROKEYINFO& macro)
{
    return std::clamp<int>(macro.MacroListCount, 0, kMacroActionsMax);
}

bool MacroDeviceHasLoopMarker(const TMACROKEYINFO& macro)
{
    // A full slot has no room for the marker; the macro then plays once.
    return macro.nLoopCount != 0 && MacroDeviceActionCount(macro) < kMacroActionsMax;
}

int MacroDeviceLength(const TMACROKEYINFO& macro)
{
    return 3 * (MacroDeviceActionCount(macro) + (MacroDeviceHasLoopMarker(macro) ? 1 : 0));
}

std::array<std::uint8_t, 3> EncodeMacroAction(const TMACROKEY& action)
{
    std::array<std::uint8_t, 3> r { 0, 0, 0 };
    if (action.nKeyState > 1)
        return r;
    r[0] = static_cast<std::uint8_t>((action.nKeyType & 0x7F) + 128 * action.nKeyState);
    switch (action.nKeyType) {
    case kActionKey:
        // A consumer usage, or one beyond a byte, would name another keyboard key.
        r[1] = GetKeyboardHidByte(action.VALUE1, action.VALUE2);
        r[2] = action.VALUE2;
        break;
    case kActionDelay: {
        const unsigned ms = action.VALUE1 + 256u * action.VALUE2;
        unsigned units = ms / 10;
        const unsigned rest = ms % 10;
        if (rest > 5 || (rest == 5 && (units & 1u)))
            ++units;
        r[1] = static_cast<std::uint8_t>(units & 0xFF);
        r[2] = static_cast<std::uint8_t>(units >> 8);
        break;
    }
    default:
        r[1] = action.VALUE1;
        r[2] = action.VALUE2;
        break;
    }
    return r;
}

std::uint32_t MacroAreaLength(const TMacroArea& area, int slot)
{
    if (slot < 0 || slot >= kMacroSlotCount)
        return 0;
    const std::uint8_t* p = area.data() + kMacroAreaLengthsOffset + 4 * slot;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
        | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void SetMacroAreaLength(TMacroArea& area, int slot, std::uint32_t length)
{
    if (slot < 0 || slot >= kMacroSlotCount)
        return;
    std::uint8_t* p = area.data() + kMacroAreaLengthsOffset + 4 * slot;
    for (int b = 0; b < 4; ++b)
        p[b] = static_cast<std::uint8_t>(length >> (8 * b));
}

void EncodeMacroArea(const TMOUSEPROFILEINFO& profile, TMacroArea& area, std::vector<util::UserText>* notes)
{
    area.fill(0);
    const auto slots = BuildMacroSlotList(profile, 10);
    const auto& list = profile.MacroKeyInfoList;
    const int count = std::min<int>(list.nMacroInfoCount, kMacroListSlots);
    for (int m = 0; m < count; ++m) {
        const TMACROKEYINFO& macro = list.MacroInfos[m];
        const auto it = std::find(slots.begin(), slots.end(), macro.nMacroIndex);
        if (it == slots.end())
            continue;
        const auto s = static_cast<int>(it - slots.begin());
        // Macros past the fifth can only come from entries that no device button plays.
        if (s >= kMacroSlotCount)
            continue;
        SetMacroAreaLength(area, s, static_cast<std::uint32_t>(MacroDeviceLength(macro)));
        std::uint8_t* slot = area.data() + kMacroSlotSize * s;
        const int actions = MacroDeviceActionCount(macro);
        for (int k = 0; k < actions; ++k) {
            const TMACROKEY& a = macro.MacroList[k];
            const auto rec = EncodeMacroAction(a);
            std::memcpy(slot + 3 * k, rec.data(), 3);
            if (notes && a.nKeyType == kActionKey && a.nKeyState == 1 && HasNoKeyboardByte(a.VALUE1, a.VALUE2))
                notes->push_back({ "Macro \"%1\": the key %2 cannot be sent as a keyboard key; nothing is sent for it.",
                    { RecordText(macro.szMacroName), GetKeyName(a.VALUE1, a.VALUE2) } });
        }
        if (MacroDeviceHasLoopMarker(macro)) {
            slot[3 * actions] = 7;
            slot[3 * actions + 1] = static_cast<std::uint8_t>(macro.nLoopCount & 0xFF);
            slot[3 * actions + 2] = static_cast<std::uint8_t>(macro.nLoopCount >> 8);
        } else if (macro.nLoopCount != 0 && notes) {
            notes->push_back(
                { "Macro \"%1\" fills its slot with 128 actions, so the mouse plays it once instead of %2 times.",
                    { RecordText(macro.szMacroName), std::to_string(macro.nLoopCount) } });
        }
    }
}

} // namespace bv
