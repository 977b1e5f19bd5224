#include "settings/system_mouse_params.h"

#include "util/uiThread.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <mutex>

namespace bv {

TSystemMouseParams SystemMouseParamsOf(const TMOUSECONFIGINFO& c)
{
    return { c.PointerSpeed, c.VWheelSpeed, c.PointerAcceleration };
}

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

namespace {

// Runs `work` on a one-shot worker after every worker started before it, so the system ends with
// the values asked for last. False, running nothing, when no worker could be started.
bool startInOrder(std::function<void()> work)
{
    static std::mutex chainMutex;
    static std::shared_future<void> previous;
    auto finished = std::make_shared<std::promise<void>>();
    std::shared_future<void> before;
    {
        std::lock_guard lock(chainMutex);
        before = previous;
        previous = finished->get_future().share();
    }
    // The work carries its own values; the thread only needs a buffer of at least one byte.
    const std::uint8_t unused = 0;
    const bool started = TuiThread::ThreadCallFunction(
        [before, finished, work = std::move(work)](const void*, std::uint32_t) {
            struct Finish {
                std::promise<void>& p;
                ~Finish() { p.set_value(); }
            } finish { *finished };
            if (before.valid())
                before.wait();
            work();
        },
        &unused, sizeof unused);
    if (!started)
        finished->set_value();
    return started;
}

} // namespace

bool StartApplySystemMouseParams(std::shared_ptr<platform::SystemMouseSettings> settings,
    const TSystemMouseParams& params, std::function<void(const SystemMouseParamsResult&)> done)
{
    if (!settings)
        return false;
    return startInOrder([settings, params, done] {
        const SystemMouseParamsResult result = ApplySystemMouseParams(*settings, params);
        if (done)
            done(result);
    });
}

bool StartSetDoubleClickTime(std::shared_ptr<platform::SystemMouseSettings> settings, std::uint32_t milliseconds,
    std::function<void(const platform::SettingResult&)> done)
{
    if (!settings)
        return false;
    return startInOrder([settings, milliseconds, done] {
        const platform::SettingResult result = settings->SetDoubleClickTime(milliseconds);
        if (done)
            done(result);
    });
}

} // namespace bv
