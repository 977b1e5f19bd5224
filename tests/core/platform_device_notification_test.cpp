// Device notices below the component: the uevent reader, the class GUID, the notification window.

#include "platform/device_notification.h"
#include "platform/uevent.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace bv::platform;

namespace {

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return { text.begin(), text.end() };
}

constexpr std::string_view kHidrawPath
    = "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1A2C:0E24.0007/hidraw/hidraw3";

std::string kernelMessage(std::string_view action, std::string_view devpath, std::string_view subsystem)
{
    using namespace std::string_literals;
    std::string m = std::string(action) + "@" + std::string(devpath) + '\0';
    m += "ACTION="s + std::string(action) + '\0' + "DEVPATH=" + std::string(devpath) + '\0';
    m += "SUBSYSTEM="s + std::string(subsystem) + '\0' + "DEVNAME=hidraw3\0SEQNUM=4711\0MAJOR=239\0MINOR=3\0"s;
    return m;
}

} // namespace

TEST(Uevent, ReadsKernelMessages)
{
    const auto event = ParseUevent(bytes(kernelMessage("add", kHidrawPath, "hidraw")));
    ASSERT_TRUE(event);
    EXPECT_EQ(*event, (Uevent { "add", std::string(kHidrawPath), "hidraw", "hidraw3" }));

    // Only the header is required; a value may hold '='.
    const auto bare = ParseUevent(bytes(std::string("change@/devices/x\0SUBSYSTEM=a=b\0NOEQUALS\0", 41)));
    ASSERT_TRUE(bare);
    EXPECT_EQ(*bare, (Uevent { "change", "/devices/x", "a=b", "" }));
}

TEST(Uevent, RefusesWhatIsNotOneKernelMessage)
{
    using namespace std::string_literals;
    const struct {
        const char* why;
        std::string message;
    } cases[] = {
        { "empty", "" },
        { "no NUL at all", "add@/devices/x" },
        { "no @", "add\0SUBSYSTEM=hidraw\0"s },
        { "empty action", "@/devices/x\0"s },
        { "empty device path", "add@\0"s },
        { "udev's rebroadcast", "libudev\0\xfe\xed\xca\xfe\0\0\0\0ACTION=add\0SUBSYSTEM=hidraw\0"s },
        { "ACTION disagrees", "add@/devices/x\0ACTION=remove\0SUBSYSTEM=hidraw\0"s },
        { "DEVPATH disagrees", "add@/devices/x\0DEVPATH=/devices/y\0SUBSYSTEM=hidraw\0"s },
        { "ACTION twice", "add@/devices/x\0ACTION=add\0ACTION=add\0"s },
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ParseUevent(bytes(c.message))) << c.why;

    // A tail without its NUL is left out, the rest stands.
    const auto cut = ParseUevent(bytes("add@/devices/x\0SUBSYSTEM=hidraw\0DEVNAME=hidr"s));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->Subsystem, "hidraw");
    EXPECT_EQ(cut->DevName, "");
}

TEST(Uevent, HidrawActionsBecomeDeviceChanges)
{
    const struct {
        const char* action;
        const char* subsystem;
        std::optional<DeviceChangeMessage> expected;
    } cases[] = {
        { "add", "hidraw", DeviceChangeMessage { kDbtDeviceArrival, kDbtDevtypDeviceInterface } },
        { "remove", "hidraw", DeviceChangeMessage { kDbtDeviceRemoveComplete, kDbtDevtypDeviceInterface } },
        { "change", "hidraw", DeviceChangeMessage { kDbtDevNodesChanged, std::nullopt } },
        { "add", "usb", std::nullopt },
        { "add", "hid", std::nullopt },
        { "remove", "", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(HidDeviceChangeFromUevent(Uevent { c.action, "/devices/x", c.subsystem, "" }), c.expected)
            << c.action << " " << c.subsystem;
}

TEST(InterfaceClassGuid, ParsesTheRegistryStringIntoMemoryOrder)
{
    const GuidBytes hid
        = { 0xb2, 0x55, 0x1e, 0x4d, 0x6f, 0xf1, 0xcf, 0x11, 0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30 };
    EXPECT_EQ(ParseGuidString(kHidInterfaceClassGuid), hid);
    EXPECT_EQ(ParseGuidString("{4D1E55B2-F16F-11CF-88CB-001111000030}"), hid);
    for (const char* bad : { "", "4d1e55b2-f16f-11cf-88cb-001111000030", "{4d1e55b2-f16f-11cf-88cb-00111100003}",
             "{4d1e55b2-f16f-11cf-88cb-0011110000300}", "{4d1e55b2f-16f-11cf-88cb-001111000030}",
             "{4d1e55b2-f16f-11cf-88cb-00111100003g}", "(4d1e55b2-f16f-11cf-88cb-001111000030)" })
        EXPECT_FALSE(ParseGuidString(bad)) << bad;
}

#ifndef _WIN32

TEST(UeventSender, OnlyTheKernelsAddressCounts)
{
    sockaddr_nl kernel {};
    kernel.nl_family = AF_NETLINK;
    EXPECT_TRUE(IsKernelUeventSender(&kernel, sizeof kernel));
    sockaddr_nl process = kernel;
    process.nl_pid = 4242; // udev or anyone else
    EXPECT_FALSE(IsKernelUeventSender(&process, sizeof process));
    sockaddr_nl other = kernel;
    other.nl_family = AF_UNIX;
    EXPECT_FALSE(IsKernelUeventSender(&other, sizeof other));
    EXPECT_FALSE(IsKernelUeventSender(&kernel, sizeof kernel - 1));
    EXPECT_FALSE(IsKernelUeventSender(nullptr, 0));
}

namespace {

bool readable(int fd, int waitMs = 0)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll(&p, 1, waitMs) > 0;
}

// A notification window over one end of a socketpair; the test plays the kernel at the other.
struct UeventWindowTest : ::testing::Test {
    int kernelEnd = -1;
    std::deque<bool> fromKernel; // the sender check's verdicts, one per datagram; empty: kernel
    std::vector<DeviceChangeMessage> received;
    int ticks = 0;
    std::vector<std::string> failures;
    std::unique_ptr<DeviceNotificationWindow> window;

    void SetUp() override
    {
        DeviceNotificationWindow::Handlers h;
        h.DeviceChange = [this](const DeviceChangeMessage& m) { received.push_back(m); };
        h.Timer = [this] { ++ticks; };
        open(std::move(h));
    }

    void open(DeviceNotificationWindow::Handlers h)
    {
        if (kernelEnd >= 0)
            ::close(kernelEnd);
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, fds), 0);
        kernelEnd = fds[1];
        h.HandlerFailed = [this](const std::string& what) { failures.push_back(what); };
        window = OpenUeventNotificationWindow(fds[0], std::move(h), [this](const void*, std::size_t) {
            if (fromKernel.empty())
                return true;
            const bool verdict = fromKernel.front();
            fromKernel.pop_front();
            return verdict;
        });
        ASSERT_TRUE(window->Error().empty()) << window->Error();
    }

    void TearDown() override { ::close(kernelEnd); }

    void send(const std::string& message)
    {
        ASSERT_EQ(::send(kernelEnd, message.data(), message.size(), 0), static_cast<ssize_t>(message.size()));
    }
};

} // namespace

