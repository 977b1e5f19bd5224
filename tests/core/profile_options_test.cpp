// The General, Light and Advanced tabs' settings of a profile: what each takes, and that a
// refused value changes nothing.

#include "settings/profile_options.h"
#include "settings/system_mouse_params.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

using namespace bv;

namespace {

std::unique_ptr<TMOUSECONFIGINFO> config()
{
    auto c = std::make_unique<TMOUSECONFIGINFO>();
    std::memset(static_cast<void*>(c.get()), 0, sizeof *c);
    return c;
}

TEST(ProfileOptions, RangedSettingsTakeTheirValuesAndRefuseTheRest)
{
    using Setter = std::function<bool(TMOUSECONFIGINFO&, int, util::UserText*)>;
    struct Case {
        const char* what;
        Setter set;
        int value;
        bool taken;
        std::function<int(const TMOUSECONFIGINFO&)> stored;
    };
    const auto rate = [](const TMOUSECONFIGINFO& c) { return int(c.ReportRate); };
    const auto doubleClick = [](const TMOUSECONFIGINFO& c) { return int(c.DoubleClickSpeed); };
    const auto pointer = [](const TMOUSECONFIGINFO& c) { return int(c.PointerSpeed); };
    const auto lines = [](const TMOUSECONFIGINFO& c) { return int(c.VWheelSpeed); };
    const Case cases[] = {
        { "rate 125", SetReportRate, 125, true, rate },
        { "rate 1000", SetReportRate, 1000, true, rate },
        { "rate 300", SetReportRate, 300, false, rate },
        { "rate 0", SetReportRate, 0, false, rate },
        { "double-click 200", SetDoubleClickSpeed, 200, true, doubleClick },
        { "double-click 900", SetDoubleClickSpeed, 900, true, doubleClick },
        { "double-click 555", SetDoubleClickSpeed, 555, false, doubleClick },
        { "double-click 190", SetDoubleClickSpeed, 190, false, doubleClick },
        { "double-click 910", SetDoubleClickSpeed, 910, false, doubleClick },
        { "pointer 1", SetPointerSpeed, 1, true, pointer },
        { "pointer 20", SetPointerSpeed, 20, true, pointer },
        { "pointer 0", SetPointerSpeed, 0, false, pointer },
        { "pointer 21", SetPointerSpeed, 21, false, pointer },
        { "lines 1", SetScrollLines, 1, true, lines },
        { "lines 10", SetScrollLines, 10, true, lines },
        { "one page", SetScrollLines, kScrollOnePage, true, lines },
        { "lines 11", SetScrollLines, 11, false, lines },
        { "lines 0", SetScrollLines, 0, false, lines },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto profile = config();
        profile->ReportRate = 7;
        profile->DoubleClickSpeed = 7;
        profile->PointerSpeed = 7;
        profile->VWheelSpeed = 7;
        util::UserText why;
        EXPECT_EQ(c.set(*profile, c.value, &why), c.taken);
        EXPECT_EQ(c.stored(*profile), c.taken ? c.value : 7);
        EXPECT_EQ(why.Source.empty(), c.taken);
        if (!c.taken) {
            EXPECT_NE(why.English().find(std::to_string(c.value)), std::string::npos) << why.English();
        }
    }
}

TEST(ProfileOptions, ClosedTurnsTheLightsOffAndASpeedTurnsThemOnAgain)
{
    auto c = config();
    c->WheelLedOnOff = 1;
    c->LEDConfig.BRIGHT_LEVEL = 2;
    c->LEDConfig.BREATH_SPEED = 2;
    SetBreathing(*c, Breathing::Closed);
    EXPECT_EQ(c->WheelLedOnOff, 0);
    EXPECT_EQ(c->LEDConfig.BRIGHT_LEVEL, 0);
    EXPECT_EQ(c->LEDConfig.BREATH_SPEED, 0);
    SetBreathing(*c, Breathing::High);
    EXPECT_EQ(c->WheelLedOnOff, 1);
    EXPECT_EQ(c->LEDConfig.BRIGHT_LEVEL, 3);
    EXPECT_EQ(c->LEDConfig.BREATH_SPEED, 3);
    // A light that is on keeps its brightness.
    c->LEDConfig.BRIGHT_LEVEL = 2;
    SetBreathing(*c, Breathing::Low);
    EXPECT_EQ(c->LEDConfig.BRIGHT_LEVEL, 2);
    EXPECT_EQ(c->LEDConfig.BREATH_SPEED, 1);
}

TEST(ProfileOptions, SwatchesAndSystemSettingsOfAProfile)
{
    auto c = config();
    SetLightColour(*c, 0, 96, 96);
    EXPECT_EQ(LightSwatchOf(c->LEDConfig), 3);
    EXPECT_EQ(kLightSwatches[3].Name, "teal");
    SetLightColour(*c, 1, 2, 3);
    EXPECT_EQ(LightSwatchOf(c->LEDConfig), -1);

    c->PointerSpeed = 12;
    c->VWheelSpeed = kScrollOnePage;
    SetPointerPrecision(*c, true);
    EXPECT_EQ(SystemMouseParamsOf(*c), (TSystemMouseParams { 12, 20, 1 }));
    SetPointerPrecision(*c, false);
    EXPECT_EQ(c->PointerAcceleration, 0);
}

} // namespace
