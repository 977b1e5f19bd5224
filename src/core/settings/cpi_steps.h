#pragma once
// The CPI values the sensor can realise.

#include <array>
#include <cstdint>

namespace bv {

/// The fourteen sensor steps, 250 to 3500 CPI.
inline constexpr std::array<std::uint16_t, 14> kDeviceCPITable
    = { 250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2250, 2500, 2750, 3000, 3250, 3500 };

/// Position 0..13 of the step nearest to `value`; out-of-range values clamp, a tie takes the lower step.
constexpr int DeviceCPIIndex(int value)
{
    if (value <= kDeviceCPITable.front())
        return 0;
    if (value >= kDeviceCPITable.back())
        return static_cast<int>(kDeviceCPITable.size()) - 1;
    int best = 0;
    for (int i = 1; i < static_cast<int>(kDeviceCPITable.size()); ++i) {
        // Strictly nearer only, so a value half-way between two steps keeps the lower one.
        const int dBest
            = value - kDeviceCPITable[best] < 0 ? kDeviceCPITable[best] - value : value - kDeviceCPITable[best];
        const int d = value - kDeviceCPITable[i] < 0 ? kDeviceCPITable[i] - value : value - kDeviceCPITable[i];
        if (d < dBest)
            best = i;
    }
    return best;
}

/// The step nearest to `value`, with the clamping and tie rule of DeviceCPIIndex.
constexpr std::uint16_t NearestDeviceCPI(int value)
{
    return kDeviceCPITable[static_cast<std::size_t>(DeviceCPIIndex(value))];
}

static_assert(NearestDeviceCPI(375) == 250 && NearestDeviceCPI(376) == 500);
static_assert(NearestDeviceCPI(100) == 250 && NearestDeviceCPI(5000) == 3500);

} // namespace bv
