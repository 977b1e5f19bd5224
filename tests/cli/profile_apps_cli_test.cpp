// bvctl profile apps: the list and switch printed, and each edit checked against the bytes of the
// file it leaves.
#include "bvctl_runner.h"
#include "settings/pubunit_solmarch.h"
#include "settings/record_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace bv;
namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

using namespace bv::test;

/// A list as the record holds it: entry i of `paths` in slot i ("" leaves the slot empty).
struct Listing {
    std::vector<std::string> paths;
    std::uint16_t autoSwitch = 0;
};

std::vector<std::string> tenPrograms()
{
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i)
        paths.push_back("/opt/game" + std::to_string(i));
    return paths;
}

class ProfileAppsCli : public BvctlHomeTest {
protected:
    /// A factory profile with `listing` written into its record; returns the file's bytes.
    std::string writeListing(const Listing& listing)
    {
        const auto r = bvctl({ "profile", "new", "--index", "2", "-o", file.string() });
        EXPECT_EQ(r.code, 0) << r.err;
        const std::string bytes = withListing(readText(file), listing);
        writeBytes(file, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        return bytes;
    }

    /// `bytes`, a profile file, with its list and switch replaced by `listing`.
    static std::string withListing(std::string bytes, const Listing& listing)
    {
        EXPECT_EQ(bytes.size(), sizeof(TMOUSEPROFILEINFO));
        bytes.resize(sizeof(TMOUSEPROFILEINFO));
        auto profile = std::make_unique<TMOUSEPROFILEINFO>();
        std::memcpy(static_cast<void*>(profile.get()), bytes.data(), bytes.size());
        TMOUSECONFIGINFO& c = profile->ConfigInfo;
        std::memset(c.ApplicationList, 0, sizeof c.ApplicationList);
        for (std::size_t i = 0; i < listing.paths.size(); ++i)
            EXPECT_TRUE(SetRecordText(c.ApplicationList[i].FilePath, listing.paths[i]));
        c.AutoSwitchProfileWhenAppRun = listing.autoSwitch;
        std::memcpy(bytes.data(), profile.get(), bytes.size());
        return bytes;
    }

    RunResult apps(std::vector<std::string> options)
    {
        options.insert(options.begin(), { "profile", "apps", file.string() });
        return bvctl(options);
    }

    fs::path file = tmp / "p.pfd";
};

} // namespace

