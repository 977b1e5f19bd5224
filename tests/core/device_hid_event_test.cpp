// TuiHIDEvent: what each device-change message raises, the posted first change and the start timer,
// over a scripted window and over each system's own.

#include "device/uiHIDEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <dbt.h>
#else
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace bv;
using namespace bv::platform;
using namespace std::chrono_literals;

namespace {

// A notification window whose messages and ticks the test hands over itself.
struct ScriptedWindow final : DeviceNotificationWindow {
    Handlers handlers;
    std::string guid;
    std::vector<DeviceChangeMessage> posted;
    std::vector<std::chrono::milliseconds> timerStarts;
    int timerStops = 0;
    std::string error;

    int WaitHandle() const override { return -1; }
    void Dispatch() override
    {
        auto queued = std::move(posted);
        posted.clear();
        for (const auto& m : queued)
            handlers.DeviceChange(m);
    }
    void PostDeviceChange(std::uint32_t eventType) override { posted.push_back({ eventType, std::nullopt }); }
    void StartTimer(std::chrono::milliseconds interval) override { timerStarts.push_back(interval); }
    void StopTimer() override { ++timerStops; }
    const std::string& Error() const override { return error; }
    void* WindowHandle() const override { return nullptr; }
};

struct Counts {
    int arrivals = 0, removals = 0, changes = 0;
    bool operator==(const Counts&) const = default;
};

void Count(TuiHIDEvent& component, Counts& counts)
{
    component.OnDeviceArrival = [&](TuiHIDEvent& sender) {
        EXPECT_EQ(&sender, &component);
        ++counts.arrivals;
    };
    component.OnDeviceRemove = [&](TuiHIDEvent& sender) {
        EXPECT_EQ(&sender, &component);
        ++counts.removals;
    };
    component.OnDeviceChange = [&](TuiHIDEvent& sender) {
        EXPECT_EQ(&sender, &component);
        ++counts.changes;
    };
}

struct ScriptedComponent {
    ScriptedWindow* window = nullptr;
    Counts counts;
    TuiHIDEvent component;

    explicit ScriptedComponent(std::string guid = {})
        : component(std::move(guid), [this](const std::string& g, DeviceNotificationWindow::Handlers h) {
            auto w = std::make_unique<ScriptedWindow>();
            w->guid = g;
            w->handlers = std::move(h);
            window = w.get();
            return w;
        })
    {
        Count(component, counts);
    }
};

} // namespace

TEST(TuiHIDEvent, EachDeviceChangeRaisesItsEvent)
{
    const std::optional<std::uint32_t> none;
    const struct {
        DeviceChangeMessage message;
        Counts expected;
    } cases[] = {
        { { kDbtDevNodesChanged, none }, { 0, 0, 1 } },
        { { kDbtDeviceArrival, kDbtDevtypDeviceInterface }, { 1, 0, 0 } },
        { { kDbtDeviceRemoveComplete, kDbtDevtypDeviceInterface }, { 0, 1, 0 } },
        // Another header type (a volume, a port, a handle) or none: nothing.
        { { kDbtDeviceArrival, 2 }, { 0, 0, 0 } }, { { kDbtDeviceArrival, 3 }, { 0, 0, 0 } },
        { { kDbtDeviceArrival, none }, { 0, 0, 0 } }, { { kDbtDeviceRemoveComplete, 6 }, { 0, 0, 0 } },
        { { kDbtDeviceRemoveComplete, none }, { 0, 0, 0 } },
        // Other event types, whatever header they bring.
        { { 0x8001, kDbtDevtypDeviceInterface }, { 0, 0, 0 } }, // query remove
        { { 0x8003, kDbtDevtypDeviceInterface }, { 0, 0, 0 } }, // remove pending
        { { 0x0018, none }, { 0, 0, 0 } }, // configuration changed
    };
    for (const auto& c : cases) {
        ScriptedComponent s;
        s.component.DeviceChange(c.message);
        EXPECT_EQ(s.counts, c.expected) << "event type " << c.message.EventType << " header type "
                                        << c.message.DeviceType.value_or(0);
    }
}

TEST(TuiHIDEvent, CreationQueuesOneChangeAndStartsTheStartTimer)
{
    ScriptedComponent s;
    EXPECT_EQ(s.window->guid, kHidInterfaceClassGuid);
    EXPECT_EQ(s.component.UsbGuid(), kHidInterfaceClassGuid);
    EXPECT_EQ(s.window->timerStarts, std::vector<std::chrono::milliseconds> { 1500ms });
    EXPECT_EQ(s.counts, Counts {}) << "nothing is raised while the component is made";

    s.window->Dispatch();
    EXPECT_EQ(s.counts, (Counts { 0, 0, 1 }));

    ScriptedComponent other("{745a17a0-74d3-11d0-b6fe-00a0c90f57da}");
    EXPECT_EQ(other.window->guid, "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}");
}

TEST(TuiHIDEvent, StartTimerRaisesOneArrivalAndStops)
{
    ScriptedComponent s;
    // Two ticks can be due before the stop takes effect.
    s.window->handlers.Timer();
    s.window->handlers.Timer();
    EXPECT_EQ(s.counts, (Counts { 1, 0, 0 }));
    EXPECT_EQ(s.window->timerStops, 1);
}

#ifndef _WIN32

