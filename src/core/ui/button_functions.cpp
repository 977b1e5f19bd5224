#include "ui/button_functions.h"

#include "device/shortcut_tables.h"
#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "settings/record_text.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace bv {

namespace {

/// The row that a menu item of the table has, -1 when it has none. Unlike FunctionMenuRowOfID,
/// an unknown ID never passes for a row.
int rowOf(std::uint32_t id)
{
    const std::int64_t row = FunctionMenuRowOfID(id);
    return row >= 0 && row < kFunctionMenuRows && FunctionMenuTable[std::size_t(row)].MenuID == id ? int(row) : -1;
}

void setRow(TBUTTONFUNCINFO& entry, int row, std::uint32_t id, std::uint8_t kind)
{
    entry.nMenuRow = std::uint16_t(row);
    entry.FuncKind = kind;
    entry.MenuID = id;
    entry.DeviceCode = FunctionMenuTable[std::size_t(row)].DeviceCode;
}

bool inRange(std::uint32_t id, std::uint32_t first, int count)
{
    return id >= first && id < first + std::uint32_t(count);
}

int macroCount(const TMACROKEYINFOLIST& list)
{
    return std::min<int>(list.nMacroInfoCount, kMacroListSlots);
}

void setMacro(TBUTTONFUNCINFO& entry, const TMACROKEYINFOLIST& list, int index)
{
    entry.MacroKeyInfo = list.MacroInfos[index];
    entry.MacroKeyInfo.nMacroIndex = std::uint16_t(index);
    setRow(entry, kMacroMenuRow, kMacroMenuIDBase + std::uint32_t(index), kFuncKindMacro);
}

} // namespace

bool AssignMenuFunction(TBUTTONFUNCINFO& entry, std::uint32_t id)
{
    const int row = rowOf(id);
    if (row < 0)
        return false;
    const std::uint32_t firstBasic = SubmenuID(kMenuBasic, 1);
    const std::uint32_t firstAdvanced = SubmenuID(kMenuAdvanced, 1);
    const std::uint32_t firstMedia = SubmenuID(kMenuMedia, 1);
    if (inRange(id, kMenuClick, kMenuBackward - kMenuClick + 1)) {
        setRow(entry, row, id, kFuncKindMouse);
    } else if (inRange(id, kMenuDPISwitch, kMenuDPIDown - kMenuDPISwitch + 1)) {
        setRow(entry, row, id, kFuncKindDPI);
    } else if (id == kMenuDisable) {
        entry.MediaKey = {};
        setRow(entry, row, id, kFuncKindConsumer);
    } else if (inRange(id, firstBasic, kBasicShortcutItems) || inRange(id, firstAdvanced, kAdvancedShortcutItems)) {
        TCOMBOKEYINFO combo {};
        const bool basic = inRange(id, firstBasic, kBasicShortcutItems);
        if (!(basic ? GetBasicShortcut(int(id - firstBasic), combo)
                    : GetAdvancedShortcut(int(id - firstAdvanced), combo)))
            return false;
        entry.ComboKey = combo;
        setRow(entry, row, id, kFuncKindCombo);
    } else if (inRange(id, firstMedia, kMediaKeyItems)) {
        THID_CODE_INFO media {};
        if (!GetMediaKey(int(id - firstMedia), media))
            return false;
        entry.MediaKey = { media.nKeyValue1, media.nKeyValue2, 0 };
        setRow(entry, row, id, kFuncKindConsumer);
    } else {
        return false; // the items that need a dialog or a macro
    }
    return true;
}

std::uint32_t MediaMenuIDOfKey(int vk, int ext)
{
    if (!IsConsumerKey(vk, ext))
        return 0;
    const int usage = GetKeyHidCode(vk, ext);
    for (int row = 0; row < kMediaKeyItems; ++row) {
        THID_CODE_INFO media {};
        if (GetMediaKey(row, media) && media.nKeyValue1 == usage && usage != 0)
            return SubmenuID(kMenuMedia, 1 + std::uint32_t(row));
    }
    return 0;
}

bool AssignCapturedKey(TBUTTONFUNCINFO& entry, const TSINGLEKEYINFO& key, std::uint32_t* menuID)
{
    if (const std::uint32_t media = MediaMenuIDOfKey(key.nKeyValue1, key.nKey1Extended)) {
        if (!AssignMenuFunction(entry, media))
            return false;
        if (menuID)
            *menuID = media;
        return true;
    }
    if (IsConsumerKey(key.nKeyValue1, key.nKey1Extended))
        return false;
    AssignSingleKey(entry, key);
    if (menuID)
        *menuID = kMenuSingleKey;
    return true;
}

void AssignSingleKey(TBUTTONFUNCINFO& entry, const TSINGLEKEYINFO& key)
{
    entry.SingleKey = key;
    setRow(entry, kSingleKeyMenuRow, kMenuSingleKey, kFuncKindSingleKey);
}

