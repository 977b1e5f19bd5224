// Encodes arbitrary profile images for the mouse: nothing may crash, and no write may leave its block.
#include "device/config_image.h"
#include "device/macro_encoding.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace bv;
    auto profile = std::make_unique<TMOUSEPROFILEINFO>();
    std::memset(static_cast<void*>(profile.get()), 0, sizeof(TMOUSEPROFILEINFO));
    // Short inputs land on the fields that steer the encoder: buttons, CPI, light, macro list.
    if (size <= 4096) {
        const std::size_t regions[] = { offsetof(TMOUSEPROFILEINFO, ConfigInfo),
            offsetof(TMOUSEPROFILEINFO, ConfigInfo) + offsetof(TMOUSECONFIGINFO, CPIState),
            offsetof(TMOUSEPROFILEINFO, MacroKeyInfoList) };
        std::size_t at = 0;
        for (std::size_t r : regions) {
            const std::size_t n = std::min(size - at, std::size_t { 1365 });
            if (n == 0)
                break;
            std::memcpy(reinterpret_cast<std::uint8_t*>(profile.get()) + r, data + at, n);
            at += n;
        }
    } else {
        std::memcpy(static_cast<void*>(profile.get()), data, std::min(size, sizeof(TMOUSEPROFILEINFO)));
    }

    util::UserText error;
    const auto image = EncodeConfigurationImage(*profile, &error);
    if (!image)
        return 0;
    // Whatever the profile holds, the mouse only gets values it knows.
    if (image->CPI[0] < 1 || image->CPI[0] > 4 || image->CPI[1] >= image->CPI[0] || image->Light[3] > 3
        || image->Light[4] > 3)
        std::abort();
    for (int e = 0; e < 8; ++e) {
        const int code = image->Buttons[1 + 4 * e];
        if (!((code >= 1 && code <= 5) || (code >= 8 && code <= 19)))
            std::abort();
    }
    for (int set = 0; set < 2; ++set) {
        for (const auto& w : ConfigurationImageWrites(*image, set)) {
            const std::uint16_t base = static_cast<std::uint16_t>(w.Address - 0x900 * set);
            const bool macroSlot = base >= 209 && base < 209 + 5 * 384;
            const std::size_t limit = macroSlot ? 384 - (base - 209) % 384 : base == 144 ? 65 : base == 2177 ? 6 : 32;
            if (w.Data.size() > limit || (macroSlot && (base - 209) % 384 != 0))
                std::abort();
        }
    }
    for (int s = 0; s < 5; ++s)
        if (MacroAreaLength(image->Macros, s) > 384)
            std::abort();
    return 0;
}
