// A key recording becoming macro actions under the editor's delay and loop options.

#include "macros/macro_name.h"
#include "macros/macro_recording.h"
#include "macros/uiMacroClassUnit.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace bv;

namespace {

TMACROKEYHOOK key(std::uint16_t vk, std::uint16_t state, std::uint16_t extended = 0)
{
    TMACROKEYHOOK e;
    e.nKeyType = kMacroHookKey;
    e.nKeyState = state;
    e.nKeyValue = vk;
    e.nKeyValueExtended = extended;
    return e;
}

TMACROKEYHOOK delay(std::uint16_t ms)
{
    TMACROKEYHOOK e;
    e.nKeyValue = ms;
    return e;
}

// Compact form of an action for comparisons: kind, state, value.
struct A {
    int kind, state, value;
    bool operator==(const A&) const = default;
};

std::vector<A> actions(const TMACROKEYINFO& m)
{
    std::vector<A> out;
    for (int i = 0; i < m.MacroListCount; ++i) {
        const TMACROKEY& k = m.MacroList[i];
        out.push_back({ k.nKeyType, k.nKeyState, k.VALUE1 + 256 * k.VALUE2 });
    }
    return out;
}

[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const A& a)
{
    return os << "{" << a.kind << "," << a.state << "," << a.value << "}";
}

constexpr int P = 1, R = 0, D = kActionDelay, K = kActionKey;

} // namespace

