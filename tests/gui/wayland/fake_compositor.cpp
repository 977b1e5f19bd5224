#include "fake_compositor.h"

#include "keyboard-shortcuts-inhibit-unstable-v1-server-protocol.h"

#include <wayland-server.h>

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace bv::gui::test {

namespace {

// The user data of a seat global and of its resources.
struct SeatGlobal {
    FakeCompositor::State* Owner;
    int Index;
};

} // namespace

struct FakeCompositor::State {
    wl_display* Display = nullptr;
    std::thread Thread;
    int WakeFd = -1;
    wl_event_source* Wake = nullptr;
    std::atomic<bool> Stop { false };

    mutable std::mutex Lock;
    std::vector<FakeInhibitor> Inhibitors;
    // The surface each live inhibitor belongs to, to refuse a second one.
    std::map<wl_resource*, std::size_t> LiveBySurface;
    int ManagerBinds = 0;
    int SeatBinds = 0;
    std::vector<std::unique_ptr<SeatGlobal>> Seats;
};

namespace {

using State = FakeCompositor::State;

State& stateOf(wl_resource* resource)
{
    return *static_cast<State*>(wl_resource_get_user_data(resource));
}

void destroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

// ---- wl_compositor / wl_surface -----------------------------------------------------------

void surfaceGone(wl_resource* surface)
{
    State& state = stateOf(surface);
    std::lock_guard lock(state.Lock);
    state.LiveBySurface.erase(surface);
}

// Requests the tests never send stay null.
const struct wl_surface_interface kSurface = [] {
    struct wl_surface_interface impl { };
    impl.destroy = destroyResource;
    return impl;
}();

void createSurface(wl_client* client, wl_resource* compositor, std::uint32_t id)
{
    wl_resource* surface = wl_resource_create(client, &wl_surface_interface, wl_resource_get_version(compositor), id);
    wl_resource_set_implementation(surface, &kSurface, &stateOf(compositor), surfaceGone);
}

const struct wl_compositor_interface kCompositor = [] {
    struct wl_compositor_interface impl { };
    impl.create_surface = createSurface;
    return impl;
}();

void bindCompositor(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    wl_resource* resource = wl_resource_create(client, &wl_compositor_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &kCompositor, data, nullptr);
}

// ---- wl_seat: the resource's user data is its global's index ---------------------------------

const struct wl_seat_interface kSeat = [] {
    struct wl_seat_interface impl { };
    impl.release = destroyResource;
    return impl;
}();

void bindSeat(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    auto* global = static_cast<SeatGlobal*>(data);
    {
        std::lock_guard lock(global->Owner->Lock);
        ++global->Owner->SeatBinds;
    }
    wl_resource* resource = wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &kSeat, global, nullptr);
}

// ---- the inhibit manager and its inhibitors -------------------------------------------------

struct InhibitorData {
    State* Owner;
    std::size_t Index;
    wl_resource* Surface;
};

void inhibitorDestroyed(wl_resource* inhibitor)
{
    auto* data = static_cast<InhibitorData*>(wl_resource_get_user_data(inhibitor));
    {
        std::lock_guard lock(data->Owner->Lock);
        data->Owner->Inhibitors[data->Index].Destroyed = true;
        auto live = data->Owner->LiveBySurface.find(data->Surface);
        if (live != data->Owner->LiveBySurface.end() && live->second == data->Index)
            data->Owner->LiveBySurface.erase(live);
    }
    delete data;
}

const struct zwp_keyboard_shortcuts_inhibitor_v1_interface kInhibitor {
    .destroy = destroyResource
};

void inhibitShortcuts(
    wl_client* client, wl_resource* manager, std::uint32_t id, wl_resource* surface, wl_resource* seat)
{
    State& state = stateOf(manager);
    auto* data = new InhibitorData { &state, 0, surface };
    {
        std::lock_guard lock(state.Lock);
        if (state.LiveBySurface.contains(surface)) {
            delete data;
            wl_resource_post_error(manager, ZWP_KEYBOARD_SHORTCUTS_INHIBIT_MANAGER_V1_ERROR_ALREADY_INHIBITED,
                "shortcuts are already inhibited for this surface");
            return;
        }
        data->Index = state.Inhibitors.size();
        const auto* seatGlobal = static_cast<const SeatGlobal*>(wl_resource_get_user_data(seat));
        state.Inhibitors.push_back({ wl_resource_get_id(surface), wl_resource_get_id(seat), seatGlobal->Index, false });
        state.LiveBySurface[surface] = data->Index;
    }
    wl_resource* inhibitor = wl_resource_create(client, &zwp_keyboard_shortcuts_inhibitor_v1_interface, 1, id);
    wl_resource_set_implementation(inhibitor, &kInhibitor, data, inhibitorDestroyed);
    // Compositors say at once when the inhibitor takes effect; the client must cope with it.
    zwp_keyboard_shortcuts_inhibitor_v1_send_active(inhibitor);
}

const struct zwp_keyboard_shortcuts_inhibit_manager_v1_interface kManager {
    .destroy = destroyResource, .inhibit_shortcuts = inhibitShortcuts,
};

void bindManager(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    auto* state = static_cast<State*>(data);
    {
        std::lock_guard lock(state->Lock);
        ++state->ManagerBinds;
    }
    wl_resource* resource = wl_resource_create(
        client, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &kManager, state, nullptr);
}

int wake(int, std::uint32_t, void*)
{
    return 0;
}

} // namespace

FakeCompositor::FakeCompositor(Options options)
    : FState(std::make_unique<State>())
{
    State& state = *FState;
    state.Display = wl_display_create();
    int fds[2];
    if (!state.Display || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        throw std::runtime_error("fake compositor: no display or socket pair");
    if (!wl_client_create(state.Display, fds[0]))
        throw std::runtime_error("fake compositor: no client");
    FClientFd = fds[1];

    wl_global_create(state.Display, &wl_compositor_interface, 4, &state, bindCompositor);
    for (int i = 0; i < options.Seats; ++i) {
        state.Seats.push_back(std::make_unique<SeatGlobal>(SeatGlobal { &state, i }));
        wl_global_create(state.Display, &wl_seat_interface, 5, state.Seats.back().get(), bindSeat);
    }
    if (options.OfferInhibit)
        wl_global_create(state.Display, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1, &state, bindManager);

    wl_event_loop* loop = wl_display_get_event_loop(state.Display);
    state.WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    state.Wake = wl_event_loop_add_fd(loop, state.WakeFd, WL_EVENT_READABLE, wake, nullptr);
    state.Thread = std::thread([&state, loop] {
        while (!state.Stop) {
            wl_event_loop_dispatch(loop, -1);
            wl_display_flush_clients(state.Display);
        }
    });
}

FakeCompositor::~FakeCompositor()
{
    State& state = *FState;
    state.Stop = true;
    const std::uint64_t one = 1;
    (void)!write(state.WakeFd, &one, sizeof one);
    state.Thread.join();
    wl_event_source_remove(state.Wake);
    wl_display_destroy_clients(state.Display);
    wl_display_destroy(state.Display);
    close(state.WakeFd);
}

std::vector<FakeInhibitor> FakeCompositor::Inhibitors() const
{
    std::lock_guard lock(FState->Lock);
    return FState->Inhibitors;
}

int FakeCompositor::ManagerBinds() const
{
    std::lock_guard lock(FState->Lock);
    return FState->ManagerBinds;
}

int FakeCompositor::SeatBinds() const
{
    std::lock_guard lock(FState->Lock);
    return FState->SeatBinds;
}

} // namespace bv::gui::test
