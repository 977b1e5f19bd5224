// The compositor's shortcuts inhibited for a recorder's surface, against a fake compositor in the
// same process: what is asked for which surface and seat, that every inhibit is undone, that a
// surface is never inhibited twice (a protocol error that ends the connection), and that nothing
// is asked where the compositor does not offer the protocol.

#include "fake_compositor.h"
#include "platform/wayland_shortcuts_inhibit.h"

#include <wayland-client.h>

#include <gtest/gtest.h>

#include <cstring>

using bv::gui::WaylandShortcutsInhibit;
using bv::gui::test::FakeCompositor;

namespace {

// The program's side: its own connection, compositor and first seat on the default queue, as the
// toolkit holds them.
class Client {
public:
    explicit Client(int fd)
        : FDisplay(wl_display_connect_to_fd(fd))
    {
        if (!FDisplay)
            return;
        FRegistry = wl_display_get_registry(FDisplay);
        static const wl_registry_listener listener { &OnGlobal, [](void*, wl_registry*, std::uint32_t) {} };
        wl_registry_add_listener(FRegistry, &listener, this);
        wl_display_roundtrip(FDisplay);
    }

    ~Client()
    {
        for (wl_surface* surface : FSurfaces)
            wl_surface_destroy(surface);
        if (FSeat)
            wl_seat_destroy(FSeat);
        if (FCompositor)
            wl_compositor_destroy(FCompositor);
        if (FRegistry)
            wl_registry_destroy(FRegistry);
        if (FDisplay)
            wl_display_disconnect(FDisplay);
    }

    wl_display* Display() const { return FDisplay; }

    wl_surface* NewSurface()
    {
        FSurfaces.push_back(wl_compositor_create_surface(FCompositor));
        return FSurfaces.back();
    }

    /// The first seat, bound here on first use.
    wl_seat* Seat()
    {
        if (!FSeat && FSeatName != 0)
            FSeat = static_cast<wl_seat*>(wl_registry_bind(FRegistry, FSeatName, &wl_seat_interface, 1));
        return FSeat;
    }

    /// Returns once the compositor has handled everything sent so far; false on a protocol error.
    bool RoundTrip() { return wl_display_roundtrip(FDisplay) >= 0 && wl_display_get_error(FDisplay) == 0; }

private:
    static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
    {
        auto* self = static_cast<Client*>(data);
        if (std::strcmp(interface, wl_compositor_interface.name) == 0)
            self->FCompositor
                = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
        else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->FSeatName == 0)
            self->FSeatName = name;
    }

    wl_display* FDisplay;
    wl_registry* FRegistry = nullptr;
    wl_compositor* FCompositor = nullptr;
    std::uint32_t FSeatName = 0;
    wl_seat* FSeat = nullptr;
    std::vector<wl_surface*> FSurfaces;
};

// A compositor and the program's connection to it; the client goes first.
struct Session {
    explicit Session(FakeCompositor::Options options)
        : Compositor(options)
        , Program(Compositor.ClientFd())
    {
    }
    FakeCompositor Compositor;
    Client Program;
};

std::uint32_t idOf(void* proxy)
{
    return wl_proxy_get_id(static_cast<wl_proxy*>(proxy));
}

} // namespace

TEST(WaylandShortcutsInhibit, InhibitsTheSurfaceForTheSeatGivenUntilReleased)
{
    Session s({ .OfferInhibit = true, .Seats = 1 });
    wl_seat* seat = s.Program.Seat();
    WaylandShortcutsInhibit inhibit(s.Program.Display(), seat);
    ASSERT_TRUE(inhibit.Offered());

    wl_surface* surface = s.Program.NewSurface();
    ASSERT_TRUE(inhibit.Inhibit(surface));
    EXPECT_TRUE(inhibit.IsInhibited(surface));
    ASSERT_TRUE(s.Program.RoundTrip());
    auto seen = s.Compositor.Inhibitors();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Surface, idOf(surface));
    EXPECT_EQ(seen[0].Seat, idOf(seat));
    EXPECT_FALSE(seen[0].Destroyed);
    EXPECT_EQ(s.Compositor.SeatBinds(), 1) << "a seat of its own although one was given";

    inhibit.Release(surface);
    EXPECT_FALSE(inhibit.IsInhibited(surface));
    ASSERT_TRUE(s.Program.RoundTrip());
    seen = s.Compositor.Inhibitors();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].Destroyed);
}

