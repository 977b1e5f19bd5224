#include "platform/hid_hardware_ids.h"

#include <cstdio>

namespace bv {

namespace {

std::string hex(unsigned value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

} // namespace

std::vector<std::string> WindowsHidHardwareIds(const HidHardwareIdSource& s)
{
    const std::string base = "HID\\VID_" + hex(s.vendor, 4) + "&PID_" + hex(s.product, 4);
    std::string suffix;
    if (s.interfaceNumber)
        suffix += "&MI_" + hex(*s.interfaceNumber, 2);
    if (s.collectionNumber)
        suffix += "&Col" + hex(*s.collectionNumber, 2);
    const std::string up = "UP:" + hex(s.usagePage, 4) + "_U:" + hex(s.usage, 4);

    std::vector<std::string> ids;
    if (s.revision)
        ids.push_back(base + "&REV_" + hex(*s.revision, 4) + suffix);
    ids.push_back(base + suffix);
    ids.push_back("HID\\VID_" + hex(s.vendor, 4) + "&" + up);
    ids.push_back("HID_DEVICE_" + up);
    ids.push_back("HID_DEVICE");
    return ids;
}

} // namespace bv
