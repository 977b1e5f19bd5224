#include "macros/uiHook.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bv {
// Readable failures: gtest finds this beside the record.
std::ostream& operator<<(std::ostream& os, const TMACROKEYHOOK& e)
{
    if (e.nKeyType == kMacroHookDelay)
        return os << "delay " << e.nKeyValue;
    return os << "key " << e.nKeyValue << (e.nKeyValueExtended ? "e" : "") << (e.nKeyState ? " down" : " up");
}
} // namespace bv

using namespace bv;
using bv::platform::FedKeyboardHook;
using bv::platform::kHookFlagExtended;
using bv::platform::kHookFlagReleased;

namespace {

constexpr std::uint32_t VK_A = 0x41, VK_B = 0x42, VK_C = 0x43, VK_DELETE = 0x2E;
constexpr std::uint32_t VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4,
                        VK_LWIN = 0x5B;

struct Key {
    std::uint32_t vk;
    bool down;
    std::uint32_t at;
    bool extended = false;
};

Key down(std::uint32_t vk, std::uint32_t at, bool extended = false)
{
    return { vk, true, at, extended };
}
Key up(std::uint32_t vk, std::uint32_t at, bool extended = false)
{
    return { vk, false, at, extended };
}

/// A recorder on a fed hook whose clock the test sets with each key.
struct RecorderTest : ::testing::Test {
    std::uint32_t now = 0;
    FedKeyboardHook hook { [this] { return now; } };
    TuiHook recorder { &hook };