TEST_F(UeventWindowTest, HidrawNoticesFromTheKernelOnly)
{
    EXPECT_FALSE(readable(window->WaitHandle()));
    fromKernel = { true, false, true, true, true };
    send(kernelMessage("add", kHidrawPath, "hidraw"));
    send(kernelMessage("remove", kHidrawPath, "hidraw")); // a spoofed sender
    send(kernelMessage("bind", "/devices/pci0000:00/usb1/1-2", "usb"));
    send("garbage without a header");
    send(kernelMessage("remove", kHidrawPath, "hidraw"));
    ASSERT_TRUE(readable(window->WaitHandle(), 5000));

    window->Dispatch();
    EXPECT_EQ(received,
        (std::vector<DeviceChangeMessage> { { kDbtDeviceArrival, kDbtDevtypDeviceInterface },
            { kDbtDeviceRemoveComplete, kDbtDevtypDeviceInterface } }));
    EXPECT_FALSE(readable(window->WaitHandle())) << "everything waiting was taken";
    received.clear();
    window->Dispatch();
    EXPECT_TRUE(received.empty());
}

TEST_F(UeventWindowTest, PostedMessagesAndTimerTicksWakeTheWaitHandle)
{
    window->PostDeviceChange(kDbtDevNodesChanged);
    send(kernelMessage("add", kHidrawPath, "hidraw"));
    EXPECT_TRUE(received.empty()) << "posting delivers nothing by itself";
    ASSERT_TRUE(readable(window->WaitHandle()));
    window->Dispatch();
    EXPECT_EQ(received,
        (std::vector<DeviceChangeMessage> {
            { kDbtDevNodesChanged, std::nullopt }, { kDbtDeviceArrival, kDbtDevtypDeviceInterface } }));

    window->StartTimer(std::chrono::milliseconds(1));
    ASSERT_TRUE(readable(window->WaitHandle(), 5000));
    window->Dispatch();
    EXPECT_EQ(ticks, 1);

    // A tick already due goes with the stopped timer.
    ASSERT_TRUE(readable(window->WaitHandle(), 5000));
    window->StopTimer();
    EXPECT_FALSE(readable(window->WaitHandle()));
    window->Dispatch();
    EXPECT_EQ(ticks, 1);
}

TEST_F(UeventWindowTest, AnExceptionFromAHandlerStopsInDispatch)
{
    int calls = 0;
    DeviceNotificationWindow::Handlers h;
    h.DeviceChange = [&](const DeviceChangeMessage&) {
        if (++calls == 1)
            throw std::runtime_error("handler broke");
    };
    open(std::move(h));

    send(kernelMessage("add", kHidrawPath, "hidraw"));
    send(kernelMessage("add", kHidrawPath, "hidraw"));
    EXPECT_NO_THROW(window->Dispatch());
    EXPECT_EQ(calls, 2) << "the next notice still arrives";
    EXPECT_EQ(failures, std::vector<std::string> { "handler broke" });
}

TEST_F(UeventWindowTest, AHandlerMayEndTheWindow)
{
    int calls = 0;
    DeviceNotificationWindow::Handlers h;
    h.DeviceChange = [&](const DeviceChangeMessage&) {
        ++calls;
        window.reset();
    };
    open(std::move(h));

    send(kernelMessage("add", kHidrawPath, "hidraw"));
    send(kernelMessage("remove", kHidrawPath, "hidraw"));
    window->Dispatch();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(window);
}

TEST(KernelNotices, TheSystemWindowListensWithoutBlocking)
{
    int posted = 0;
    DeviceNotificationWindow::Handlers h;
    h.DeviceChange = [&](const DeviceChangeMessage& m) { posted += m.EventType == kDbtDevNodesChanged; };
    const auto window = OpenDeviceNotificationWindow(kHidInterfaceClassGuid, std::move(h));
    if (!window->Error().empty())
        GTEST_SKIP() << "the kernel refuses its device notices here: " << window->Error();

    window->Dispatch(); // returns at once with nothing waiting
    window->PostDeviceChange(kDbtDevNodesChanged);
    ASSERT_TRUE(readable(window->WaitHandle()));
    window->Dispatch();
    EXPECT_EQ(posted, 1);
}

#endif
