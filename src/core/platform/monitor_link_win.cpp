#include "platform/monitor_link.h"

#include "platform/win_text.h"

#include <windows.h>

namespace bv::platform {

namespace {

HWND findWindow(const std::string& windowClass)
{
    return FindWindowW(win::wide(windowClass).c_str(), nullptr);
}

class WinMonitorLink final : public MonitorLink {
public:
    bool WindowExists(const std::string& windowClass) override { return findWindow(windowClass) != nullptr; }

    bool Send(const std::string& windowClass, const WindowMessage& message) override
    {
        const HWND hwnd = findWindow(windowClass);
        if (!hwnd)
            return false;
        // A hung monitor must not freeze the configurator.
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(hwnd, message.Msg, static_cast<WPARAM>(message.WParam),
                   static_cast<LPARAM>(message.LParam), SMTO_ABORTIFHUNG, 5000, &result)
            != 0;
    }

    bool BringToFront(const std::string& windowClass) override
    {
        const HWND hwnd = findWindow(windowClass);
        if (!hwnd)
            return false;
        if (IsIconic(hwnd))
            ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        return true;
    }
};

} // namespace

std::unique_ptr<MonitorLink> OpenSystemMonitorLink()
{
    return std::make_unique<WinMonitorLink>();
}

struct MessageEndpoint::Impl {
    Handler handler;
    std::wstring className;
    HWND hwnd = nullptr;
    std::string error;

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg >= MSG_SETTINGS_CHANGED && msg <= MSG_RELOAD_PROFILE) {
            const Handler handler = self->handler;
            if (handler)
                handler(WindowMessage { msg, static_cast<std::int64_t>(wParam), static_cast<std::int64_t>(lParam) });
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

MessageEndpoint::MessageEndpoint(const std::string& windowClass, Handler handler)
    : FImpl(std::make_unique<Impl>())
{
    FImpl->handler = std::move(handler);
    FImpl->className = win::wide(windowClass);
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSW wc {};
    wc.lpfnWndProc = &Impl::WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = FImpl->className.c_str();
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        FImpl->error = "RegisterClassW failed with error " + std::to_string(GetLastError());
        return;
    }
    // A hidden top-level window, so that FindWindowW finds it (message-only windows are not found).
    FImpl->hwnd
        = CreateWindowExW(0, FImpl->className.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!FImpl->hwnd) {
        FImpl->error = "CreateWindowExW failed with error " + std::to_string(GetLastError());
        return;
    }
    SetWindowLongPtrW(FImpl->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FImpl.get()));
}

MessageEndpoint::~MessageEndpoint()
{
    if (FImpl->hwnd) {
        SetWindowLongPtrW(FImpl->hwnd, GWLP_USERDATA, 0);
        DestroyWindow(FImpl->hwnd);
    }
}

bool MessageEndpoint::IsOpen() const
{
    return FImpl->hwnd != nullptr;
}

const std::string& MessageEndpoint::Error() const
{
    return FImpl->error;
}

int MessageEndpoint::WaitHandle() const
{
    return -1;
}

void MessageEndpoint::Dispatch()
{
    MSG msg;
    while (FImpl->hwnd && PeekMessageW(&msg, FImpl->hwnd, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace bv::platform
