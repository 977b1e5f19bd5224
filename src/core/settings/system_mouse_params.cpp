#include "settings/system_mouse_params.h"

#include "ui/uiThread.h"

#include <algorithm>
#include <cstring>

namespace bv {

platform::MouseAcceleration MouseAccelerationValues(std::int32_t index)
{
    static constexpr std::array<platform::MouseAcceleration, 4> kTable = {{
        {0, 0, 0},
        {7, 0, 1},
        {4, 6, 2},
        {4, 0, 1},
    }};
    if (index < 0 || index >= static_cast<std::int32_t>(kTable.size()))
        return kTable[0];
    return kTable[static_cast<std::size_t>(index)];
}

SystemMouseParamsResult ApplySystemMouseParams(platform::SystemMouseSettings& settings, const TSystemMouseParams& params)
{
    SystemMouseParamsResult r;
    r.Acceleration = settings.SetMouseAcceleration(MouseAccelerationValues(params.AccelerationIndex));
    r.PointerSpeed = settings.SetMouseSpeed(std::clamp(params.PointerSpeed, 1, 20));
    r.WheelLines = settings.SetWheelScrollLines(static_cast<std::uint32_t>(std::max(params.WheelLines, 1)));
    return r;
}

bool StartApplySystemMouseParams(std::shared_ptr<platform::SystemMouseSettings> settings, const TSystemMouseParams& params)
{
    if (!settings)
        return false;
    return TuiThread::ThreadCallFunction(
        [settings](const void* buffer, std::uint32_t size) {
            TSystemMouseParams copy;
            if (size != sizeof copy)
                return;
            std::memcpy(&copy, buffer, sizeof copy);
            ApplySystemMouseParams(*settings, copy);
        },
        &params, sizeof params);
}

} // namespace bv
