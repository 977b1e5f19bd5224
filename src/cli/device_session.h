#pragma once
// The device link of one bvctl run: the backend chosen by --device / BV_VIRTUAL_MOUSE, the optional
// --trace of every feature report, and the HID component with config.ini's identifier list.

#include "commands.h"

#include "device/device_selection.h"
#include "device/hid_trace.h"
#include "device/uiHIDData.h"
#include "platform/folders.h"
#include "util/utf8_path.h"

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace bv::cli {

struct DeviceSession {
    DeviceLink link;
    std::unique_ptr<TuiHIDData> hid;

    /// A sentence for a failed request.
    std::string describe(std::uint32_t code) const
    {
        std::string text = code == kHidErrorNoDevice
            ? "no mouse found (no accepted HID interface with usage page 0xFFA0, usage 1 and feature reports "
              "large enough)"
            : link.backend->describeError(code);
        if (link.virtualMouse && !link.virtualMouse->lastProblem().empty())
            text += "; " + link.virtualMouse->lastProblem();
        return text;
    }
};

/// Throws BadInput for an unknown --device, a damaged virtual mouse state file or a trace file that
/// cannot be opened.
inline DeviceSession OpenDeviceSession(const GlobalOptions& global)
{
    DeviceSession s;
    try {
        s.link = OpenDeviceLink(ParseDeviceSelection(global.device));
    } catch (const std::invalid_argument& e) {
        throw BadInput(e.what());
    } catch (const VirtualMouseStateError& e) {
        throw BadInput(e.what());
    }
    if (!global.trace.empty()) {
        auto out = std::make_shared<std::ofstream>(util::PathFromUtf8(global.trace), std::ios::app | std::ios::binary);
        if (!*out)
            throw BadInput("the trace file \"" + global.trace + "\" cannot be opened for appending");
        s.link.backend = TraceFeatureReports(s.link.backend, [out](const std::string& line) {
            *out << line << '\n';
            out->flush();
        });
    }
    // The profile manager sets this at start-up in the window; bvctl talks to the device directly.
    MouseUsageAndPage = kMouseVendorCollection;
    s.hid = std::make_unique<TuiHIDData>(s.link.backend, TuiHIDData::LoadHidDeviceList(platform::programFolder()));
    return s;
}

} // namespace bv::cli
