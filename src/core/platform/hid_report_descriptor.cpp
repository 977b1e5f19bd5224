#include "platform/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>

namespace bv {

namespace {

// Bounds that keep a hostile descriptor from costing more than a real one ever needs.
constexpr std::size_t kMaxGlobalStack = 16;
constexpr int kMaxCollectionDepth = 64;
constexpr std::uint32_t kMaxReportSize = 256; // bits per field element
constexpr std::uint32_t kMaxReportCount = 65535; // elements per main item
constexpr std::size_t kMaxUsagesPerItem = 1024;
constexpr std::size_t kMaxButtonFields = 1024;

enum class Kind { Input = 0, Output = 1, Feature = 2 };

struct Globals {
    std::uint16_t usagePage = 0;
    std::int64_t logicalMin = 0;
    std::int64_t logicalMax = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// A usage as written: page from the item itself (4-byte form) or from the global page at use.
struct LocalUsage {
    std::uint32_t value;
    bool extended;
};

struct Locals {
    std::vector<std::pair<LocalUsage, LocalUsage>> usages; // single usages have first == second
    std::optional<LocalUsage> pendingMin;

    void clear()
    {
        usages.clear();
        pendingMin.reset();
    }
};

std::uint32_t resolve(LocalUsage u, std::uint16_t page)
{
    return u.extended ? u.value : (static_cast<std::uint32_t>(page) << 16) | (u.value & 0xFFFFu);
}

struct Collection {
    HidTopCollection info;
    std::map<std::uint32_t, std::uint64_t> bits; // (kind << 8 | report ID) -> bits so far
};

std::uint64_t saturatingMul(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > UINT64_MAX / a)
        return UINT64_MAX;
    return a * b;
}

std::uint16_t byteLength(std::uint64_t bits)
{
    // The report-ID byte is counted whether or not the device numbers its reports.
    const std::uint64_t bytes = bits / 8 + (bits % 8 != 0) + 1;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(bytes, 0xFFFF));
}

std::string at(std::size_t offset, const std::string& what)
{
    return "byte " + std::to_string(offset) + ": " + what;
}

} // namespace

std::uint32_t HidButtonField::usageAt(std::uint64_t index, bool repeatLast) const
{
    for (const auto& r : usages) {
        const std::uint64_t span = r.max >= r.min ? std::uint64_t { r.max } - r.min + 1 : 1;
        if (index < span)
            return r.min + static_cast<std::uint32_t>(index);
        index -= span;
    }
    if (repeatLast && !usages.empty())
        return usages.back().max >= usages.back().min ? usages.back().max : usages.back().min;
    return 0;
}

