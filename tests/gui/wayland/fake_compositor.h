#pragma once
// A compositor inside the test process: libwayland-server on one end of a socket pair, served by
// its own thread. It offers wl_compositor, one or more seats and, when asked, the
// keyboard-shortcuts-inhibit manager, and records what the client asks of them. A second
// inhibitor for a surface gets the protocol error a real compositor raises.
// Kept free of the client headers: both libraries name an opaque `struct wl_display`.

#include <cstdint>
#include <memory>
#include <vector>

namespace bv::gui::test {

/// One inhibit_shortcuts request, as the compositor saw it.
struct FakeInhibitor {
    std::uint32_t Surface = 0; // object id on the client's connection
    std::uint32_t Seat = 0; // object id of the seat named in the request
    int SeatGlobal = -1; // which seat global that seat was bound from (0 = first announced)
    bool Destroyed = false;
};

class FakeCompositor {
public:
    struct Options {
        bool OfferInhibit = true;
        int Seats = 1;
    };

    explicit FakeCompositor(Options options);
    ~FakeCompositor();

    FakeCompositor(const FakeCompositor&) = delete;
    FakeCompositor& operator=(const FakeCompositor&) = delete;

    /// The client's end of the connection, for wl_display_connect_to_fd (which then owns it).
    int ClientFd() const { return FClientFd; }

    /// Read after a client round trip, which the compositor answers only once it has handled
    /// every request sent before it.
    std::vector<FakeInhibitor> Inhibitors() const;
    int ManagerBinds() const;
    int SeatBinds() const;

    struct State;

private:
    std::unique_ptr<State> FState;
    int FClientFd = -1;
};

} // namespace bv::gui::test
