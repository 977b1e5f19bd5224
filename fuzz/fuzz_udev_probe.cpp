// The udev probe runs as root on every hidraw event: any descriptor bytes must be safe, through the
// same file path the probe reads.
#include "device/udev_rule.h"
#include "work_folder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

const std::filesystem::path& node()
{
    static const std::filesystem::path hidraw = [] {
        const auto path = bvfuzz::workFolder("probe") / "hidraw0";
        std::filesystem::create_directories(path / "device");
        return path;
    }();
    return hidraw;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(node() / "device" / "report_descriptor", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string printed = bv::UdevProbeOutput(node());
    // The probe prints its one property or nothing, and agrees with the parser.
    const bool mouse = size <= 4096 && bv::DeclaresMouseCollection({ data, size });
    if (printed != (mouse ? std::string("BVCONFIG_MOUSE=1\n") : std::string()))
        std::abort();
    return 0;
}
