#include "platform/monitor_link.h"

#include <cstring>

namespace bv::platform {

namespace {

void putLE(std::uint8_t* out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t getLE(const std::uint8_t* in, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return value;
}

} // namespace

std::array<std::uint8_t, kWindowMessageWireSize> EncodeWindowMessage(const WindowMessage& message)
{
    std::array<std::uint8_t, kWindowMessageWireSize> wire {};
    putLE(wire.data(), message.Msg, 4);
    putLE(wire.data() + 8, static_cast<std::uint64_t>(message.WParam), 8);
    putLE(wire.data() + 16, static_cast<std::uint64_t>(message.LParam), 8);
    return wire;
}

std::optional<WindowMessage> DecodeWindowMessage(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != kWindowMessageWireSize)
        return std::nullopt;
    WindowMessage message;
    message.Msg = static_cast<std::uint32_t>(getLE(bytes.data(), 4));
    message.WParam = static_cast<std::int64_t>(getLE(bytes.data() + 8, 8));
    message.LParam = static_cast<std::int64_t>(getLE(bytes.data() + 16, 8));
    return message;
}

} // namespace bv::platform
