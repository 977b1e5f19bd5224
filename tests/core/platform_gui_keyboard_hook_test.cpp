#include "platform/keyboard_hook.h"

#include <gtest/gtest.h>

#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace bv::platform;

namespace {

constexpr std::uint32_t kVkA = 0x41, kVkLSHIFT = 0xA0, kVkRSHIFT = 0xA1, kVkLCONTROL = 0xA2, kVkRCONTROL = 0xA3,
                        kVkRMENU = 0xA5, kVkLWIN = 0x5B, kVkRWIN = 0x5C;

TEST(FedKeyboardHook, HandsEventsToTheCallbackWithTheTickTime)
{
    std::uint32_t now = 0xFFFFFFF0u;
    FedKeyboardHook hook([&now] { return now; });
    EXPECT_TRUE(hook.Available());
    EXPECT_FALSE(hook.Feed(kVkA, 30, 0)) << "nothing blocks without a callback";

    std::vector<TKBDLLHOOKSTRUCT> seen;
    int owner = 0;
    ASSERT_TRUE(hook.Enable(
        [&seen](const TKBDLLHOOKSTRUCT& e, bool& blocked) {
            seen.push_back(e);
            blocked = e.flags & kHookFlagReleased;
        },
        &owner));
    EXPECT_EQ(hook.Owner(), &owner);
    EXPECT_FALSE(hook.Feed(kVkRCONTROL, 0x1D, kHookFlagExtended));
    now = 5;
    EXPECT_TRUE(hook.Feed(kVkRCONTROL, 0x1D, kHookFlagExtended | kHookFlagReleased));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].vkCode, kVkRCONTROL);
    EXPECT_EQ(seen[0].scanCode, 0x1Du);
    EXPECT_EQ(seen[0].flags, kHookFlagExtended);
    EXPECT_EQ(seen[0].time, 0xFFFFFFF0u);
    EXPECT_EQ(seen[1].time, 5u);

    // A second Enable replaces the callback; Disable is harmless when repeated.
    int second = 0;
    EXPECT_TRUE(hook.Enable([&second](const TKBDLLHOOKSTRUCT&, bool&) { ++second; }));
    hook.Feed(kVkA, 30, 0);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(second, 1);
    hook.Disable();
    hook.Disable();
    EXPECT_FALSE(hook.IsEnabled());
    EXPECT_EQ(hook.Owner(), nullptr);
}

TEST(FedKeyboardHook, TracksModifiersFromTheFedEvents)
{
    FedKeyboardHook hook;
    bool ctrlDuringItsOwnPress = true;
    EXPECT_TRUE(hook.Enable([&](const TKBDLLHOOKSTRUCT& e, bool&) {
        if (e.vkCode == kVkLCONTROL && !(e.flags & kHookFlagReleased))
            ctrlDuringItsOwnPress = hook.IsModifierDown(ModifierKey::Ctrl);
    }));
    hook.Feed(kVkLCONTROL, 0, 0);
    EXPECT_FALSE(ctrlDuringItsOwnPress) << "like the Windows key state, a key counts as down after its event";
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Ctrl));
    hook.Disable();

    // Tracked with or without a callback, left and right apart.
    hook.Feed(kVkRSHIFT, 0, 0);
    hook.Feed(kVkLSHIFT, 0, 0);
    hook.Feed(kVkRSHIFT, 0, kHookFlagReleased);
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Shift)) << "the left Shift is still down";
    hook.Feed(kVkLSHIFT, 0, kHookFlagReleased);
    EXPECT_FALSE(hook.IsModifierDown(ModifierKey::Shift));
    hook.Feed(kVkRMENU, 0, kHookFlagExtended);
    hook.Feed(kVkRWIN, 0, kHookFlagExtended);
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Alt));
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Win));
    hook.Feed(kVkA, 0, 0);
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Alt));
}

TEST(FedKeyboardHook, SyncMendsModifiersWhoseEventsWereMissed)
{
    FedKeyboardHook hook;
    hook.Feed(kVkLCONTROL, 0, 0);
    hook.Feed(kVkLWIN, 0, kHookFlagExtended);
    // Ctrl was released where the feed could not see it; Shift was pressed before the feed began.
    hook.SyncModifiers(/*shift*/ true, /*ctrl*/ false, /*alt*/ false, /*win*/ true);
    EXPECT_FALSE(hook.IsModifierDown(ModifierKey::Ctrl));
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Shift));
    EXPECT_TRUE(hook.IsModifierDown(ModifierKey::Win));
    EXPECT_FALSE(hook.IsModifierDown(ModifierKey::Alt));
    // A Shift counted as the left key ends with the left key's release.
    hook.Feed(kVkLSHIFT, 0, kHookFlagReleased);
    EXPECT_FALSE(hook.IsModifierDown(ModifierKey::Shift));
}

