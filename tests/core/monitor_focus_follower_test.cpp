#include "monitor/focus_follower.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bv::monitor;
using namespace std::chrono_literals;

namespace {

class FakeClock final : public MonitorClock {
public:
    MonitorTime Now() const override { return now; }
    MonitorTime now {};
};

// The records' current mode and profile, and every switch asked for.
class FakeSwitching final : public ProfileSwitching {
public:
    int CurrentMode() const override { return mode; }
    int CurrentProfile() const override { return profiles[mode]; }
    bool ConfiguratorRunning() const override { return configurator; }
    bool SwitchProfile(int profile) override
    {
        switches.push_back(profile);
        if (fail)
            return false;
        profiles[mode] = profile;
        return true;
    }

    int mode = 0;
    int profiles[2] = { 0, 1 };
    bool configurator = false;
    bool fail = false;
    std::vector<int> switches;
};

// Profile 2 lists the game by path, profile 3 the editor by name; profile 4 is switched off.
ApplicationRules rules()
{
    return ApplicationRules(
        { ProfileApplications {}, ProfileApplications {}, ProfileApplications { true, { "/opt/game/bin/game" } },
            ProfileApplications { true, { "editor" } }, ProfileApplications { false, { "/usr/bin/off" } } },
        PathCompare::Posix);
}

// One step of a sequence: at `at` ms, the focus moves to `focus` (nullptr: nothing happens but time).
struct Step {
    int at;
    const char* focus;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    std::vector<int> switches;
};

// Runs the steps, ticking the follower at each deadline the way the monitor's timer does.
std::vector<int> Play(
    FakeSwitching& switching, FakeClock& clock, FocusFollower& follower, const std::vector<Step>& steps)
{
    const MonitorTime start = clock.now;
    for (const Step& step : steps) {
        const MonitorTime at = start + std::chrono::milliseconds(step.at);
        while (auto deadline = follower.NextDeadline()) {
            if (*deadline > at)
                break;
            clock.now = *deadline;
            follower.Tick();
        }
        clock.now = at;
        if (step.focus)
            follower.OnFocus(step.focus);
    }
    return switching.switches;
}

} // namespace

TEST(FocusFollower, FocusSequences)
{
    const Sequence sequences[] = {
        { "a listed program switches after 300 ms, and leaving it restores",
            { { 0, "/opt/game/bin/game" }, { 299, nullptr }, { 300, nullptr }, { 5000, "/usr/bin/shell" },
                { 6000, nullptr } },
            { 2, 0 } },
        { "a focus under 300 ms switches nothing",
            { { 0, "/opt/game/bin/game" }, { 299, "/usr/bin/shell" }, { 2000, nullptr } }, {} },
        { "a short visit elsewhere does not restore",
            { { 0, "/opt/game/bin/game" }, { 1000, "/usr/bin/shell" }, { 1200, "/opt/game/bin/game" },
                { 3000, nullptr } },
            { 2 } },
        { "from one listed program to another, then out: the first profile comes back",
            { { 0, "/opt/game/bin/game" }, { 1000, "/usr/local/bin/editor" }, { 2000, "" }, { 3000, nullptr } },
            { 2, 3, 0 } },
        { "a program in no list, or in a switched-off profile, changes nothing",
            { { 0, "/usr/bin/shell" }, { 1000, "/usr/bin/off" }, { 2000, "" }, { 3000, nullptr } }, {} },
        { "the same program again switches once",
            { { 0, "/opt/game/bin/game" }, { 1000, "/opt/game/bin/game" }, { 2000, nullptr } }, { 2 } },
        { "each visit switches and each departure restores",
            { { 0, "/opt/game/bin/game" }, { 1000, "/usr/bin/shell" }, { 2000, "/opt/game/bin/game" },
                { 3000, "/usr/bin/shell" }, { 4000, nullptr } },
            { 2, 0, 2, 0 } },
    };
    for (const Sequence& s : sequences) {
        FakeClock clock;
        FakeSwitching switching;
        FocusFollower follower(switching, clock);
        follower.SetRules(rules());
        EXPECT_EQ(Play(switching, clock, follower, s.steps), s.switches) << s.name;
    }
}

TEST(FocusFollower, AProfileChosenByHandOrAnotherModeIsNotUndone)
{
    FakeClock clock;
    FakeSwitching switching;
    FocusFollower follower(switching, clock);
    follower.SetRules(rules());
    Play(switching, clock, follower, { { 0, "/opt/game/bin/game" }, { 400, nullptr } });
    ASSERT_EQ(switching.profiles[0], 2);
    switching.profiles[0] = 4; // the user picks profile 5 from the menu
    Play(switching, clock, follower, { { 0, "/usr/bin/shell" }, { 400, nullptr } });
    EXPECT_EQ(switching.profiles[0], 4);

    Play(switching, clock, follower, { { 0, "/usr/bin/editor" }, { 400, nullptr } });
    ASSERT_EQ(switching.profiles[0], 3);
    switching.mode = 1;
    Play(switching, clock, follower, { { 0, "/usr/bin/shell" }, { 400, nullptr } });
    EXPECT_EQ(switching.profiles[0], 3);
    EXPECT_EQ(switching.profiles[1], 1);
    EXPECT_EQ(switching.switches, (std::vector<int> { 2, 3 }));
}

TEST(FocusFollower, NothingSwitchesWhileTheConfiguratorRunsOrWhilePaused)
{
    FakeClock clock;
    FakeSwitching switching;
    FocusFollower follower(switching, clock);
    follower.SetRules(rules());
    Play(switching, clock, follower, { { 0, "/opt/game/bin/game" }, { 400, nullptr } });
    switching.configurator = true;
    Play(switching, clock, follower, { { 0, "/usr/bin/shell" }, { 400, "/usr/bin/editor" }, { 800, nullptr } });
    EXPECT_EQ(switching.switches, (std::vector<int> { 2 }));
    // Once it has ended, what it left in use is not undone; the focused program counts again.
    switching.configurator = false;
    follower.Reconsider();
    Play(switching, clock, follower, { { 400, nullptr } });
    EXPECT_EQ(switching.switches, (std::vector<int> { 2, 3 }));

    follower.SetPaused(true);
    EXPECT_EQ(follower.NextDeadline(), std::nullopt);
    Play(switching, clock, follower, { { 0, "/opt/game/bin/game" }, { 400, "/usr/bin/shell" }, { 800, nullptr } });
    EXPECT_EQ(switching.profiles[0], 3) << "pausing keeps the profile in use";
    follower.SetPaused(false);
    Play(switching, clock, follower, { { 0, "/opt/game/bin/game" }, { 400, nullptr } });
    EXPECT_EQ(switching.switches, (std::vector<int> { 2, 3, 2 }));
    EXPECT_EQ(follower.ProfileToRestore(), 3);
}

TEST(FocusFollower, AFailedSwitchLeavesNothingToRestore)
{
    FakeClock clock;
    FakeSwitching switching;
    FocusFollower follower(switching, clock);
    follower.SetRules(rules());
    switching.fail = true;
    Play(switching, clock, follower, { { 0, "/opt/game/bin/game" }, { 400, nullptr } });
    EXPECT_EQ(follower.ProfileToRestore(), std::nullopt);
    switching.fail = false;
    Play(switching, clock, follower, { { 0, "/usr/bin/shell" }, { 400, nullptr } });
    EXPECT_EQ(switching.switches, (std::vector<int> { 2 }));
}
