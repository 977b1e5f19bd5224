#include "bvctl_runner.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace bv::test;

class ImageCli : public BvctlHomeTest {
protected:
    void SetUp() override
    {
        BvctlHomeTest::SetUp();
        ASSERT_EQ(bvctl({ "profile", "new", "--index", "0", "-o", red() }).code, 0);
        ASSERT_EQ(bvctl({ "profile", "new", "--index", "3", "-o", teal() }).code, 0);
    }
    std::string red() const { return (tmp / "red.pfd").string(); }
    std::string teal() const { return (tmp / "teal.pfd").string(); }
    std::string mouse() const { return "virtual:" + (tmp / "mouse.state").string(); }
};

TEST_F(ImageCli, EncodeListsTheWritesInSendingOrder)
{
    const auto r = bvctl({ "encode", red(), "--set", "1" });
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = parseJson(r);
    std::vector<int> addresses;
    for (const auto& w : j["writes"])
        addresses.push_back(w["address"].get<int>());
    EXPECT_EQ(addresses, (std::vector<int> { 2448, 4049, 4481, 2376 })) << "buttons, slot 4, light, CPI";
    EXPECT_EQ(j["writes"][2]["data"], "ffff00020200") << "red, inverted green-blue-red";
    EXPECT_EQ(j["report_rate_code"], 8);
}

TEST_F(ImageCli, ApplyThenShowDecodesBothModes)
{
    auto r = bvctl({ "--device", mouse(), "apply", red(), teal(), "--mode", "1", "--notice", "3" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(parseJson(r)["written"], true);

    r = bvctl({ "virtual", "show" }, { "BV_VIRTUAL_MOUSE=" + (tmp / "mouse.state").string() });
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = parseJson(r);
    EXPECT_EQ(j["shared"]["set_selector"], 1);
    EXPECT_EQ(j["shared"]["report_rate_byte"], 8 * 16 + 8);
    EXPECT_EQ(j["sets"][0]["LEDConfig"]["R"], 255);
    EXPECT_EQ(j["sets"][1]["LEDConfig"]["G"], 96);
    EXPECT_EQ(j["sets"][1]["buttons"][7]["DeviceCode"], 13);
    EXPECT_EQ(j["sets"][0]["levels"][3]["cpi"], 3500);
    EXPECT_EQ(j["settings_notice"], (nlohmann::ordered_json { 1, 3 }));
}

TEST_F(ImageCli, AProfileTheMouseCannotHoldWritesNothing)
{
    // Six different macros on buttons 0..5 of the first profile.
    std::string bytes = readText(tmp / "red.pfd");
    for (int i = 0; i < 6; ++i) {
        const std::size_t slot = 860 + 3772 * static_cast<std::size_t>(i);
        bytes[slot + 3756] = 4; // FuncKind macro
        bytes[slot + 3760] = 17; // DeviceCode macro
        bytes[slot + 24 + 776] = static_cast<char>(i); // nMacroIndex
    }
    writeBytes(tmp / "six.pfd", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));

    auto r = bvctl({ "encode", (tmp / "six.pfd").string() });
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("6 different macros"), std::string::npos) << r.err;

    r = bvctl({ "--device", mouse(), "apply", red(), (tmp / "six.pfd").string() });
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("Mode 2"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(tmp / "mouse.state")) << "the mouse saw no transfer";
}

// The mouse goes away after every possible number of transfers: bvctl never says it is done, names
// the step that failed, and leaves the profile files and the settings as they were.
TEST_F(ImageCli, AMouseThatGoesAwayIsNeverReportedAsWritten)
{
    const std::string redBytes = readText(tmp / "red.pfd"), tealBytes = readText(tmp / "teal.pfd");
    auto r = bvctl({ "--device", mouse(), "apply", red(), teal() });
    ASSERT_EQ(r.code, 0) << r.err;
    const int transfers = 18; // bracket, two reads of two transfers, 2 × 5 blocks, four bytes and notices
    for (int n = 0; n < transfers; ++n) {
        std::filesystem::remove(tmp / "mouse.state");
        const std::vector<std::string> env = { n == 0 ? "BV_VIRTUAL_MOUSE_FAULTS=fail-transfer=1"
                                                      : "BV_VIRTUAL_MOUSE_FAULTS=unplug-after=" + std::to_string(n) };
        r = bvctl({ "--device", mouse(), "apply", red(), teal() }, env);
        EXPECT_EQ(r.code, 2) << "gone after " << n << ": " << r.out;
        EXPECT_TRUE(r.out.empty()) << n;
        EXPECT_NE(r.err.find("The mouse did not take all settings: the "), std::string::npos) << n << ": " << r.err;
        EXPECT_NE(r.err.find("apply again"), std::string::npos) << r.err;
    }
    // One past the last transfer: nothing fails.
    r = bvctl({ "--device", mouse(), "apply", red(), teal() },
        { "BV_VIRTUAL_MOUSE_FAULTS=unplug-after=" + std::to_string(transfers) });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readText(tmp / "red.pfd"), redBytes);
    EXPECT_EQ(readText(tmp / "teal.pfd"), tealBytes);
    EXPECT_FALSE(std::filesystem::exists(home() / ".config" / "bvconfig")) << "no settings were written";

    // A state file that cannot be kept is a mouse that takes nothing.
    r = bvctl({ "--device", "virtual:" + (tmp / "no" / "such" / "x.state").string(), "apply", red(), teal() });
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("opening update bracket failed"), std::string::npos) << r.err;

    r = bvctl({ "--device", mouse(), "apply", red(), teal() }, { "BV_VIRTUAL_MOUSE_FAULTS=sometimes" });
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("BV_VIRTUAL_MOUSE_FAULTS"), std::string::npos) << r.err;
}

TEST_F(ImageCli, BadArguments)
{
    EXPECT_EQ(bvctl({ "encode", red(), "--set", "2" }).code, 1);
    EXPECT_EQ(bvctl({ "apply", red() }).code, 1);
    EXPECT_EQ(bvctl({ "encode", (tmp / "missing.pfd").string() }).code, 2);
    const auto r = bvctl({ "--device", "virtual", "virtual", "show" });
    EXPECT_EQ(r.code, 0) << "an in-memory mouse shows blank: " << r.err;
}

} // namespace
