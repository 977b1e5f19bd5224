#include "settings/cpi_levels.h"

#include "settings/cpi_steps.h"

#include <algorithm>
#include <string>

namespace bv {

namespace {

bool inRange(int level)
{
    return level >= 0 && level < kCPILevelsUsed;
}

} // namespace

CPILevelEntry DeviceCPILevel(const CPILevelEntry& level)
{
    const std::uint16_t step = NearestDeviceCPI(std::max(level.X, level.Y));
    return CPILevelEntry { step, step, level.State };
}

void SetCPILevelValue(TMOUSECONFIGINFO& c, int level, CPIAxis axis, int value)
{
    if (!inRange(level))
        return;
    const auto v = static_cast<std::uint16_t>(std::clamp(value, kMinimumCPI, kMaximumCPI));
    CPILevelEntry& entry = c.CPIState[level];
    if (c.ApplyDiffirentXY != 0) {
        (axis == CPIAxis::X ? entry.X : entry.Y) = v;
    } else {
        entry.X = v;
        entry.Y = v;
    }
    c.HWCPIState[level] = DeviceCPILevel(entry);
}

bool SetCPILevelEnabled(TMOUSECONFIGINFO& c, int level, bool enabled)
{
    if (!inRange(level))
        return false;
    if (enabled) {
        c.CPIState[level].State = 1;
        return true;
    }
    for (int other = 0; other < kCPILevelsUsed; ++other)
        if (other != level && c.CPIState[other].State != 0) {
            c.CPIState[level].State = 0;
            return true;
        }
    if (c.CPIState[level].State == 0)
        c.CPIState[level].State = 1;
    return false;
}

void NormaliseCPILevelStates(TMOUSECONFIGINFO& c)
{
    for (int level = 0; level < kCPILevelsUsed; ++level) {
        c.CPIState[level].State = c.CPIState[level].State != 0 ? 1 : 0;
        c.HWCPIState[level].State = c.CPIState[level].State;
    }
}

int FirstEnabledCPILevel(const TMOUSECONFIGINFO& c)
{
    for (int level = 0; level < kCPILevelsUsed; ++level)
        if (c.CPIState[level].State == 1)
            return level;
    return -1;
}

bool ChangeCPILevelState(TMOUSECONFIGINFO& c, int level, bool enabled, util::UserText* why)
{
    if (!inRange(level)) {
        if (why)
            *why = { "There is no CPI level %1.", { std::to_string(level + 1) } };
        return false;
    }
    const bool changed = SetCPILevelEnabled(c, level, enabled);
    if (!changed && why)
        *why = { "Level %1 is the only enabled CPI level; the mouse needs one.", { std::to_string(level + 1) } };
    NormaliseCPILevelStates(c);
    if (const int first = FirstEnabledCPILevel(c); first >= 0)
        c.CurrentCPIIndex = first;
    c.CPILevel = kCPILevelsUsed;
    return changed;
}

void ChangeCPILevelValue(TMOUSECONFIGINFO& c, int level, CPIAxis axis, int value)
{
    SetCPILevelValue(c, level, axis, value);
    NormaliseCPILevelStates(c);
}

void SetCPIAxesSeparate(TMOUSECONFIGINFO& c, bool separate)
{
    c.ApplyDiffirentXY = separate ? 1 : 0;
}

} // namespace bv
