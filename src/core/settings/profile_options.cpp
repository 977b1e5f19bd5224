#include "settings/profile_options.h"

#include <algorithm>
#include <string>

namespace bv {

bool SetReportRate(TMOUSECONFIGINFO& c, int hz, util::UserText* why)
{
    if (std::find(kReportRates.begin(), kReportRates.end(), hz) == kReportRates.end())
        return util::Refuse(
            why, { "The report rate %1 Hz is not one of 125, 250, 500 and 1000 Hz.", { std::to_string(hz) } });
    c.ReportRate = static_cast<std::uint16_t>(hz);
    return true;
}

void SetBreathing(TMOUSECONFIGINFO& c, Breathing breathing)
{
    TLEDCONFIG& led = c.LEDConfig;
    if (breathing == Breathing::Closed) {
        c.WheelLedOnOff = 0;
        led.BRIGHT_LEVEL = 0;
        led.BREATH_SPEED = 0;
        return;
    }
    SwitchLightOn(c);
    led.BREATH_SPEED = static_cast<std::uint8_t>(breathing);
}

void SwitchLightOn(TMOUSECONFIGINFO& c)
{
    c.WheelLedOnOff = 1;
    if (c.LEDConfig.BRIGHT_LEVEL == 0)
        c.LEDConfig.BRIGHT_LEVEL = 3;
}

int LightSwatchOf(const TLEDCONFIG& led)
{
    for (std::size_t i = 0; i < kLightSwatches.size(); ++i)
        if (kLightSwatches[i].R == led.R && kLightSwatches[i].G == led.G && kLightSwatches[i].B == led.B)
            return static_cast<int>(i);
    return -1;
}

void SetLightColour(TMOUSECONFIGINFO& c, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    c.LEDConfig.R = r;
    c.LEDConfig.G = g;
    c.LEDConfig.B = b;
}

bool SetDoubleClickSpeed(TMOUSECONFIGINFO& c, int milliseconds, util::UserText* why)
{
    if (milliseconds < kDoubleClickMin || milliseconds > kDoubleClickMax || milliseconds % kDoubleClickStep != 0)
        return util::Refuse(why,
            { "The double-click time %1 ms is not one of 200 to 900 ms in steps of 10.",
                { std::to_string(milliseconds) } });
    c.DoubleClickSpeed = static_cast<std::uint16_t>(milliseconds);
    return true;
}

bool SetPointerSpeed(TMOUSECONFIGINFO& c, int speed, util::UserText* why)
{
    if (speed < kPointerSpeedMin || speed > kPointerSpeedMax)
        return util::Refuse(why, { "The pointer speed %1 is not one of 1 to 20.", { std::to_string(speed) } });
    c.PointerSpeed = static_cast<std::uint16_t>(speed);
    return true;
}

void SetPointerPrecision(TMOUSECONFIGINFO& c, bool on)
{
    c.PointerAcceleration = on ? 1 : 0;
}

bool SetScrollLines(TMOUSECONFIGINFO& c, int lines, util::UserText* why)
{
    if (lines != kScrollOnePage && (lines < kScrollLinesMin || lines > kScrollLinesMax))
        return util::Refuse(
            why, { "The wheel scrolls 1 to 10 lines or a page per notch, not %1 lines.", { std::to_string(lines) } });
    c.VWheelSpeed = static_cast<std::uint16_t>(lines);
    return true;
}

} // namespace bv