    bool feed(const Key& k)
    {
        now = k.at;
        return hook.Feed(k.vk, 0, (k.extended ? kHookFlagExtended : 0) | (k.down ? 0 : kHookFlagReleased));
    }
    std::vector<bool> feedAll(const std::vector<Key>& keys)
    {
        std::vector<bool> blocked;
        for (const Key& k : keys)
            blocked.push_back(feed(k));
        return blocked;
    }
};

// ---- combination recorder -------------------------------------------------------------------

struct ComboEvent {
    int key1, key1Ext, key2, key2Ext, modifier;
    std::string text;
    bool operator==(const ComboEvent&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ComboEvent& e)
{
    return os << '"' << e.text << "\" key1 " << e.key1 << '/' << e.key1Ext << " key2 " << e.key2 << '/' << e.key2Ext
              << " modifier " << e.modifier;
}

struct ComboTest : RecorderTest {
    std::vector<ComboEvent> events;
    void SetUp() override
    {
        recorder.OnRecordKeyboardComboKey = [this](int k1, int e1, int k2, int e2, int m, const std::string& text) {
            events.push_back({ k1, e1, k2, e2, m, text });
        };
        ASSERT_TRUE(recorder.RecordKeyboardComboKey());
    }
};

TEST_F(ComboTest, BuildsCombinationsFromPressesAndHeldModifiers)
{
    struct Case {
        const char* what;
        std::vector<Key> keys;
        std::optional<ComboEvent> last; // nullopt: no event at all
    };
    const Case cases[] = {
        { "a modifier alone", { down(VK_LCONTROL, 1000) }, std::nullopt },
        { "Ctrl then A", { down(VK_LCONTROL, 1000), down(VK_A, 1500) }, ComboEvent { VK_A, 0, 0, 0, 2, "Ctrl+A" } },
        { "modifiers in the fixed order, either side",
            { down(VK_RSHIFT, 1000), down(VK_LWIN, 1001, true), down(VK_LMENU, 1002), down(VK_RCONTROL, 1003, true),
                down(VK_A, 2000) },
            ComboEvent { VK_A, 0, 0, 0, 15, "Ctrl+Alt+Win+Shift+A" } },
        { "a released modifier no longer counts", { down(VK_LSHIFT, 1000), up(VK_LSHIFT, 1100), down(VK_A, 1500) },
            ComboEvent { VK_A, 0, 0, 0, 0, "A" } },
        { "two keys within 100 ms", { down(VK_A, 1000), down(VK_B, 1100) }, ComboEvent { VK_A, 0, VK_B, 0, 0, "A+B" } },
        { "two keys 200 ms apart", { down(VK_A, 1000), down(VK_B, 1200) }, ComboEvent { VK_B, 0, 0, 0, 0, "B" } },
        { "a third key starts anew", { down(VK_A, 1000), down(VK_B, 1050), down(VK_C, 1100) },
            ComboEvent { VK_C, 0, 0, 0, 0, "C" } },
        { "the same key again stays one key", { down(VK_A, 1000), down(VK_A, 1030) },
            ComboEvent { VK_A, 0, 0, 0, 0, "A" } },
        { "extended keys keep their flag and name", { down(VK_DELETE, 1000, true), down(VK_B, 1010) },
            ComboEvent { VK_DELETE, 1, VK_B, 0, 0, "DEL+B" } },
        { "releases change nothing", { down(VK_A, 1000), up(VK_A, 1050), down(VK_B, 1090) },
            ComboEvent { VK_A, 0, VK_B, 0, 0, "A+B" } },
        { "within 100 ms across the tick counter's wrap", { down(VK_A, 0xFFFFFFC0u), down(VK_B, 0x20) },
            ComboEvent { VK_A, 0, VK_B, 0, 0, "A+B" } },
        { "a counter going back is not a combination", { down(VK_A, 5000), down(VK_B, 4990) },
            ComboEvent { VK_B, 0, 0, 0, 0, "B" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TuiHook fresh(&hook);
        std::vector<ComboEvent> seen;
        fresh.OnRecordKeyboardComboKey = [&seen](int k1, int e1, int k2, int e2, int m, const std::string& text) {
            seen.push_back({ k1, e1, k2, e2, m, text });
        };
        EXPECT_TRUE(fresh.RecordKeyboardComboKey());
        feedAll(c.keys);
        for (const Key& k : c.keys) // leave no modifier held for the next case
            hook.Feed(k.vk, 0, kHookFlagReleased);
        if (c.last) {
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(seen.back(), *c.last);
        } else {
            EXPECT_TRUE(seen.empty());
        }
    }
}

TEST_F(ComboTest, SwallowsKeyPressesButNotReleasesOrModifiers)
{
    EXPECT_EQ(feedAll({ down(VK_LCONTROL, 1000), down(VK_A, 1200), up(VK_A, 1300), up(VK_LCONTROL, 1400) }),
        (std::vector<bool> { false, true, false, false }));
    recorder.OnRecordKeyboardComboKey = nullptr;
    EXPECT_FALSE(feed(down(VK_B, 2000))) << "without a handler nothing is recorded or swallowed";
}

TEST_F(ComboTest, ARestartForgetsThePreviousPressTime)
{
    feedAll({ down(VK_A, 1000), down(VK_B, 1050) });
    recorder.StopRecordKeyboardComboKey();
    EXPECT_FALSE(feed(down(VK_C, 1060))) << "stopped";
    EXPECT_TRUE(recorder.RecordKeyboardComboKey());
    feed(down(VK_C, 1070));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events.back(), (ComboEvent { VK_C, 0, 0, 0, 0, "C" }));
}

// ---- single-key recorder ----------------------------------------------------------------------

TEST_F(RecorderTest, SingleKeyReportsEveryEventAndSwallowsOnlyWhatTheHandlerBlocks)
{
    struct Seen {
        int key;
        std::uint32_t scan;
        int state, extended;
        std::string name;
    };
    std::vector<Seen> seen;
    recorder.OnRecordKeyboardSingleKey
        = [&seen](int key, std::uint32_t scan, int state, int ext, const std::string& name, bool& blocked) {
              seen.push_back({ key, scan, state, ext, name });
              blocked = key == VK_B;
          };
    ASSERT_TRUE(recorder.RecordKeyboardSingleKey());
    now = 10;
    EXPECT_FALSE(hook.Feed(VK_RCONTROL, 0x1D, kHookFlagExtended));
    EXPECT_FALSE(hook.Feed(VK_DELETE, 0x53, kHookFlagExtended | kHookFlagReleased));
    EXPECT_TRUE(hook.Feed(VK_B, 0x30, 0));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].key, static_cast<int>(VK_RCONTROL));
    EXPECT_EQ(seen[0].scan, 0x1Du);
    EXPECT_EQ(seen[0].state, 1);
    EXPECT_EQ(seen[0].extended, 1);
    EXPECT_EQ(seen[0].name, "R CTRL");
    EXPECT_EQ(seen[1].state, 0);
    EXPECT_EQ(seen[1].name, "DEL");
    EXPECT_EQ(seen[2].name, "B");

