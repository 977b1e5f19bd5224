// Feeds arbitrary bytes to the report-descriptor parser, then reads buttons from reports built
// from the same bytes.
#include "platform/hid_report_descriptor.h"

#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto parsed = bv::ParseHidReportDescriptor(bytes);
    if (!parsed.ok) {
        if (parsed.error.empty())
            std::abort();
        return 0;
    }
    for (const auto& c : parsed.descriptor.collections) {
        const std::size_t max = bv::MaxInputUsageListLength(c);
        // Each report ID once: a field per ID would read the same report a thousand times.
        std::bitset<256> ids;
        for (const auto& f : c.inputButtons)
            ids.set(f.reportId);
        // Reports of every declared length (and one byte short), with each report ID the fields use.
        for (const std::size_t length : { std::size_t { c.caps.InputReportByteLength }, std::size_t { 1 }, size }) {
            std::vector<std::uint8_t> report(bytes.begin(), bytes.begin() + std::min(length, size));
            report.resize(length);
            for (std::size_t id = 0; id < ids.size() && !report.empty(); ++id) {
                if (!ids.test(id))
                    continue;
                report[0] = static_cast<std::uint8_t>(id);
                for (const std::size_t limit : { std::size_t { 0 }, std::size_t { 3 }, std::size_t { 100 } }) {
                    const auto on = bv::InputUsagesOn(c, report, limit);
                    if (on.size() > limit || on.size() > max)
                        std::abort();
                    for (const auto& u : on)
                        if (u.Usage == 0)
                            std::abort();
                }
            }
        }
    }
    return 0;
}
