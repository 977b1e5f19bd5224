#pragma once
// Which program has the keyboard focus. X11: the root window's _NET_ACTIVE_WINDOW (property-change
// events, no polling), the window's _NET_WM_PID, then /proc/PID/exe. Windows: the foreground-window
// event hook and the process's image name.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace bv::platform {

class FocusWatcher {
public:
    /// The full path of the program that took the focus; empty when no window, or one of no
    /// known program, has it.
    using Handler = std::function<void(const std::string& program)>;

    virtual ~FocusWatcher() = default;
    /// The program that has the focus now (the same form as the handler's).
    virtual std::string FocusedProgram() = 0;
    /// POSIX: a descriptor that turns readable when events wait; call Dispatch() then.
    /// -1 on Windows, where the thread's message loop calls the handler by itself.
    virtual int WaitHandle() const = 0;
    /// Hands every waiting focus change to the handler. False when the connection to the display
    /// was lost; Error() says so.
    [[nodiscard]] virtual bool Dispatch() = 0;
    virtual const std::string& Error() const = 0;
};

struct FocusWatchStart {
    std::unique_ptr<FocusWatcher> Watcher; // null when the focus cannot be seen here
    std::string Error; // why not, for the user
};

/// Starts watching on this system's display (X11: $DISPLAY). Must run on the thread that handles
/// the events (Windows: one with a message loop).
[[nodiscard]] FocusWatchStart StartFocusWatcher(FocusWatcher::Handler handler);

/// The value of a 32-bit X11 property holding one item (a window or a process ID): nullopt unless
/// the reply has format 32 and at least one item. Exposed for the fuzz target.
[[nodiscard]] std::optional<std::uint32_t> SingleCardinal(std::uint8_t format, std::span<const std::uint8_t> value);

/// The program path that /proc/PID/exe names, without the " (deleted)" that the kernel appends
/// when the file was replaced while the program runs (a game updated in the background).
std::string ProgramFromExeLink(std::string link);

} // namespace bv::platform
