// bvctl switch, apply-settings and --verify: the stored records and what the virtual mouse holds
// afterwards.
#include "bvctl_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

class SwitchCli : public BvctlHomeTest {
protected:
    fs::path state() const { return tmp / "mouse.state"; }
    /// Runs against the test's own virtual mouse; the system's mouse settings stay as they are.
    RunResult run(const std::vector<std::string>& args, std::vector<std::string> env = {}) const
    {
        std::vector<std::string> all { "--device", "virtual:" + state().string() };
        all.insert(all.end(), args.begin(), args.end());
        env.push_back("BV_KEEP_SYSTEM_MOUSE=1");
        return bvctl(all, env);
    }
    Json mouse() const
    {
        const auto r = run({ "virtual", "show" });
        EXPECT_EQ(r.code, 0) << r.err;
        return parseJson(r);
    }
    Json status() const
    {
        const auto r = bvctl({ "status" });
        EXPECT_EQ(r.code, 0) << r.err;
        return parseJson(r);
    }
    fs::path profileFile(int n) const
    {
        return home() / "Documents/Brisvane Gaming Mouse" / ("BVProfile" + std::to_string(n) + ".pfd");
    }
};

} // namespace

TEST_F(SwitchCli, AProfileSwitchIsStoredAndToldToTheMouse)
{
    const auto r = run({ "switch", "--profile", "3" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(parseJson(r), Json({ { "schema", 1 }, { "mode", 0 }, { "profile", 3 }, { "mode_profiles", { 3, 1 } } }));
    // The records: a new run of the profile manager starts on profile 3 in mode 1.
    const Json s = status();
    EXPECT_EQ(s["profile"], 3);
    EXPECT_EQ(s["mode_profiles"], Json({ 3, 1 }));
    EXPECT_TRUE(fs::exists(home() / ".config/bvconfig/registry/HKCU/software/BrisvaneGMMouse/ProfileID"));

    // The mouse: the profile number at the set selector, the notice, and profile 4's teal light.
    const Json m = mouse();
    EXPECT_EQ(m["shared"]["set_selector"], 3);
    EXPECT_EQ(m["settings_notice"], Json({ 1, 3 }));
    EXPECT_EQ(m["live_light"]["G"], 96);
    EXPECT_EQ(m["live_light"]["B"], 96);
}

TEST_F(SwitchCli, AModeSwitchTakesTheModesProfile)
{
    ASSERT_EQ(run({ "switch", "--profile", "4" }).code, 0);
    const auto r = run({ "switch", "--mode", "1" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(parseJson(r), Json({ { "schema", 1 }, { "mode", 1 }, { "profile", 1 }, { "mode_profiles", { 4, 1 } } }));
    EXPECT_EQ(status()["mode"], 1);
    const Json m = mouse();
    EXPECT_EQ(m["shared"]["set_selector"], 1);
    EXPECT_EQ(m["settings_notice"], Json({ 1, 1 }));

    // Back to mode 1 returns to the profile chosen there.
    const auto back = run({ "switch", "--mode", "0" });
    EXPECT_EQ(parseJson(back)["profile"], 4);

    for (const std::vector<std::string>& bad :
        std::vector<std::vector<std::string>> { { "switch" }, { "switch", "--mode", "2" },
            { "switch", "--profile", "5" }, { "switch", "--mode", "0", "--profile", "1" } })
        EXPECT_EQ(run(bad).code, 1) << bad.back();
}

TEST_F(SwitchCli, ApplySettingsStoresAndWritesBothModes)
{
    ASSERT_EQ(bvctl({ "status" }).code, 0); // makes the five profile files
    ASSERT_EQ(bvctl({ "profile", "set", profileFile(2).string(), "--rate", "1000", "--button", "3=Copy" }).code, 0);
    const auto r = run({ "apply-settings", "--verify" });
    ASSERT_EQ(r.code, 0) << r.err;
    const Json j = parseJson(r);
    EXPECT_EQ(j["schema"], 1);
    EXPECT_EQ(j["stored"], true);
    EXPECT_EQ(j["written"], true);
    EXPECT_EQ(j["verify"]["matches"], true);
    EXPECT_EQ(j["system_mouse"]["pointer_speed"]["status"], "unsupported");

    const Json m = mouse();
    EXPECT_EQ(m["shared"]["set_selector"], 0);
    EXPECT_EQ(m["sets"][1]["ReportRate"], 1000) << "mode 2 uses profile 2";
    EXPECT_EQ(m["sets"][1]["buttons"][2]["nModifier"], 2);
    EXPECT_EQ(m["sets"][0]["ReportRate"], 125);
    EXPECT_EQ(m["sets"][1]["LEDConfig"]["B"], 255) << "profile 2 is blue";
    EXPECT_EQ(m["settings_notice"], Json({ 1, 0 }));
}

// A transfer that fails leaves bytes in the mouse that differ from what was sent; --verify names
// them. The count starts anew in every process, so transfer 6 is the first block write.
TEST_F(SwitchCli, VerifyNamesTheAddressesAFailedTransferLeftBehind)
{
    const fs::path profile = tmp / "a.pfd";
    ASSERT_EQ(bvctl({ "profile", "new", "-o", profile.string() }).code, 0);
    const std::vector<std::string> fault { "BV_VIRTUAL_MOUSE_FAULTS=fail-transfer=6" };

    const auto ok = run({ "apply", profile.string(), profile.string(), "--verify" });
    ASSERT_EQ(ok.code, 0) << ok.err;
    EXPECT_EQ(parseJson(ok)["verify"]["matches"], true);
    fs::remove(state());

    const auto applied = run({ "apply", profile.string(), profile.string(), "--verify" }, fault);
    EXPECT_EQ(applied.code, 2);
    EXPECT_EQ(applied.out, "");
    EXPECT_NE(applied.err.find("the Mode 1 button block failed"), std::string::npos) << applied.err;
    EXPECT_NE(
        applied.err.find("The mouse does not hold what was written: Mode 1 button block at 0x0090-0x0091, 0x0095"),
        std::string::npos)
        << applied.err;
    EXPECT_EQ(applied.err.find("Mode 2 button block"), std::string::npos) << "the other blocks arrived";
    fs::remove(state());

    const auto settings = run({ "apply-settings", "--verify" }, fault);
    EXPECT_EQ(settings.code, 2);
    const Json j = parseJson(settings);
    EXPECT_EQ(j["written"], false);
    EXPECT_EQ(j["verify"]["matches"], false);
    ASSERT_FALSE(j["verify"]["differing"].empty());
    EXPECT_EQ(j["verify"]["differing"][0]["what"], "Mode 1 button block");
    EXPECT_NE(
        settings.err.find("The mouse does not hold what was written: Mode 1 button block at 0x0090"), std::string::npos)
        << settings.err;
}

TEST_F(SwitchCli, NothingChangesWhileTheConfiguratorRuns)
{
    ASSERT_EQ(bvctl({ "status" }).code, 0);
    const std::string groupBefore
        = readText(home() / ".config/bvconfig/registry/HKCU/software/BrisvaneGMMouse/BVProfileSettingGroup.pfd");
    // The window's single-instance lock, held as the window holds it.
    const int fd = ::open((tmp / "run/TBrisvaneCfgMain.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> {
             { "switch", "--profile", "2" }, { "switch", "--mode", "1" }, { "apply-settings" } }) {
        SCOPED_TRACE(args[0]);
        const auto r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("bvconfig is running: close it before bvctl"), std::string::npos) << r.err;
    }
    ::close(fd);
    EXPECT_TRUE(readText(home() / ".config/bvconfig/registry/HKCU/software/BrisvaneGMMouse/BVProfileSettingGroup.pfd")
        == groupBefore);
    EXPECT_FALSE(fs::exists(state())) << "the mouse was not touched";
    EXPECT_EQ(run({ "switch", "--profile", "2" }).code, 0) << "and works once the window is gone";
}

TEST_F(SwitchCli, AMouseThatIsNotThereIsReportedAfterTheRecordsAreStored)
{
    fs::create_directories(tmp / "program");
    std::ofstream(tmp / "program/config.ini") << "[IncludeHIDDeviceList]\nid1=HID\\VID_1234&PID_5678\n";
    const std::vector<std::string> env { "BV_PROGRAM_DIR=" + (tmp / "program").string() };
    const auto sw = run({ "switch", "--profile", "2" }, env);
    EXPECT_EQ(sw.code, 2);
    EXPECT_EQ(parseJson(sw)["profile"], 2);
    EXPECT_NE(sw.err.find("The switch is stored, but the mouse did not take it: no mouse found"), std::string::npos)
        << sw.err;
    EXPECT_EQ(status()["profile"], 2);

    const auto ap = run({ "apply-settings" }, env);
    EXPECT_EQ(ap.code, 2);
    EXPECT_EQ(parseJson(ap)["stored"], true);
    EXPECT_NE(ap.err.find("Please connect your mouse device before apply new settings!"), std::string::npos) << ap.err;
}
