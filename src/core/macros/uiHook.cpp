#include "macros/uiHook.h"

#include "keys/uiStdCmd.h"

#include <algorithm>

namespace bv {

using platform::kHookFlagExtended;
using platform::kHookFlagReleased;
using platform::ModifierKey;

namespace {

bool isModifierKey(std::uint32_t vk)
{
    return (vk >= 0xA0 && vk <= 0xA5) || vk == 0x5B || vk == 0x5C;
}

int stateOf(const TKBDLLHOOKSTRUCT& event)
{
    return (event.flags & kHookFlagReleased) ? 0 : 1;
}

int extendedOf(const TKBDLLHOOKSTRUCT& event)
{
    return (event.flags & kHookFlagExtended) ? 1 : 0;
}

} // namespace

TuiHook::TuiHook(platform::KeyboardHook* hook)
    : FHook(hook)
{
}

TuiHook::~TuiHook()
{
    // The hook calls back into this object: it must not outlive it.
    if (FHook && FHook->Owner() == this)
        FHook->Disable();
}

bool TuiHook::DLLLoaded() const
{
    return FHook && FHook->Available();
}

bool TuiHook::startHook(platform::KeyboardHook::Callback callback)
{
    if (!DLLLoaded())
        return false;
    FHook->Disable();
    return FHook->Enable(std::move(callback), this);
}

void TuiHook::stopHook()
{
    if (DLLLoaded())
        FHook->Disable();
}

bool TuiHook::RecordKeyboardSingleKey()
{
    return startHook([this](const TKBDLLHOOKSTRUCT& e, bool& blocked) { recordSingleKey(e, blocked); });
}

void TuiHook::StopRecordKeyboardSingleKey()
{
    stopHook();
}

bool TuiHook::RecordKeyboardComboKey()
{
    FLastTimeKeyboardCombo.reset();
    return startHook([this](const TKBDLLHOOKSTRUCT& e, bool& blocked) { recordComboKey(e, blocked); });
}

void TuiHook::StopRecordKeyboardComboKey()
{
    stopHook();
    FLastTimeKeyboardCombo.reset();
}

bool TuiHook::RecordKeyboardMacroKeyEx()
{
    FLastMacroKey = TKBDLLHOOKSTRUCT {};
    FTotalMacroTime = 0;
    FAllKeyState.fill(0);
    FMacroKeyList.clear();
    return startHook([this](const TKBDLLHOOKSTRUCT& e, bool& blocked) { recordMacroKey(e, blocked); });
}

void TuiHook::StopRecordKeyboardMacroKeyEx()
{
    stopHook();
    if (OnStopRecordKeyboardMacroKey)
        OnStopRecordKeyboardMacroKey(FMacroKeyList);
    FMacroKeyList.clear();
}

void TuiHook::recordSingleKey(const TKBDLLHOOKSTRUCT& event, bool& blocked)
{
    if (!OnRecordKeyboardSingleKey)
        return;
    const int extended = extendedOf(event);
    OnRecordKeyboardSingleKey(static_cast<int>(event.vkCode), event.scanCode, stateOf(event), extended,
        GetKeyName(static_cast<int>(event.vkCode), extended), blocked);
}

void TuiHook::recordComboKey(const TKBDLLHOOKSTRUCT& event, bool& blocked)
{
    if (!OnRecordKeyboardComboKey || (event.flags & kHookFlagReleased))
        return;
    // The modifiers are read from the key state when the other key comes.
    if (isModifierKey(event.vkCode))
        return;

    TCOMBOKEY& combo = FComboKeyInfo;
    FComboKeyString.clear();
    combo.nModifier = 0;
    if (combo.nKeyValue1 != 0 && combo.nKeyValue2 != 0) {
        combo.nKeyValue1 = combo.nKeyValue1Extended = 0;
        combo.nKeyValue2 = combo.nKeyValue2Extended = 0;
    }

    std::string modifierText;
    const struct {
        ModifierKey key;
        std::uint16_t bit;
        const char* text;
    } modifiers[] = {
        { ModifierKey::Ctrl, kModifierCtrl, "Ctrl+" },
        { ModifierKey::Alt, kModifierAlt, "Alt+" },
        { ModifierKey::Win, kModifierWin, "Win+" },
        { ModifierKey::Shift, kModifierShift, "Shift+" },
    };
    for (const auto& m : modifiers) {
        if (FHook && FHook->IsModifierDown(m.key)) {
            combo.nModifier |= m.bit;
            modifierText += m.text;
        }
    }

    const auto vk = static_cast<std::uint16_t>(event.vkCode);
    const auto extended = static_cast<std::uint16_t>(extendedOf(event));
    // Unsigned difference: right across the wrap of the tick counter.
    const bool together = FLastTimeKeyboardCombo && event.time - *FLastTimeKeyboardCombo <= kComboKeyWindowMs;
    if (together && combo.nKeyValue1 == 0) {
        combo.nKeyValue1 = vk;
        combo.nKeyValue1Extended = extended;
    } else if (together && combo.nKeyValue2 == 0) {
        if (combo.nKeyValue1 == vk) {
            combo.nKeyValue1Extended = extended;
            combo.nKeyValue2 = combo.nKeyValue2Extended = 0;
        } else {
            combo.nKeyValue2 = vk;
            combo.nKeyValue2Extended = extended;
        }
    } else if (!together) {
        combo.nKeyValue1 = vk;
        combo.nKeyValue1Extended = extended;
        combo.nKeyValue2 = combo.nKeyValue2Extended = 0;
    }
    FLastTimeKeyboardCombo = event.time;

    std::string text = GetKeyName(combo.nKeyValue1, combo.nKeyValue1Extended);
    if (combo.nKeyValue2 != 0)
        text += "+" + GetKeyName(combo.nKeyValue2, combo.nKeyValue2Extended);
    if (combo.nKeyValue1 != 0 && !text.empty()) {
        FComboKeyString = modifierText + text;
        OnRecordKeyboardComboKey(combo.nKeyValue1, combo.nKeyValue1Extended, combo.nKeyValue2, combo.nKeyValue2Extended,
            combo.nModifier, FComboKeyString);
    }
    blocked = true;
}

void TuiHook::recordMacroKey(const TKBDLLHOOKSTRUCT& event, bool& blocked)
{
    if (!OnRecordKeyboardMacroKeyEx || FMacroKeyList.size() > kMacroRecordingLimit)
        return;
    // Codes outside the key-state table are not keys of the table; 0 marks "no key yet".
    if (event.vkCode == 0 || event.vkCode >= FAllKeyState.size())
        return;

    const int state = stateOf(event);
    const int extended = extendedOf(event);
    const std::uint32_t sameKeyBits = kHookFlagExtended | kHookFlagReleased;
    bool delayDue = false;
    if (FLastMacroKey.vkCode == 0) {
        FLastMacroKey = event;
        FTotalMacroTime = 0;
    } else if (event.vkCode == FLastMacroKey.vkCode
        && (event.flags & sameKeyBits) == (FLastMacroKey.flags & sameKeyBits) && state == 1) {
        // Auto-repeat of the held key: the delay keeps counting from its first press.
        FTotalMacroTime = event.time - FLastMacroKey.time;
    } else {
        FTotalMacroTime = event.time - FLastMacroKey.time;
        FLastMacroKey = event;
        if (state == 0)
            FAllKeyState[event.vkCode] = 0;
        delayDue = true;
    }

    if (delayDue && FTotalMacroTime > 0) {
        FTotalMacroTime = std::min(FTotalMacroTime, kMacroDelayMax);
        TMACROKEYHOOK delay;
        delay.nKeyType = kMacroHookDelay;
        delay.nKeyValue = static_cast<std::uint16_t>(FTotalMacroTime);
        FMacroKeyList.push_back(delay);
    }

    if (FAllKeyState[event.vkCode] == 0) {
        if (state == 1)
            FAllKeyState[event.vkCode] = 1;
        TMACROKEYHOOK key;
        key.nKeyType = kMacroHookKey;
        key.nKeyState = static_cast<std::uint16_t>(state);
        key.nKeyValue = static_cast<std::uint16_t>(event.vkCode);
        key.nKeyValueExtended = static_cast<std::uint16_t>(extended);
        FMacroKeyList.push_back(key);
        OnRecordKeyboardMacroKeyEx(kMacroHookKey, static_cast<int>(event.vkCode), state, extended, event.time,
            FTotalMacroTime, GetKeyName(static_cast<int>(event.vkCode), extended), state == 1 ? "Down" : "Up",
            FMacroKeyList);
    }
    blocked = true;
}

} // namespace bv
