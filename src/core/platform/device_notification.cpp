#include "platform/device_notification.h"

#include "util/hex.h"

#include <exception>

namespace bv::platform {

std::optional<GuidBytes> ParseGuidString(std::string_view text)
{
    // {4d1e55b2-f16f-11cf-88cb-001111000030}: groups of 8, 4, 4, 4 and 12 hex digits.
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    std::array<std::uint8_t, 16> digits {}; // the 16 bytes in written order
    std::size_t byte = 0;
    for (std::size_t i = 1; i + 1 < text.size();) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int hi = util::hexDigitValue(text[i]);
        const int lo = util::hexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0 || byte >= digits.size())
            return std::nullopt;
        digits[byte++] = static_cast<std::uint8_t>(hi << 4 | lo);
        i += 2;
    }
    if (byte != digits.size())
        return std::nullopt;
    // Data1, Data2 and Data3 are little-endian in memory; Data4 is bytes as written.
    return GuidBytes { digits[3], digits[2], digits[1], digits[0], digits[5], digits[4], digits[7], digits[6],
        digits[8], digits[9], digits[10], digits[11], digits[12], digits[13], digits[14], digits[15] };
}

void CallHandlerGuarded(const DeviceNotificationWindow::Handlers& handlers, const std::function<void()>& call)
{
    std::string failure;
    try {
        call();
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown exception";
    }
    try {
        if (handlers.HandlerFailed)
            handlers.HandlerFailed(failure);
    } catch (...) {
        // The report of a failure must not escape either.
    }
}

} // namespace bv::platform
