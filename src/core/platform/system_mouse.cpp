#include "platform/system_mouse.h"

namespace bv::platform {

const char* SettingStatusName(SettingStatus status)
{
    switch (status) {
    case SettingStatus::Applied:
        return "applied";
    case SettingStatus::Unsupported:
        return "unsupported";
    case SettingStatus::Failed:
        break;
    }
    return "failed";
}

SettingResult SystemMouseSettings::SetDoubleClickTime(std::uint32_t milliseconds)
{
    {
        std::lock_guard lock(FLock);
        FRequested.DoubleClickTime = milliseconds;
    }
    return DoSetDoubleClickTime(milliseconds);
}

SettingResult SystemMouseSettings::SetMouseAcceleration(const MouseAcceleration& values)
{
    {
        std::lock_guard lock(FLock);
        FRequested.Acceleration = values;
    }
    return DoSetMouseAcceleration(values);
}

SettingResult SystemMouseSettings::SetMouseSpeed(std::int32_t speed)
{
    {
        std::lock_guard lock(FLock);
        FRequested.PointerSpeed = speed;
    }
    return DoSetMouseSpeed(speed);
}

SettingResult SystemMouseSettings::SetWheelScrollLines(std::uint32_t lines)
{
    {
        std::lock_guard lock(FLock);
        FRequested.WheelScrollLines = lines;
    }
    return DoSetWheelScrollLines(lines);
}

RequestedMouseSettings SystemMouseSettings::Requested() const
{
    std::lock_guard lock(FLock);
    return FRequested;
}

} // namespace bv::platform
