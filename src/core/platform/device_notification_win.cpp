#include "platform/device_notification.h"

#include <windows.h>

#include <dbt.h>

#include <cstring>

namespace bv::platform {

namespace {

constexpr wchar_t kWindowClass[] = L"BvDeviceNotificationWindow";
constexpr UINT_PTR kTimerID = 1;

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32, "the notification filter is 32 bytes");

class WinNotificationWindow final : public DeviceNotificationWindow {
public:
    WinNotificationWindow(const std::string& interfaceClassGuid, Handlers handlers)
        : FHandlers(std::move(handlers))
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc {};
        wc.lpfnWndProc = &WndProc;
        wc.hInstance = instance;
        wc.lpszClassName = kWindowClass;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            FError = "RegisterClassW failed with error " + std::to_string(GetLastError());
            return;
        }
        // Message-only: needs no desktop, and receives only what is addressed to it.
        FWindow = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
        if (!FWindow) {
            FError = "CreateWindowExW failed with error " + std::to_string(GetLastError());
            return;
        }
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

        const auto guid = ParseGuidString(interfaceClassGuid);
        if (!guid) {
            FError = "\"" + interfaceClassGuid + "\" is not a device-interface class";
            return;
        }
        DEV_BROADCAST_DEVICEINTERFACE_W filter;
        std::memset(&filter, 0, sizeof filter);
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        std::memcpy(&filter.dbcc_classguid, guid->data(), guid->size());
        FNotification = RegisterDeviceNotificationW(FWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (!FNotification)
            FError = "RegisterDeviceNotificationW failed with error " + std::to_string(GetLastError());
    }

    ~WinNotificationWindow() override
    {
        if (FNotification)
            UnregisterDeviceNotification(FNotification);
        if (FWindow) {
            KillTimer(FWindow, kTimerID);
            SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
            DestroyWindow(FWindow);
        }
    }

    int WaitHandle() const override { return -1; }

    void Dispatch() override
    {
        // A handler may end this object; the window handle outlives the question.
        const HWND window = FWindow;
        MSG msg;
        while (window && PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void PostDeviceChange(std::uint32_t eventType) override
    {
        if (FWindow)
            PostMessageW(FWindow, WM_DEVICECHANGE, eventType, static_cast<LPARAM>(-1));
    }

    void StartTimer(std::chrono::milliseconds interval) override
    {
        if (FWindow)
            SetTimer(FWindow, kTimerID, static_cast<UINT>(interval.count()), nullptr);
    }

    void StopTimer() override
    {
        if (FWindow)
            KillTimer(FWindow, kTimerID);
    }

    const std::string& Error() const override { return FError; }
    void* WindowHandle() const override { return FWindow; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<WinNotificationWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == WM_DEVICECHANGE) {
            DeviceChangeMessage message { static_cast<std::uint32_t>(wParam), std::nullopt };
            // Only these two carry a header we read; a posted change has lParam -1.
            if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam != 0 && lParam != -1) {
                const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
                if (header->dbch_size >= sizeof(DEV_BROADCAST_HDR))
                    message.DeviceType = header->dbch_devicetype;
            }
            // No exception may unwind through the system's frames of a window procedure.
            const Handlers handlers = self->FHandlers;
            CallHandlerGuarded(handlers, [&] {
                if (handlers.DeviceChange)
                    handlers.DeviceChange(message);
            });
            return TRUE;
        }
        if (self && msg == WM_TIMER && wParam == kTimerID) {
            const Handlers handlers = self->FHandlers;
            CallHandlerGuarded(handlers, [&] {
                if (handlers.Timer)
                    handlers.Timer();
            });
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    Handlers FHandlers;
    HWND FWindow = nullptr;
    HDEVNOTIFY FNotification = nullptr;
    std::string FError;
};

} // namespace

std::unique_ptr<DeviceNotificationWindow> OpenDeviceNotificationWindow(
    const std::string& interfaceClassGuid, DeviceNotificationWindow::Handlers handlers)
{
    return std::make_unique<WinNotificationWindow>(interfaceClassGuid, std::move(handlers));
}

} // namespace bv::platform
