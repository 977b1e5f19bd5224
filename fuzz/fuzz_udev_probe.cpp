// The udev probe runs as root on every hidraw event: any descriptor bytes must be safe, through the
// same file path the probe reads.
#include "device/udev_rule.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Removed again when the process ends normally (a corpus replay, or libFuzzer's end).
struct WorkFolder {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("bvfuzz-probe-" + std::to_string(::getpid()));
    WorkFolder() { std::filesystem::create_directories(dir / "hidraw0" / "device"); }
    ~WorkFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

const std::filesystem::path& node()
{
    static const WorkFolder folder;
    static const std::filesystem::path hidraw = folder.dir / "hidraw0";
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
    const bool mouse = size <= 4096 && bv::DeclaresMouseCollection({data, size});
    if (printed != (mouse ? std::string("BVCONFIG_MOUSE=1\n") : std::string()))
        std::abort();
    return 0;
}
