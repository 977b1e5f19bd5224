#include "platform/autostart.h"
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifndef _WIN32
using namespace bv::platform;

TEST(Autostart, TheXdgEntryIsWrittenQuotedAndRemoved)
{
    bv::test::TempDir config;
    bv::platform_test::ScopedEnv env;
    env.set("XDG_CONFIG_HOME", config.str());

    EXPECT_FALSE(IsAutostartOn("bvmon"));
    SetAutostart("bvmon", true, "/opt/my \"mouse\"/100%/bvmon");
    EXPECT_TRUE(IsAutostartOn("bvmon"));
    const auto file = config.path() / "autostart" / "bvmon.desktop";
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Exec=\"/opt/my \\\\\"mouse\\\\\"/100%%/bvmon\"\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("[Desktop Entry]\nType=Application\n"), std::string::npos);

    // The desktop's own settings switch it off this way.
    std::ofstream(file, std::ios::app) << "Hidden=true\n";
    EXPECT_FALSE(IsAutostartOn("bvmon"));

    SetAutostart("bvmon", false, {});
    EXPECT_FALSE(std::filesystem::exists(file));
    SetAutostart("bvmon", false, {}); // off twice is no error
}
#endif
