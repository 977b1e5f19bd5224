#pragma once
// The process-wide low-level keyboard hook through which the key recorders see every key event
// and may swallow it. Windows: a WH_KEYBOARD_LL hook installed on the calling (UI) thread.
// POSIX: there is no system-wide hook; the GUI feeds its own key events into a FedKeyboardHook.

#include <cstdint>
#include <functional>
#include <memory>

namespace bv::platform {

/// One low-level keyboard event, in the form the Windows low-level hook delivers it.
struct TKBDLLHOOKSTRUCT {
    std::uint32_t vkCode = 0; // virtual-key code
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0; // kHookFlagExtended, kHookFlagReleased, others passed through
    std::uint32_t time = 0; // ms of a 32-bit tick counter that wraps after about 49.7 days
    std::uintptr_t dwExtraInfo = 0;
};

inline constexpr std::uint32_t kHookFlagExtended = 0x01;
inline constexpr std::uint32_t kHookFlagReleased = 0x80;

enum class ModifierKey { Shift, Ctrl, Alt, Win };

/// The keyboard hook of the process: at most one callback at a time.
class KeyboardHook {
public:
    /// Called on the UI thread for every key event; setting `blocked` swallows the event.
    using Callback = std::function<void(const TKBDLLHOOKSTRUCT& event, bool& blocked)>;

    virtual ~KeyboardHook() = default;

    /// False when no hook can be installed here at all.
    [[nodiscard]] virtual bool Available() const = 0;
    /// Installs the hook, or keeps the installed one, with `callback` in place of any earlier
    /// callback. `owner` only identifies who enabled it (see Owner()). False, with nothing
    /// installed, when the system refuses the hook.
    [[nodiscard]] virtual bool Enable(Callback callback, const void* owner = nullptr) = 0;
    /// Removes the hook and its callback; harmless when none is installed.
    virtual void Disable() = 0;
    [[nodiscard]] virtual bool IsEnabled() const = 0;
    /// The `owner` given to the Enable that installed the current callback; nullptr when disabled.
    virtual const void* Owner() const = 0;
    /// True while the left or the right key of `key` is down.
    [[nodiscard]] virtual bool IsModifierDown(ModifierKey key) const = 0;
};

/// Milliseconds of a monotonic clock, truncated to 32 bits like the Windows tick counter.
[[nodiscard]] std::uint32_t MonotonicTickCount();

/// A hook that receives the key events someone hands it: the GUI's own key events on POSIX,
/// scripted events in tests. Modifier state is tracked from the fed events.
class FedKeyboardHook final : public KeyboardHook {
public:
    using TickSource = std::function<std::uint32_t()>;

    explicit FedKeyboardHook(TickSource ticks = MonotonicTickCount);

    [[nodiscard]] bool Available() const override { return true; }
    [[nodiscard]] bool Enable(Callback callback, const void* owner = nullptr) override;
    void Disable() override;
    [[nodiscard]] bool IsEnabled() const override { return FCallback != nullptr; }
    const void* Owner() const override { return FCallback ? FOwner : nullptr; }
    [[nodiscard]] bool IsModifierDown(ModifierKey key) const override;

    /// Hands one key event to the callback, stamped with `time` (ms, the event's own time stamp)
    /// or, when that is 0, with the tick source's time. Returns true when the callback blocked it. Modifier keys update
    /// the modifier state whether or not a callback is enabled, and only after the callback saw the event, as on
    /// Windows.
    bool Feed(std::uint32_t vkCode, std::uint32_t scanCode, std::uint32_t flags, std::uint32_t time = 0);

    /// Corrects the tracked state from a source that knows which modifiers are held but not
    /// which side (a key event's modifier mask): keys not held are released; a modifier held
    /// with neither side tracked counts as its left key. Mends state left stale when a release
    /// happened where the feed could not see it.
    void SyncModifiers(bool shift, bool ctrl, bool alt, bool win);

private:
    TickSource FTicks;
    std::shared_ptr<const Callback> FCallback;
    const void* FOwner = nullptr;
    // Indexed by ModifierKey, then left (0) / right (1).
    bool FDown[4][2] = {};
};

/// The hook of this process (Windows: the real low-level hook; POSIX: the fed hook below).
KeyboardHook& SystemKeyboardHook();
/// The same instance when it is fed by the GUI (POSIX); nullptr where the system delivers the
/// events itself (Windows).
FedKeyboardHook* SystemFedKeyboardHook();

} // namespace bv::platform