    recorder.StopRecordKeyboardSingleKey();
    EXPECT_FALSE(hook.IsEnabled());
    EXPECT_FALSE(hook.Feed(VK_B, 0x30, 0));
    EXPECT_EQ(seen.size(), 3u);
}

// ---- macro recorder ---------------------------------------------------------------------------

TMACROKEYHOOK keyEntry(std::uint32_t vk, bool pressed, bool extended = false)
{
    TMACROKEYHOOK e;
    e.nKeyType = kMacroHookKey;
    e.nKeyState = pressed ? 1 : 0;
    e.nKeyValue = static_cast<std::uint16_t>(vk);
    e.nKeyValueExtended = extended ? 1 : 0;
    return e;
}

TMACROKEYHOOK delayEntry(std::uint16_t ms)
{
    TMACROKEYHOOK e;
    e.nKeyType = kMacroHookDelay;
    e.nKeyValue = ms;
    return e;
}

struct MacroEvent {
    int key, state, extended;
    std::uint32_t time, totalTime;
    std::string name, stateText;
    std::size_t listSize;
};

struct MacroTest : RecorderTest {
    std::vector<MacroEvent> events;
    std::vector<TMacroKeyHookList> stopped;
    void SetUp() override
    {
        recorder.OnRecordKeyboardMacroKeyEx
            = [this](int type, int key, int state, int ext, std::uint32_t time, std::uint32_t total,
                  const std::string& name, const std::string& stateText, const TMacroKeyHookList& list) {
                  EXPECT_EQ(type, 1);
                  events.push_back({ key, state, ext, time, total, name, stateText, list.size() });
              };
        recorder.OnStopRecordKeyboardMacroKey = [this](const TMacroKeyHookList& list) { stopped.push_back(list); };
        ASSERT_TRUE(recorder.RecordKeyboardMacroKeyEx());
    }
    TMacroKeyHookList stop()
    {
        recorder.StopRecordKeyboardMacroKeyEx();
        EXPECT_FALSE(stopped.empty());
        return stopped.empty() ? TMacroKeyHookList {} : stopped.back();
    }
};

TEST_F(MacroTest, RecordsPressesReleasesAndTheDelaysBetween)
{
    struct Case {
        const char* what;
        std::vector<Key> keys;
        TMacroKeyHookList expected;
    };
    std::vector<Key> held { down(VK_A, 1000) };
    for (std::uint32_t t = 1500; t < 3000; t += 33) // auto-repeat of the held key
        held.push_back(down(VK_A, t));
    held.push_back(up(VK_A, 3000));

    const Case cases[] = {
        { "a key held 2 s", held, { keyEntry(VK_A, true), delayEntry(2000), keyEntry(VK_A, false) } },
        { "overlapping keys", { down(VK_A, 1000), down(VK_B, 1100), up(VK_A, 1150), up(VK_B, 1300) },
            { keyEntry(VK_A, true), delayEntry(100), keyEntry(VK_B, true), delayEntry(50), keyEntry(VK_A, false),
                delayEntry(150), keyEntry(VK_B, false) } },
        { "no delay entry for no time", { down(VK_A, 1000), down(VK_B, 1000) },
            { keyEntry(VK_A, true), keyEntry(VK_B, true) } },
        { "a long pause is cut to 65535 ms", { down(VK_A, 1000), up(VK_A, 1000 + 100000) },
            { keyEntry(VK_A, true), delayEntry(65535), keyEntry(VK_A, false) } },
        { "across the tick counter's wrap", { down(VK_A, 0xFFFFFF00u), up(VK_A, 0xFF) },
            { keyEntry(VK_A, true), delayEntry(0x1FF), keyEntry(VK_A, false) } },
        { "a key held before the start records its first repeat",
            { down(VK_A, 1000), down(VK_A, 1033), up(VK_A, 1500) },
            { keyEntry(VK_A, true), delayEntry(500), keyEntry(VK_A, false) } },
        { "a release of a key pressed before the start", { up(VK_B, 1000), down(VK_A, 1200) },
            { keyEntry(VK_B, false), delayEntry(200), keyEntry(VK_A, true) } },
        { "extended keys keep their flag", { down(VK_DELETE, 1000, true), up(VK_DELETE, 1010, true) },
            { keyEntry(VK_DELETE, true, true), delayEntry(10), keyEntry(VK_DELETE, false, true) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(recorder.RecordKeyboardMacroKeyEx());
        for (const bool blocked : feedAll(c.keys))
            EXPECT_TRUE(blocked) << "every event of a recording is swallowed, repeats included";
        EXPECT_EQ(stop(), c.expected);
    }
}

TEST_F(MacroTest, RaisesOneEventPerKeyEntryWithItsDelayAndName)
{
    feedAll({ down(VK_A, 1000), down(VK_A, 1400), up(VK_A, 2000), down(VK_DELETE, 2100, true) });
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].key, static_cast<int>(VK_A));
    EXPECT_EQ(events[0].totalTime, 0u);
    EXPECT_EQ(events[0].time, 1000u);
    EXPECT_EQ(events[0].stateText, "Down");
    EXPECT_EQ(events[0].listSize, 1u);
    EXPECT_EQ(events[1].state, 0);
    EXPECT_EQ(events[1].totalTime, 1000u);
    EXPECT_EQ(events[1].stateText, "Up");
    EXPECT_EQ(events[1].listSize, 3u);
    EXPECT_EQ(events[2].extended, 1);
    EXPECT_EQ(events[2].name, "DEL");
}

TEST_F(MacroTest, StopHandsOverTheRecordingAndAStartBeginsEmpty)
{
    feedAll({ down(VK_A, 1000), up(VK_A, 1100) });
    EXPECT_EQ(stop().size(), 3u);
    EXPECT_TRUE(recorder.MacroKeyList().empty());
    EXPECT_FALSE(feed(down(VK_B, 1200))) << "stopped";

    EXPECT_TRUE(recorder.RecordKeyboardMacroKeyEx());
    feedAll({ down(VK_A, 1000), up(VK_B, 5000) }); // B's release left over from before
    EXPECT_TRUE(recorder.RecordKeyboardMacroKeyEx());
    feedAll({ up(VK_B, 6000), down(VK_A, 6010) }); // A counts as released again
    EXPECT_EQ(stop(), (TMacroKeyHookList { keyEntry(VK_B, false), delayEntry(10), keyEntry(VK_A, true) }));
}

TEST_F(MacroTest, StopsGrowingPastTheLimitAndLetsKeysThrough)
{
    std::uint32_t t = 1000;
    for (bool press = true; recorder.MacroKeyList().size() <= kMacroRecordingLimit; press = !press)
        ASSERT_TRUE(feed({ VK_A, press, t += 5 }));
    const std::size_t full = recorder.MacroKeyList().size();
    EXPECT_LE(full, kMacroRecordingLimit + 2);
    const std::size_t raised = events.size();
    EXPECT_FALSE(feed(down(VK_B, t += 5)));
    EXPECT_FALSE(feed(up(VK_B, t += 5)));
    EXPECT_EQ(recorder.MacroKeyList().size(), full);
    EXPECT_EQ(events.size(), raised);
    EXPECT_EQ(stop().size(), full);
}

TEST_F(MacroTest, IgnoresCodesOutsideTheKeyTable)
{
    EXPECT_FALSE(hook.Feed(0, 0, 0));
    EXPECT_FALSE(hook.Feed(0x1E7, 0, 0));
    EXPECT_FALSE(hook.Feed(0xFFFFFFFFu, 0, kHookFlagReleased));
    EXPECT_TRUE(recorder.MacroKeyList().empty());
    EXPECT_TRUE(events.empty());
}

// ---- sharing the process's hook ---------------------------------------------------------------

TEST(TuiHook, WithoutAHookNothingIsRecordedButTheStopStillReports)
{
    TuiHook recorder(nullptr);
    EXPECT_FALSE(recorder.DLLLoaded());
    int stops = 0;
    recorder.OnStopRecordKeyboardMacroKey = [&stops](const TMacroKeyHookList& list) {
        EXPECT_TRUE(list.empty());
        ++stops;
    };
    EXPECT_FALSE(recorder.RecordKeyboardMacroKeyEx());
    EXPECT_FALSE(recorder.RecordKeyboardComboKey());
    recorder.StopRecordKeyboardComboKey();
    recorder.StopRecordKeyboardMacroKeyEx();
    EXPECT_EQ(stops, 1);
}

TEST(TuiHook, OneRecorderHoldsTheHookAndLetsGoWhenDestroyed)
{
    FedKeyboardHook hook([] { return 1000u; });
    int first = 0, second = 0;
    auto counting = [](int& n) { return [&n](int, std::uint32_t, int, int, const std::string&, bool&) { ++n; }; };
    auto a = std::make_unique<TuiHook>(&hook);
    a->OnRecordKeyboardSingleKey = counting(first);
    TuiHook b(&hook);
    b.OnRecordKeyboardSingleKey = counting(second);

    EXPECT_TRUE(a->RecordKeyboardSingleKey());
    EXPECT_TRUE(b.RecordKeyboardSingleKey());
    hook.Feed(VK_A, 0, 0);
    EXPECT_EQ(first, 0) << "the later start replaced the earlier recorder";
    EXPECT_EQ(second, 1);

    a.reset();
    EXPECT_TRUE(hook.IsEnabled()) << "destroying a recorder that lost the hook leaves the other's";
    {
        TuiHook c(&hook);
        EXPECT_TRUE(c.RecordKeyboardSingleKey());
        EXPECT_EQ(hook.Owner(), &c);
    }
    EXPECT_FALSE(hook.IsEnabled()) << "a destroyed recorder must not stay behind the hook";
    EXPECT_FALSE(hook.Feed(VK_A, 0, 0));
}

TEST(TuiHook, AHandlerMayStopTheRecordingFromInsideAnEvent)
{
    FedKeyboardHook hook([] { return 1000u; });
    TuiHook recorder(&hook);
    std::size_t handedOver = 0;
    recorder.OnRecordKeyboardMacroKeyEx
        = [&recorder](int, int, int, int, std::uint32_t, std::uint32_t, const std::string&, const std::string&,
              const TMacroKeyHookList&) { recorder.StopRecordKeyboardMacroKeyEx(); };
    recorder.OnStopRecordKeyboardMacroKey = [&handedOver](const TMacroKeyHookList& list) { handedOver = list.size(); };
    EXPECT_TRUE(recorder.RecordKeyboardMacroKeyEx());
    EXPECT_TRUE(hook.Feed(VK_A, 0, 0));
    EXPECT_EQ(handedOver, 1u);
    EXPECT_FALSE(hook.IsEnabled());
}

} // namespace
