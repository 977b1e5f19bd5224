// bvctl list, write, read and virtual dump, run as a real process on a virtual mouse.
#include "bvctl_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

class DeviceCli : public BvctlHomeTest {
protected:
    void SetUp() override
    {
        BvctlHomeTest::SetUp();
        fs::create_directories(tmp / "program");
        std::ofstream(tmp / "program" / "config.ini") << "[IncludeHIDDeviceList]\n";
    }

    fs::path state() const { return tmp / "mouse.state"; }
    std::string virtualDevice() const { return "virtual:" + state().string(); }

    /// Every run reads its config.ini from the test's own program folder.
    RunResult bvctl(const std::vector<std::string>& args, std::vector<std::string> extraEnv = {}) const
    {
        extraEnv.push_back("BV_PROGRAM_DIR=" + (tmp / "program").string());
        return BvctlHomeTest::bvctl(args, extraEnv);
    }
};

} // namespace

TEST_F(DeviceCli, AWriteIsReadBackByAnotherProcess)
{
    const auto w = bvctl({ "--device", virtualDevice(), "write", "0x48", "0102FFab" });
    ASSERT_EQ(w.code, 0) << w.err;
    EXPECT_EQ(w.out, "");
    EXPECT_EQ(w.err, "");
    ASSERT_TRUE(fs::exists(state()));

    const auto r = bvctl({ "--device", virtualDevice(), "read", "72", "5" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(parseJson(r), Json({ { "schema", 1 }, { "address", 72 }, { "data", "0102ffab00" } }));

    // BV_VIRTUAL_MOUSE names the same mouse when --device is left out.
    const auto viaEnv = bvctl({ "read", "0x4A", "2" }, { "BV_VIRTUAL_MOUSE=" + state().string() });
    ASSERT_EQ(viaEnv.code, 0) << viaEnv.err;
    EXPECT_EQ(parseJson(viaEnv)["data"], "ffab");

    const auto d = bvctl({ "virtual", "dump" }, { "BV_VIRTUAL_MOUSE=" + state().string() });
    ASSERT_EQ(d.code, 0) << d.err;
    const std::string memory = parseJson(d)["memory"];
    EXPECT_EQ(memory, std::string(2 * 72, '0') + "0102ffab" + std::string(2 * (4608 - 76), '0'));
}

TEST_F(DeviceCli, TraceAppendsEveryFeatureReport)
{
    const fs::path trace = tmp / "trace.txt";
    ASSERT_EQ(bvctl({ "--device", virtualDevice(), "--trace", trace.string(), "write", "300", "aa" }).code, 0);
    ASSERT_EQ(bvctl({ "--device", virtualDevice(), "--trace", trace.string(), "read", "300", "1" }).code, 0);
    const std::string zeros(14, '0');
    EXPECT_EQ(readText(trace),
        "SET 02022c010100fafaaa" + zeros + "\n" + "SET 02032c010100fafa00" + zeros + "\n" + "GET 02032c010100fafaaa"
            + zeros + "\n");
}

TEST_F(DeviceCli, ListShowsTheMouseCollectionsAndTheIdentifierList)
{
    const auto r = bvctl({ "--device", "virtual", "list" });
    ASSERT_EQ(r.code, 0) << r.err;
    const Json out = parseJson(r);
    EXPECT_EQ(out["schema"], 1);
    const Json& j = out["items"];
    ASSERT_EQ(j.size(), 2u);
    const Json& vendor = j[0];
    std::vector<std::string> keys;
    for (const auto& [k, v] : vendor.items())
        keys.push_back(k);
    EXPECT_EQ(keys,
        (std::vector<std::string> { "path", "hardware_ids", "usage_page", "usage", "input_length", "output_length",
            "feature_length", "accepted", "access" }));
    EXPECT_EQ(vendor["access"], "granted");
    EXPECT_EQ(vendor["usage_page"], 0xFFA0);
    EXPECT_EQ(vendor["usage"], 1);
    EXPECT_EQ(vendor["feature_length"], 4096);
    EXPECT_EQ(vendor["hardware_ids"][0], "HID\\VID_B5A0&PID_0C0F&REV_0100&Col01");
    EXPECT_EQ(vendor["accepted"], true);
    EXPECT_EQ(j[1]["input_length"], 5);

    // A config.ini list that names another device: listed as not accepted, and requests find nothing.
    std::ofstream(tmp / "program" / "config.ini") << "[IncludeHIDDeviceList]\nid1=HID\\VID_1234&PID_5678\n";
    EXPECT_EQ(parseJson(bvctl({ "--device", "virtual", "list" }))["items"][0]["accepted"], false);
    const auto read = bvctl({ "--device", virtualDevice(), "read", "0", "1" });
    EXPECT_EQ(read.code, 2);
    EXPECT_EQ(read.out, "");
    EXPECT_NE(read.err.find("no mouse found"), std::string::npos) << read.err;
}

TEST_F(DeviceCli, RefusesBadArgumentsBeforeTouchingTheMouse)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        { { "read", "0", "0" }, 2, "LENGTH \"0\" is not a number from 1 to 2040" },
        { { "read", "0", "2041" }, 2, "LENGTH" },
        { { "read", "0x10000", "1" }, 2, "ADDRESS \"0x10000\"" },
        { { "read", "-1", "1" }, 2, "ADDRESS" },
        { { "read", "12ab", "1" }, 2, "ADDRESS" },
        { { "read", "65535", "2" }, 2, "reaches past address 65535" },
        { { "write", "0", "abc" }, 2, "even number of hex digits" },
        { { "write", "0", "0g" }, 2, "not a hex digit at position 2" },
        { { "write", "0", std::string(4098, 'a') }, 2, "HEX holds 2049 bytes" },
        { { "write", "65535", "0102" }, 2, "reaches past address 65535" },
        { { "read", "0" }, 1, "LENGTH" },
        { { "virtual" }, 1, "" },
        { { "write" }, 1, "" },
    };
    for (const auto& c : cases) {
        std::vector<std::string> args { "--device", virtualDevice() };
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        const auto r = bvctl(args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(state()));
}

TEST_F(DeviceCli, DeviceProblemsExitWithTwoAndSayWhy)
{
    std::ofstream(state(), std::ios::binary) << "not a mouse";
    const auto damaged = bvctl({ "--device", virtualDevice(), "read", "0", "1" });
    EXPECT_EQ(damaged.code, 2);
    EXPECT_NE(damaged.err.find(state().string()), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.err.find("is damaged"), std::string::npos) << damaged.err;
    EXPECT_EQ(readText(state()), "not a mouse");

    // A mouse whose state cannot be stored fails the transfer, with the reason.
    const fs::path nowhere = tmp / "missing-folder" / "m.state";
    const auto unstored = bvctl({ "--device", "virtual:" + nowhere.string(), "read", "0", "1" });
    EXPECT_EQ(unstored.code, 2);
    EXPECT_NE(unstored.err.find("reading 1 bytes at address 0 failed"), std::string::npos) << unstored.err;
    EXPECT_NE(unstored.err.find("state file \"" + nowhere.string() + "\" cannot be locked"), std::string::npos)
        << unstored.err;
    EXPECT_NE(unstored.err.find("No such file or directory"), std::string::npos) << unstored.err;

    const auto unknown = bvctl({ "--device", "usb", "list" });
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("unknown device \"usb\""), std::string::npos) << unknown.err;

    const auto noVirtual = bvctl({ "virtual", "dump" });
    EXPECT_EQ(noVirtual.code, 2);
    EXPECT_NE(noVirtual.err.find("needs the virtual mouse"), std::string::npos) << noVirtual.err;
}

