// The X11 focus watcher; built into its own library (bvcore_x11) so that only the programs that
// watch the focus link libxcb.
#include "platform/focus_watcher.h"
#include "platform/running_programs.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace bv::platform {

namespace {

struct ReplyDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, ReplyDeleter>;

xcb_atom_t Intern(xcb_connection_t* c, std::string_view name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The 32-bit items of a property, empty when it is missing or of another kind.
std::vector<std::uint32_t> Cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    std::vector<std::uint32_t> items;
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32)
        return items;
    const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    for (int at = 0; at + 4 <= length; at += 4)
        if (auto v = SingleCardinal(reply->format, std::span<const std::uint8_t>(data + at, 4)))
            items.push_back(*v);
    return items;
}

class X11FocusWatcher final : public FocusWatcher {
public:
    X11FocusWatcher(xcb_connection_t* c, xcb_window_t root, xcb_atom_t active, xcb_atom_t pid, Handler handler)
        : FConnection(c)
        , FRoot(root)
        , FActive(active)
        , FPid(pid)
        , FHandler(std::move(handler))
    {
        FLast = FocusedProgram();
    }
    ~X11FocusWatcher() override { xcb_disconnect(FConnection); }

    std::string FocusedProgram() override
    {
        const auto windows = Cardinals(FConnection, FRoot, FActive, XCB_ATOM_WINDOW);
        if (windows.empty() || windows[0] == XCB_WINDOW_NONE)
            return {};
        const auto pids = Cardinals(FConnection, windows[0], FPid, XCB_ATOM_CARDINAL);
        return pids.empty() || pids[0] == 0 ? std::string() : ProgramOfProcess(pids[0]);
    }

    int WaitHandle() const override { return xcb_get_file_descriptor(FConnection); }

    bool Dispatch() override
    {
        bool changed = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (notify->window == FRoot && notify->atom == FActive)
                    changed = true;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(FConnection)) {
            FError = "The connection to the X display was lost; the focused program cannot be seen.";
            return false;
        }
        if (changed) {
            std::string program = FocusedProgram();
            if (program != FLast) {
                FLast = program;
                FHandler(program);
            }
        }
        return true;
    }

    const std::string& Error() const override { return FError; }

private:
    xcb_connection_t* FConnection;
    xcb_window_t FRoot;
    xcb_atom_t FActive;
    xcb_atom_t FPid;
    Handler FHandler;
    std::string FLast;
    std::string FError;
};

} // namespace

FocusWatchStart StartFocusWatcher(FocusWatcher::Handler handler)
{
    FocusWatchStart start;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        start.Error = std::getenv("WAYLAND_DISPLAY")
            ? "This Wayland desktop does not tell other programs which window has the focus (there is no X display)."
            : "There is no X display to tell which window has the focus.";
        return start;
    }
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        start.Error = std::string("The X display ") + display + " could not be opened.";
        return start;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        start.Error = std::string("The X display ") + display + " has no such screen.";
        return start;
    }
    const xcb_window_t root = it.data->root;
    const xcb_atom_t active = Intern(c, "_NET_ACTIVE_WINDOW");
    const xcb_atom_t pid = Intern(c, "_NET_WM_PID");
    const xcb_atom_t supported = Intern(c, "_NET_SUPPORTED");
    const auto features = Cardinals(c, root, supported, XCB_ATOM_ATOM);
    if (active == XCB_ATOM_NONE || std::find(features.begin(), features.end(), active) == features.end()) {
        xcb_disconnect(c);
        start.Error = "The window manager does not tell which window has the focus (_NET_ACTIVE_WINDOW).";
        return start;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    start.Watcher = std::make_unique<X11FocusWatcher>(c, root, active, pid, std::move(handler));
    return start;
}

} // namespace bv::platform
