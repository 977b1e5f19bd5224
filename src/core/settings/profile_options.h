#pragma once
// The report rate, the light and the system mouse settings of a profile, changed as the window's
// General, Light and Advanced tabs change them. Each setter that can refuse returns false, says
// why in `why` and changes nothing.

#include "settings/pubunit_solmarch.h"
#include "util/user_text.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace bv {

/// The report rates the mouse offers, in Hz.
inline constexpr std::array<std::uint16_t, 4> kReportRates = { 125, 250, 500, 1000 };

[[nodiscard]] bool SetReportRate(TMOUSECONFIGINFO& c, int hz, util::UserText* why = nullptr);

/// The breathing choices of the Light tab; the values are the stored breathing speeds.
enum class Breathing : std::uint8_t { Closed = 0, Low = 1, Medium = 2, High = 3 };

/// "Closed" turns the light and the wheel light off; a speed turns them on again (SwitchLightOn)
/// and sets it.
void SetBreathing(TMOUSECONFIGINFO& c, Breathing breathing);

/// The light and the wheel light on, at brightness 3 when the light was off; the breathing speed
/// stays as it is.
void SwitchLightOn(TMOUSECONFIGINFO& c);

/// One of the Light tab's six colour swatches (C1..C6).
struct LightSwatch {
    std::string_view Name;
    std::uint8_t R, G, B;
};
inline constexpr std::array<LightSwatch, 6> kLightSwatches = { {
    { "red", 255, 0, 0 },
    { "yellow", 255, 255, 0 },
    { "green", 0, 255, 0 },
    { "teal", 0, 96, 96 },
    { "magenta", 255, 0, 255 },
    { "blue", 0, 0, 255 },
} };

/// The swatch of that colour, -1 when none has it.
int LightSwatchOf(const TLEDCONFIG& led);

/// The light's colour; brightness and breathing stay as they are.
void SetLightColour(TMOUSECONFIGINFO& c, std::uint8_t r, std::uint8_t g, std::uint8_t b);

/// The double-click time the Advanced tab's bar offers: 200 to 900 ms in steps of 10.
inline constexpr int kDoubleClickMin = 200;
inline constexpr int kDoubleClickMax = 900;
inline constexpr int kDoubleClickStep = 10;
[[nodiscard]] bool SetDoubleClickSpeed(TMOUSECONFIGINFO& c, int milliseconds, util::UserText* why = nullptr);

/// The system's pointer speed, 1 to 20.
inline constexpr int kPointerSpeedMin = 1;
inline constexpr int kPointerSpeedMax = 20;
[[nodiscard]] bool SetPointerSpeed(TMOUSECONFIGINFO& c, int speed, util::UserText* why = nullptr);

/// "Enhance pointer precision": the system's mouse acceleration.
void SetPointerPrecision(TMOUSECONFIGINFO& c, bool on);

/// Wheel lines per notch, 1 to 10; kScrollOnePage scrolls a page per notch.
inline constexpr int kScrollLinesMin = 1;
inline constexpr int kScrollLinesMax = 10;
inline constexpr int kScrollOnePage = 20;
[[nodiscard]] bool SetScrollLines(TMOUSECONFIGINFO& c, int lines, util::UserText* why = nullptr);

} // namespace bv
