#ifndef _WIN32 // udev and hidraw are Linux's
// Reaching the real mouse on Linux: the probe that the udev rule runs, the rule's text, and the
// access check behind bvctl doctor and the window's message.
#include "device/udev_rule.h"
#include "device/virtual_mouse.h"
#include "device_fakes.h"
#include "platform/hid_hidraw.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace bv;
namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

// What the probe prints for a hidraw device folder, for the descriptors it meets: only the mouse's
// configuration collection gets the property; nothing else, however damaged, makes it fail.
TEST(UdevProbe, PrintsThePropertyOnlyForTheMousesCollection)
{
    const auto mouse = VirtualMouse().reportDescriptor();
    auto truncated = mouse;
    truncated.resize(12);
    struct Case {
        const char* name;
        std::optional<std::vector<std::uint8_t>> descriptor; // none: no file in sysfs
        bool isMouse;
    };
    const Case cases[] = {
        { "mouse", mouse, true },
        { "keyboard", test::keyboardDescriptor(), false },
        { "truncated", truncated, false },
        { "empty", std::vector<std::uint8_t> {}, false },
        { "too long", std::vector<std::uint8_t>(5000, 0x06), false },
        { "no descriptor", std::nullopt, false },
    };
    test::TempDir sys;
    for (const auto& c : cases) {
        const fs::path node = sys / c.name / "hidraw" / "hidraw0";
        fs::create_directories(node / "device");
        if (c.descriptor)
            writeBytes(node / "device" / "report_descriptor", *c.descriptor);
        EXPECT_EQ(UdevProbeOutput(node), c.isMouse ? "BVCONFIG_MOUSE=1\n" : "") << c.name;
        if (c.descriptor) {
            EXPECT_EQ(DeclaresMouseCollection(*c.descriptor), c.isMouse && c.descriptor->size() <= 4096) << c.name;
        }
    }
}

TEST(UdevRule, TagsTheProbedNodeAndTheMiceConfigListsByVendorAndProduct)
{
    const std::string plain = UdevRuleText("/usr/libexec/bvconfig/bvconfig-udev-probe", {});
    EXPECT_NE(plain.find("SUBSYSTEM!=\"hidraw\", GOTO=\"bvconfig_end\""), std::string::npos);
    EXPECT_NE(plain.find("IMPORT{program}=\"/usr/libexec/bvconfig/bvconfig-udev-probe %S%p\""), std::string::npos);
    EXPECT_NE(plain.find("ENV{BVCONFIG_MOUSE}==\"1\", TAG+=\"uaccess\""), std::string::npos);
    EXPECT_EQ(plain.find("ATTRS{"), std::string::npos);
    EXPECT_EQ(plain.substr(plain.size() - 21), "LABEL=\"bvconfig_end\"\n");

    const std::string listed = UdevRuleText("p",
        { "HID\\VID_B5A0&PID_0C0F&REV_0100&MI_01&Col01", "hid\\vid_b5a0&pid_0c0f", "HID\\VID_1A2B&PID_00FF",
            "HID_DEVICE_UP:FFA0_U:0001", "USB\\VID_1234" });
    EXPECT_NE(
        listed.find("KERNEL==\"hidraw*\", ATTRS{idVendor}==\"b5a0\", ATTRS{idProduct}==\"0c0f\", TAG+=\"uaccess\"\n"),
        std::string::npos);
    EXPECT_NE(listed.find("ATTRS{idVendor}==\"1a2b\", ATTRS{idProduct}==\"00ff\""), std::string::npos);
    EXPECT_EQ(listed.find("b5a0"), listed.rfind("b5a0")) << "one line per mouse";
    EXPECT_LT(listed.find("1a2b"), listed.find("LABEL=")) << "inside the hidraw block";
    EXPECT_EQ(HardwareIdVendorProduct("HID\\VID_12G4&PID_0001"), std::nullopt);
}

// The window and bvctl doctor: a node with the mouse's collection that this user may not open.
TEST(MouseAccess, ADeniedNodeIsFoundAndExplained)
{
    test::TempDir dir;
    test::FakeHidrawTree fake(dir.path());
    fake.addNode(0, std::make_shared<test::PlainHidDevice>(test::keyboardDescriptor(), HidAttributes { 1, 2, 0 }));
    fake.addNode(4, std::make_shared<VirtualMouse>());
    const auto options = fake.options();

    auto nodes = platform::InspectHidrawNodes(options.classRoot, options.devRoot, options.io);
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_FALSE(nodes[0].mouseCollection);
    EXPECT_TRUE(nodes[1].mouseCollection);
    EXPECT_EQ(nodes[1].openError, 0);
    EXPECT_EQ(DeniedMouseNode(nodes), std::nullopt) << "it opens";

    fake.deny(4);
    fake.deny(0);
    nodes = platform::InspectHidrawNodes(options.classRoot, options.devRoot, options.io);
    EXPECT_EQ(nodes[1].openError, EACCES);
    const auto denied = DeniedMouseNode(nodes);
    ASSERT_TRUE(denied);
    EXPECT_EQ(denied->node, (fake.devRoot() / "hidraw4").string());
    EXPECT_EQ(DeniedMouseText(*denied).English(), "This user may not open the mouse's device " + denied->node + ".");

    // The advice depends on the rule: installed in any folder udev reads, or not at all.
    platform::HidAccessOptions rules;
    rules.ruleFolders = { dir / "etc", dir / "usr" };
    EXPECT_EQ(platform::FindInstalledUdevRule(rules), std::nullopt);
    EXPECT_NE(DeniedMouseAdvice(std::nullopt).English().find("not installed"), std::string::npos);
    writeBytes(dir / "usr" / "70-bvconfig.rules", { '#' });
    const auto rule = platform::FindInstalledUdevRule(rules);
    ASSERT_TRUE(rule);
    EXPECT_EQ(*rule, dir / "usr" / "70-bvconfig.rules");
    EXPECT_EQ(DeniedMouseAdvice(rule).English(),
        "The udev rule is installed (" + rule->string() + "). Unplug the mouse and plug it in again.");
}
#endif