TEST(SystemKeyboardHook, IsOneInstanceAndFedOnlyWhereTheSystemHasNoHook)
{
    KeyboardHook& hook = SystemKeyboardHook();
    EXPECT_EQ(&hook, &SystemKeyboardHook());
    EXPECT_TRUE(hook.Available());
#ifdef _WIN32
    EXPECT_EQ(SystemFedKeyboardHook(), nullptr);
#else
    EXPECT_EQ(SystemFedKeyboardHook(), &hook);
#endif
    hook.Disable();
    EXPECT_FALSE(hook.IsEnabled());
}

#ifdef _WIN32

constexpr ULONG_PTR kMarker = 0xB1F0;

bool sendKey(WORD vk, bool release, bool extended)
{
    INPUT in {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (release ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    in.ki.dwExtraInfo = kMarker;
    return SendInput(1, &in, sizeof in) == 1;
}

/// The low-level hook is called through this thread's message loop: pump it until `count`
/// marked events came or a generous bound passed (a bound against hanging, not a timing test).
template <typename Events> void pumpUntil(const Events& events, std::size_t count, int rounds = 300)
{
    for (int i = 0; i < rounds && events.size() < count; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (events.size() < count)
            Sleep(10);
    }
}

struct WinKeyboardHookTest : ::testing::Test {
    KeyboardHook& hook = SystemKeyboardHook();
    std::vector<TKBDLLHOOKSTRUCT> seen;
    std::vector<bool> ctrlDown;
    void TearDown() override { hook.Disable(); }

    // Events of other sources (a real keyboard on a real desktop) are let through untouched.
    bool enable(DWORD blockVk)
    {
        return hook.Enable([this, blockVk](const TKBDLLHOOKSTRUCT& e, bool& blocked) {
            if (e.dwExtraInfo != kMarker)
                return;
            seen.push_back(e);
            ctrlDown.push_back(hook.IsModifierDown(ModifierKey::Ctrl));
            blocked = e.vkCode == blockVk && !(e.flags & kHookFlagReleased);
        });
    }
};

#define SKIP_WITHOUT_HOOK_EVENTS()                                                                                     \
    if (seen.empty())                                                                                                  \
    GTEST_SKIP() << "the low-level hook received no injected key event here (Wine without a display "                  \
                    "delivers none)"

TEST_F(WinKeyboardHookTest, SeesInjectedKeysWithTheirFlags)
{
    ASSERT_TRUE(enable(0)) << "SetWindowsHookExW failed with error " << GetLastError();
    ASSERT_TRUE(sendKey(kVkRCONTROL, false, true));
    ASSERT_TRUE(sendKey('A', false, false));
    ASSERT_TRUE(sendKey('A', true, false));
    ASSERT_TRUE(sendKey(kVkRCONTROL, true, true));
    pumpUntil(seen, 4);
    SKIP_WITHOUT_HOOK_EVENTS();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].vkCode, kVkRCONTROL);
    EXPECT_EQ(seen[0].flags & (kHookFlagExtended | kHookFlagReleased), kHookFlagExtended);
    EXPECT_EQ(seen[1].vkCode, kVkA);
    EXPECT_EQ(seen[1].flags & (kHookFlagExtended | kHookFlagReleased), 0u);
    EXPECT_TRUE(ctrlDown[1]) << "the right Ctrl is held while A comes";
    EXPECT_EQ(seen[2].flags & kHookFlagReleased, kHookFlagReleased);
    EXPECT_EQ(seen[3].flags & (kHookFlagExtended | kHookFlagReleased), kHookFlagExtended | kHookFlagReleased);
    EXPECT_LE(seen[3].time - seen[0].time, 60000u) << "one tick clock for all events";
}

TEST_F(WinKeyboardHookTest, ABlockedKeyNeverBecomesDown)
{
    ASSERT_TRUE(enable('B'));
    ASSERT_TRUE(sendKey('B', false, false));
    ASSERT_TRUE(sendKey('C', false, false));
    pumpUntil(seen, 2);
    SKIP_WITHOUT_HOOK_EVENTS();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(GetAsyncKeyState('B') & 0x8000) << "the swallowed press never reached the system";
    EXPECT_TRUE(GetAsyncKeyState('C') & 0x8000);
    sendKey('C', true, false);
    sendKey('B', true, false);
    pumpUntil(seen, 4);

    hook.Disable();
    const std::size_t before = seen.size();
    sendKey('B', false, false);
    sendKey('B', true, false);
    pumpUntil(seen, before + 1, 20);
    EXPECT_EQ(seen.size(), before) << "no events after Disable";
}

#endif

} // namespace