TEST(WaylandShortcutsInhibit, WithoutASeatBindsTheFirstAndUndoesEverythingWhenDestroyed)
{
    Session s({ .OfferInhibit = true, .Seats = 2 });
    wl_surface* surface = s.Program.NewSurface();
    {
        WaylandShortcutsInhibit inhibit(s.Program.Display());
        ASSERT_TRUE(inhibit.Offered());
        ASSERT_TRUE(inhibit.Inhibit(surface));
        ASSERT_TRUE(s.Program.RoundTrip());
        const auto seen = s.Compositor.Inhibitors();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].SeatGlobal, 0);
        EXPECT_EQ(s.Compositor.SeatBinds(), 1);
    }
    ASSERT_TRUE(s.Program.RoundTrip());
    EXPECT_TRUE(s.Compositor.Inhibitors().at(0).Destroyed);
}

TEST(WaylandShortcutsInhibit, ASurfaceIsInhibitedOnceHoweverOftenItIsAsked)
{
    Session s({ .OfferInhibit = true, .Seats = 1 });
    WaylandShortcutsInhibit inhibit(s.Program.Display(), s.Program.Seat());
    wl_surface* first = s.Program.NewSurface();
    wl_surface* second = s.Program.NewSurface();

    ASSERT_TRUE(inhibit.Inhibit(first));
    ASSERT_TRUE(inhibit.Inhibit(first));
    ASSERT_TRUE(inhibit.Inhibit(second));
    ASSERT_TRUE(s.Program.RoundTrip()) << "the compositor refused a request";
    auto seen = s.Compositor.Inhibitors();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Surface, idOf(first));
    EXPECT_EQ(seen[1].Surface, idOf(second));

    inhibit.Release(first);
    ASSERT_TRUE(s.Program.RoundTrip());
    EXPECT_FALSE(s.Compositor.Inhibitors()[0].Destroyed) << "released while still asked for once";
    EXPECT_TRUE(inhibit.IsInhibited(first));

    inhibit.Release(first);
    inhibit.Release(first); // one too many: nothing left to undo
    ASSERT_TRUE(s.Program.RoundTrip());
    seen = s.Compositor.Inhibitors();
    EXPECT_TRUE(seen[0].Destroyed);
    EXPECT_FALSE(seen[1].Destroyed);

    // Asked again after the release, the surface gets a new inhibitor.
    ASSERT_TRUE(inhibit.Inhibit(first));
    ASSERT_TRUE(s.Program.RoundTrip());
    EXPECT_EQ(s.Compositor.Inhibitors().size(), 3u);
}

TEST(WaylandShortcutsInhibit, WhereTheCompositorDoesNotOfferItNothingIsAsked)
{
    Session s({ .OfferInhibit = false, .Seats = 1 });
    WaylandShortcutsInhibit inhibit(s.Program.Display());
    EXPECT_FALSE(inhibit.Offered());
    wl_surface* surface = s.Program.NewSurface();
    EXPECT_FALSE(inhibit.Inhibit(surface));
    EXPECT_FALSE(inhibit.IsInhibited(surface));
    inhibit.Release(surface);
    ASSERT_TRUE(s.Program.RoundTrip());
    EXPECT_TRUE(s.Compositor.Inhibitors().empty());
    EXPECT_EQ(s.Compositor.SeatBinds(), 0);

    // No connection at all (not on the Wayland platform) is the same answer.
    WaylandShortcutsInhibit none(nullptr);
    EXPECT_FALSE(none.Offered());
    EXPECT_FALSE(none.Inhibit(surface));
}

TEST(WaylandShortcutsInhibit, LeavesTheToolkitsQueueAlone)
{
    Session s({ .OfferInhibit = true, .Seats = 1 });
    // An answer waiting on the toolkit's queue must stay there for the toolkit to take.
    bool answered = false;
    wl_callback* sync = wl_display_sync(s.Program.Display());
    static const wl_callback_listener listener { [](void* data, wl_callback*, std::uint32_t) {
        *static_cast<bool*>(data) = true;
    } };
    wl_callback_add_listener(sync, &listener, &answered);
    wl_display_flush(s.Program.Display());

    WaylandShortcutsInhibit inhibit(s.Program.Display());
    ASSERT_TRUE(inhibit.Offered());
    wl_surface* surface = s.Program.NewSurface();
    ASSERT_TRUE(inhibit.Inhibit(surface));
    inhibit.Release(surface);
    EXPECT_FALSE(answered);

    EXPECT_EQ(wl_display_dispatch_pending(s.Program.Display()), 1);
    EXPECT_TRUE(answered);
    wl_callback_destroy(sync);
}
