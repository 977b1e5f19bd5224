#include "bvctl_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace bv::test;

namespace {

// bvctl finds this gsettings first on its PATH, so the desktop of whoever runs the tests is
// never touched.
class SystemMouseCliTest : public BvctlHomeTest {
protected:
    void installGsettings(const std::string& body)
    {
        fs::create_directories(tmp / "bin");
        const fs::path program = tmp / "bin/gsettings";
        std::ofstream(program) << "#!/bin/sh\necho \"$*\" >> '" << (tmp / "gsettings.log").string() << "'\n"
                               << body << '\n';
        ::chmod(program.c_str(), 0755);
    }
    RunResult apply(const fs::path& profile) const
    {
        return bvctl({ "system-mouse", "apply", profile.string() }, { "PATH=" + (tmp / "bin").string() + ":/bin" });
    }
    fs::path factoryProfile()
    {
        const fs::path file = tmp / "factory.pfd";
        const auto made = bvctl({ "profile", "new", "-o", file.string() });
        EXPECT_EQ(made.code, 0) << made.err;
        return file;
    }
};

} // namespace

TEST_F(SystemMouseCliTest, AppliesAFactoryProfileAndSaysWhatTheDesktopCannotTake)
{
    installGsettings(R"(d=$(dirname "$0")
case "$1" in writable) echo true;; set) echo "$4" > "$d/$3";; get) cat "$d/$3";; esac)");
    const auto r = apply(factoryProfile());
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = parseJson(r);
    EXPECT_EQ(j["double_click_time"]["value"], 550);
    EXPECT_EQ(j["double_click_time"]["status"], "applied");
    EXPECT_EQ(j["acceleration"]["value"], nlohmann::json::parse("[0,0,0]"));
    EXPECT_EQ(j["pointer_speed"]["value"], 10);
    EXPECT_EQ(j["wheel_scroll_lines"]["value"], 3);
    EXPECT_EQ(j["wheel_scroll_lines"]["status"], "unsupported");
    EXPECT_NE(r.err.find("unsupported"), std::string::npos);
    EXPECT_EQ(readText(tmp / "gsettings.log"),
        "writable org.gnome.desktop.peripherals.mouse double-click\n"
        "set org.gnome.desktop.peripherals.mouse double-click 550\n"
        "get org.gnome.desktop.peripherals.mouse double-click\n"
        "set org.gnome.desktop.peripherals.mouse accel-profile 'flat'\n"
        "get org.gnome.desktop.peripherals.mouse accel-profile\n"
        "set org.gnome.desktop.peripherals.mouse speed 0.0000\n"
        "get org.gnome.desktop.peripherals.mouse speed\n");
}

TEST_F(SystemMouseCliTest, ARefusedSettingOrABadFileExitsWithTwo)
{
    installGsettings(R"(case "$1" in writable) echo true;; *) echo "cannot write" >&2; exit 1;; esac)");
    const auto refused = apply(factoryProfile());
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(parseJson(refused)["pointer_speed"]["status"], "failed");
    EXPECT_NE(refused.err.find("cannot write"), std::string::npos);

    std::ofstream(tmp / "short.pfd") << "not a profile";
    const auto bad = apply(tmp / "short.pfd");
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.out.empty());
}