void AssignComboKey(TBUTTONFUNCINFO& entry, const TCOMBOKEYINFO& combo)
{
    entry.ComboKey = combo;
    setRow(entry, kComboKeyMenuRow, kMenuComboKey, kFuncKindCombo);
}

void AssignFireKey(TBUTTONFUNCINFO& entry, const TFIREKEYINFO& fire)
{
    entry.FireKey = fire;
    setRow(entry, kFireKeyMenuRow, kMenuFireKey, kFuncKindFire);
}

TFIREKEYINFO FireKeyProposal(const TBUTTONFUNCINFO& entry, const TMOUSECONFIGINFO& config)
{
    TFIREKEYINFO fire = entry.FireKey;
    if (fire.DelyValue == 0) {
        fire.DelyValue = std::uint16_t(config.FireKeySpeed);
        fire.nLoopCount = std::uint16_t(config.FireKeyCount);
    }
    return fire;
}

void DisableButtonFunction(TBUTTONFUNCINFO& entry)
{
    entry.MediaKey = {};
    setRow(entry, kDisableMenuRow, 0, kFuncKindConsumer);
}

int AssignPrimaryButton(TMOUSECONFIGINFO& config, int slot, std::uint32_t id)
{
    if ((slot != 0 && slot != 1) || (id != kMenuClick && id != kMenuRightClick))
        return -1;
    TBUTTONFUNCINFO& entry = config.ButtonFuncInfo[slot];
    entry.FuncKind = kFuncKindMouse;
    entry.nMenuRow = std::uint16_t(rowOf(id));
    entry.MenuID = id;
    entry.DeviceCode = FunctionMenuTable[entry.nMenuRow].DeviceCode;
    if (id != kMenuRightClick)
        return -1;
    // The other primary button takes the left click; its kind is left as it was.
    const int other = 1 - slot;
    TBUTTONFUNCINFO& click = config.ButtonFuncInfo[other];
    click.nMenuRow = kClickMenuRow;
    click.MenuID = kMenuClick;
    click.DeviceCode = FunctionMenuTable[kClickMenuRow].DeviceCode;
    return other;
}

int CountAssignedMacros(const TMOUSECONFIGINFO& config)
{
    std::set<std::uint16_t> macros;
    for (int i = 0; i < kMacroCountedButtons; ++i)
        if (config.ButtonFuncInfo[i].FuncKind == kFuncKindMacro)
            macros.insert(config.ButtonFuncInfo[i].MacroKeyInfo.nMacroIndex);
    return int(macros.size());
}

MacroAssignment AssignMacro(TMOUSEPROFILEINFO& profile, int slot, int macroIndex)
{
    TMOUSECONFIGINFO& config = profile.ConfigInfo;
    // Only a macro of the list can be put on a button; a stale menu ID must not read past it.
    if (slot < 0 || slot >= kButtonSlots || macroIndex < 0 || macroIndex >= macroCount(profile.MacroKeyInfoList))
        return MacroAssignment::NoSuchMacro;
    const TBUTTONFUNCINFO before = config.ButtonFuncInfo[slot];
    setMacro(config.ButtonFuncInfo[slot], profile.MacroKeyInfoList, macroIndex);
    if (CountAssignedMacros(config) <= kMaxAssignedMacros)
        return MacroAssignment::Assigned;
    config.ButtonFuncInfo[slot] = before;
    return MacroAssignment::TooManyMacros;
}

int MacroIndexOfName(const TMACROKEYINFOLIST& list, const TMACROKEYINFO& macro)
{
    for (int i = 0; i < macroCount(list); ++i)
        if (MacroNamesEqual(list.MacroInfos[i], macro))
            return i;
    return -1;
}

void FollowMacroList(TMOUSEPROFILEINFO& profile)
{
    TMOUSECONFIGINFO& config = profile.ConfigInfo;
    // A damaged count must not reach past the slots.
    const int buttons = std::clamp<int>(config.ButtonCount, 0, kButtonSlots);
    for (int i = 0; i < buttons; ++i) {
        TBUTTONFUNCINFO& entry = config.ButtonFuncInfo[i];
        if (entry.nMenuRow != kMacroMenuRow)
            continue;
        const int k = MacroIndexOfName(profile.MacroKeyInfoList, entry.MacroKeyInfo);
        if (k < 0) {
            DisableButtonFunction(entry);
            continue;
        }
        entry.MacroKeyInfo = profile.MacroKeyInfoList.MacroInfos[k];
        entry.MacroKeyInfo.nMacroIndex = std::uint16_t(k);
        entry.MenuID = kMacroMenuIDBase + std::uint32_t(k);
    }
}

