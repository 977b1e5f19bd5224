#include "platform/hid_backend.h"

#include "platform/hid_devices.h"

namespace bv {

std::string HidBackend::describeError(std::uint32_t code) const
{
    // The codes this program gives its own meaning get its own words; the system's text of the
    // same number ("Broken pipe" for a stalled request) would mislead.
    switch (code) {
    case 0:
        return "success";
    case kHidErrorRejected:
        return "the mouse refused the request";
    case kHidErrorNoDevice:
        return "the mouse is not connected";
    case kHidErrorInvalidRequest:
        return "the request does not fit the mouse's reports";
    case kHidErrorIo:
        return "the transfer failed";
    default:
        return platform::hidErrorText(code);
    }
}

} // namespace bv
