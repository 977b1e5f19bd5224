#ifndef _WIN32 // hidraw is the Linux interface
// The hidraw backend on a fake sysfs and /dev tree whose nodes answer through virtual devices.
#include "device/Function_Solmarchs.h"
#include "device/uiHIDData.h"
#include "device/virtual_mouse.h"
#include "device_fakes.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

using namespace bv;
namespace fs = std::filesystem;

namespace {

constexpr USAGE_AND_PAGE kVendor { 0x0001, 0xFFA0 };

struct Tree {
    Tree()
        : fake(dir.path())
        , keyboard(
              std::make_shared<test::PlainHidDevice>(test::keyboardDescriptor(), HidAttributes { 0x046D, 0xC31C, 0 }))
        , mouse(std::make_shared<VirtualMouse>())
    {
        fake.addNode(0, keyboard);
        fake.addNode(3, mouse, test::FakeUsbPlace { 0x0100, 1, 2 }); // interface 1 of a composite device
        auto broken
            = std::make_shared<test::PlainHidDevice>(std::vector<std::uint8_t> { 0xC0 }, HidAttributes { 1, 2, 0 });
        fake.addNode(10, broken, std::nullopt);
        MouseUsageAndPage = kVendor;
    }

    std::shared_ptr<HidBackend> backend() const { return platform::openHidrawBackend(fake.options()); }

    test::TempDir dir;
    test::FakeHidrawTree fake;
    std::shared_ptr<test::PlainHidDevice> keyboard;
    std::shared_ptr<VirtualMouse> mouse;
};

} // namespace

TEST(Hidraw, OffersEachCollectionWithWindowsIdentifiers)
{
    Tree t;
    const auto list = t.backend()->enumerate();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 4u);
    const auto& kb = (*list)[0];
    EXPECT_EQ(kb.path, (t.fake.devRoot() / "hidraw0").string());
    // One interface, one collection: neither &MI_ nor &Col.
    EXPECT_EQ(kb.hardwareIds[0], "HID\\VID_046D&PID_C31C&REV_0100");
    EXPECT_EQ(kb.hardwareIds[1], "HID\\VID_046D&PID_C31C");
    ASSERT_TRUE(kb.knownCaps);
    EXPECT_EQ(kb.knownCaps->InputReportByteLength, 9);

    const auto& vendor = (*list)[1];
    const auto& pointer = (*list)[2];
    EXPECT_EQ(vendor.path, (t.fake.devRoot() / "hidraw3").string());
    EXPECT_EQ(vendor.hardwareIds[0], "HID\\VID_B5A0&PID_0C0F&REV_0100&MI_01&Col01");
    EXPECT_EQ(vendor.hardwareIds[1], "HID\\VID_B5A0&PID_0C0F&MI_01&Col01");
    EXPECT_EQ(vendor.knownCaps->UsagePage, 0xFFA0);
    EXPECT_EQ(vendor.knownCaps->FeatureReportByteLength, 4096);
    EXPECT_EQ(pointer.hardwareIds[1], "HID\\VID_B5A0&PID_0C0F&MI_01&Col02");
    EXPECT_EQ(pointer.knownCaps->InputReportByteLength, 5);

    // hidraw10 sorts after hidraw3; outside USB there is no revision.
    const auto& broken = (*list)[3];
    EXPECT_EQ(broken.path, (t.fake.devRoot() / "hidraw10").string());
    EXPECT_EQ(broken.hardwareIds[0], "HID\\VID_0001&PID_0002");
    EXPECT_NE(broken.problem.find("End Collection without a Collection"), std::string::npos) << broken.problem;
}

