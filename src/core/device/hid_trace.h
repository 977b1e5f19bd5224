#pragma once
// A backend wrapper that reports every feature report as one line of text:
// "SET <hex of the whole report, ID first>" before it is sent, "GET <hex>" when one is received.

#include "platform/hid_backend.h"

#include <functional>
#include <memory>
#include <string>

namespace bv {

using HidTraceSink = std::function<void(const std::string& line)>;

std::shared_ptr<HidBackend> TraceFeatureReports(std::shared_ptr<HidBackend> inner, HidTraceSink sink);

/// Lowercase hex without separators.
std::string HexString(std::span<const std::uint8_t> bytes);

} // namespace bv
