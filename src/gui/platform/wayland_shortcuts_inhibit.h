#pragma once
// Asks a Wayland compositor to hand its own keyboard shortcuts (Alt+Tab, Super, media keys) to one
// of our surfaces while a key recorder listens. Plain libwayland-client, no Qt: it works on the
// program's connection through a private event queue, so the toolkit's queue never sees its objects.

#include <cstdint>
#include <map>

struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct zwp_keyboard_shortcuts_inhibit_manager_v1;
struct zwp_keyboard_shortcuts_inhibitor_v1;

namespace bv::gui {

/// The compositor's keyboard-shortcuts-inhibit manager on one connection, and the inhibitors made through it.
class WaylandShortcutsInhibit {
public:
    /// Looks for the manager on `display` (one round trip on the private queue). `seat` is the seat
    /// whose shortcuts are inhibited; null binds the compositor's first seat, the one the toolkit
    /// takes as its default.
    explicit WaylandShortcutsInhibit(wl_display* display, wl_seat* seat = nullptr);
    /// Destroys every inhibitor still held.
    ~WaylandShortcutsInhibit();

    WaylandShortcutsInhibit(const WaylandShortcutsInhibit&) = delete;
    WaylandShortcutsInhibit& operator=(const WaylandShortcutsInhibit&) = delete;

    /// True when the compositor offers the protocol and a seat to use it on.
    [[nodiscard]] bool Offered() const;

    /// Inhibits the compositor's shortcuts for `surface`. Counted per surface: a surface already
    /// inhibited is not asked for again, since the compositor ends a connection that does so.
    /// False when the protocol is not offered or `surface` is null.
    [[nodiscard]] bool Inhibit(wl_surface* surface);
    /// Undoes one Inhibit of `surface`; the last one destroys its inhibitor.
    void Release(wl_surface* surface);
    [[nodiscard]] bool IsInhibited(wl_surface* surface) const;

private:
    // What the registry announced, by global name.
    struct Globals {
        std::uint32_t Manager = 0;
        std::uint32_t Seat = 0, SeatVersion = 0;
        bool Removed = false; // the manager or the seat bound here went away
    };
    struct Held {
        zwp_keyboard_shortcuts_inhibitor_v1* Inhibitor;
        int Count;
    };

    static void OnGlobal(
        void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    void Flush();

    wl_display* FDisplay;
    wl_event_queue* FQueue = nullptr;
    wl_registry* FRegistry = nullptr;
    zwp_keyboard_shortcuts_inhibit_manager_v1* FManager = nullptr;
    wl_seat* FSeat;
    bool FOwnSeat = false;
    Globals FGlobals;
    std::map<wl_surface*, Held> FHeld;
};

} // namespace bv::gui
