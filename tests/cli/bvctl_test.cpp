#include "bvctl_runner.h"
#include "profile_json.h"
#include "settings/record_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace bv;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

class BvctlTest : public BvctlHomeTest {
protected:
    fs::path registryKey() const { return home() / ".config/bvconfig/registry/HKCU/software/BrisvaneGMMouse"; }
};

TEST_F(BvctlTest, ProfileNewWritesAFactoryProfileWithTheColourOfItsIndex)
{
    struct Case {
        std::vector<std::string> indexArgs;
        std::uint8_t r, g, b;
    };
    const Case cases[] = {
        { {}, 255, 0, 0 },
        { { "--index", "3" }, 0, 96, 96 },
        { { "--index", "4" }, 255, 0, 255 },
    };
    int n = 0;
    for (const auto& c : cases) {
        const fs::path file = tmp / ("p" + std::to_string(n++) + ".pfd");
        std::vector<std::string> args { "profile", "new", "-o", file.string() };
        args.insert(args.end(), c.indexArgs.begin(), c.indexArgs.end());
        SCOPED_TRACE(file.filename().string());
        const auto r = bvctl(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(fs::file_size(file), 109888u);
        const auto p = readProfile(file);
        const TLEDCONFIG led = p->ConfigInfo.LEDConfig;
        EXPECT_EQ(led.R, c.r);
        EXPECT_EQ(led.G, c.g);
        EXPECT_EQ(led.B, c.b);
        EXPECT_EQ(p->ProfileHeader.FFileVersion, 258);
    }
}

TEST_F(BvctlTest, ProfileNewIntoAMissingFolderFailsAsBadInput)
{
    const auto r = bvctl({ "profile", "new", "-o", (tmp / "no-such-folder" / "p.pfd").string() });
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("no-such-folder"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(BvctlTest, ProfileShowPrintsTheRecordFields)
{
    const fs::path file = tmp / "p.pfd";
    ASSERT_EQ(bvctl({ "profile", "new", "--index", "3", "-o", file.string() }).code, 0);

    const auto r = bvctl({ "profile", "show", file.string() });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Json j = parseJson(r);
    Json& c = j["ConfigInfo"];
    EXPECT_EQ(j.begin().key(), "schema") << "every output starts with its schema";
    EXPECT_EQ(j["schema"], 1);
    EXPECT_EQ(j["ProfileHeader"]["FFileVersion"], 258);
    EXPECT_EQ(c["ButtonCount"], 7);
    EXPECT_EQ(c["CPIState"][0]["X"], 400);
    EXPECT_EQ(c["HWCPIState"][1]["X"], 750);
    EXPECT_EQ(c["ButtonFuncInfo"][5]["MenuID"], 13);
    EXPECT_EQ(c["LEDConfig"]["G"], 96);
    EXPECT_EQ(c["ButtonFuncInfo"].size(), 15u);
    EXPECT_EQ(c["VWheelButtonFuncInfo"].size(), 2u);
    EXPECT_EQ(c["HWheelButtonFuncInfo"].size(), 2u);
    EXPECT_EQ(c["ApplicationList"].size(), 10u);
    Json& macros = j["MacroKeyInfoList"];
    EXPECT_EQ(macros["MacroInfos"].size(), macros["nMacroInfoCount"].get<std::size_t>());
    EXPECT_FALSE(macros.contains("nMacroInfoCountClamped"));
}

TEST_F(BvctlTest, ProfileShowRefusesWhatIsNotAProfile)
{
    std::vector<std::uint8_t> wrongVersion(109888, 0);
    wrongVersion[0] = 259 & 0xFF;
    wrongVersion[1] = 259 >> 8;
    struct Case {
        const char* name;
        std::optional<std::vector<std::uint8_t>> bytes; // nullopt: no file
        const char* why;
    };
    const Case cases[] = {
        { "missing.pfd", std::nullopt, "does not exist" },
        { "empty.pfd", std::vector<std::uint8_t> {}, "holds 0 bytes" },
        { "short.pfd", std::vector<std::uint8_t>(1000, 0x5A), "holds 1000 bytes" },
        { "version.pfd", wrongVersion, "version is 259" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = tmp / c.name;
        if (c.bytes)
            writeBytes(file, *c.bytes);
        const auto r = bvctl({ "profile", "show", file.string() });
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(file.string()), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
    }
}

TEST_F(BvctlTest, UsageErrorsExitWithOne)
{
    const std::string file = (tmp / "p.pfd").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        { "frobnicate" },
        { "profile" },
        { "profile", "show" },
        { "profile", "show", file, "--bogus" },
        { "status", "--bogus" },
        { "profile", "new" },
        { "profile", "new", "--index", "5", "-o", file },
        { "profile", "new", "--index", "-1", "-o", file },
        { "profile", "new", "--index", "two", "-o", file },
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args)
            line += a + ' ';
        SCOPED_TRACE(line);
        const auto r = bvctl(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(BvctlTest, StatusOnAFreshHomeMakesTheFiveProfileFiles)
{
    const auto r = bvctl({ "status" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Json j = parseJson(r);
    EXPECT_EQ(j["mode"], 0);
    EXPECT_EQ(j["profile"], 0);
    EXPECT_EQ(j["mode_profiles"], Json::array({ 0, 1 }));
    const fs::path docs = home() / "Documents" / "Brisvane Gaming Mouse";
    EXPECT_EQ(j["documents_folder"], docs.string());
    ASSERT_EQ(j["profiles"].size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        Json& p = j["profiles"][i];
        EXPECT_EQ(p["storage"], "file");
        const fs::path file = docs / ("BVProfile" + std::to_string(i + 1) + ".pfd");
        EXPECT_EQ(p["file"], file.string());
        ASSERT_TRUE(fs::exists(file));
        EXPECT_EQ(fs::file_size(file), 109888u);
    }

    const auto again = bvctl({ "status" });
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(parseJson(again), j);
}

#ifndef _WIN32 // FIFOs are POSIX's
// A FIFO where a file is expected is refused at once, with a clear message, never waited on.
TEST_F(BvctlTest, APipeWhereAFileBelongsIsRefusedNotWaitedOn)
{
    const fs::path fifo = tmp / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(bvctl({ "profile", "new", "-o", (tmp / "p.pfd").string() }).code, 0);
    const std::vector<std::vector<std::string>> commands = {
        { "profile", "show", fifo.string() },
        { "encode", fifo.string() },
        { "--device", "virtual", "apply", fifo.string(), (tmp / "p.pfd").string() },
        { "macro", "show", fifo.string() },
        { "--device", "virtual:" + fifo.string(), "virtual", "show" },
    };
    for (const auto& args : commands) {
        const auto r = bvctl(args);
        EXPECT_EQ(r.code, 2) << args[0] << " " << args[1];
        EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    }

    // At start-up a pipe in a profile's place is an unreadable file: told, left alone, and the
    // profile starts from factory values.
    ASSERT_EQ(bvctl({ "status" }).code, 0);
    const fs::path second = home() / "Documents" / "Brisvane Gaming Mouse" / "BVProfile2.pfd";
    fs::remove(second);
    ASSERT_EQ(::mkfifo(second.c_str(), 0600), 0);
    const auto r = bvctl({ "status" });
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("warning: Profile 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_fifo(second));
}
#endif

TEST_F(BvctlTest, StatusWarnsAboutDamagedModesAndUsesFactoryModes)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> value;
    };
    const Case cases[] = {
        { "garbage", { 0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06 } },
        { "short binary", { 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x07 } },
    };
    ASSERT_EQ(bvctl({ "status" }).code, 0);
    const fs::path value = registryKey() / "BVProfileSettingGroup.pfd";
    ASSERT_TRUE(fs::exists(value));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(value, c.value);
        const auto r = bvctl({ "status" });
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.err.rfind("warning: ", 0), 0u) << r.err;
        Json j = parseJson(r);
        EXPECT_EQ(j["mode"], 0);
        EXPECT_EQ(j["profile"], 0);
        EXPECT_EQ(j["mode_profiles"], Json::array({ 0, 1 }));
        EXPECT_EQ(j["profiles"].size(), 5u);

        // The factory modes were stored back, so the next start is clean.
        const auto next = bvctl({ "status" });
        EXPECT_EQ(next.code, 0);
        EXPECT_EQ(next.err, "");
    }
}

// The profile is built in memory: counts that point past the arrays must be clamped, not followed.
TEST(ProfileToJson, ClampsStoredCountsToTheArrays)
{
    struct Case {
        std::uint16_t macroCount;
        std::size_t shown;
        bool clamped;
    };
    const Case cases[]
        = { { 0, 0, false }, { 21, 21, false }, { 22, 21, true }, { 500, 21, true }, { 65535, 21, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.macroCount);
        auto p = std::make_unique<TMOUSEPROFILEINFO>();
        p->MacroKeyInfoList.nMacroInfoCount = c.macroCount;
        // The last macro of the record: reading past its actions would leave the allocation.
        p->MacroKeyInfoList.MacroInfos[20].MacroListCount = 9999;
        p->MacroKeyInfoList.MacroInfos[20].MacroList[127] = { 4, 1, 0x41, 0 };
        Json list = cli::ProfileToJson(*p)["MacroKeyInfoList"];
        EXPECT_EQ(list["nMacroInfoCount"], c.macroCount);
        EXPECT_EQ(list.value("nMacroInfoCountClamped", false), c.clamped);
        EXPECT_EQ(list.contains("nMacroInfoCountClamped"), c.clamped);
        ASSERT_EQ(list["MacroInfos"].size(), c.shown);
        if (c.shown == 21) {
            Json& last = list["MacroInfos"][20];
            EXPECT_EQ(last["MacroListCount"], 9999);
            ASSERT_EQ(last["MacroList"].size(), 128u);
            EXPECT_EQ(last["MacroList"][127],
                Json({ { "nKeyType", 4 }, { "nKeyState", 1 }, { "VALUE1", 0x41 }, { "VALUE2", 0 } }));
        }
    }

    const std::pair<std::int32_t, std::size_t> actionCounts[]
        = { { -3, 0 }, { INT_MIN, 0 }, { 0, 0 }, { 1, 1 }, { 128, 128 }, { 129, 128 } };
    for (const auto& [count, shown] : actionCounts) {
        SCOPED_TRACE(count);
        auto m = std::make_unique<TMACROKEYINFO>();
        m->MacroListCount = count;
        Json j = cli::MacroToJson(*m);
        EXPECT_EQ(j["MacroListCount"], count);
        EXPECT_EQ(j["MacroList"].size(), shown);
    }
}

TEST(ProfileToJson, ShowsSignedFieldsAndTextAsStored)
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    auto& c = p->ConfigInfo;
    c.HWVWheelValue = -1;
    c.WheelLedOnOff = -128;
    c.CurrentCPIIndex = -2;
    ASSERT_TRUE(SetRecordText(c.ApplicationList[9].FilePath, "C:\\Spiele\\Größe.exe"));
    ASSERT_TRUE(SetRecordText(c.MacroPath.FilePath, "/home/ü/macros"));
    // A name that fills all 50 units has no terminator.
    auto& macro = c.ButtonFuncInfo[14].MacroKeyInfo;
    for (auto& unit : macro.szMacroName)
        unit = u'M';
    macro.Version = 258;

    Json j = cli::ProfileToJson(*p)["ConfigInfo"];
    EXPECT_EQ(j["HWVWheelValue"], -1);
    EXPECT_EQ(j["WheelLedOnOff"], -128);
    EXPECT_EQ(j["CurrentCPIIndex"], -2);
    EXPECT_EQ(j["ApplicationList"][9], "C:\\Spiele\\Größe.exe");
    EXPECT_EQ(j["ApplicationList"][0], "");
    EXPECT_EQ(j["MacroPath"], "/home/ü/macros");
    EXPECT_EQ(j["ButtonFuncInfo"][14]["MacroKeyInfo"]["szMacroName"], std::string(50, 'M'));
    EXPECT_EQ(j["ButtonFuncInfo"][14]["MacroKeyInfo"]["Version"], 258);
}

// Scripts read these names; a rename or a reordering is a format change.
TEST(ProfileToJson, KeepsTheRecordNamesInRecordOrder)
{
    auto p = std::make_unique<TMOUSEPROFILEINFO>();
    Json j = cli::ProfileToJson(*p);
    auto keys = [](const Json& o) {
        std::vector<std::string> k;
        for (const auto& [key, v] : o.items())
            k.push_back(key);
        return k;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(keys(j), (Names { "ProfileHeader", "ConfigInfo", "MacroKeyInfoList" }));
    EXPECT_EQ(keys(j["ConfigInfo"]),
        (Names { "ButtonFuncInfo", "VWheelButtonFuncInfo", "HWheelButtonFuncInfo", "VWheelType", "HWheelType",
            "VWheelSpeed", "HWheelSpeed", "HWVWheelValue", "WheelLedOnOff", "DoubleClickSpeed", "PointerSpeed",
            "PointerAcceleration", "UseSystemPointerSpeedSetting", "ReportRate", "CurrentCPIIndex", "CurrentCPIX",
            "CurrentCPIY", "MinCPI", "MaxCPI", "UseDiffentXY", "UseCPIOnScreenFlyShow", "CPIState", "HWCPIState",
            "CPILevel", "AutoSwitchProfileWhenAppRun", "ApplicationList", "LEDConfig", "Sensorlift", "ButtonCount",
            "ProfilePath", "MacroPath", "ApplyCPISettingEachProfile", "ApplyAccelaration", "ApplyDiffirentXY",
            "FireKeySpeed", "FireKeyCount" }));
    EXPECT_EQ(keys(j["ConfigInfo"]["ButtonFuncInfo"][0]),
        (Names { "nReserved", "SingleKey", "ComboKey", "MediaKey", "MacroKeyInfo", "FireKey", "WheelParam", "RawCode",
            "nButtonIndex", "nMenuRow", "FuncKind", "DeviceCode", "MenuID" }));
    EXPECT_EQ(keys(j["ConfigInfo"]["ButtonFuncInfo"][0]["MacroKeyInfo"]),
        (Names { "szMacroName", "MacroListCount", "nAutoAddDelay", "nLoopCount", "nMacroIndex", "MacroUse", "Version",
            "HaveErrors", "ErrorCount", "MacroList" }));
}

} // namespace
