#pragma once
// The system mouse settings a profile carries, and handing them to the system on Apply.

#include "platform/system_mouse.h"
#include "settings/pubunit_solmarch.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bv {

/// What Apply hands to the system: three 32-bit integers in this order.
struct TSystemMouseParams {
    std::int32_t PointerSpeed = 0;
    std::int32_t WheelLines = 0;
    std::int32_t AccelerationIndex = 0;

    bool operator==(const TSystemMouseParams&) const = default;
};
static_assert(sizeof(TSystemMouseParams) == 12);

/// What a profile hands to the system on Apply.
TSystemMouseParams SystemMouseParamsOf(const TMOUSECONFIGINFO& c);

/// The system's acceleration triple for an acceleration index. A profile only ever stores 0 or
/// 1; an index outside the table means acceleration off, which is also what the window shows.
platform::MouseAcceleration MouseAccelerationValues(std::int32_t index);

struct SystemMouseParamsResult {
    platform::SettingResult Acceleration;
    platform::SettingResult PointerSpeed;
    platform::SettingResult WheelLines;

    /// One line ("pointer speed: why") for each setting the system refused; what a desktop does
    /// not have at all is no failure.
    std::vector<std::string> Failures() const;
};

/// Acceleration, then pointer speed, then wheel lines. A pointer speed outside 1..20 goes out as
/// the nearest end of the range, which the system would refuse otherwise; wheel lines below 1
/// as 1.
SystemMouseParamsResult ApplySystemMouseParams(
    platform::SystemMouseSettings& settings, const TSystemMouseParams& params);

/// The same on a one-shot worker thread with its own copy of the values; the caller does not wait.
/// Workers run one after the other in the order they were started (this and
/// StartSetDoubleClickTime). `settings` must outlive the thread (TuiThread::WaitForAll joins it at
/// the latest). `done`, when given, runs on the worker thread with what the system said. False when
/// there are no settings or no worker could be started.
[[nodiscard]] bool StartApplySystemMouseParams(std::shared_ptr<platform::SystemMouseSettings> settings,
    const TSystemMouseParams& params, std::function<void(const SystemMouseParamsResult&)> done = {});

/// The system's double-click time on a worker, in order with the other workers (a desktop's
/// settings tool can take 10 to 15 ms, too long for the window's thread).
[[nodiscard]] bool StartSetDoubleClickTime(std::shared_ptr<platform::SystemMouseSettings> settings,
    std::uint32_t milliseconds, std::function<void(const platform::SettingResult&)> done = {});

} // namespace bv
