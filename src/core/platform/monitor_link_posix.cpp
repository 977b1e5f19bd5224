#include "platform/monitor_link.h"

#include "platform/runtime_dir.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

namespace bv::platform {

namespace {

struct Fd {
    int fd = -1;
    explicit Fd(int f = -1)
        : fd(f)
    {
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The socket address of a window class; false when it cannot have one.
bool socketAddress(const std::string& windowClass, sockaddr_un& address, std::string* error = nullptr)
{
    if (!runtime::isPlainFileName(windowClass)) {
        if (error)
            *error = "invalid window class \"" + windowClass + "\"";
        return false;
    }
    const auto folder = runtime::runtimeFolder(error);
    if (!folder)
        return false;
    const std::string path = (*folder / windowClass).string();
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        if (error)
            *error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A datagram socket connected to the window's socket; -1 when no one receives there.
int connectTo(const std::string& windowClass)
{
    sockaddr_un address {};
    if (!socketAddress(windowClass, address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

class PosixMonitorLink final : public MonitorLink {
public:
    bool WindowExists(const std::string& windowClass) override
    {
        Fd fd(connectTo(windowClass));
        return fd.fd >= 0;
    }

    bool Send(const std::string& windowClass, const WindowMessage& message) override
    {
        Fd fd(connectTo(windowClass));
        if (fd.fd < 0)
            return false;
        const auto wire = EncodeWindowMessage(message);
        // A receiver whose queue is full gets a little time, never an unbounded wait.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const ssize_t sent = ::send(fd.fd, wire.data(), wire.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            if (sent == static_cast<ssize_t>(wire.size()))
                return true;
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd p { fd.fd, POLLOUT, 0 };
                if (::poll(&p, 1, 2000) > 0)
                    continue;
            }
            return false;
        }
        return false;
    }

    bool BringToFront(const std::string& windowClass) override { return WindowExists(windowClass); }
};

} // namespace

std::unique_ptr<MonitorLink> OpenSystemMonitorLink()
{
    return std::make_unique<PosixMonitorLink>();
}

struct MessageEndpoint::Impl {
    Handler handler;
    int fd = -1;
    std::string path;
    ino_t inode = 0;
    std::string error;
};

MessageEndpoint::MessageEndpoint(const std::string& windowClass, Handler handler)
    : FImpl(std::make_unique<Impl>())
{
    FImpl->handler = std::move(handler);
    sockaddr_un address {};
    if (!socketAddress(windowClass, address, &FImpl->error))
        return;
    const std::string path = address.sun_path;

    // A socket file that no one reads any more is left over from a process that ended.
    {
        Fd probe(connectTo(windowClass));
        if (probe.fd >= 0) {
            FImpl->error = "another program already receives messages for " + windowClass;
            return;
        }
    }
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            FImpl->error = path + " exists and is not a socket";
            return;
        }
        ::unlink(path.c_str());
    }

    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        FImpl->error = std::string("cannot create a socket: ") + std::strerror(errno);
        return;
    }
    const mode_t oldMask = ::umask(077);
    const int rc = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int err = errno;
    ::umask(oldMask);
    if (rc != 0) {
        ::close(fd);
        FImpl->error = "cannot bind " + path + ": " + std::strerror(err);
        return;
    }
    if (::lstat(path.c_str(), &st) == 0)
        FImpl->inode = st.st_ino;
    FImpl->fd = fd;
    FImpl->path = path;
}

MessageEndpoint::~MessageEndpoint()
{
    if (FImpl->fd < 0)
        return;
    ::close(FImpl->fd);
    // Remove the socket file only while it is still ours.
    struct stat st { };
    if (::lstat(FImpl->path.c_str(), &st) == 0 && st.st_ino == FImpl->inode)
        ::unlink(FImpl->path.c_str());
}

bool MessageEndpoint::IsOpen() const
{
    return FImpl->fd >= 0;
}

const std::string& MessageEndpoint::Error() const
{
    return FImpl->error;
}

int MessageEndpoint::WaitHandle() const
{
    return FImpl->fd;
}

void MessageEndpoint::Dispatch()
{
    if (FImpl->fd < 0)
        return;
    // Read everything first: a handler may end the endpoint's owner.
    std::vector<WindowMessage> messages;
    for (;;) {
        std::uint8_t buffer[kWindowMessageWireSize + 1];
        const ssize_t n = ::recv(FImpl->fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break; // EAGAIN: nothing more waits
        }
        if (auto message = DecodeWindowMessage(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n))))
            messages.push_back(*message);
    }
    const Handler handler = FImpl->handler;
    for (const auto& message : messages)
        if (handler)
            handler(message);
}

} // namespace bv::platform