TEST(MacroRecording, DelayOptionsShapeTheActions)
{
    // A held 2 s, a gap of 3 ms, B tapped, right Ctrl (extended) after 40 s.
    const TMacroKeyHookList rec = { key('A', P), delay(2000), key('A', R), delay(3), key('B', P), delay(120),
        key('B', R), delay(40000), key(0xA3, P, 1), delay(1), key(0xA3, R, 1) };
    struct Case {
        const char* name;
        MacroRecordingOptions options;
        std::vector<A> expected;
        int autoAddDelay;
    };
    const Case cases[] = {
        { "recorded delays, at least 10 ms", { true, std::nullopt, 0 },
            { { K, P, 'A' }, { D, 0, 2000 }, { K, R, 'A' }, { D, 0, 10 }, { K, P, 'B' }, { D, 0, 120 }, { K, R, 'B' },
                { D, 0, 40000 }, { K, P, 256 + 0xA3 }, { D, 0, 10 }, { K, R, 256 + 0xA3 } },
            1 },
        { "default delay replaces each recorded one", { true, std::uint16_t(50), 0 },
            { { K, P, 'A' }, { D, 0, 50 }, { K, R, 'A' }, { D, 0, 50 }, { K, P, 'B' }, { D, 0, 50 }, { K, R, 'B' },
                { D, 0, 50 }, { K, P, 256 + 0xA3 }, { D, 0, 50 }, { K, R, 256 + 0xA3 } },
            1 },
        { "no delays: presses and releases only", { false, std::uint16_t(50), 0 },
            { { K, P, 'A' }, { K, R, 'A' }, { K, P, 'B' }, { K, R, 'B' }, { K, P, 256 + 0xA3 }, { K, R, 256 + 0xA3 } },
            0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = MacroFromRecording(TMACROKEYINFO {}, rec, c.options);
        EXPECT_EQ(actions(r.Macro), c.expected);
        EXPECT_EQ(r.Macro.nAutoAddDelay, c.autoAddDelay);
        EXPECT_FALSE(r.Truncated);
    }

    // Two events reported without elapsed time have no delay entry between them: none is inserted.
    const auto together = MacroFromRecording(
        TMACROKEYINFO {}, { key('A', P), key('B', P), delay(5), key('B', R) }, { true, std::uint16_t(50), 0 });
    EXPECT_EQ(actions(together.Macro), (std::vector<A> { { K, P, 'A' }, { K, P, 'B' }, { D, 0, 50 }, { K, R, 'B' } }));
}

TEST(MacroRecording, KeepsTheMacroAndItsOtherFields)
{
    TMACROKEYINFO macro {};
    SetMacroName(macro, "Reload");
    macro.nMacroIndex = 3;
    macro.MacroUse = 7;
    macro.Version = kMacroVersion;
    macro.MacroListCount = 5;
    for (auto& k : macro.MacroList)
        k = { kActionKey, 1, 'Z', 0 }; // an older, longer recording

    const auto r = MacroFromRecording(macro, { key('Q', P), delay(30), key('Q', R) }, { true, std::nullopt, 7 });
    EXPECT_EQ(MacroName(r.Macro), "Reload");
    EXPECT_EQ(r.Macro.nMacroIndex, 3);
    EXPECT_EQ(r.Macro.MacroUse, 7);
    EXPECT_EQ(r.Macro.Version, kMacroVersion);
    EXPECT_EQ(r.Macro.nLoopCount, 7);
    EXPECT_EQ(r.Macro.MacroListCount, 3);
    // Nothing of the older recording is left behind the new actions.
    for (int i = 3; i < kMacroActionsMax; ++i)
        EXPECT_EQ(r.Macro.MacroList[i].nKeyType, 0) << i;
}

TEST(MacroRecording, DropsRepeatedKeyEntries)
{
    // A key entry equal to the last key produced (code, flag, state) adds nothing; the same code
    // with the other extended flag or state is a different entry.
    const TMacroKeyHookList rec
        = { key('A', P), key('A', P), delay(20), key('A', P), key('A', P, 1), key('A', R), key('A', R) };
    const auto r = MacroFromRecording(TMACROKEYINFO {}, rec, { true, std::nullopt, 0 });
    EXPECT_EQ(actions(r.Macro), (std::vector<A> { { K, P, 'A' }, { D, 0, 20 }, { K, P, 256 + 'A' }, { K, R, 'A' } }));
}

// Volume, media and browser keys are consumer usages: recorded as media-key actions with the
// 16-bit usage, never as keyboard keys (VOLUME_MUTE's usage 0xE2 is Left Alt on the keyboard page).
TEST(MacroRecording, ConsumerKeysBecomeMediaKeyActions)
{
    const TMacroKeyHookList rec
        = { key(0xAD, P, 1), key(0xAD, P, 1), key(0xAD, R, 1), key(0xA6, P, 1), key(0xA6, R, 1), key('A', P) };
    const auto r = MacroFromRecording(TMACROKEYINFO {}, rec, { false, std::nullopt, 0 });
    constexpr int M = kActionMediaKey;
    EXPECT_EQ(actions(r.Macro),
        (std::vector<A> { { M, P, 0xE2 }, { M, R, 0xE2 }, { M, P, 0x224 }, { M, R, 0x224 }, { K, P, 'A' } }));
}

TEST(MacroRecording, StopsAtTheLimitAndSaysSo)
{
    TMacroKeyHookList rec;
    for (int i = 0; i < 100; ++i) {
        rec.push_back(key(static_cast<std::uint16_t>('A' + i % 26), i % 2 ? R : P));
        rec.push_back(delay(15));
    }
    const auto r = MacroFromRecording(TMACROKEYINFO {}, rec, { true, std::nullopt, 0 });
    EXPECT_EQ(r.Macro.MacroListCount, kRecordedActionsMax);
    EXPECT_EQ(kRecordedActionsMax, 127);
    EXPECT_TRUE(r.Truncated);
    EXPECT_EQ(actions(r.Macro).back(), (A { K, R, 'A' + 63 % 26 })); // entry 126 is the 64th key, a release

    // Exactly 127 actions fit without loss.
    rec.resize(127);
    const auto full = MacroFromRecording(TMACROKEYINFO {}, rec, { true, std::nullopt, 0 });
    EXPECT_EQ(full.Macro.MacroListCount, 127);
    EXPECT_FALSE(full.Truncated);
}
