#include "platform/keyboard_hook.h"

#include <chrono>
#include <optional>
#include <utility>

namespace bv::platform {

namespace {

struct ModifierSide {
    ModifierKey key;
    int side; // 0 left, 1 right
};

std::optional<ModifierSide> modifierOf(std::uint32_t vk)
{
    switch (vk) {
    case 0x10: // the side-less codes count as the left key
    case 0xA0:
        return ModifierSide { ModifierKey::Shift, 0 };
    case 0xA1:
        return ModifierSide { ModifierKey::Shift, 1 };
    case 0x11:
    case 0xA2:
        return ModifierSide { ModifierKey::Ctrl, 0 };
    case 0xA3:
        return ModifierSide { ModifierKey::Ctrl, 1 };
    case 0x12:
    case 0xA4:
        return ModifierSide { ModifierKey::Alt, 0 };
    case 0xA5:
        return ModifierSide { ModifierKey::Alt, 1 };
    case 0x5B:
        return ModifierSide { ModifierKey::Win, 0 };
    case 0x5C:
        return ModifierSide { ModifierKey::Win, 1 };
    default:
        return std::nullopt;
    }
}

} // namespace

std::uint32_t MonotonicTickCount()
{
    const auto ms
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

FedKeyboardHook::FedKeyboardHook(TickSource ticks)
    : FTicks(std::move(ticks))
{
    if (!FTicks)
        FTicks = MonotonicTickCount;
}

bool FedKeyboardHook::Enable(Callback callback, const void* owner)
{
    FCallback = callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr;
    FOwner = owner;
    return true;
}

void FedKeyboardHook::Disable()
{
    FCallback.reset();
    FOwner = nullptr;
}

bool FedKeyboardHook::IsModifierDown(ModifierKey key) const
{
    const auto& sides = FDown[static_cast<int>(key)];
    return sides[0] || sides[1];
}

bool FedKeyboardHook::Feed(std::uint32_t vkCode, std::uint32_t scanCode, std::uint32_t flags, std::uint32_t time)
{
    bool blocked = false;
    // A local reference keeps the callback alive when it disables or replaces itself.
    if (const std::shared_ptr<const Callback> callback = FCallback) {
        TKBDLLHOOKSTRUCT event;
        event.vkCode = vkCode;
        event.scanCode = scanCode;
        event.flags = flags;
        event.time = time != 0 ? time : FTicks();
        (*callback)(event, blocked);
    }
    if (const auto modifier = modifierOf(vkCode))
        FDown[static_cast<int>(modifier->key)][modifier->side] = (flags & kHookFlagReleased) == 0;
    return blocked;
}

void FedKeyboardHook::SyncModifiers(bool shift, bool ctrl, bool alt, bool win)
{
    const bool held[4] = { shift, ctrl, alt, win };
    for (int key = 0; key < 4; ++key) {
        if (!held[key])
            FDown[key][0] = FDown[key][1] = false;
        else if (!FDown[key][0] && !FDown[key][1])
            FDown[key][0] = true;
    }
}

} // namespace bv::platform
