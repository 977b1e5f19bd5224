#include "platform/monitor_link.h"
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace bv::platform;

namespace {

struct MonitorLinkTest : ::testing::Test {
    bv::test::TempDir runtime;
    bv::platform_test::ScopedEnv env;
    std::string windowClass;
    std::unique_ptr<MonitorLink> link = OpenSystemMonitorLink();

    void SetUp() override
    {
        env.set("XDG_RUNTIME_DIR", runtime.str());
        // Unique per test, so Windows test runs cannot meet another window of the same class.
        windowClass = "TBvTestMon" + runtime.path().filename().string().substr(7, 10);
    }
};

} // namespace

// Windows needs a window station for the receiving window; Wine without a display has none.
#ifdef _WIN32
#define SKIP_WITHOUT_WINDOWS(endpoint)                                                                                 \
    if (!(endpoint).IsOpen())                                                                                          \
    GTEST_SKIP() << "no window can be made here: " << (endpoint).Error()
#else
#define SKIP_WITHOUT_WINDOWS(endpoint) (void)0
#endif

TEST(WindowMessageWire, RoundTripsAndRefusesOtherSizes)
{
    const WindowMessage m { MSG_SETTINGS_CHANGED, 1, -4 };
    const auto wire = EncodeWindowMessage(m);
    EXPECT_EQ(wire[0], 0x7B);
    EXPECT_EQ(wire[1], 0x1B);
    EXPECT_EQ(wire[8], 1);
    EXPECT_EQ(wire[16], 0xFC);
    EXPECT_EQ(DecodeWindowMessage(wire), m);
    EXPECT_FALSE(DecodeWindowMessage(std::span(wire).first(23)));
    std::vector<std::uint8_t> longer(wire.begin(), wire.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeWindowMessage(longer));
}

TEST_F(MonitorLinkTest, WithoutTheWindowNothingIsSent)
{
    EXPECT_FALSE(link->WindowExists(windowClass));
    EXPECT_FALSE(link->Send(windowClass, { MSG_SETTINGS_CHANGED, 0, 0 }));
    EXPECT_FALSE(link->BringToFront(windowClass));
}

TEST_F(MonitorLinkTest, DeliversMessagesInOrderToTheFakeMonitor)
{
    std::vector<WindowMessage> received;
    MessageEndpoint monitor(windowClass, [&](const WindowMessage& m) { received.push_back(m); });
    SKIP_WITHOUT_WINDOWS(monitor);
    ASSERT_TRUE(monitor.IsOpen()) << monitor.Error();
    EXPECT_TRUE(link->WindowExists(windowClass));
    EXPECT_TRUE(link->BringToFront(windowClass));

    const std::vector<WindowMessage> sent
        = { { MSG_SETTINGS_CHANGED, 1, 3 }, { MSG_LANGUAGE_CHANGED, 2, 0 }, { MSG_SETTINGS_CHANGED, 0, 0 } };
    for (const auto& m : sent)
        EXPECT_TRUE(link->Send(windowClass, m));
    monitor.Dispatch();
    EXPECT_EQ(received, sent);

    received.clear();
    monitor.Dispatch();
    EXPECT_TRUE(received.empty()) << "nothing is handed over twice";
}

TEST_F(MonitorLinkTest, EndedReceiverLeavesNoWindowBehind)
{
    {
        MessageEndpoint monitor(windowClass, [](const WindowMessage&) {});
        SKIP_WITHOUT_WINDOWS(monitor);
        ASSERT_TRUE(monitor.IsOpen()) << monitor.Error();
    }
    EXPECT_FALSE(link->WindowExists(windowClass));
    EXPECT_FALSE(link->Send(windowClass, { MSG_CLOSE_CONFIG, 0, 0 }));
}

#ifndef _WIN32
TEST_F(MonitorLinkTest, StaleSocketIsReplacedButALiveOneIsNot)
{
    // A socket file whose owner ended without removing it.
    const auto path = runtime / windowClass;
    {
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    EXPECT_FALSE(link->WindowExists(windowClass));

    int count = 0;
    MessageEndpoint first(windowClass, [&](const WindowMessage&) { ++count; });
    ASSERT_TRUE(first.IsOpen()) << first.Error();
    MessageEndpoint second(windowClass, [](const WindowMessage&) {});
    EXPECT_FALSE(second.IsOpen());
    EXPECT_NE(second.Error().find("already"), std::string::npos) << second.Error();

    EXPECT_TRUE(link->Send(windowClass, { MSG_RELOAD_PROFILE, 0, 0 }));
    first.Dispatch();
    EXPECT_EQ(count, 1);
}

TEST_F(MonitorLinkTest, MalformedDatagramsAreDropped)
{
    std::vector<WindowMessage> received;
    MessageEndpoint endpoint(windowClass, [&](const WindowMessage& m) { received.push_back(m); });
    ASSERT_TRUE(endpoint.IsOpen()) << endpoint.Error();

    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (runtime / windowClass).c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::uint8_t junk[40] = { 0x7E, 0x1B };
    ASSERT_EQ(::send(fd, junk, 3, 0), 3);
    ASSERT_EQ(::send(fd, junk, sizeof junk, 0), static_cast<ssize_t>(sizeof junk));
    ASSERT_EQ(::send(fd, junk, 24, 0), 24);
    ::close(fd);

    endpoint.Dispatch();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], (WindowMessage { MSG_RELOAD_PROFILE, 0, 0 }));
}
#endif
