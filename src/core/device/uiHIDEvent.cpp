#include "device/uiHIDEvent.h"

namespace bv {

TuiHIDEvent::TuiHIDEvent(
    std::string usbGuid, platform::DeviceNotificationFactory openWindow, std::chrono::milliseconds startInterval)
    : FUsbGuid(usbGuid.empty() ? std::string(platform::kHidInterfaceClassGuid) : std::move(usbGuid))
{
    if (!openWindow)
        openWindow = &platform::OpenDeviceNotificationWindow;
    platform::DeviceNotificationWindow::Handlers handlers;
    handlers.DeviceChange = [this](const platform::DeviceChangeMessage& m) { DeviceChange(m); };
    handlers.Timer = [this] { TimerToStartMonitorTimer(); };
    handlers.HandlerFailed = [this](const std::string& what) {
        if (OnHandlerFailed)
            OnHandlerFailed(what);
    };
    FWindowHandle = openWindow(FUsbGuid, std::move(handlers));
    FWindowHandle->PostDeviceChange(platform::kDbtDevNodesChanged);
    FWindowHandle->StartTimer(startInterval);
    FTimerToStartMonitor = true;
}

TuiHIDEvent::~TuiHIDEvent() = default;

const std::string& TuiHIDEvent::Error() const
{
    return FWindowHandle->Error();
}

void* TuiHIDEvent::WindowHandle() const
{
    return FWindowHandle->WindowHandle();
}

int TuiHIDEvent::WaitHandle() const
{
    return FWindowHandle->WaitHandle();
}

void TuiHIDEvent::Dispatch()
{
    FWindowHandle->Dispatch();
}

void TuiHIDEvent::DeviceChange(const platform::DeviceChangeMessage& message)
{
    // Only device-interface notices count: a volume or port notice carries another header type.
    const bool deviceInterface = message.DeviceType == platform::kDbtDevtypDeviceInterface;
    switch (message.EventType) {
    case platform::kDbtDevNodesChanged:
        if (OnDeviceChange)
            OnDeviceChange(*this);
        break;
    case platform::kDbtDeviceArrival:
        if (deviceInterface && OnDeviceArrival)
            OnDeviceArrival(*this);
        break;
    case platform::kDbtDeviceRemoveComplete:
        if (deviceInterface && OnDeviceRemove)
            OnDeviceRemove(*this);
        break;
    default:
        break;
    }
}

void TuiHIDEvent::TimerToStartMonitorTimer()
{
    // One tick only, even if several were due.
    if (!FTimerToStartMonitor)
        return;
    FTimerToStartMonitor = false;
    FWindowHandle->StopTimer();
    if (OnDeviceArrival)
        OnDeviceArrival(*this);
}

} // namespace bv