TEST(Hidraw, TalksToTheMouseThroughFeatureIoctls)
{
    Tree t;
    TuiHIDData hid(t.backend(), { "hid\\vid_b5a0&pid_0c0f&mi_01&col01" });
    THIDDataParam probe;
    probe.UsageAndPage = kVendor;
    EXPECT_TRUE(hid.IsDeviceExist(probe));

    std::vector<std::uint8_t> block(32);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(0xA0 + i);
    ASSERT_EQ(WriteDeviceMemory(hid, block.data(), 32, 2376), 0u);
    std::vector<std::uint8_t> back(32);
    ASSERT_EQ(ReadDeviceMemory(hid, back.data(), 32, 2376), 0u);
    EXPECT_EQ(back, block);

    // A write of 32 bytes is report 3 (64 bytes); the read requests in report 2 and fetches report 3.
    std::vector<unsigned long> features;
    for (const auto r : t.fake.requests())
        if (r != HIDIOCGRAWINFO)
            features.push_back(r);
    EXPECT_EQ(features, (std::vector<unsigned long> { HIDIOCSFEATURE(64), HIDIOCSFEATURE(16), HIDIOCGFEATURE(64) }));
}

TEST(Hidraw, TwoMiceAreBothWrittenAndTheLastIsRead)
{
    Tree t;
    auto second = std::make_shared<VirtualMouse>();
    t.fake.addNode(7, second);
    TuiHIDData hid(t.backend());
    EXPECT_EQ(WriteDeviceByte(hid, 0x31, 500), 0u);
    EXPECT_EQ(t.mouse->state().memory[500], 0x31);
    EXPECT_EQ(second->state().memory[500], 0x31);

    const std::vector<std::uint8_t> differ = { 2, 2, 0xF4, 0x01, 1, 0, 0xFA, 0xFA, 0x99, 0, 0, 0, 0, 0, 0, 0 };
    ASSERT_EQ(second->setFeature(differ), 0u);
    std::uint8_t value = 0;
    ASSERT_EQ(ReadDeviceByte(hid, value, 500), 0u);
    EXPECT_EQ(value, 0x99); // hidraw7 comes after hidraw3
}

TEST(Hidraw, ANodeWithoutPermissionIsSkippedAndListedWithTheReason)
{
    Tree t;
    t.fake.deny(3);
    TuiHIDData hid(t.backend());
    THIDDataParam probe;
    probe.UsageAndPage = kVendor;
    EXPECT_FALSE(hid.IsDeviceExist(probe));
    std::uint8_t value = 0xEE;
    EXPECT_EQ(ReadDeviceByte(hid, value, 0), kHidErrorNoDevice);

    const auto list = hid.DescribeInterfaces();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 4u);
    EXPECT_EQ((*list)[0].error, "");
    const auto& vendor = (*list)[1];
    EXPECT_NE(vendor.error.find("no permission to open " + (t.fake.devRoot() / "hidraw3").string()), std::string::npos)
        << vendor.error;
    EXPECT_NE(vendor.error.find("udev rule"), std::string::npos);
    ASSERT_TRUE(vendor.caps); // still shown from sysfs, so the user sees that it is the mouse
    EXPECT_EQ(vendor.caps->UsagePage, 0xFFA0);
    EXPECT_NE((*list)[3].error.find("malformed"), std::string::npos);
}

TEST(Hidraw, UnnumberedInputReportsGetReportIdZero)
{
    Tree t;
    const auto backend = t.backend();
    const auto list = backend->enumerate();
    ASSERT_TRUE(list);
    auto opened = backend->open((*list)[0], HidOpenMode::Read);
    ASSERT_TRUE(opened.device) << opened.why;
    t.keyboard->push({ 0x02, 0, 0x04, 0, 0, 0, 0, 0 }); // Left Shift and A, as the kernel hands it over
    std::vector<std::uint8_t> buffer(9, 0xEE);
    HidReadResult r;
    for (int i = 0; i < 1000 && r.status != HidReadResult::Status::Data; ++i)
        r = opened.device->readInput(buffer, 10);
    ASSERT_EQ(r.status, HidReadResult::Status::Data);
    EXPECT_EQ(r.length, 9u);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t> { 0, 0x02, 0, 0x04, 0, 0, 0, 0, 0 }));
    const auto on = opened.device->inputUsagesOn(buffer, 100);
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].Usage, 0xE1);
    EXPECT_EQ(on[1].Usage, 0x04);
}

TEST(Hidraw, NoHidrawClassMeansNoDevices)
{
    test::TempDir dir;
    const auto backend = platform::openHidrawBackend({ dir / "no-sys", dir / "no-dev", nullptr });
    const auto list = backend->enumerate();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->empty());
}
#endif
