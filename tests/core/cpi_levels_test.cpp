#include "settings/cpi_levels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace bv;

namespace {

// Levels 400, 800, 1600, 3500 on both axes, all enabled, device steps not yet derived.
std::unique_ptr<TMOUSECONFIGINFO> fourLevels(int applyDifferentXY)
{
    auto c = std::make_unique<TMOUSECONFIGINFO>();
    std::memset(static_cast<void*>(c.get()), 0, sizeof(TMOUSECONFIGINFO));
    const std::uint16_t values[4] = { 400, 800, 1600, 3500 };
    for (int n = 0; n < 4; ++n)
        c->CPIState[n] = CPILevelEntry { values[n], values[n], 1 };
    c->ApplyDiffirentXY = applyDifferentXY;
    return c;
}

bool operator==(const CPILevelEntry& a, const CPILevelEntry& b)
{
    return a.X == b.X && a.Y == b.Y && a.State == b.State;
}

} // namespace

TEST(CPILevels, DeviceStepTakesTheLargerAxisOnBoth)
{
    struct Case {
        CPILevelEntry level, device;
    };
    const Case cases[] = {
        { { 400, 800, 1 }, { 750, 750, 1 } },
        { { 1300, 400, 1 }, { 1250, 1250, 1 } },
        { { 100, 100, 0 }, { 250, 250, 0 } }, // below the first step; State is copied
        { { 375, 100, 1 }, { 250, 250, 1 } }, // a tie goes to the lower step
        { { 3500, 3400, 1 }, { 3500, 3500, 1 } },
    };
    for (const Case& t : cases)
        EXPECT_TRUE(DeviceCPILevel(t.level) == t.device) << t.level.X << " x " << t.level.Y;
}

TEST(CPILevels, AValueGoesToOneAxisOrBothAndUpdatesTheDeviceStep)
{
    struct Case {
        int applyDifferentXY, level;
        CPIAxis axis;
        int value;
        CPILevelEntry user, device;
    };
    const Case cases[] = {
        { 0, 2, CPIAxis::Y, 1200, { 1200, 1200, 1 }, { 1250, 1250, 1 } },
        { 1, 2, CPIAxis::Y, 1200, { 1600, 1200, 1 }, { 1500, 1500, 1 } },
        { 1, 0, CPIAxis::Y, 800, { 400, 800, 1 }, { 750, 750, 1 } },
        { 1, 3, CPIAxis::X, 100, { 100, 3500, 1 }, { 3500, 3500, 1 } },
        { 0, 0, CPIAxis::X, 20, { 100, 100, 1 }, { 250, 250, 1 } }, // clamped to the limits
        { 0, 1, CPIAxis::X, 9000, { 3500, 3500, 1 }, { 3500, 3500, 1 } },
    };
    for (const Case& t : cases) {
        auto c = fourLevels(t.applyDifferentXY);
        const auto before = *c;
        SetCPILevelValue(*c, t.level, t.axis, t.value);
        EXPECT_TRUE(c->CPIState[t.level] == t.user) << "level " << t.level << " value " << t.value;
        EXPECT_TRUE(c->HWCPIState[t.level] == t.device) << "level " << t.level << " value " << t.value;
        for (int other = 0; other < 10; ++other)
            if (other != t.level) {
                EXPECT_TRUE(c->CPIState[other] == before.CPIState[other]) << other;
                EXPECT_TRUE(c->HWCPIState[other] == before.HWCPIState[other]) << other;
            }
    }
}

TEST(CPILevels, OutOfRangeLevelsChangeNothing)
{
    auto c = fourLevels(0);
    const auto before = *c;
    SetCPILevelValue(*c, 4, CPIAxis::X, 1000);
    SetCPILevelValue(*c, -1, CPIAxis::Y, 1000);
    EXPECT_FALSE(SetCPILevelEnabled(*c, 4, false));
    EXPECT_FALSE(SetCPILevelEnabled(*c, -1, true));
    EXPECT_EQ(std::memcmp(c.get(), &before, sizeof(TMOUSECONFIGINFO)), 0);
}

TEST(CPILevels, TheLastEnabledLevelCannotBeDisabled)
{
    auto c = fourLevels(0);
    EXPECT_EQ(FirstEnabledCPILevel(*c), 0);
    for (int level = 0; level < 3; ++level) {
        EXPECT_TRUE(SetCPILevelEnabled(*c, level, false));
        EXPECT_EQ(FirstEnabledCPILevel(*c), level + 1);
    }
    EXPECT_FALSE(SetCPILevelEnabled(*c, 3, false));
    EXPECT_EQ(c->CPIState[3].State, 1);

    // A level counts as enabled for this rule by any State but 0, as stored profiles may hold.
    c->CPIState[1].State = 5;
    EXPECT_TRUE(SetCPILevelEnabled(*c, 3, false));
    EXPECT_EQ(FirstEnabledCPILevel(*c), -1); // 5 is no State 1
    EXPECT_TRUE(SetCPILevelEnabled(*c, 2, true));
    EXPECT_EQ(FirstEnabledCPILevel(*c), 2);
}

TEST(CPILevels, AProfileWithoutEnabledLevelsGetsTheClickedOne)
{
    auto c = fourLevels(0);
    for (int n = 0; n < 4; ++n)
        c->CPIState[n].State = 0;
    // Refusing to disable would otherwise leave no way to enable any level.
    EXPECT_FALSE(SetCPILevelEnabled(*c, 2, false));
    EXPECT_EQ(c->CPIState[2].State, 1);
    EXPECT_EQ(FirstEnabledCPILevel(*c), 2);
}

// A level button's click as a whole: the current level follows the first enabled one, and the
// profile always has four levels.
TEST(CPILevels, ChangingALevelsStateKeepsTheCurrentLevelOnAnEnabledOne)
{
    auto c = fourLevels(0);
    c->CurrentCPIIndex = 0;
    c->CPILevel = 2;
    c->CPIState[2].State = 7; // a damaged state reads as enabled and is stored as 1
    util::UserText why;
    ASSERT_TRUE(ChangeCPILevelState(*c, 0, false, &why));
    EXPECT_EQ(c->CurrentCPIIndex, 1);
    EXPECT_EQ(c->CPILevel, 4);
    EXPECT_EQ(c->CPIState[2].State, 1);
    EXPECT_EQ(c->HWCPIState[2].State, 1);
    ASSERT_TRUE(ChangeCPILevelState(*c, 1, false));
    ASSERT_TRUE(ChangeCPILevelState(*c, 2, false));
    EXPECT_EQ(c->CurrentCPIIndex, 3);
    EXPECT_FALSE(ChangeCPILevelState(*c, 3, false, &why));
    EXPECT_EQ(why.English(), "Level 4 is the only enabled CPI level; the mouse needs one.");
    EXPECT_EQ(c->CPIState[3].State, 1);
    // Enabling a later level leaves the first enabled one current.
    ASSERT_TRUE(ChangeCPILevelState(*c, 1, true));
    EXPECT_EQ(c->CurrentCPIIndex, 1);
    EXPECT_FALSE(ChangeCPILevelState(*c, 4, true, &why));
    EXPECT_EQ(why.English(), "There is no CPI level 5.");
}
