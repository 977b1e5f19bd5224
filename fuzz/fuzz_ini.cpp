// Feeds arbitrary bytes to the INI reader and asks it the questions the program asks.
#include "platform/ini_file.h"
#include "util/utf16.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto ini = bv::platform::IniFile::parse(bytes);

    for (const char* section : { "OtherConfig", "HelpFiles", "", "a" }) {
        (void)ini.hasSection(section);
        ini.intValue(section, "NoLogo", -1);
        ini.valueOr(section, "0409", "fallback");
        for (const auto& [key, value] : ini.section(section)) {
            // Every listed key must be found again, with the value listed for it.
            if (ini.value(section, key) != value)
                std::abort();
        }
    }

    // Converting to UTF-16 and back must reach a fixed point after one round.
    const std::string once = bv::util::utf16ToUtf8(bv::util::utf8ToUtf16(bytes));
    if (bv::util::utf16ToUtf8(bv::util::utf8ToUtf16(once)) != once)
        std::abort();
    return 0;
}
