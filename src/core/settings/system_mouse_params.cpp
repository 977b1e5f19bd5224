#include "settings/system_mouse_params.h"

#include "util/uiThread.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <mutex>

namespace bv {

platform::MouseAcceleration MouseAccelerationValues(std::int32_t index)
{
    static constexpr std::array<platform::MouseAcceleration, 4> kTable = { {
        { 0, 0, 0 },
        { 7, 0, 1 },
        { 4, 6, 2 },
        { 4, 0, 1 },
    } };
    if (index < 0 || index >= static_cast<std::int32_t>(kTable.size()))
        return kTable[0];
    return kTable[static_cast<std::size_t>(index)];
}

SystemMouseParamsResult ApplySystemMouseParams(
    platform::SystemMouseSettings& settings, const TSystemMouseParams& params)
{
    SystemMouseParamsResult r;
    r.Acceleration = settings.SetMouseAcceleration(MouseAccelerationValues(params.AccelerationIndex));
    r.PointerSpeed = settings.SetMouseSpeed(std::clamp(params.PointerSpeed, 1, 20));
    r.WheelLines = settings.SetWheelScrollLines(static_cast<std::uint32_t>(std::max(params.WheelLines, 1)));
    return r;
}

std::vector<std::string> SystemMouseParamsResult::Failures() const
{
    std::vector<std::string> failed;
    const std::pair<const char*, const platform::SettingResult*> settings[] = { { "pointer precision", &Acceleration },
        { "pointer speed", &PointerSpeed }, { "wheel scroll lines", &WheelLines } };
    for (const auto& [name, r] : settings)
        if (r->Status == platform::SettingStatus::Failed)
            failed.push_back(std::string(name) + ": " + r->Detail);
    return failed;
}

bool StartApplySystemMouseParams(std::shared_ptr<platform::SystemMouseSettings> settings,
    const TSystemMouseParams& params, std::function<void(const SystemMouseParamsResult&)> done)
{
    if (!settings)
        return false;
    // Each worker waits for the one before, so two quick Applies end with the newer values.
    static std::mutex chainMutex;
    static std::shared_future<void> previous;
    auto finished = std::make_shared<std::promise<void>>();
    std::shared_future<void> before;
    {
        std::lock_guard lock(chainMutex);
        before = previous;
        previous = finished->get_future().share();
    }
    const bool started = TuiThread::ThreadCallFunction(
        [settings, before, finished, done](const void* buffer, std::uint32_t size) {
            struct Finish {
                std::promise<void>& p;
                ~Finish() { p.set_value(); }
            } finish { *finished };
            if (before.valid())
                before.wait();
            TSystemMouseParams copy;
            if (size != sizeof copy)
                return;
            std::memcpy(&copy, buffer, sizeof copy);
            const SystemMouseParamsResult result = ApplySystemMouseParams(*settings, copy);
            if (done)
                done(result);
        },
        &params, sizeof params);
    if (!started)
        finished->set_value();
    return started;
}

} // namespace bv
