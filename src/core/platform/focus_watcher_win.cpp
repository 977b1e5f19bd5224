#include "platform/focus_watcher.h"

#include "platform/running_programs.h"

#include <windows.h>

namespace bv::platform {

namespace {

class WindowsFocusWatcher;
// The hook's callback has no context argument; one watcher per program is all the monitor needs.
WindowsFocusWatcher* gWatcher = nullptr;

std::string ProgramOfWindow(HWND window)
{
    if (!window)
        return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return ProgramOfProcess(pid);
}

class WindowsFocusWatcher final : public FocusWatcher {
public:
    explicit WindowsFocusWatcher(Handler handler)
        : FHandler(std::move(handler))
    {
        gWatcher = this;
        FHook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
            &WindowsFocusWatcher::OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        FLast = FocusedProgram();
    }
    ~WindowsFocusWatcher() override
    {
        if (FHook)
            UnhookWinEvent(FHook);
        gWatcher = nullptr;
    }

    bool Hooked() const { return FHook != nullptr; }

    std::string FocusedProgram() override { return ProgramOfWindow(GetForegroundWindow()); }
    int WaitHandle() const override { return -1; }
    bool Dispatch() override { return true; }
    const std::string& Error() const override { return FError; }

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD)
    {
        if (!gWatcher)
            return;
        std::string program = ProgramOfWindow(window);
        if (program == gWatcher->FLast)
            return;
        gWatcher->FLast = program;
        gWatcher->FHandler(program);
    }

    Handler FHandler;
    HWINEVENTHOOK FHook = nullptr;
    std::string FLast;
    std::string FError;
};

} // namespace

FocusWatchStart StartFocusWatcher(FocusWatcher::Handler handler)
{
    FocusWatchStart start;
    if (gWatcher) {
        start.Error = "The focused program is watched already.";
        return start;
    }
    auto watcher = std::make_unique<WindowsFocusWatcher>(std::move(handler));
    if (!watcher->Hooked()) {
        start.Error = "The foreground-window hook could not be set (error " + std::to_string(GetLastError()) + ").";
        return start;
    }
    start.Watcher = std::move(watcher);
    return start;
}

} // namespace bv::platform
