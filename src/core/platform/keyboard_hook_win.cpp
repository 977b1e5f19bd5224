#include "platform/keyboard_hook.h"

#include <windows.h>

namespace bv::platform {

namespace {

// A low-level hook procedure gets no context pointer, so the one hook of the process is reached
// through this instance.
class WinKeyboardHook final : public KeyboardHook {
public:
    bool Available() const override { return true; }

    bool Enable(Callback callback, const void* owner) override
    {
        // The system calls the hook on the thread that installed it, through that thread's
        // message loop: a hook from another thread is installed anew here.
        if (FHook && FThread != GetCurrentThreadId())
            Disable();
        if (!FHook) {
            FHook = SetWindowsHookExW(WH_KEYBOARD_LL, &WinKeyboardHook::Proc, GetModuleHandleW(nullptr), 0);
            if (!FHook) {
                FCallback.reset();
                FOwner = nullptr;
                return false;
            }
            FThread = GetCurrentThreadId();
        }
        FCallback = callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr;
        FOwner = owner;
        return true;
    }

    void Disable() override
    {
        if (FHook)
            UnhookWindowsHookEx(FHook);
        FHook = nullptr;
        FCallback.reset();
        FOwner = nullptr;
    }

    bool IsEnabled() const override { return FHook != nullptr; }
    const void* Owner() const override { return FHook ? FOwner : nullptr; }

    bool IsModifierDown(ModifierKey key) const override
    {
        // The asynchronous state, not GetKeyState: while another program has the focus this
        // thread's own key state never sees the modifiers pressed for that program.
        const auto down = [](int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; };
        switch (key) {
        case ModifierKey::Shift:
            return down(VK_LSHIFT) || down(VK_RSHIFT);
        case ModifierKey::Ctrl:
            return down(VK_LCONTROL) || down(VK_RCONTROL);
        case ModifierKey::Alt:
            return down(VK_LMENU) || down(VK_RMENU);
        case ModifierKey::Win:
            return down(VK_LWIN) || down(VK_RWIN);
        }
        return false;
    }

    static WinKeyboardHook& Instance()
    {
        static WinKeyboardHook hook;
        return hook;
    }

private:
    static LRESULT CALLBACK Proc(int nCode, WPARAM wParam, LPARAM lParam)
    {
        if (nCode == HC_ACTION) {
            // A local reference keeps the callback alive when it disables or replaces itself.
            if (const std::shared_ptr<const Callback> callback = Instance().FCallback) {
                const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
                TKBDLLHOOKSTRUCT event;
                event.vkCode = k->vkCode;
                event.scanCode = k->scanCode;
                event.flags = k->flags;
                event.time = k->time;
                event.dwExtraInfo = static_cast<std::uintptr_t>(k->dwExtraInfo);
                bool blocked = false;
                (*callback)(event, blocked);
                if (blocked)
                    return 1;
            }
        }
        return CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    HHOOK FHook = nullptr;
    DWORD FThread = 0;
    std::shared_ptr<const Callback> FCallback;
    const void* FOwner = nullptr;
};

} // namespace

KeyboardHook& SystemKeyboardHook()
{
    return WinKeyboardHook::Instance();
}

FedKeyboardHook* SystemFedKeyboardHook()
{
    return nullptr;
}

} // namespace bv::platform
