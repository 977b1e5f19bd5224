#include "platform/test_sandbox.h"

#include "platform/registry.h"
#include "platform_scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform/hid_hidraw.h"
#endif

using namespace bv::platform;

namespace {

TEST(TestSandbox, EveryTestRunsInOne)
{
    ASSERT_TRUE(testSandbox().has_value());
    bv::test::TempDir dir;
    requireInsideTestSandbox("a fixture's file", dir / "file"); // returns
}

#ifndef _WIN32
// The real device nodes and the user's own registry end a test at once, whatever it was after.
TEST(TestSandboxDeathTest, RealDevicesAndTheUsersRegistryEndTheTest)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(systemHidrawIo()->open("/dev/hidraw0", true), "A test opened a device node \\(/dev/hidraw0");
    EXPECT_DEATH(
        {
            bv::platform_test::ScopedEnv env;
            env.set("XDG_CONFIG_HOME", "/home/someone/.config");
            openUserRegistry();
        },
        "A test opened the user's registry");
}
#endif

} // namespace
