// Feeds arbitrary bytes to the virtual mouse's state-file reader: every accepted file must encode
// back to exactly the same bytes.
#include "device/virtual_mouse.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    std::string why;
    const auto state = bv::DecodeVirtualMouseState(bytes, why);
    if (!state) {
        if (why.empty())
            std::abort();
        return 0;
    }
    const auto again = bv::EncodeVirtualMouseState(*state);
    if (again.size() != size || !std::equal(again.begin(), again.end(), bytes.begin()))
        std::abort();
    return 0;
}
