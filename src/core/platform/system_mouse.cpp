#include "platform/system_mouse.h"

#include <cstdlib>
#include <cstring>

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

namespace {

class KeptMouseSettings final : public SystemMouseSettings {
protected:
    SettingResult DoSetDoubleClickTime(std::uint32_t) override { return kept(); }
    SettingResult DoSetMouseAcceleration(const MouseAcceleration&) override { return kept(); }
    SettingResult DoSetMouseSpeed(std::int32_t) override { return kept(); }
    SettingResult DoSetWheelScrollLines(std::uint32_t) override { return kept(); }

private:
    static SettingResult kept()
    {
        return { SettingStatus::Unsupported, "BV_KEEP_SYSTEM_MOUSE is set: the system's settings stay as they are" };
    }
};

} // namespace

std::unique_ptr<SystemMouseSettings> OpenSystemMouseSettings()
{
    const char* keep = std::getenv("BV_KEEP_SYSTEM_MOUSE");
    if (keep && std::strcmp(keep, "1") == 0)
        return std::make_unique<KeptMouseSettings>();
    return OpenPlatformMouseSettings();
}

} // namespace bv::platform