TEST_F(ProfileAppsCli, EditsFollowTheMonitorsRulesAndRefusalsLeaveTheFileAlone)
{
    const std::vector<std::string> ten = tenPrograms();
    struct Case {
        const char* name;
        Listing before;
        std::vector<std::string> options;
        Listing after; // ignored when refused
        std::string refusal; // part of the message on stderr; empty when the edit is made
        std::vector<std::string> changed; // JSON pointers printed
    };
    const Case cases[] = {
        { "first add switches on", { {}, 0 }, { "--add", "/opt/game/run.x86_64" }, { { "/opt/game/run.x86_64" }, 1 },
            "", { "/ConfigInfo/AutoSwitchProfileWhenAppRun", "/ConfigInfo/ApplicationList/0" } },
        { "a later add leaves the switch off", { { "/a" }, 0 }, { "--add", "game.x86_64" },
            { { "/a", "game.x86_64" }, 0 }, "", { "/ConfigInfo/ApplicationList/1" } },
        { "quotes and spaces pasted around a path go", { { "/a" }, 1 }, { "--add", " \"/opt/b c\" " },
            { { "/a", "/opt/b c" }, 1 }, "", { "/ConfigInfo/ApplicationList/1" } },
        { "the tenth fits", { { ten.begin(), ten.end() - 1 }, 1 }, { "--add", ten.back() }, { ten, 1 }, "",
            { "/ConfigInfo/ApplicationList/9" } },
        { "an eleventh is refused", { ten, 1 }, { "--add", "/opt/more" }, {}, "at most ten programs", {} },
        { "a duplicate is refused", { { "/a", "/b" }, 1 }, { "--add", "/b" }, {}, "in the list already", {} },
        { "an empty path is refused", { { "/a" }, 0 }, { "--add", "  " }, {}, "No program was given", {} },
        { "a path too long for the record is refused", { {}, 0 }, { "--add", "/" + std::string(512, 'x') }, {},
            "too long", {} },
        { "remove closes the gap", { { "/a", "/b", "/c" }, 1 }, { "--remove", "/a" }, { { "/b", "/c" }, 1 }, "",
            { "/ConfigInfo/ApplicationList/0", "/ConfigInfo/ApplicationList/1", "/ConfigInfo/ApplicationList/2" } },
        { "removing the last leaves the switch", { { "/a" }, 1 }, { "--remove", "/a" }, { {}, 1 }, "",
            { "/ConfigInfo/ApplicationList/0" } },
        { "removing what is not listed is refused", { { "/a" }, 1 }, { "--remove", "/A" }, {}, "not in the list", {} },
        { "auto on", { { "/a" }, 0 }, { "--auto", "on" }, { { "/a" }, 1 }, "",
            { "/ConfigInfo/AutoSwitchProfileWhenAppRun" } },
        { "auto off, letter case ignored", { { "/a" }, 1 }, { "--auto", "OFF" }, { { "/a" }, 0 }, "",
            { "/ConfigInfo/AutoSwitchProfileWhenAppRun" } },
        { "auto on when on changes nothing", { { "/a" }, 1 }, { "--auto", "on" }, { { "/a" }, 1 }, "", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = writeListing(c.before);
        const auto r = apps(c.options);
        if (!c.refusal.empty()) {
            EXPECT_EQ(r.code, 2);
            EXPECT_NE(r.err.find(c.refusal), std::string::npos) << r.err;
            EXPECT_TRUE(r.out.empty()) << r.out;
            EXPECT_TRUE(readText(file) == before) << "a refused edit changed the file";
            continue;
        }
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_TRUE(readText(file) == withListing(before, c.after)) << "the file holds more or less than the edit";
        const Json out = parseJson(r);
        EXPECT_EQ(out.value("file", ""), file.string());
        std::vector<std::string> changed;
        for (const auto& [pointer, change] : out["changed"].items())
            changed.push_back(pointer);
        EXPECT_EQ(changed, c.changed);
    }
}

TEST_F(ProfileAppsCli, PrintsTheListedProgramsInOrderAndTheSwitch)
{
    // Slots left empty in between (a record edited elsewhere) are not programs.
    const std::string before = writeListing({ { "/opt/a", "", "game.x86_64", "", "/opt/ü b" }, 1 });
    const auto r = apps({});
    ASSERT_EQ(r.code, 0) << r.err;
    const Json expected = { { "schema", 1 }, { "file", file.string() }, { "auto_switch", true },
        { "applications", { "/opt/a", "game.x86_64", "/opt/ü b" } } };
    EXPECT_EQ(parseJson(r), expected);
    EXPECT_TRUE(readText(file) == before);

    writeListing({ {}, 0 });
    EXPECT_EQ(parseJson(apps({})),
        (Json {
            { "schema", 1 }, { "file", file.string() }, { "auto_switch", false }, { "applications", Json::array() } }));
}

TEST_F(ProfileAppsCli, UsageErrorsAndBadFilesChangeNothing)
{
    const std::string before = writeListing({ { "/a" }, 0 });
    const std::vector<std::string> usage[] = {
        { "--add", "/b", "--remove", "/a" },
        { "--add", "/b", "--auto", "off" },
        { "--auto", "maybe" },
        { "--add", "/b", "--add", "/c" },
    };
    for (const auto& options : usage) {
        const auto r = apps(options);
        EXPECT_EQ(r.code, 1) << options[0] << " " << options[1] << ": " << r.err;
        EXPECT_TRUE(readText(file) == before);
    }

    writeBytes(file, std::vector<std::uint8_t>(100, 0));
    for (const std::vector<std::string>& options : { std::vector<std::string> {}, { "--add", "/b" } }) {
        const auto r = apps(options);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("is not a profile file"), std::string::npos) << r.err;
        EXPECT_EQ(readText(file).size(), 100u);
    }
}
