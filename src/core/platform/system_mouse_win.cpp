#include "platform/system_mouse.h"

#include "platform/hid_devices.h"

#include <windows.h>

namespace bv::platform {

namespace {

// Stored in the user's profile and announced to every window, as the mouse control panel does.
constexpr UINT kStoreAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

SettingResult outcome(BOOL ok, const char* call)
{
    if (ok)
        return {};
    return { SettingStatus::Failed, std::string(call) + ": " + hidErrorText(GetLastError()) };
}

class WindowsMouseSettings final : public SystemMouseSettings {
protected:
    SettingResult DoSetDoubleClickTime(std::uint32_t milliseconds) override
    {
        return outcome(::SetDoubleClickTime(milliseconds), "SetDoubleClickTime");
    }

    SettingResult DoSetMouseAcceleration(const MouseAcceleration& values) override
    {
        int triple[3] = { values[0], values[1], values[2] };
        return outcome(::SystemParametersInfoW(SPI_SETMOUSE, 0, triple, kStoreAndBroadcast), "SPI_SETMOUSE");
    }

    SettingResult DoSetMouseSpeed(std::int32_t speed) override
    {
        // The speed travels as the pointer argument itself, not through it. Wine reads the integer
        // argument instead, which Windows ignores here, so both carry it.
        return outcome(::SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                           reinterpret_cast<void*>(static_cast<std::intptr_t>(speed)), kStoreAndBroadcast),
            "SPI_SETMOUSESPEED");
    }

    SettingResult DoSetWheelScrollLines(std::uint32_t lines) override
    {
        UINT value = lines;
        return outcome(::SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, value, &value, kStoreAndBroadcast),
            "SPI_SETWHEELSCROLLLINES");
    }
};

} // namespace

std::unique_ptr<SystemMouseSettings> OpenPlatformMouseSettings()
{
    return std::make_unique<WindowsMouseSettings>();
}

} // namespace bv::platform
