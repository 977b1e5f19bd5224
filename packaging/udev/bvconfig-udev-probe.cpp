// Run by the udev rule for every hidraw node that appears or changes, as root: prints
// BVCONFIG_MOUSE=1 when the node's report descriptor (read from sysfs) declares the mouse's
// configuration collection. It never opens the device and always exits 0, so a node that is not
// the mouse simply gets no property.
#include "device/udev_rule.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 0;
    try {
        const std::string out = bv::UdevProbeOutput(argv[1]);
        std::fwrite(out.data(), 1, out.size(), stdout);
    } catch (const std::exception&) {
        // Whatever sysfs holds, the event goes on without the property.
    }
    return 0;
}
