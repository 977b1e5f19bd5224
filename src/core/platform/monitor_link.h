#pragma once
// Messages between the configurator and the monitor program. Each program is found by the class
// name of its main window. Windows: window messages (FindWindowW, SendMessageW). POSIX: one
// datagram socket per window class in the runtime folder; a message is one datagram of
// kWindowMessageWireSize bytes (see EncodeWindowMessage). No socket, or no one reading it, means
// that no such window exists and nothing is sent.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace bv::platform {

inline constexpr std::uint32_t MSG_SETTINGS_CHANGED = 0x1B7B;
inline constexpr std::uint32_t MSG_CLOSE_CONFIG = 0x1B7C;
inline constexpr std::uint32_t MSG_LANGUAGE_CHANGED = 0x1B7D;
inline constexpr std::uint32_t MSG_RELOAD_PROFILE = 0x1B7E;

inline constexpr const char* kMonitorWindowClass = "TBrisvaneMonMain";
inline constexpr const char* kConfigWindowClass = "TBrisvaneCfgMain";

struct WindowMessage {
    std::uint32_t Msg = 0;
    std::int64_t WParam = 0;
    std::int64_t LParam = 0;

    bool operator==(const WindowMessage&) const = default;
};

/// POSIX wire form, little-endian: Msg (4 bytes), 4 zero bytes, WParam (8), LParam (8).
inline constexpr std::size_t kWindowMessageWireSize = 24;
std::array<std::uint8_t, kWindowMessageWireSize> EncodeWindowMessage(const WindowMessage& message);
/// nullopt for anything but exactly one message.
[[nodiscard]] std::optional<WindowMessage> DecodeWindowMessage(std::span<const std::uint8_t> bytes);

/// The sending side: reaches the window of another program.
class MonitorLink {
public:
    virtual ~MonitorLink() = default;
    /// True when a window of that class is there to receive messages.
    [[nodiscard]] virtual bool WindowExists(const std::string& windowClass) = 0;
    /// Delivers the message; false, with nothing sent, when there is no such window.
    /// Waits for a slow receiver a few seconds at most.
    [[nodiscard]] virtual bool Send(const std::string& windowClass, const WindowMessage& message) = 0;
    /// Brings that window to the foreground (POSIX: there is no window to raise; true when the
    /// program is there). False when there is no such window.
    [[nodiscard]] virtual bool BringToFront(const std::string& windowClass) = 0;
};

/// The link of this system.
std::unique_ptr<MonitorLink> OpenSystemMonitorLink();

/// The receiving side: messages sent to a window class of this program.
class MessageEndpoint {
public:
    using Handler = std::function<void(const WindowMessage&)>;

    /// Starts receiving for `windowClass`. Check IsOpen(); Error() says why it could not start.
    /// POSIX: a stale socket left by an ended process is replaced; one still in use is not.
    MessageEndpoint(const std::string& windowClass, Handler handler);
    ~MessageEndpoint();
    MessageEndpoint(const MessageEndpoint&) = delete;
    MessageEndpoint& operator=(const MessageEndpoint&) = delete;

    [[nodiscard]] bool IsOpen() const;
    const std::string& Error() const;
    /// POSIX: a descriptor that turns readable when messages wait; call Dispatch() then.
    /// -1 on Windows, where the thread's message loop hands messages to the handler by itself.
    int WaitHandle() const;
    /// Hands every waiting message to the handler; malformed datagrams are dropped.
    void Dispatch();

private:
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

} // namespace bv::platform
