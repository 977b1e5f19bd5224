#pragma once
// Reading a HID report descriptor the way Windows presents a device: one entry per top-level
// collection, with its usage, its largest input, output and feature report, and its button fields.

#include "platform/hid_backend.h"
#include "platform/usage_and_page.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace bv {

/// An input field that reports buttons: 1-bit variables or an array of usage indices.
struct HidButtonField {
    std::uint8_t reportId = 0;
    std::uint32_t bitOffset = 0; // from the first byte after the report ID
    std::uint32_t bitSize = 0;
    std::uint32_t count = 0;
    bool isArray = false;
    std::int64_t logicalMin = 0;
    std::int64_t logicalMax = 0;
    struct Range {
        std::uint32_t min, max; // page << 16 | usage; a single usage has min == max
    };
    std::vector<Range> usages; // in item order

    /// The usage of element `index`; past the end, the last usage when `repeatLast`, else 0.
    [[nodiscard]] std::uint32_t usageAt(std::uint64_t index, bool repeatLast) const;
};

struct HidTopCollection {
    HidCaps caps;
    std::vector<HidButtonField> inputButtons;
};

struct HidReportDescriptor {
    std::vector<HidTopCollection> collections;
    bool usesReportIds = false;
};

struct HidDescriptorParse {
    bool ok = false;
    HidReportDescriptor descriptor; // valid when ok
    std::string error; // why not, with the byte offset
};

/// Parses a report descriptor. Never throws; a malformed descriptor gives ok = false.
HidDescriptorParse ParseHidReportDescriptor(std::span<const std::uint8_t> bytes);

/// The largest number of button usages one input report of the collection can carry.
std::size_t MaxInputUsageListLength(const HidTopCollection& collection);

/// The button usages that are on in an input report (report ID first; 0 for unnumbered devices),
/// in field order, at most `limit` of them.
std::vector<USAGE_AND_PAGE> InputUsagesOn(
    const HidTopCollection& collection, std::span<const std::uint8_t> report, std::size_t limit);

} // namespace bv