bool AssignWheelFunction(TBUTTONFUNCINFO& entry, std::uint32_t id)
{
    if (!inRange(id, 1, kWheelMenuItems))
        return false;
    entry.nMenuRow = std::uint16_t(id - 1);
    entry.FuncKind = kFuncKindMouse;
    entry.MenuID = id;
    return true;
}

std::optional<util::UserText> SingleKeyProblem(const TSINGLEKEYINFO& key)
{
    if (IsConsumerKey(key.nKeyValue1, key.nKey1Extended) && MediaMenuIDOfKey(key.nKeyValue1, key.nKey1Extended) == 0)
        return util::UserText { "The mouse cannot send the key %1.",
            { GetKeyName(key.nKeyValue1, key.nKey1Extended) } };
    return std::nullopt;
}

std::optional<util::UserText> ComboKeyProblem(const TCOMBOKEYINFO& combo)
{
    // No key at all is taken: it is what the dialog holds when OK comes before any key.
    for (const auto& [vk, ext] : { std::pair<int, int> { combo.nKeyValue1, combo.nKey1Extended },
             std::pair<int, int> { combo.nKeyValue2, combo.nKey2Extended } }) {
        if (vk != 0 && IsConsumerKey(vk, ext))
            return util::UserText { "The mouse cannot send the key %1.", { GetKeyName(vk, ext) } };
        if (IsModifierKeyCode(vk))
            return util::UserText { "%1 is a modifier: a combination holds it among its modifiers, not as a key.",
                { GetKeyName(vk, ext) } };
    }
    if (combo.nModifier > (kModifierAlt | kModifierCtrl | kModifierShift | kModifierWin))
        return util::UserText { "A combination's modifiers are Alt, Ctrl, Shift and Win.", {} };
    return std::nullopt;
}

std::optional<util::UserText> FireKeyProblem(const TFIREKEYINFO& fire)
{
    auto outside = [](int v) { return v < kFireValueMin || v > kFireValueMax; };
    if (outside(fire.nLoopCount) || outside(fire.DelyValue))
        return util::UserText { "The fire key takes %1 to %2 clicks with a delay of %1 to %2 ms.",
            { std::to_string(kFireValueMin), std::to_string(kFireValueMax) } };
    return std::nullopt;
}

util::UserText TooManyMacrosText()
{
    return { "You can assign macros to buttons shall not exceed 5 .", {} };
}

ButtonAssignment AssignButtonFunction(TMOUSEPROFILEINFO& profile, int slot, const ButtonFunction& f)
{
    ButtonAssignment result;
    result.MenuID = f.MenuID;
    auto refuse = [&result](util::UserText why) {
        result.Refusal = std::move(why);
        return result;
    };
    if (slot < 0 || slot >= kGameButtonCount)
        return refuse({ "There is no button %1.", { std::to_string(slot + 1) } });
    TMOUSECONFIGINFO& config = profile.ConfigInfo;
    if (slot <= 1) {
        if (f.MenuID != kMenuClick && f.MenuID != kMenuRightClick)
            return refuse({ "Button %1 can only click or right-click, so the mouse always has a left click.",
                { std::to_string(slot + 1) } });
        result.OtherPrimary = AssignPrimaryButton(config, slot, f.MenuID);
        return result;
    }
    if (f.MenuID >= kMacroMenuIDBase && ParentMenuOf(f.MenuID) == kMenuMacro) {
        const int index = int(f.MenuID - kMacroMenuIDBase);
        switch (AssignMacro(profile, slot, index)) {
        case MacroAssignment::Assigned:
            return result;
        case MacroAssignment::TooManyMacros:
            return refuse(TooManyMacrosText());
        case MacroAssignment::NoSuchMacro:
            break;
        }
        return refuse({ "The profile has no macro %1.", { std::to_string(index + 1) } });
    }

    TBUTTONFUNCINFO entry = config.ButtonFuncInfo[slot];
    switch (f.MenuID) {
    case kMenuSingleKey:
        if (auto why = SingleKeyProblem(f.SingleKey))
            return refuse(std::move(*why));
        if (!AssignCapturedKey(entry, f.SingleKey, &result.MenuID))
            return refuse({ "The mouse cannot send the key %1.",
                { GetKeyName(f.SingleKey.nKeyValue1, f.SingleKey.nKey1Extended) } });
        break;
    case kMenuComboKey:
        if (auto why = ComboKeyProblem(f.ComboKey))
            return refuse(std::move(*why));
        AssignComboKey(entry, f.ComboKey);
        break;
    case kMenuFireKey:
        if (auto why = FireKeyProblem(f.FireKey))
            return refuse(std::move(*why));
        AssignFireKey(entry, f.FireKey);
        break;
    default:
        if (!AssignMenuFunction(entry, f.MenuID))
            return refuse({ "Menu item %1 is no function for a button.", { std::to_string(f.MenuID) } });
    }
    config.ButtonFuncInfo[slot] = entry;
    return result;
}

} // namespace bv