TEST_F(DeviceCli, UdevRuleNamesTheProbeAndTheListedMice)
{
    std::ofstream(tmp / "program" / "config.ini") << "[IncludeHIDDeviceList]\nid1=HID\\VID_B5A0&PID_0C0F&Col01\n";
    auto r = bvctl({ "udev-rule", "--probe", "/opt/probe" });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("IMPORT{program}=\"/opt/probe %S%p\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ATTRS{idVendor}==\"b5a0\", ATTRS{idProduct}==\"0c0f\", TAG+=\"uaccess\""), std::string::npos)
        << r.out;

    r = bvctl({ "udev-rule", "--probe", "/opt/probe", "-o", (tmp / "70-bvconfig.rules").string() });
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(readText(tmp / "70-bvconfig.rules").find("/opt/probe"), std::string::npos);
    EXPECT_EQ(bvctl({ "udev-rule", "-o", (tmp / "no" / "such" / "x.rules").string() }).code, 2);
}

TEST_F(DeviceCli, DoctorReportsTheMouseTheDataFilesAndTheFolders)
{
    // The test's program folder holds config.ini only.
    const auto r = bvctl({ "--device", virtualDevice(), "doctor" });
    ASSERT_EQ(r.code, 0) << r.err;
    const Json j = parseJson(r);
    EXPECT_EQ(j["device"], "virtual");
    EXPECT_EQ(j["mouse_found"], true);
    EXPECT_EQ(j["data_files"]["config.ini"], true);
    EXPECT_EQ(j["data_files"]["ui.local"], false);
    EXPECT_EQ(j["program_folder"], (tmp / "program").string());
    EXPECT_EQ(j["documents_folder"]["writable"], true);
    bool toldOfLanguageFile = false;
    for (const auto& p : j["problems"])
        toldOfLanguageFile
            = toldOfLanguageFile || p.get<std::string>().find("\"ui.local\" is missing") != std::string::npos;
    EXPECT_TRUE(toldOfLanguageFile) << r.out;
#ifndef _WIN32
    EXPECT_TRUE(j["hidraw_nodes"].is_array());
    EXPECT_EQ(j["settings_folder"]["path"], (home() / ".config" / "bvconfig" / "registry").string());
#endif
}
