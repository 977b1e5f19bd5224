// Report-descriptor parsing and the Windows-form hardware identifiers.
#include "device/virtual_mouse.h"
#include "device_fakes.h"
#include "platform/hid_hardware_ids.h"
#include "platform/hid_report_descriptor.h"

#include <gtest/gtest.h>

using namespace bv;

namespace {

using Bytes = std::vector<std::uint8_t>;

HidReportDescriptor parseOk(const Bytes& bytes)
{
    const auto r = ParseHidReportDescriptor(bytes);
    EXPECT_TRUE(r.ok) << r.error;
    return r.descriptor;
}

} // namespace

TEST(HidReportDescriptor, ReadsTheVirtualMouseAsTwoCollections)
{
    const auto d = parseOk(VirtualMouse().reportDescriptor());
    EXPECT_TRUE(d.usesReportIds);
    ASSERT_EQ(d.collections.size(), 2u);
    const HidCaps vendor = d.collections[0].caps;
    EXPECT_EQ(vendor.UsagePage, 0xFFA0);
    EXPECT_EQ(vendor.Usage, 1);
    EXPECT_EQ(vendor.FeatureReportByteLength, 4096);
    EXPECT_EQ(vendor.InputReportByteLength, 0);
    EXPECT_EQ(vendor.OutputReportByteLength, 0);
    const HidCaps mouse = d.collections[1].caps;
    EXPECT_EQ(mouse.UsagePage, 1);
    EXPECT_EQ(mouse.Usage, 2);
    EXPECT_EQ(mouse.InputReportByteLength, 5); // ID, buttons + padding, X, Y, wheel
    EXPECT_EQ(mouse.FeatureReportByteLength, 0);

    // The declared length follows the fault setting, so a short mouse can be made.
    VirtualMouse small;
    small.setFaults({ 0, 0, 64 });
    EXPECT_EQ(parseOk(small.reportDescriptor()).collections[0].caps.FeatureReportByteLength, 64);
}

TEST(HidReportDescriptor, ReportLengthsCountTheIdByteAndTakeTheLargestReport)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint16_t input, output, feature;
    };
    const Case cases[] = {
        // No report IDs: Windows still counts one byte for the ID 0.
        { "unnumbered keyboard", test::keyboardDescriptor(), 9, 2, 0 },
        // 3 bits round up to a whole byte.
        { "odd bits", { 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0xC0 }, 2, 0, 0 },
        // Report 1 holds 2 bytes, report 2 holds 10: the collection's length is the larger plus the ID.
        { "largest of two IDs",
            { 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x85, 0x01, 0x95, 0x02, 0xB1, 0x02, 0x85, 0x02,
                0x95, 0x0A, 0xB1, 0x02, 0xC0 },
            0, 0, 11 },
        // Fields of one ID add up, also inside nested collections.
        { "nested fields add up",
            { 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x04, 0x91, 0x02, 0xA1, 0x02, 0x95, 0x03,
                0x91, 0x02, 0xC0, 0xC0 },
            0, 8, 0 },
        // Push/Pop restore Report Size: 1 bit × 8 after the pop, not 16 bits × 8.
        { "push and pop",
            { 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x01, 0xA4, 0x75, 0x10, 0xB4, 0x95, 0x08, 0x81, 0x02,
                0xC0 },
            2, 0, 0 },
        // A long item carries nothing and is stepped over.
        { "long item",
            { 0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x02, 0x81,
                0x02, 0xC0 },
            3, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = parseOk(c.bytes);
        ASSERT_EQ(d.collections.size(), 1u);
        EXPECT_EQ(d.collections[0].caps.InputReportByteLength, c.input);
        EXPECT_EQ(d.collections[0].caps.OutputReportByteLength, c.output);
        EXPECT_EQ(d.collections[0].caps.FeatureReportByteLength, c.feature);
    }
}

TEST(HidReportDescriptor, TakesTheCollectionUsageFromAFourByteUsage)
{
    // Usage Page 1 is in effect, but the 4-byte usage names page 0xFFA0 itself.
    const auto d = parseOk({ 0x05, 0x01, 0x0B, 0x01, 0x00, 0xA0, 0xFF, 0xA1, 0x01, 0xC0 });
    ASSERT_EQ(d.collections.size(), 1u);
    EXPECT_EQ(d.collections[0].caps.UsagePage, 0xFFA0);
    EXPECT_EQ(d.collections[0].caps.Usage, 1);
}