HidDescriptorParse ParseHidReportDescriptor(std::span<const std::uint8_t> bytes)
{
    HidDescriptorParse out;
    Globals g;
    std::vector<Globals> stack;
    Locals locals;
    std::vector<Collection> tops;
    int depth = 0;
    bool usesIds = false;

    auto fail = [&out](std::size_t offset, const std::string& what) {
        out.ok = false;
        out.error = at(offset, what);
        return out;
    };

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t itemStart = pos;
        const std::uint8_t prefix = bytes[pos++];
        if (prefix == 0xFE) { // long item: size byte, tag byte, data; carries nothing we use
            if (bytes.size() - pos < 2)
                return fail(itemStart, "long item is cut off");
            const std::size_t size = bytes[pos];
            pos += 2;
            if (bytes.size() - pos < size)
                return fail(itemStart, "long item is cut off");
            pos += size;
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (bytes.size() - pos < size)
            return fail(itemStart, "item is cut off");
        std::uint32_t u = 0;
        for (std::size_t i = 0; i < size; ++i)
            u |= static_cast<std::uint32_t>(bytes[pos + i]) << (8 * i);
        std::int64_t s = u;
        if (size > 0 && (u >> (8 * size - 1)) & 1)
            s = static_cast<std::int64_t>(u) - (std::int64_t { 1 } << (8 * size));
        pos += size;

        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        if (type == 0) { // main
            switch (tag) {
            case 0x8: // Input
            case 0x9: // Output
            case 0xB: { // Feature
                const Kind kind = tag == 0x8 ? Kind::Input : tag == 0x9 ? Kind::Output : Kind::Feature;
                if (depth > 0 && !tops.empty()) {
                    Collection& c = tops.back();
                    const std::uint32_t key = static_cast<std::uint32_t>(kind) << 8 | g.reportId;
                    std::uint64_t& bits = c.bits[key];
                    const std::uint64_t offset = bits;
                    bits = std::min<std::uint64_t>(
                        bits + saturatingMul(g.reportSize, g.reportCount), std::uint64_t { 1 } << 40);
                    const bool constant = u & 1;
                    const bool variable = u & 2;
                    if (kind == Kind::Input && !constant && g.reportCount > 0 && (!variable || g.reportSize == 1)
                        && offset <= UINT32_MAX && c.info.inputButtons.size() < kMaxButtonFields) {
                        HidButtonField f;
                        f.reportId = g.reportId;
                        f.bitOffset = static_cast<std::uint32_t>(offset);
                        f.bitSize = g.reportSize;
                        f.count = g.reportCount;
                        f.isArray = !variable;
                        f.logicalMin = g.logicalMin;
                        f.logicalMax = g.logicalMax;
                        for (const auto& [lo, hi] : locals.usages)
                            f.usages.push_back({ resolve(lo, g.usagePage), resolve(hi, g.usagePage) });
                        c.info.inputButtons.push_back(std::move(f));
                    }
                }
                break;
            }
            case 0xA: // Collection
                if (depth == kMaxCollectionDepth)
                    return fail(itemStart, "collections nested too deeply");
                if (depth == 0) {
                    Collection c;
                    if (!locals.usages.empty()) {
                        const std::uint32_t usage = resolve(locals.usages.front().first, g.usagePage);
                        c.info.caps.UsagePage = static_cast<std::uint16_t>(usage >> 16);
                        c.info.caps.Usage = static_cast<std::uint16_t>(usage);
                    } else {
                        c.info.caps.UsagePage = g.usagePage;
                    }
                    tops.push_back(std::move(c));
                }
                ++depth;
                break;
            case 0xC: // End Collection
                if (depth == 0)
                    return fail(itemStart, "End Collection without a Collection");
                --depth;
                break;
            default:
                break;
            }
            locals.clear();
        } else if (type == 1) { // global
            switch (tag) {
            case 0x0:
                g.usagePage = static_cast<std::uint16_t>(u);
                break;
            case 0x1:
                g.logicalMin = s;
                break;
            case 0x2:
                g.logicalMax = s;
                break;
            case 0x7:
                if (u > kMaxReportSize)
                    return fail(itemStart, "Report Size " + std::to_string(u) + " is too large");
                g.reportSize = u;
                break;
            case 0x8:
                if (u == 0 || u > 255)
                    return fail(itemStart, "Report ID " + std::to_string(u) + " is out of range");
                g.reportId = static_cast<std::uint8_t>(u);
                usesIds = true;
                break;
            case 0x9:
                if (u > kMaxReportCount)
                    return fail(itemStart, "Report Count " + std::to_string(u) + " is too large");
                g.reportCount = u;
                break;
            case 0xA:
                if (stack.size() == kMaxGlobalStack)
                    return fail(itemStart, "Push nested too deeply");
                stack.push_back(g);
                break;
            case 0xB:
                if (stack.empty())
                    return fail(itemStart, "Pop without Push");
                g = stack.back();
                stack.pop_back();
                break;
            default:
                break;
            }
        } else if (type == 2) { // local
            const LocalUsage lu { u, size == 4 };
            switch (tag) {
            case 0x0:
                if (locals.usages.size() < kMaxUsagesPerItem)
                    locals.usages.push_back({ lu, lu });
                break;
            case 0x1:
                locals.pendingMin = lu;
                break;
            case 0x2:
                if (locals.pendingMin && locals.usages.size() < kMaxUsagesPerItem)
                    locals.usages.push_back({ *locals.pendingMin, lu });
                locals.pendingMin.reset();
                break;
            default:
                break;
            }
        }
    }
    if (depth != 0)
        return fail(bytes.size(), "a Collection is not closed");

    // A logical maximum written as a negative byte with a non-negative minimum means the unsigned value.
    out.descriptor.usesReportIds = usesIds;
    for (auto& c : tops) {
        for (auto& f : c.info.inputButtons)
            if (f.logicalMin >= 0 && f.logicalMax < 0)
                f.logicalMax += std::int64_t { 1 } << 32;
        for (const auto& [key, bits] : c.bits) {
            const std::uint16_t len = byteLength(bits);
            switch (static_cast<Kind>(key >> 8)) {
            case Kind::Input:
                c.info.caps.InputReportByteLength = std::max(c.info.caps.InputReportByteLength, len);
                break;
            case Kind::Output:
                c.info.caps.OutputReportByteLength = std::max(c.info.caps.OutputReportByteLength, len);
                break;
            case Kind::Feature:
                c.info.caps.FeatureReportByteLength = std::max(c.info.caps.FeatureReportByteLength, len);
                break;
            }
        }
        out.descriptor.collections.push_back(std::move(c.info));
    }
    out.ok = true;
    return out;
}

std::size_t MaxInputUsageListLength(const HidTopCollection& collection)
{
    std::size_t n = 0;
    for (const auto& f : collection.inputButtons)
        n += f.count;
    return n;
}

std::vector<USAGE_AND_PAGE> InputUsagesOn(
    const HidTopCollection& collection, std::span<const std::uint8_t> report, std::size_t limit)
{
    std::vector<USAGE_AND_PAGE> on;
    if (report.empty())
        return on;
    const auto data = report.subspan(1);
    const std::uint64_t availableBits = std::uint64_t { data.size() } * 8;
    for (const auto& f : collection.inputButtons) {
        if (f.reportId != report[0] || f.bitSize == 0 || f.bitSize > 32)
            continue;
        for (std::uint32_t i = 0; i < f.count && on.size() < limit; ++i) {
            const std::uint64_t first = std::uint64_t { f.bitOffset } + std::uint64_t { i } * f.bitSize;
            if (first + f.bitSize > availableBits)
                break;
            std::uint64_t v = 0;
            for (std::uint32_t b = 0; b < f.bitSize; ++b) {
                const std::uint64_t bit = first + b;
                v |= static_cast<std::uint64_t>((data[bit / 8] >> (bit % 8)) & 1) << b;
            }
            std::uint32_t usage = 0;
            if (!f.isArray) {
                if (v != 0)
                    usage = f.usageAt(i, true);
            } else {
                std::int64_t value = static_cast<std::int64_t>(v);
                if (f.logicalMin < 0 && f.bitSize < 64 && (v >> (f.bitSize - 1)) & 1)
                    value -= std::int64_t { 1 } << f.bitSize;
                if (value >= f.logicalMin && value <= f.logicalMax)
                    usage = f.usageAt(static_cast<std::uint64_t>(value - f.logicalMin), false);
            }
            if ((usage & 0xFFFF) != 0)
                on.push_back({ static_cast<std::uint16_t>(usage), static_cast<std::uint16_t>(usage >> 16) });
        }
    }
    return on;
}

} // namespace bv
