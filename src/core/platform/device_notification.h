#pragma once
// Notices of device interfaces coming and going, delivered on the creating thread.
// Windows: a message-only window registered with RegisterDeviceNotificationW; the thread's
// message loop hands WM_DEVICECHANGE and WM_TIMER to it. Linux: the kernel's uevents of the
// hidraw subsystem, translated into the same WM_DEVICECHANGE values; one descriptor
// (WaitHandle) turns readable when a notice, a posted message or a timer tick waits, and
// Dispatch() hands them over.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace bv::platform {

// WM_DEVICECHANGE and the values it carries (names differ from <dbt.h>, whose macros they would meet).
inline constexpr std::uint32_t kWmDeviceChange = 0x0219;
inline constexpr std::uint32_t kDbtDevNodesChanged = 0x0007;
inline constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;
inline constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;

/// The HID device-interface class, in registry-string form.
inline constexpr const char* kHidInterfaceClassGuid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";

/// One WM_DEVICECHANGE: the event type (wParam) and, when lParam carries a broadcast header,
/// the header's device type.
struct DeviceChangeMessage {
    std::uint32_t EventType = 0;
    std::optional<std::uint32_t> DeviceType;

    bool operator==(const DeviceChangeMessage&) const = default;
};

/// A GUID in its in-memory (little-endian) byte order.
using GuidBytes = std::array<std::uint8_t, 16>;
/// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", either case; nullopt for anything else.
[[nodiscard]] std::optional<GuidBytes> ParseGuidString(std::string_view text);

/// A hidden window for device notices, with its own posted messages and one timer.
class DeviceNotificationWindow {
public:
    struct Handlers {
        std::function<void(const DeviceChangeMessage&)> DeviceChange;
        std::function<void()> Timer;
        /// An exception that a handler let out; it stops there and never leaves the dispatch.
        std::function<void(const std::string&)> HandlerFailed;
    };

    virtual ~DeviceNotificationWindow() = default;

    /// POSIX: readable while something waits; call Dispatch() then. -1 on Windows, where the
    /// thread's message loop delivers by itself.
    virtual int WaitHandle() const = 0;
    /// Hands everything waiting to the handlers.
    virtual void Dispatch() = 0;
    /// Queues a WM_DEVICECHANGE without a header (lParam -1) to the window itself.
    virtual void PostDeviceChange(std::uint32_t eventType) = 0;
    /// Starts (or restarts) the window's timer: it ticks every `interval` until stopped.
    virtual void StartTimer(std::chrono::milliseconds interval) = 0;
    virtual void StopTimer() = 0;
    /// Why the system's notices are not coming; empty when they are. The rest works regardless.
    virtual const std::string& Error() const = 0;
    /// Windows: the window (an HWND). POSIX: nullptr.
    virtual void* WindowHandle() const = 0;
};

/// Runs `call`; an exception it lets out goes to handlers.HandlerFailed and stops here.
void CallHandlerGuarded(const DeviceNotificationWindow::Handlers& handlers, const std::function<void()>& call);

/// Opens a notification window; `interfaceClassGuid` is the device-interface class to watch.
using DeviceNotificationFactory = std::function<std::unique_ptr<DeviceNotificationWindow>(
    const std::string& interfaceClassGuid, DeviceNotificationWindow::Handlers handlers)>;

/// The system's. Linux watches hidraw whatever the class, since uevents carry no interface class.
std::unique_ptr<DeviceNotificationWindow> OpenDeviceNotificationWindow(
    const std::string& interfaceClassGuid, DeviceNotificationWindow::Handlers handlers);

#ifndef _WIN32
/// Decides whether a datagram's source address is the kernel's.
using UeventSenderCheck = std::function<bool(const void* address, std::size_t length)>;
/// True for a netlink address with port 0: only the kernel sends from there.
[[nodiscard]] bool IsKernelUeventSender(const void* address, std::size_t length);
/// A window over a datagram socket that carries uevents (takes ownership of `fd`), for tests
/// that feed their own messages.
std::unique_ptr<DeviceNotificationWindow> OpenUeventNotificationWindow(
    int fd, DeviceNotificationWindow::Handlers handlers, UeventSenderCheck fromKernel);
#endif

} // namespace bv::platform
