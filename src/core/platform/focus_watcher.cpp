#include "platform/focus_watcher.h"

#include <cstring>
#include <string_view>

namespace bv::platform {

std::optional<std::uint32_t> SingleCardinal(std::uint8_t format, std::span<const std::uint8_t> value)
{
    if (format != 32 || value.size() < 4)
        return std::nullopt;
    std::uint32_t v = 0;
    std::memcpy(&v, value.data(), 4); // X replies come in the client's byte order
    return v;
}

std::string ProgramFromExeLink(std::string link)
{
    constexpr std::string_view kDeleted = " (deleted)";
    if (link.size() > kDeleted.size() && link.compare(link.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        link.resize(link.size() - kDeleted.size());
    return link;
}

} // namespace bv::platform
