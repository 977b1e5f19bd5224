#pragma once
// TuiHIDEvent: tells its owner when HID device interfaces appear or disappear. It does not look
// for the mouse; the owner decides what a notice means. One extra arrival comes from a one-shot
// start timer, so the owner can start its work once its window stands. All events are raised
// on the creating thread while its messages are processed (see platform/device_notification.h:
// on POSIX the owner watches WaitHandle() and calls Dispatch()).

#include "platform/device_notification.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace bv {

class TuiHIDEvent;
using THIDNotifyEvent = std::function<void(TuiHIDEvent& Sender)>;

class TuiHIDEvent {
public:
    static constexpr std::chrono::milliseconds kStartMonitorInterval { 1500 };

    /// Registers for notices of the device-interface class `usbGuid` (registry-string form;
    /// empty: the HID class), queues one OnDeviceChange and starts the start timer. Nothing is
    /// raised before the thread's messages are processed. `openWindow` replaces the system's
    /// notification window (tests).
    explicit TuiHIDEvent(std::string usbGuid = {}, platform::DeviceNotificationFactory openWindow = {},
        std::chrono::milliseconds startInterval = kStartMonitorInterval);
    ~TuiHIDEvent();
    TuiHIDEvent(const TuiHIDEvent&) = delete;
    TuiHIDEvent& operator=(const TuiHIDEvent&) = delete;

    /// A device interface of the class arrived, or the start timer fired.
    THIDNotifyEvent OnDeviceArrival;
    /// A device interface of the class was removed.
    THIDNotifyEvent OnDeviceRemove;
    /// The device tree changed.
    THIDNotifyEvent OnDeviceChange;
    /// An event handler let an exception out; it went no further.
    std::function<void(const std::string& what)> OnHandlerFailed;

    const std::string& UsbGuid() const { return FUsbGuid; }
    /// Why the system's notices are not coming (empty when they are); the start timer and the
    /// posted change work regardless.
    const std::string& Error() const;
    /// The hidden window (Windows: its HWND; POSIX: nullptr).
    void* WindowHandle() const;
    /// POSIX: readable while something waits for Dispatch(); -1 on Windows.
    int WaitHandle() const;
    /// Raises the events of everything waiting (on Windows the message loop does this as well).
    void Dispatch();

    /// The device-change handler: what one WM_DEVICECHANGE raises.
    void DeviceChange(const platform::DeviceChangeMessage& message);

private:
    void TimerToStartMonitorTimer();

    std::string FUsbGuid;
    std::unique_ptr<platform::DeviceNotificationWindow> FWindowHandle;
    bool FTimerToStartMonitor = false; // the start timer runs
};

} // namespace bv