namespace {

// The component over the POSIX window, fed through a socketpair that plays the kernel.
struct UeventComponent {
    int kernelEnd = -1;
    Counts counts;
    std::unique_ptr<TuiHIDEvent> component;

    explicit UeventComponent(std::chrono::milliseconds startInterval)
    {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, fds) != 0)
            throw std::runtime_error("socketpair failed");
        kernelEnd = fds[1];
        const int ours = fds[0];
        component = std::make_unique<TuiHIDEvent>(
            "",
            [ours](const std::string&, DeviceNotificationWindow::Handlers h) {
                return OpenUeventNotificationWindow(ours, std::move(h), [](const void*, std::size_t) { return true; });
            },
            startInterval);
        Count(*component, counts);
    }
    ~UeventComponent() { ::close(kernelEnd); }

    void send(const std::string& message) { ::send(kernelEnd, message.data(), message.size(), 0); }

    // What an event loop does: wait for the handle, then dispatch.
    bool pump(int waitMs)
    {
        pollfd p { component->WaitHandle(), POLLIN, 0 };
        if (::poll(&p, 1, waitMs) <= 0)
            return false;
        component->Dispatch();
        return true;
    }
};

std::string hidraw(const char* action)
{
    using namespace std::string_literals;
    return action + "@/devices/virtual/misc/uhid/0003:1A2C:0E24.0001/hidraw/hidraw7\0ACTION="s + action
        + "\0SUBSYSTEM=hidraw\0DEVNAME=hidraw7\0SEQNUM=12\0"s;
}

} // namespace

TEST(TuiHIDEventOverUevents, FirstTheChangeThenTheKernelsNotices)
{
    UeventComponent u(24h);
    EXPECT_EQ(u.counts, Counts {});
    ASSERT_TRUE(u.pump(5000));
    EXPECT_EQ(u.counts, (Counts { 0, 0, 1 }));

    u.send(hidraw("add"));
    ASSERT_TRUE(u.pump(5000));
    EXPECT_EQ(u.counts, (Counts { 1, 0, 1 }));
    u.send(hidraw("remove"));
    ASSERT_TRUE(u.pump(5000));
    EXPECT_EQ(u.counts, (Counts { 1, 1, 1 }));
}

TEST(TuiHIDEventOverUevents, StartTimerRaisesOneArrival)
{
    UeventComponent u(1ms);
    for (int i = 0; i < 100 && u.counts.arrivals == 0; ++i)
        u.pump(50);
    EXPECT_EQ(u.counts.arrivals, 1);
    EXPECT_FALSE(u.pump(20)) << "the stopped timer leaves nothing waiting";
    EXPECT_EQ(u.counts.arrivals, 1);
}

#else

namespace {

// Runs the thread's message loop until `done` or `limitMs` passed.
template <class Done> void pumpUntil(Done done, DWORD limitMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < limitMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

LRESULT sendDeviceChange(HWND window, WPARAM eventType, DWORD deviceType)
{
    DEV_BROADCAST_HDR header {};
    header.dbch_size = sizeof header;
    header.dbch_devicetype = deviceType;
    return SendMessageW(window, WM_DEVICECHANGE, eventType, reinterpret_cast<LPARAM>(&header));
}

} // namespace

TEST(TuiHIDEventWindow, DeviceChangeMessagesReachTheHiddenWindow)
{
    Counts counts;
    TuiHIDEvent component("", {}, 24h);
    Count(component, counts);
    const HWND window = static_cast<HWND>(component.WindowHandle());
    ASSERT_NE(window, nullptr) << component.Error();
    if (!component.Error().empty()) // Wine may refuse the registration; the rest must work
        std::printf("note: %s\n", component.Error().c_str());
    EXPECT_EQ(counts, Counts {}) << "the posted change waits for the message loop";

    sendDeviceChange(window, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
    sendDeviceChange(window, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    sendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE);
    sendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT);
    SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0); // no header at all
    SendMessageW(window, WM_USER + 5, 0, 0);
    EXPECT_EQ(counts, (Counts { 1, 1, 0 }));

    pumpUntil([&] { return counts.changes > 0; });
    EXPECT_EQ(counts, (Counts { 1, 1, 1 }));
}

TEST(TuiHIDEventWindow, StartTimerRaisesOneArrival)
{
    Counts counts;
    TuiHIDEvent component("", {}, 10ms);
    Count(component, counts);
    ASSERT_NE(component.WindowHandle(), nullptr) << component.Error();
    pumpUntil([&] { return counts.arrivals > 0; });
    EXPECT_EQ(counts.arrivals, 1);
    pumpUntil([] { return false; }, 200); // the timer had time to tick again
    EXPECT_EQ(counts.arrivals, 1);
}

TEST(TuiHIDEventWindow, AnExceptionFromAHandlerStaysInTheWindowProcedure)
{
    std::string failure;
    TuiHIDEvent component("", {}, 24h);
    component.OnDeviceArrival = [](TuiHIDEvent&) { throw std::runtime_error("handler broke"); };
    component.OnHandlerFailed = [&](const std::string& what) { failure = what; };
    const HWND window = static_cast<HWND>(component.WindowHandle());
    ASSERT_NE(window, nullptr) << component.Error();
    EXPECT_EQ(sendDeviceChange(window, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE), TRUE);
    EXPECT_EQ(failure, "handler broke");
}

#endif
