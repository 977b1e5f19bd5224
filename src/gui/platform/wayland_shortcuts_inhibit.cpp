#include "platform/wayland_shortcuts_inhibit.h"

#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

namespace bv::gui {

namespace {

// wl_seat.release (version 5) frees the compositor's side of a seat we bound ourselves.
constexpr std::uint32_t kSeatReleaseVersion = 5;

} // namespace

void WaylandShortcutsInhibit::OnGlobal(
    void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version)
{
    auto& globals = static_cast<WaylandShortcutsInhibit*>(data)->FGlobals;
    if (std::strcmp(interface, zwp_keyboard_shortcuts_inhibit_manager_v1_interface.name) == 0) {
        if (globals.Manager == 0)
            globals.Manager = name;
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        // The first seat announced is the toolkit's default one.
        if (globals.Seat == 0) {
            globals.Seat = name;
            globals.SeatVersion = version;
        }
    }
}

void WaylandShortcutsInhibit::OnGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto* self = static_cast<WaylandShortcutsInhibit*>(data);
    if (name == self->FGlobals.Manager || (self->FOwnSeat && name == self->FGlobals.Seat))
        self->FGlobals.Removed = true;
}

WaylandShortcutsInhibit::WaylandShortcutsInhibit(wl_display* display, wl_seat* seat)
    : FDisplay(display)
    , FSeat(seat)
{
    if (!FDisplay)
        return;
    FQueue = wl_display_create_queue(FDisplay);
    if (!FQueue)
        return;
    // The registry is made through a wrapper already on our queue, so that no announcement can
    // reach the toolkit's queue before it is moved.
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(FDisplay));
    if (!wrapper)
        return;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), FQueue);
    FRegistry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    if (!FRegistry)
        return;
    static const wl_registry_listener listener { &OnGlobal, &OnGlobalRemove };
    wl_registry_add_listener(FRegistry, &listener, this);
    if (wl_display_roundtrip_queue(FDisplay, FQueue) < 0)
        return;

    if (FGlobals.Manager == 0 || (!FSeat && FGlobals.Seat == 0))
        return;
    FManager = static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(
        wl_registry_bind(FRegistry, FGlobals.Manager, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
    if (!FSeat) {
        const std::uint32_t version = std::min(FGlobals.SeatVersion, kSeatReleaseVersion);
        FSeat = static_cast<wl_seat*>(wl_registry_bind(FRegistry, FGlobals.Seat, &wl_seat_interface, version));
        FOwnSeat = FSeat != nullptr;
    }
    Flush();
}

WaylandShortcutsInhibit::~WaylandShortcutsInhibit()
{
    for (auto& [surface, held] : FHeld)
        zwp_keyboard_shortcuts_inhibitor_v1_destroy(held.Inhibitor);
    FHeld.clear();
    if (FManager)
        zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(FManager);
    if (FOwnSeat) {
        if (wl_seat_get_version(FSeat) >= kSeatReleaseVersion)
            wl_seat_release(FSeat);
        else
            wl_seat_destroy(FSeat);
    }
    if (FRegistry)
        wl_registry_destroy(FRegistry);
    if (FDisplay)
        Flush();
    if (FQueue)
        wl_event_queue_destroy(FQueue);
}

bool WaylandShortcutsInhibit::Offered() const
{
    return FManager && FSeat && !FGlobals.Removed;
}

bool WaylandShortcutsInhibit::Inhibit(wl_surface* surface)
{
    // Take in what the compositor said since (a global removed, the inhibitors' notices).
    if (FQueue)
        wl_display_dispatch_queue_pending(FDisplay, FQueue);
    if (!surface || !Offered())
        return false;
    if (auto it = FHeld.find(surface); it != FHeld.end()) {
        ++it->second.Count;
        return true;
    }
    auto* inhibitor = zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(FManager, surface, FSeat);
    if (!inhibitor)
        return false;
    FHeld.emplace(surface, Held { inhibitor, 1 });
    Flush();
    return true;
}

void WaylandShortcutsInhibit::Release(wl_surface* surface)
{
    auto it = FHeld.find(surface);
    if (it == FHeld.end())
        return;
    if (--it->second.Count > 0)
        return;
    zwp_keyboard_shortcuts_inhibitor_v1_destroy(it->second.Inhibitor);
    FHeld.erase(it);
    Flush();
}

bool WaylandShortcutsInhibit::IsInhibited(wl_surface* surface) const
{
    return FHeld.contains(surface);
}

void WaylandShortcutsInhibit::Flush()
{
    // The toolkit flushes only when it sends something itself; the compositor should act now.
    wl_display_flush(FDisplay);
}

} // namespace bv::gui