TEST(HidReportDescriptor, RefusesMalformedDescriptorsWithTheOffset)
{
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    };
    const Case cases[] = {
        { "cut-off item", { 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x26, 0xFF }, "byte 6: item is cut off" },
        { "cut-off long item", { 0xFE, 0x05, 0x10, 0x01 }, "byte 0: long item is cut off" },
        { "end without collection", { 0x05, 0x01, 0xC0 }, "byte 2: End Collection without a Collection" },
        { "collection left open", { 0x05, 0x01, 0x09, 0x02, 0xA1, 0x01 }, "byte 6: a Collection is not closed" },
        { "report ID 0", { 0x85, 0x00 }, "Report ID 0 is out of range" },
        { "pop without push", { 0xB4 }, "byte 0: Pop without Push" },
        { "huge report size", { 0x77, 0x00, 0x00, 0x01, 0x00 }, "Report Size 65536 is too large" },
        { "huge report count", { 0x97, 0x00, 0x00, 0x01, 0x00 }, "Report Count 65536 is too large" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = ParseHidReportDescriptor(c.bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
    Bytes deep;
    for (int i = 0; i < 65; ++i)
        deep.insert(deep.end(), { 0xA1, 0x00 });
    EXPECT_FALSE(ParseHidReportDescriptor(deep).ok);
    Bytes pushes(17, 0xA4);
    EXPECT_FALSE(ParseHidReportDescriptor(pushes).ok);
}

TEST(HidReportDescriptor, FindsTheButtonsThatAreOn)
{
    const auto mouse = parseOk(VirtualMouse().reportDescriptor()).collections[1];
    EXPECT_EQ(MaxInputUsageListLength(mouse), 5u);
    auto usages = [](const std::vector<USAGE_AND_PAGE>& list) {
        std::vector<std::pair<int, int>> out;
        for (const auto& u : list)
            out.emplace_back(u.UsagePage, u.Usage);
        return out;
    };
    using P = std::vector<std::pair<int, int>>;
    // Buttons 1 and 3; X/Y/wheel are values, not buttons.
    EXPECT_EQ(usages(InputUsagesOn(mouse, Bytes { 1, 0x05, 0x7F, 0x01, 0xFF }, 100)), (P { { 9, 1 }, { 9, 3 } }));
    EXPECT_EQ(usages(InputUsagesOn(mouse, Bytes { 1, 0x1F, 0, 0, 0 }, 2)), (P { { 9, 1 }, { 9, 2 } }));
    EXPECT_TRUE(InputUsagesOn(mouse, Bytes { 2, 0x1F, 0, 0, 0 }, 100).empty()); // another report's ID
    EXPECT_TRUE(InputUsagesOn(mouse, Bytes { 1 }, 100).empty()); // cut-off report

    const auto keyboard = parseOk(test::keyboardDescriptor()).collections[0];
    EXPECT_EQ(MaxInputUsageListLength(keyboard), 14u); // 8 modifier bits + 6 array slots
    // Left Ctrl (0xE0) and the keys A (4) and Z (0x1D); 0 and out-of-range 0x70 are no key.
    EXPECT_EQ(usages(InputUsagesOn(keyboard, Bytes { 0, 0x01, 0, 0x04, 0x1D, 0x00, 0x70, 0, 0 }, 100)),
        (P { { 7, 0xE0 }, { 7, 4 }, { 7, 0x1D } }));
}

TEST(HidHardwareIds, FollowTheWindowsForm)
{
    struct Case {
        HidHardwareIdSource source;
        std::vector<std::string> ids;
    };
    const Case cases[] = {
        { { 0xB5A0, 0x0C0F, 0x0100, std::nullopt, std::nullopt, 0xFFA0, 1 },
            { "HID\\VID_B5A0&PID_0C0F&REV_0100", "HID\\VID_B5A0&PID_0C0F", "HID\\VID_B5A0&UP:FFA0_U:0001",
                "HID_DEVICE_UP:FFA0_U:0001", "HID_DEVICE" } },
        { { 0x046D, 0xC07E, 0x8002, 1, 2, 1, 2 },
            { "HID\\VID_046D&PID_C07E&REV_8002&MI_01&Col02", "HID\\VID_046D&PID_C07E&MI_01&Col02",
                "HID\\VID_046D&UP:0001_U:0002", "HID_DEVICE_UP:0001_U:0002", "HID_DEVICE" } },
        { { 0x1, 0x2, std::nullopt, std::nullopt, 1, 0xC, 1 },
            { "HID\\VID_0001&PID_0002&Col01", "HID\\VID_0001&UP:000C_U:0001", "HID_DEVICE_UP:000C_U:0001",
                "HID_DEVICE" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsHidHardwareIds(c.source), c.ids);
}
