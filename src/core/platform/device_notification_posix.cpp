#include "platform/device_notification.h"

#include "platform/uevent.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <linux/netlink.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <vector>

namespace bv::platform {

namespace {

// The kernel's uevents go to multicast group 1; udev's rebroadcasts go elsewhere.
constexpr std::uint32_t kKernelUeventGroup = 1;

class Fd {
public:
    explicit Fd(int fd = -1)
        : FFd(fd)
    {
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    int get() const { return FFd; }

private:
    int FFd;
};

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

class UeventNotificationWindow final : public DeviceNotificationWindow {
public:
    UeventNotificationWindow(int socket, Handlers handlers, UeventSenderCheck fromKernel, std::string error)
        : FSocket(socket)
        , FHandlers(std::move(handlers))
        , FFromKernel(std::move(fromKernel))
        , FError(std::move(error))
    {
        if (FEpoll.get() < 0 || FPosted.get() < 0 || FTimer.get() < 0) {
            FError = systemError("cannot watch for device notices");
            return;
        }
        for (int fd : { FSocket.get(), FPosted.get(), FTimer.get() }) {
            if (fd < 0)
                continue;
            epoll_event ev {};
            ev.events = EPOLLIN;
            ev.data.fd = fd;
            ::epoll_ctl(FEpoll.get(), EPOLL_CTL_ADD, fd, &ev);
        }
    }

    ~UeventNotificationWindow() override { *FAlive = false; }

    int WaitHandle() const override { return FEpoll.get(); }

    void Dispatch() override
    {
        // Take everything first, in the order a window would get it: posted messages, then the
        // notices, then the timer; a handler may end this window's owner.
        std::vector<DeviceChangeMessage> messages(FPostedMessages.begin(), FPostedMessages.end());
        FPostedMessages.clear();
        drain(FPosted.get());
        readNotices(messages);
        const bool ticked = drain(FTimer.get());

        const Handlers handlers = FHandlers;
        const std::shared_ptr<bool> alive = FAlive;
        for (const DeviceChangeMessage& message : messages) {
            if (!*alive)
                return;
            CallHandlerGuarded(handlers, [&] {
                if (handlers.DeviceChange)
                    handlers.DeviceChange(message);
            });
        }
        if (ticked && *alive)
            CallHandlerGuarded(handlers, [&] {
                if (handlers.Timer)
                    handlers.Timer();
            });
    }

    void PostDeviceChange(std::uint32_t eventType) override
    {
        FPostedMessages.push_back({ eventType, std::nullopt });
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FPosted.get(), &one, sizeof one);
    }

    void StartTimer(std::chrono::milliseconds interval) override
    {
        // A zero interval would disarm a timerfd; a window's timer ticks at once instead.
        const auto ms = std::max<std::int64_t>(interval.count(), 1);
        itimerspec due {};
        due.it_value.tv_sec = static_cast<time_t>(ms / 1000);
        due.it_value.tv_nsec = static_cast<long>(ms % 1000 * 1000000);
        due.it_interval = due.it_value;
        ::timerfd_settime(FTimer.get(), 0, &due, nullptr);
    }

    void StopTimer() override
    {
        const itimerspec off {};
        ::timerfd_settime(FTimer.get(), 0, &off, nullptr);
        drain(FTimer.get()); // a tick that waits already is gone with the timer
    }

    const std::string& Error() const override { return FError; }
    void* WindowHandle() const override { return nullptr; }

private:
    // Reads a counter descriptor (eventfd, timerfd); true when it had something.
    static bool drain(int fd)
    {
        if (fd < 0)
            return false;
        std::uint64_t count = 0;
        for (;;) {
            const ssize_t n = ::read(fd, &count, sizeof count);
            if (n < 0 && errno == EINTR)
                continue;
            return n == static_cast<ssize_t>(sizeof count) && count > 0;
        }
    }

    void readNotices(std::vector<DeviceChangeMessage>& out)
    {
        if (FSocket.get() < 0)
            return;
        bool lost = false;
        for (;;) {
            std::uint8_t buffer[8192];
            sockaddr_storage from {};
            iovec iov { buffer, sizeof buffer };
            msghdr msg {};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof from;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            const ssize_t n = ::recvmsg(FSocket.get(), &msg, MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == ENOBUFS) { // the kernel dropped notices: say that something changed
                    lost = true;
                    continue;
                }
                break; // EAGAIN: nothing more waits
            }
            if (n == 0 || (msg.msg_flags & MSG_TRUNC))
                continue;
            if (!FFromKernel || !FFromKernel(msg.msg_name, msg.msg_namelen))
                continue;
            const auto event = ParseUevent(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
            if (!event)
                continue;
            if (const auto message = HidDeviceChangeFromUevent(*event))
                out.push_back(*message);
        }
        if (lost)
            out.push_back({ kDbtDevNodesChanged, std::nullopt });
    }

    Fd FSocket;
    Fd FEpoll { ::epoll_create1(EPOLL_CLOEXEC) };
    Fd FPosted { ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) };
    Fd FTimer { ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC) };
    Handlers FHandlers;
    UeventSenderCheck FFromKernel;
    std::string FError;
    std::deque<DeviceChangeMessage> FPostedMessages;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

} // namespace

bool IsKernelUeventSender(const void* address, std::size_t length)
{
    if (!address || length < sizeof(sockaddr_nl))
        return false;
    sockaddr_nl nl {};
    std::memcpy(&nl, address, sizeof nl);
    return nl.nl_family == AF_NETLINK && nl.nl_pid == 0;
}

std::unique_ptr<DeviceNotificationWindow> OpenUeventNotificationWindow(
    int fd, DeviceNotificationWindow::Handlers handlers, UeventSenderCheck fromKernel)
{
    return std::make_unique<UeventNotificationWindow>(fd, std::move(handlers), std::move(fromKernel), std::string());
}

std::unique_ptr<DeviceNotificationWindow> OpenDeviceNotificationWindow(
    const std::string&, DeviceNotificationWindow::Handlers handlers)
{
    std::string error;
    int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (fd < 0) {
        error = systemError("cannot open the kernel's device notices");
    } else {
        sockaddr_nl address {};
        address.nl_family = AF_NETLINK;
        address.nl_groups = kKernelUeventGroup;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            error = systemError("cannot listen to the kernel's device notices");
            ::close(fd);
            fd = -1;
        }
    }
    return std::make_unique<UeventNotificationWindow>(fd, std::move(handlers), &IsKernelUeventSender, std::move(error));
}

} // namespace bv::platform
